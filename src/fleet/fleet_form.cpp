#include "fleet/fleet_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/vehicle_form.h"
#include "fleet/import_form.h"
#include "fleet/train_strip.h"
#include "formats/vehicle_image.h"
#include "platform/clipboard.h"
#include "platform/cp1252_text.h"
#include "platform/settings_store.h"
#include "shell/frame.h"
#include "shell/name_list_box.h"
#include "storage/companion_files.h"
#include "storage/document_files.h"

namespace rvk {

namespace {

constexpr int kLineHeight = 13;
constexpr int kMaxNameLength = static_cast<int>(kInfoCapacity) - 1;

}  // namespace

TFleetForm::TFleetForm(FleetOwner& owner, FleetRec& fleet, VehicleTools* tools)
    : TChildForm(kFleetKind),
      file_(owner),
      fleet_(fleet),
      tools_(tools),
      popup_(new QMenu(this)),
      vehicleBox_(new NameListBox(kLineHeight, popup_, this)),
      train_(new TrainStrip(fleet, [this](int index) { OpenVehicle(index); }, this)) {
    vehicleBox_->setObjectName(QStringLiteral("VehicleBox"));
    // A font that fits the 13-pixel lines.
    QFont font = vehicleBox_->font();
    font.setPixelSize(kLineHeight - 2);
    vehicleBox_->setFont(font);
    connect(vehicleBox_, &QListWidget::itemDoubleClicked, this, &TFleetForm::pEditClick);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("TrainSplit"));
    split->addWidget(vehicleBox_);
    split->addWidget(train_);
    split->setCollapsible(1, false);
    // The list takes what the train leaves.
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    column->addWidget(split);

