// The vehicle window inside the real frame: opened from the fleet window, saving,
// closing with its fleet, language changes, and the panel's setting.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTabBar>
#include <QTest>
#include <map>

#include "app/main_form.h"
#include "app/tool_panel.h"
#include "doc_test_util.h"
#include "docwin/file_form.h"
#include "editor/vehicle_form.h"
#include "fleet/fleet_form.h"
#include "platform/settings_store.h"
#include "shell/name_list_box.h"
#include "shell_test.h"
#include "storage/document_files.h"

namespace rvk {
namespace {

using test::ShellTest;
using testing::ExpectSameViews;

class EditorShellTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        main_ = startMain();
        path_ = writeDocument(QStringLiteral("editor.rvk"), 2, 2);
        main_->OpenDocument(path_);
        doc_ = main_->documents().back();
        fleet_ = openFleet(doc_, 0);
    }
    void TearDown() override {
        if (main_) {
            for (TFileForm* doc : main_->documents()) doc->document().modified = false;
            endMain(main_);
        }
        ShellTest::TearDown();
    }
    // A double click on the vehicle's line, as the user opens it.
    VehicleForm* openVehicle(int line) {
        QListWidget* box = fleet_->vehicleBox();
        const QPoint at = box->visualItemRect(box->item(line)).center();
        // The events of a double click: press, release, double click, release.
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, at);
        return qobject_cast<VehicleForm*>(fleet_->vehicleWindowOf(
            fleet_->fleet().vehicles[static_cast<std::size_t>(line)].get()));
    }
    std::unique_ptr<TMainForm> main_;
    QString path_;
    TFileForm* doc_ = nullptr;
    TFleetForm* fleet_ = nullptr;
};

TEST_F(EditorShellTest, DoubleClickOpensTheVehicleOnce) {
    VehicleForm* form = openVehicle(1);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->kindTag(), TChildForm::kVehicleKind);
    EXPECT_EQ(form->Record(), fleet_->fleet().vehicles[1].get());
    EXPECT_EQ(form->windowTitle(), "Fleet 0/1");
    // Placed inside the workspace, which at the default frame is narrower than the window.
    const QRect space(QPoint(0, 0), main_->mdiArea()->viewport()->size());
    EXPECT_TRUE(space.contains(form->parentWidget()->geometry()));
    EXPECT_EQ(form->parentWidget()->height(), VehicleForm::kDefaultSize.height());
    EXPECT_EQ(main_->activeChild(), form);
    EXPECT_EQ(main_->toolPanel()->activeVehicleWindow(), form);

    main_->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(fleet_->parentWidget()));
    EXPECT_EQ(openVehicle(1), form);
    EXPECT_EQ(fleet_->vehicleWindows().size(), 1u);
    EXPECT_EQ(main_->activeChild(), form);
    // The default item of the popup does the same, with its own caption.
    fleet_->vehicleBox()->selectRow(0);
    EXPECT_EQ(fleet_->popupMenu()->defaultAction()->text(), "E60");
    EXPECT_TRUE(trigger(fleet_->popupMenu(), "pEdit"));
    EXPECT_EQ(fleet_->vehicleWindows().size(), 2u);
    fleet_->vehicleBox()->selectRow(-1);
    emit fleet_->popupMenu()->aboutToShow();
    EXPECT_FALSE(item(fleet_->popupMenu(), "pEdit")->isEnabled());
}

