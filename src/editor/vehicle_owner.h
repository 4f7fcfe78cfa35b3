// What a vehicle window needs from the fleet window that opened it.
#pragma once

#include <string>

namespace rvk {

class TChildForm;
struct VehicleRec;

class VehicleOwner {
public:
    // Marks the document of the edited vehicle modified.
    virtual void MarkModified() = 0;
    // The window is closing and leaves the owner's list.
    virtual void RemoveVehicleWindow(TChildForm* window) = 0;
    // The document window the vehicle belongs to.
    virtual TChildForm* documentWindow() = 0;
    // The vehicle's name changed: its line in the owner's list follows.
    virtual void UpdateVehicleLine(const VehicleRec* rec) = 0;
    // The companion Zoom2 file of the vehicle at its current place in the document.
    virtual std::string CompanionFileName(const VehicleRec* rec) = 0;

protected:
    ~VehicleOwner() = default;
};

}  // namespace rvk
