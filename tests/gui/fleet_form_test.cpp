#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <utility>
#include <vector>

#include "app/main_form.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "formats/vehicle_image.h"
#include "shell/name_list_box.h"
#include "shell_test.h"
#include "storage/document_files.h"

namespace rvk {
namespace {

using test::ShellTest;

class FleetFormTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        main_ = startMain();
    }
    void TearDown() override {
        for (TFileForm* doc : main_->documents()) doc->document().modified = false;
        endMain(main_);
        ShellTest::TearDown();
    }
    TFleetForm* openWith(int vehicles, int fleets = 1) {
        main_->OpenDocument(
            writeDocument(QStringLiteral("v%1.rvk").arg(counter_++), fleets, vehicles));
        doc_ = main_->documents().back();
        return openFleet(doc_, 0);
    }
    std::unique_ptr<TMainForm> main_;
    TFileForm* doc_ = nullptr;
    int counter_ = 0;
};

TEST_F(FleetFormTest, OpensOncePerFleetWithCaptionAndSize) {
    TFleetForm* fleet = openWith(2);
    ASSERT_NE(fleet, nullptr);
    EXPECT_EQ(fleet->kindTag(), TChildForm::kFleetKind);
    EXPECT_EQ(fleet->windowTitle(), "[v0.rvk] - Fleet 0");
    EXPECT_EQ(fleet->parentWidget()->size(), TFleetForm::kDefaultSize);
    EXPECT_EQ(fleet->vehicleBox()->item(1)->text(), "Fleet 0/1");
    EXPECT_EQ(openFleet(doc_, 0), fleet);
    EXPECT_EQ(doc_->fleetWindows().size(), 1u);
    EXPECT_EQ(main_->DocumentOfActiveWindow(), doc_);
}

TEST_F(FleetFormTest, RightClickOpensThePopupOnce) {
    TFleetForm* fleet = openWith(1);
    QMenu* popup = fleet->popupMenu();
    int shown = 0;
    // Each opening closes itself at once, so a second opening would show in the count.
    QObject::connect(popup, &QMenu::aboutToShow, popup, [&shown, popup] {
        ++shown;
        QTimer::singleShot(0, popup, &QMenu::close);
    });
    emit fleet->vehicleBox()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(shown, 1);
}

// Right presses on the fleet list and the vehicle list, on a line and below the last
// one, delivered through the window as the desktop delivers them: the popup opens for
// the selection as it stands. Only a left press below the lines clears it.
TEST_F(FleetFormTest, RightPressKeepsTheSelectionForThePopup) {
    TFleetForm* fleet = openWith(3, 3);
    for (auto [box, popup] : {std::pair{doc_->fleetBox(), doc_->popupMenu()},
                              std::pair{fleet->vehicleBox(), fleet->popupMenu()}}) {
        main_->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(
            box == doc_->fleetBox() ? doc_->parentWidget() : fleet->parentWidget()));
        std::vector<int> rowsShown;
        const auto shown =
            QObject::connect(popup, &QMenu::aboutToShow, popup, [&rowsShown, box, popup] {
                rowsShown.push_back(box->selectedRow());
                QTimer::singleShot(0, popup, &QMenu::close);
            });
        const auto clickAt = [box](Qt::MouseButton button, QPoint at) {
            QWidget* top = box->window();
            QTest::mouseClick(top->windowHandle(), button, {}, box->viewport()->mapTo(top, at));
        };
        const auto lineAt = [box](int row) { return box->visualItemRect(box->item(row)).center(); };
        const QPoint below(5, box->viewport()->height() - 3);
        ASSERT_FALSE(box->itemAt(below));
        clickAt(Qt::LeftButton, lineAt(1));
        ASSERT_EQ(box->selectedRow(), 1);
        clickAt(Qt::RightButton, lineAt(2));
        clickAt(Qt::RightButton, below);
        EXPECT_EQ(box->selectedRow(), 1);
        clickAt(Qt::LeftButton, below);
        EXPECT_EQ(box->selectedRow(), -1);
        clickAt(Qt::RightButton, lineAt(0));
        EXPECT_EQ(box->selectedRow(), -1);
        EXPECT_EQ(rowsShown, (std::vector<int>{1, 1, -1}));
        QObject::disconnect(shown);
    }
}