TEST_F(EditorShellTest, ChildWindowsStayInReachOfTheWorkspace) {
    QMdiArea* mdi = main_->mdiArea();
    const auto subOf = [](QWidget* w) { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); };
    for (const QSize frame : {QSize(870, 640), QSize(1390, 990)}) {
        main_->resize(frame);
        QCoreApplication::processEvents();
        const QRect space(QPoint(0, 0), mdi->viewport()->size());
        VehicleForm* first = openVehicle(0);
        VehicleForm* second = openVehicle(1);
        for (QMdiSubWindow* sub : mdi->subWindowList())
            EXPECT_TRUE(space.contains(sub->geometry()));
        // Cascading from the window opened last.
        EXPECT_GT(subOf(second)->x(), subOf(first)->x());
        EXPECT_GT(subOf(second)->y(), subOf(first)->y());
        first->closeWindow();
        second->closeWindow();
    }

    // A window dragged beyond the edge can be scrolled back.
    VehicleForm* form = openVehicle(0);
    // Its status reaches the frame's status bar, beside the document count.
    QTest::mouseMove(form->View(1), QPoint(1, 1));
    EXPECT_TRUE(
        main_->findChild<QLabel*>(QStringLiteral("PointerText"))->text().startsWith("E621"));
    subOf(form)->move(mdi->viewport()->width() - 40, 0);
    QCoreApplication::processEvents();
    EXPECT_GT(mdi->horizontalScrollBar()->maximum(), 0);

    // Opened while another one is maximised: maximised too; restoring brings the frames back.
    subOf(form)->showMaximized();
    main_->mdiArea()->setActiveSubWindow(subOf(fleet_));
    VehicleForm* next = openVehicle(1);
    EXPECT_TRUE(subOf(next)->isMaximized());
    EXPECT_EQ(subOf(next)->geometry(), QRect(QPoint(0, 0), mdi->viewport()->size()));
    subOf(next)->showNormal();
    for (QMdiSubWindow* sub : mdi->subWindowList()) EXPECT_FALSE(sub->isMaximized());

    // Tiled into a narrow frame, the info strings keep their room.
    main_->resize(500, 600);
    mdi->tileSubWindows();
    QCoreApplication::processEvents();
    for (VehicleForm* v : {form, next})
        EXPECT_GE(v->findChild<QWidget*>(QStringLiteral("Info0"))->width(), 150);
}

TEST_F(EditorShellTest, CellGridFromTheLayoutMenuSurvivesARestart) {
    EXPECT_FALSE(main_->toolPanel()->CellGrid());
    VehicleForm* form = openVehicle(0);
    form->SetZoom(6);
    form->Relayout();
    const QImage plain = form->RenderView(1);
    EXPECT_TRUE(trigger(form->findChild<QMenu*>(QStringLiteral("Menu")), "iGrid"));
    const QImage grid = form->RenderView(1);
    // The first row and column of each cell change, the rest of the cell stays.
    EXPECT_NE(grid.pixel(0, 3), plain.pixel(0, 3));
    EXPECT_NE(grid.pixel(6, 3), plain.pixel(6, 3));
    EXPECT_NE(grid.pixel(3, 6), plain.pixel(3, 6));
    EXPECT_EQ(grid.pixel(3, 3), plain.pixel(3, 3));
    // Below zoom 6 there is no grid.
    form->SetZoom(4);
    form->Relayout();
    const QImage small = form->RenderView(1);
    EXPECT_EQ(small.pixel(0, 0), small.pixel(1, 1));

    endMain(main_);
    main_ = startMain();
    EXPECT_TRUE(main_->toolPanel()->CellGrid());
}

TEST_F(EditorShellTest, RecentColoursSurviveARestart) {
    ToolPanel* panel = main_->toolPanel();
    panel->SetMouseColor(0, 0x510000FF, true);
    panel->SetMouseColor(1, kHalfTransparent, true);
    panel->SetMouseColor(1, 0x00123456, true);
    const std::vector<PixelValue> recent{0x00123456, kHalfTransparent, 0x510000FF};
    ASSERT_EQ(panel->RecentColors(), recent);
    endMain(main_);
    EXPECT_EQ(QSettings("DUR", SettingsApplication()).value("RecentColors").toString(),
              "00123456,80000000,510000ff");
    main_ = startMain();
    EXPECT_EQ(main_->toolPanel()->RecentColors(), recent);
    // The mouse colours themselves start as always.
    EXPECT_EQ(main_->toolPanel()->MouseColor(0), 0x00FFFFFFu);
}

TEST_F(EditorShellTest, JoinedStrokesAreOnAtFirstAndTheChoiceSurvivesARestart) {
    EXPECT_TRUE(main_->toolPanel()->JoinStrokes());
    VehicleForm* form = openVehicle(0);
    EXPECT_TRUE(trigger(form->findChild<QMenu*>(QStringLiteral("Menu")), "iJoin"));
    EXPECT_FALSE(main_->toolPanel()->JoinStrokes());
    endMain(main_);
    main_ = startMain();
    EXPECT_FALSE(main_->toolPanel()->JoinStrokes());
}