    popup_->setObjectName(QStringLiteral("FleetPopupMenu"));
    const auto addItem = [this](const char* name, const char* caption, void (TFleetForm::*slot)()) {
        QAction* action = popup_->addAction(QString::fromLatin1(caption));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    pEdit_ = addItem("pEdit", "Edit", &TFleetForm::pEditClick);
    popup_->setDefaultAction(pEdit_);
    popup_->addSeparator();
    pNew_ = addItem("pNew", "New", &TFleetForm::pNewClick);
    popup_->addSeparator();
    pCut_ = addItem("pCut", "Cut", &TFleetForm::pCutClick);
    pCopy_ = addItem("pCopy", "Copy", &TFleetForm::pCopyClick);
    pPaste_ = addItem("pPaste", "Paste", &TFleetForm::pPasteClick);
    popup_->addSeparator();
    pDelete_ = addItem("pDelete", "Delete", &TFleetForm::pDeleteClick);
    popup_->addSeparator();
    pImport_ = addItem("pImport", "Import", &TFleetForm::pImportClick);
    popup_->addSeparator();
    pTrain_ = popup_->addAction(QStringLiteral("Show as train"));
    pTrain_->setObjectName(QStringLiteral("pTrain"));
    pTrain_->setCheckable(true);
    connect(pTrain_, &QAction::triggered, this, &TFleetForm::pTrainClick);
    train_->setVisible(SettingsStore().trainShown());
    connect(popup_, &QMenu::aboutToShow, this, &TFleetForm::updateEnabling);
    connect(editMenu(), &QMenu::aboutToShow, this, &TFleetForm::updateEnabling);

    ApplyTexts(true);
    RefreshCaption();
    for (std::size_t i = 0; i < fleet_.vehicles.size(); ++i)
        vehicleBox_->insertLine(static_cast<int>(i), FromCp1252(fleet_.vehicles[i]->Info[0]));
}

void TFleetForm::ApplyTexts(bool build) {
    Frame& main = frame();
    editMenu()->setTitle(main.text(6));
    pEdit_->setText(main.text(60));
    pNew_->setText(main.text(61));
    pCut_->setText(main.text(62));
    pCopy_->setText(main.text(63));
    pPaste_->setText(main.text(64));
    pDelete_->setText(main.text(65));
    pImport_->setText(main.text(66));
    pTrain_->setText(main.text(852));
    train_->ApplyTexts(main.texts());
    // The Edit menu offers the very same items, so later caption changes reach it too.
    if (build) editMenu()->addActions(popup_->actions());
}

void TFleetForm::RefreshCaption() {
    setWindowTitle(QStringLiteral("[") + file_.fileName() + QStringLiteral("] - ") +
                   FromCp1252(fleet_.name));
}

int TFleetForm::InsertVehicle(int position, std::unique_ptr<VehicleRec> rec) {
    const int count = static_cast<int>(fleet_.vehicles.size());
    if (count >= kMaxVehicles) return -1;
    if (position < 0 || position > count) position = count;
    vehicleBox_->insertLine(position, FromCp1252(rec->Info[0]));
    fleet_.vehicles.insert(fleet_.vehicles.begin() + position, std::move(rec));
    train_->Refresh();
    return position;
}

void TFleetForm::MarkModified() {
    // Every edit of a vehicle of the fleet comes through here.
    train_->Refresh();
    file_.SetModified(true);
}

void TFleetForm::UpdateVehicleLine(const VehicleRec* rec) {
    for (std::size_t i = 0; i < fleet_.vehicles.size(); ++i) {
        if (fleet_.vehicles[i].get() == rec) {
            vehicleBox_->item(static_cast<int>(i))->setText(FromCp1252(rec->Info[0]));
            return;
        }
    }
}

std::string TFleetForm::CompanionFileName(const VehicleRec* rec) {
    const FileDoc& doc = file_.document();
    const auto fleetAt = std::find_if(doc.fleets.begin(), doc.fleets.end(),
                                      [this](const auto& f) { return f.get() == &fleet_; });
    const auto vehicleAt = std::find_if(fleet_.vehicles.begin(), fleet_.vehicles.end(),
                                        [rec](const auto& v) { return v.get() == rec; });
    const int fleetIndex =
        fleetAt == doc.fleets.end() ? -1 : static_cast<int>(fleetAt - doc.fleets.begin());
    const int vehicleIndex = vehicleAt == fleet_.vehicles.end()
                                 ? -1
                                 : static_cast<int>(vehicleAt - fleet_.vehicles.begin());
    return Zoom2FileName(ResolvedPath(doc.path), fleetIndex, vehicleIndex);
}

void TFleetForm::RemoveVehicleWindow(TChildForm* window) {
    std::erase(vehicleWindows_, window);
}

TChildForm* TFleetForm::vehicleWindowOf(const VehicleRec* rec) const {
    for (TChildForm* window : vehicleWindows_)
        if (window->editedVehicle() == rec) return window;
    return nullptr;
}

bool TFleetForm::removeVehicle(int index) {
    const VehicleRec* rec = fleet_.vehicles[static_cast<std::size_t>(index)].get();
    if (TChildForm* window = vehicleWindowOf(rec)) {
        window->closeWindow();
        // Never destroy a record that a window still edits.
        if (vehicleWindowOf(rec)) return false;
    }
    delete vehicleBox_->takeItem(index);
    fleet_.vehicles.erase(fleet_.vehicles.begin() + index);
    vehicleBox_->clearSelection();
    train_->Refresh();
    return true;
}

void TFleetForm::updateEnabling() {
    const bool selected = vehicleBox_->selectedRow() >= 0;
    const bool room = static_cast<int>(fleet_.vehicles.size()) < kMaxVehicles;
    pNew_->setEnabled(room);
    pPaste_->setEnabled(room);
    pImport_->setEnabled(room);
    pEdit_->setEnabled(selected);
    pCut_->setEnabled(selected);
    pCopy_->setEnabled(selected);
    pDelete_->setEnabled(selected);
    pTrain_->setChecked(!train_->isHidden());
}

void TFleetForm::OpenVehicle(int index) {
    vehicleBox_->selectRow(index);
    pEditClick();
}

void TFleetForm::pTrainClick(bool shown) {
    train_->setVisible(shown);
    train_->Refresh();
    SettingsStore().setTrainShown(shown);
}

void TFleetForm::pEditClick() {
    const int index = vehicleBox_->selectedRow();
    if (index < 0) return;
    VehicleRec* rec = fleet_.vehicles[static_cast<std::size_t>(index)].get();
    Frame& main = frame();
    if (TChildForm* window = vehicleWindowOf(rec)) {
        main.activateChildWindow(window);
        return;
    }
    auto* window = new VehicleForm(this, rec, tools_);
    AddVehicleWindow(window);
    main.addChildWindow(window, VehicleForm::kDefaultSize);
}

void TFleetForm::pNewClick() {
    if (static_cast<int>(fleet_.vehicles.size()) >= kMaxVehicles) return;
    Frame& main = frame();
    const auto name = prompts().nameInput(this, main.text(551), main.text(552), main.text(500),
                                          main.text(521), kMaxNameLength);
    if (!name) return;
    if (name->isEmpty()) {
        main.message(this, main.text(553), 544, MsgIcon::Error);
        return;
    }
    auto rec = std::make_unique<VehicleRec>();
    InitVehicle(*rec);
    rec->Info[0] = ToCp1252(*name, kInfoCapacity);
    const int index = InsertVehicle(vehicleBox_->selectedRow(), std::move(rec));
    if (index < 0) return;
    vehicleBox_->selectRow(index);
    MarkModified();
}

void TFleetForm::pCopyClick() {
    const int index = vehicleBox_->selectedRow();
    if (index < 0) return;
    const std::vector<std::uint8_t> image =
        VehicleToImage(*fleet_.vehicles[static_cast<std::size_t>(index)]);
    clipboard().put(ClipFormat::Vehicle, QByteArray(reinterpret_cast<const char*>(image.data()),
                                                    static_cast<qsizetype>(image.size())));
}

void TFleetForm::pCutClick() {
    const int index = vehicleBox_->selectedRow();
    if (index < 0) return;
    pCopyClick();
    if (removeVehicle(index)) MarkModified();
}

void TFleetForm::pPasteClick() {
    const auto block = clipboard().block(ClipFormat::Vehicle);
    if (!block || block->size() < static_cast<qsizetype>(kVehicleImageSize)) return;
    auto rec = std::make_unique<VehicleRec>();
    InitVehicle(*rec);
    const std::span<const std::uint8_t> image(
        reinterpret_cast<const std::uint8_t*>(block->constData()), kVehicleImageSize);
    if (!VehicleFromImage(image, *rec)) return;
    if (InsertVehicle(vehicleBox_->selectedRow(), std::move(rec)) < 0) return;
    MarkModified();
}

void TFleetForm::pDeleteClick() {
    const int index = vehicleBox_->selectedRow();
    if (index < 0) return;
    Frame& main = frame();
    if (main.message(this, main.text(554), 541, MsgIcon::Warning, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return;
    if (removeVehicle(index)) MarkModified();
}

void TFleetForm::pImportClick() {
    if (static_cast<int>(fleet_.vehicles.size()) >= kMaxVehicles) return;
    // Created beside the main window at start-up; modal, so this window stays the
    // active child and Insert adds here.
    if (auto* dialog = window()->findChild<TImportForm*>(QString(), Qt::FindDirectChildrenOnly))
        dialog->ShowModal();
}

void TFleetForm::closeEvent(QCloseEvent* event) {
    const std::vector<TChildForm*> windows = vehicleWindows_;
    for (TChildForm* window : windows) window->closeWindow();
    if (!vehicleWindows_.empty()) {
        event->ignore();
        return;
    }
    file_.RemoveFleetWindow(this);
    event->accept();
}

}  // namespace rvk
