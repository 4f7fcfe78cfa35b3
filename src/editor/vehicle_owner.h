// What a vehicle window needs from the fleet window that opened it.
#pragma once

namespace rvk {

class VehicleForm;

class VehicleOwner {
public:
    // Marks the document of the edited vehicle modified.
    virtual void MarkModified() = 0;
    // The window is closing and leaves the owner's list.
    virtual void RemoveVehicleWindow(VehicleForm* window) = 0;

protected:
    ~VehicleOwner() = default;
};

}  // namespace rvk