// Cut a vehicle with Zoom2 graphics, save (the next vehicle's graphics now fill the
// companion file of the place it left), paste it back there and save again: the file
// must hold the pasted vehicle's graphics, not the other vehicle's.
TEST_F(FleetFormTest, PastedVehicleWritesItsOwnCompanionFile) {
    FileDoc made;
    made.path = dataPath(QStringLiteral("z.rvk")).toStdString();
    auto fleet = CreateFleet("Fleet");
    for (int k = 0; k < 2; ++k) {
        auto rec = std::make_unique<VehicleRec>();
        InitVehicle(*rec);
        rec->Length = static_cast<std::uint16_t>(20 + 10 * k);
        DeriveZoom2(*rec, "derived");
        rec->Zoom2Planes[3].set(k, 1, 0x00ABCDEFu);
        fleet->vehicles.push_back(std::move(rec));
    }
    made.fleets.push_back(std::move(fleet));
    ASSERT_TRUE(SaveDocument(made).ok());
    main_->OpenDocument(QString::fromStdString(made.path));
    doc_ = main_->documents().back();
    TFleetForm* window = openFleet(doc_, 0);

    window->vehicleBox()->selectRow(0);
    EXPECT_TRUE(trigger(window->popupMenu(), "pCut"));
    ASSERT_TRUE(main_->Save(doc_));
    window->vehicleBox()->selectRow(0);
    EXPECT_TRUE(trigger(window->popupMenu(), "pPaste"));
    ASSERT_TRUE(main_->Save(doc_));
    FileDoc reread;
    reread.path = made.path;
    ASSERT_TRUE(LoadDocument(reread).ok);
    const auto& vehicles = reread.fleets[0]->vehicles;
    ASSERT_EQ(vehicles.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(vehicles[k]->Zoom2Exists) << k;
        EXPECT_EQ(vehicles[k]->Length, 20 + 10 * k);
        EXPECT_EQ(vehicles[k]->Zoom2Planes[3].at(k, 1), 0x00ABCDEFu) << k;
    }
}

TEST_F(FleetFormTest, NewVehicleByNameAtTheSelectionOrAtTheEnd) {
    TFleetForm* fleet = openWith(2);
    prompts().answerText(QStringLiteral("Tw 1"));
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pNew"));
    const PromptCall& ask = prompts().calls().at(0);
    EXPECT_EQ(ask.caption, "E551");
    EXPECT_EQ(ask.text, "E552");
    EXPECT_EQ(ask.initial, "E500");
    EXPECT_EQ(ask.cancelText, "E521");
    EXPECT_EQ(ask.maxLength, 80);
    EXPECT_EQ(fleet->fleet().vehicles.back()->Info[0], "Tw 1");
    EXPECT_EQ(fleet->vehicleBox()->selectedRow(), 2);
    EXPECT_EQ(doc_->windowTitle(), "v0.rvk *");

    fleet->vehicleBox()->selectRow(0);
    prompts().answerText(QStringLiteral("Front"));
    EXPECT_TRUE(trigger(fleet->editMenu(), "pNew"));
    EXPECT_EQ(fleet->fleet().vehicles[0]->Info[0], "Front");
    EXPECT_EQ(fleet->vehicleBox()->item(0)->text(), "Front");

    prompts().answerText(QString());
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pNew"));
    EXPECT_EQ(prompts().calls().back().text, "E553");
    EXPECT_EQ(fleet->fleet().vehicles.size(), 4u);
}

TEST_F(FleetFormTest, SixteenVehicleLimitAndMenuEnabling) {
    TFleetForm* fleet = openWith(15);
    fleet->vehicleBox()->selectRow(3);
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pCopy"));
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pPaste"));
    EXPECT_EQ(fleet->fleet().vehicles.size(), 16u);

    QMenu* edit = fleet->editMenu();
    fleet->vehicleBox()->selectRow(-1);
    emit edit->aboutToShow();
    EXPECT_FALSE(item(edit, "pNew")->isEnabled());
    EXPECT_FALSE(item(edit, "pPaste")->isEnabled());
    EXPECT_FALSE(item(edit, "pCut")->isEnabled());
    fleet->vehicleBox()->selectRow(0);
    emit edit->aboutToShow();
    EXPECT_TRUE(item(edit, "pCut")->isEnabled());
    EXPECT_TRUE(item(edit, "pCopy")->isEnabled());
    EXPECT_TRUE(item(edit, "pDelete")->isEnabled());
    EXPECT_FALSE(item(edit, "pNew")->isEnabled());

    auto extra = std::make_unique<VehicleRec>();
    EXPECT_EQ(fleet->InsertVehicle(-1, std::move(extra)), -1);
    EXPECT_EQ(fleet->fleet().vehicles.size(), 16u);
}

