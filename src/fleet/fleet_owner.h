// What a fleet window needs from the document window that opened it.
#pragma once

#include <QString>

namespace rvk {

class Frame;
class TChildForm;
class TFleetForm;
struct FileDoc;

class FleetOwner {
public:
    // The frame both windows live in.
    virtual Frame& frame() const = 0;
    // The document window itself.
    virtual TChildForm* documentWindow() = 0;
    // The document the fleet belongs to.
    virtual FileDoc& document() = 0;
    // The file name part of the document's path, for the window caption.
    virtual QString fileName() const = 0;
    virtual void SetModified(bool modified) = 0;
    // The window is closing and leaves the owner's list.
    virtual void RemoveFleetWindow(TFleetForm* window) = 0;

protected:
    ~FleetOwner() = default;
};

}  // namespace rvk