// Every key of the frame, the panel and a vehicle window belongs to one command, and none
// takes the Alt key of a menu title, in each shipped language.
TEST_F(EditorShellTest, NoTwoCommandsShareAKey) {
    endMain(main_);
    for (const char* name : {"rvk3b2.lng", "deutsch.lng"}) {
        const QString shipped = QStringLiteral(RVK_SOURCE_DIR "/lang/") + QLatin1String(name);
        QFile::remove(programFolder() + "/rvk3b2.lng");
        ASSERT_TRUE(QFile::copy(shipped, programFolder() + "/rvk3b2.lng"));
        main_ = startMain();
        main_->OpenDocument(path_);
        doc_ = main_->documents().back();
        fleet_ = openFleet(doc_, 0);
        ASSERT_TRUE(openVehicle(0));
        std::map<QString, QStringList> owners;
        for (const QAction* a : main_->findChildren<QAction*>())
            for (const QKeySequence& k : a->shortcuts())
                owners[k.toString()] << (a->objectName().isEmpty() ? a->text() : a->objectName());
        for (const QAction* title : main_->menuBar()->actions()) {
            const QKeySequence alt = QKeySequence::mnemonic(title->text());
            if (!alt.isEmpty()) owners[alt.toString()] << title->text();
        }
        ASSERT_GT(owners.size(), 15u);
        // The same command of each child window (its system menu's Close) counts once.
        for (auto& [key, commands] : owners) commands.removeDuplicates();
        for (const auto& [key, commands] : owners)
            EXPECT_EQ(commands.size(), 1) << name << ": " << key.toStdString() << " for "
                                          << commands.join(QStringLiteral(", ")).toStdString();
        endMain(main_);
    }
}

TEST_F(EditorShellTest, DrawingMarksTheDocumentAndSaveWritesIt) {
    VehicleForm* form = openVehicle(0);
    const QPoint at(2 * form->Zoom() + 1, 3 * form->Zoom() + 1);
    QTest::mouseClick(form->View(3), Qt::LeftButton, {}, at);
    EXPECT_TRUE(doc_->document().modified);
    EXPECT_EQ(doc_->windowTitle(), "editor.rvk *");
    EXPECT_EQ(main_->DocumentOfActiveWindow(), doc_);

    // The panel's Save button acts on the document of the active vehicle window.
    auto* save = main_->toolPanel()->findChild<QPushButton*>(QStringLiteral("bSave"));
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(save->text(), "E110");
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(doc_->document().modified);
    FileDoc reread;
    reread.path = path_.toStdString();
    ASSERT_TRUE(LoadDocument(reread).ok);
    EXPECT_EQ(reread.fleets[0]->vehicles[0]->Planes[3].at(2, 3), 0x00FFFFFFu);
}

// Draw, Save, Undo, Save, Redo, Save at either scale: every save writes what the window
// shows, and Undo and Redo after a save leave the document modified.
TEST_F(EditorShellTest, SaveAfterUndoOrRedoWritesWhatTheWindowShows) {
    VehicleForm* form = openVehicle(0);
    VehicleRec& rec = *form->Record();
    prompts().answerMessage(MsgAnswer::Yes);  // derive the Zoom2 graphics
    QTest::mouseClick(form->findChild<QCheckBox*>(QStringLiteral("cbZoom2")), Qt::LeftButton);
    ASSERT_TRUE(rec.Zoom2Exists);
    auto* save = main_->toolPanel()->findChild<QPushButton*>(QStringLiteral("bSave"));
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    const auto savedAsShown = [&](const char* step) {
        SCOPED_TRACE(step);
        EXPECT_TRUE(doc_->document().modified);
        EXPECT_EQ(doc_->windowTitle(), "editor.rvk *");
        QTest::mouseClick(save, Qt::LeftButton);
        ASSERT_FALSE(doc_->document().modified);
        FileDoc reread;
        reread.path = path_.toStdString();
        ASSERT_TRUE(LoadDocument(reread).ok);
        const VehicleRec& stored = *reread.fleets[0]->vehicles[0];
        ExpectSameViews(stored, rec, false);
        ASSERT_TRUE(stored.Zoom2Exists);
        ExpectSameViews(stored, rec, true);
    };
    savedAsShown("derived");
    for (const int tab : {0, 1}) {
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
        ASSERT_EQ(form->ShowsZoom2(), tab == 1);
        const QPoint at(2 * form->Zoom() + 1, 3 * form->Zoom() + 1);
        QTest::mouseClick(form->View(3), Qt::LeftButton, {}, at);
        const PixelValue drawn = PlaneOf(&rec, 3, tab == 1).plane->at(2, 3);
        EXPECT_NE(drawn, kTransparent);
        savedAsShown("drawn");
        form->findChild<QAction*>(QStringLiteral("iUndo"))->trigger();
        EXPECT_EQ(PlaneOf(&rec, 3, tab == 1).plane->at(2, 3), kTransparent);
        savedAsShown("undone");
        form->findChild<QAction*>(QStringLiteral("iRedo"))->trigger();
        EXPECT_EQ(PlaneOf(&rec, 3, tab == 1).plane->at(2, 3), drawn);
        savedAsShown("redone");
    }
}