TEST_F(FleetFormTest, VehiclePayloadAndIndependentCopies) {
    TFleetForm* fleet = openWith(2);
    fleet->vehicleBox()->selectRow(1);
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pCopy"));
    const auto block = clip().block(ClipFormat::Vehicle);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->size(), 243992);
    EXPECT_FALSE(doc_->document().modified);

    fleet->vehicleBox()->selectRow(0);
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pPaste"));
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pPaste"));
    const auto& v = fleet->fleet().vehicles;
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0]->Info[0], "Fleet 0/1");  // in front of the selected line
    EXPECT_EQ(VehicleToImage(*v[0]), VehicleToImage(*v[3]));
    v[0]->Planes[0].set(0, 0, 0x00ABCDEFu);
    EXPECT_NE(VehicleToImage(*v[0]), VehicleToImage(*v[1]));
    EXPECT_TRUE(doc_->document().modified);

    // Pasted into another document's fleet, the vehicle arrives equal.
    TFleetForm* other = openWith(0);
    EXPECT_TRUE(trigger(other->popupMenu(), "pPaste"));
    ASSERT_EQ(other->fleet().vehicles.size(), 1u);
    EXPECT_EQ(VehicleToImage(*other->fleet().vehicles[0]), VehicleToImage(*v[3]));
}

TEST_F(FleetFormTest, PasteWithoutAFullVehicleBlockDoesNothing) {
    TFleetForm* fleet = openWith(1);
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pPaste"));
    clip().put(ClipFormat::Vehicle, QByteArray(243991, '\0'));
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pPaste"));
    clip().put(ClipFormat::Fleet, QByteArray(243992 + 34, '\0'));
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pPaste"));
    EXPECT_EQ(fleet->fleet().vehicles.size(), 1u);
    EXPECT_FALSE(doc_->document().modified);
}

TEST_F(FleetFormTest, CutAndDeleteWithConfirmation) {
    TFleetForm* fleet = openWith(3);
    fleet->vehicleBox()->selectRow(1);
    prompts().answerMessage(MsgAnswer::No);
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pDelete"));
    EXPECT_EQ(prompts().calls().at(0).text, "E554");
    EXPECT_EQ(prompts().calls().at(0).caption, "E541");
    EXPECT_EQ(fleet->fleet().vehicles.size(), 3u);
    EXPECT_FALSE(doc_->document().modified);

    prompts().answerMessage(MsgAnswer::Yes);
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pDelete"));
    EXPECT_EQ(fleet->vehicleBox()->count(), 2);
    EXPECT_EQ(fleet->fleet().vehicles[1]->Info[0], "Fleet 0/2");

    fleet->vehicleBox()->selectRow(0);
    EXPECT_TRUE(trigger(fleet->popupMenu(), "pCut"));
    EXPECT_EQ(fleet->fleet().vehicles.size(), 1u);
    ASSERT_TRUE(clip().block(ClipFormat::Vehicle).has_value());
    EXPECT_TRUE(doc_->document().modified);
}

TEST_F(FleetFormTest, DocumentClosingClosesItsFleetWindowsFirst) {
    TFleetForm* fleet = openWith(1, 2);
    openFleet(doc_, 1);
    EXPECT_EQ(main_->mdiArea()->subWindowList().size(), 3);
    ASSERT_NE(fleet, nullptr);
    EXPECT_TRUE(doc_->closeWindow());
    EXPECT_TRUE(main_->documents().empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main_->mdiArea()->subWindowList().isEmpty());
}

}  // namespace
}  // namespace rvk
