// What a vehicle window needs from the fleet window that opened it.
#pragma once

namespace rvk {

class TChildForm;
class TFileForm;

class VehicleOwner {
public:
    // Marks the document of the edited vehicle modified.
    virtual void MarkModified() = 0;
    // The window is closing and leaves the owner's list.
    virtual void RemoveVehicleWindow(TChildForm* window) = 0;
    // The document window the vehicle belongs to.
    virtual TFileForm* documentWindow() = 0;

protected:
    ~VehicleOwner() = default;
};

}  // namespace rvk