// The companion file records the vehicle's length: a new length at normal scale must
// write it again, or the next opening refuses it and the Zoom2 graphics are lost.
TEST_F(EditorShellTest, NewLengthKeepsTheZoom2GraphicsOverSaving) {
    VehicleForm* form = openVehicle(0);
    prompts().answerMessage(MsgAnswer::Yes);  // derive the Zoom2 graphics
    QTest::mouseClick(form->findChild<QCheckBox*>(QStringLiteral("cbZoom2")), Qt::LeftButton);
    auto* save = main_->toolPanel()->findChild<QPushButton*>(QStringLiteral("bSave"));
    QTest::mouseClick(save, Qt::LeftButton);
    const int length = form->Record()->Length;
    QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("ud0"))
                          ->findChild<QWidget*>(QStringLiteral("up")),
                      Qt::LeftButton);
    ASSERT_EQ(form->Record()->Length, length + 2);
    QTest::mouseClick(save, Qt::LeftButton);
    FileDoc reread;
    reread.path = path_.toStdString();
    ASSERT_TRUE(LoadDocument(reread).ok);
    const VehicleRec& stored = *reread.fleets[0]->vehicles[0];
    EXPECT_EQ(stored.Length, length + 2);
    EXPECT_TRUE(stored.Zoom2Exists);
}

TEST_F(EditorShellTest, DeletingTheVehicleClosesItsWindowFirst) {
    openVehicle(0);
    VehicleForm* other = openVehicle(1);
    fleet_->vehicleBox()->selectRow(0);
    prompts().answerMessage(MsgAnswer::Yes);
    EXPECT_TRUE(trigger(fleet_->popupMenu(), "pDelete"));
    QCoreApplication::processEvents();
    ASSERT_EQ(fleet_->vehicleWindows().size(), 1u);
    EXPECT_EQ(fleet_->vehicleWindows()[0], other);
    EXPECT_EQ(main_->toolPanel()->vehicleWindows().size(), 1);
}

TEST_F(EditorShellTest, ClosingTheFleetOrDocumentClosesItsVehicleWindows) {
    openVehicle(0);
    openVehicle(1);
    EXPECT_TRUE(fleet_->closeWindow());
    QCoreApplication::processEvents();
    EXPECT_TRUE(main_->toolPanel()->vehicleWindows().isEmpty());

    fleet_ = openFleet(doc_, 1);
    openVehicle(0);
    EXPECT_TRUE(doc_->closeWindow());
    QCoreApplication::processEvents();
    EXPECT_TRUE(main_->mdiArea()->subWindowList().isEmpty());
}

TEST_F(EditorShellTest, LanguageChangeReachesOpenVehicleWindows) {
    VehicleForm* form = openVehicle(0);
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    EXPECT_EQ(tabs->tabText(0), "E200");
    EXPECT_EQ(form->editMenu()->title(), "E6");
    prompts().answerText(programFolder() + QStringLiteral("/deutsch.lng"));
    EXPECT_TRUE(trigger(menu(main_.get(), "mOptions"), "iLanguage"));
    EXPECT_EQ(tabs->tabText(0), "D200");
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("iUndo"))->text(), "D70");
    auto* panel = main_->toolPanel();
    EXPECT_EQ(panel->findChild<QCheckBox*>(QStringLiteral("cbSingleSel"))->text(), "D100");
}

TEST_F(EditorShellTest, SingleSelectionIsKeptInTheSettings) {
    auto* box = main_->toolPanel()->findChild<QCheckBox*>(QStringLiteral("cbSingleSel"));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    endMain(main_);
    EXPECT_EQ(SettingsStore().read().singleSel, true);
    main_ = startMain();
    EXPECT_TRUE(main_->toolPanel()->SingleSelection());
}

}  // namespace
}  // namespace rvk
