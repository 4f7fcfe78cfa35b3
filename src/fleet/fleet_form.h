// The fleet window: the vehicles of one fleet as a list of their names, and the
// vehicle commands. It shows records owned by the document and never owns them.
#pragma once

#include <QSize>
#include <memory>
#include <vector>

#include "editor/vehicle_owner.h"
#include "fleet/fleet_owner.h"
#include "records/vehicle.h"
#include "shell/child_form.h"

class QAction;
class QMenu;

namespace rvk {

class NameListBox;
class TrainStrip;
class VehicleTools;

class TFleetForm : public TChildForm, public VehicleOwner {
    Q_OBJECT
public:
    static constexpr QSize kDefaultSize{537, 439};

    // tools: what the vehicle windows opened from here draw with.
    TFleetForm(FleetOwner& owner, FleetRec& fleet, VehicleTools* tools);

    FleetRec& fleet() const { return fleet_; }
    // The frame, as the document window reaches it.
    Frame& frame() const { return file_.frame(); }

    TChildForm* documentWindow() override { return file_.documentWindow(); }
    void applyTexts() override { ApplyTexts(false); }
    // With build the Edit menu is filled from the popup menu; otherwise only captions change.
    void ApplyTexts(bool build);
    void RefreshCaption();

    // Adds a record at position (-1: at the end) without selecting it or marking the
    // document modified. -1 and nothing added when the fleet is full.
    int InsertVehicle(int position, std::unique_ptr<VehicleRec> rec);
    void MarkModified() override;
    void UpdateVehicleLine(const VehicleRec* rec) override;
    std::string CompanionFileName(const VehicleRec* rec) override;

    // The vehicle windows opened from here, in order of opening.
    const std::vector<TChildForm*>& vehicleWindows() const { return vehicleWindows_; }
    void AddVehicleWindow(TChildForm* window) { vehicleWindows_.push_back(window); }
    void RemoveVehicleWindow(TChildForm* window) override;
    TChildForm* vehicleWindowOf(const VehicleRec* rec) const;

    NameListBox* vehicleBox() const { return vehicleBox_; }
    QMenu* popupMenu() const { return popup_; }
    TrainStrip* trainStrip() const { return train_; }
    // Selects vehicle index and opens its window, or activates the one open.
    void OpenVehicle(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void updateEnabling();
    bool removeVehicle(int index);
    void pEditClick();
    void pNewClick();
    void pCutClick();
    void pCopyClick();
    void pPasteClick();
    void pDeleteClick();
    void pImportClick();
    void pTrainClick(bool shown);

    FleetOwner& file_;
    FleetRec& fleet_;
    VehicleTools* tools_;
    std::vector<TChildForm*> vehicleWindows_;

    QMenu* popup_;
    NameListBox* vehicleBox_;
    QAction* pEdit_;
    QAction* pNew_;
    QAction* pCut_;
    QAction* pCopy_;
    QAction* pPaste_;
    QAction* pDelete_;
    QAction* pImport_;
    QAction* pTrain_;
    TrainStrip* train_;
};

}  // namespace rvk
