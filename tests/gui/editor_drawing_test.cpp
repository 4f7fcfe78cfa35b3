// Drawing on the views of a vehicle window with real mouse events.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QMouseEvent>

#include "editor_test_host.h"

namespace rvk {
namespace {

using test::EditorTest;
using test::Painted;

constexpr PixelValue kWhite = 0x00FFFFFF;
constexpr PixelValue kRed = 0x000000FF;


TEST_F(EditorTest, PenClickSetsOnePixelAndMarksTheDocument) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    click(form->View(3), Qt::LeftButton, {}, cell(form, 2, 3));
    EXPECT_EQ(Painted(rec.Planes[3]), (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(rec.Planes[3].at(2, 3), kWhite);
    EXPECT_EQ(owner.modified, 1);
    EXPECT_FALSE(rec.Zoom2Modified);
    // The right button paints with the right colour (transparent at start).
    click(form->View(3), Qt::RightButton, {}, cell(form, 2, 3));
    EXPECT_EQ(rec.Planes[3].at(2, 3), kTransparent);
}

TEST_F(EditorTest, PenStrokeFollowsThePointerWithoutJoining) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    form->findChild<QAction*>(QStringLiteral("iJoin"))->trigger();
    ASSERT_FALSE(panel->JoinStrokes());
    drag(form->View(2), Qt::LeftButton, {}, {cell(form, 0, 0), cell(form, 3, 0), cell(form, 5, 2)});
    EXPECT_EQ(Painted(rec.Planes[2]), (std::vector<std::pair<int, int>>{{0, 0}, {3, 0}, {5, 2}}));
    // Positions outside the paint box are ignored while the mouse is captured.
    drag(form->View(2), Qt::LeftButton, {}, {cell(form, 1, 1), QPoint(-3, 5), QPoint(5, 9999)});
    EXPECT_EQ(Painted(rec.Planes[2]).size(), 4u);
}

TEST_F(EditorTest, FractionalPointerPositionsFallInTheCellBelowThem) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    ASSERT_EQ(form->Zoom(), 4);
    form->findChild<QAction*>(QStringLiteral("iJoin"))->trigger();
    QWidget* view = form->View(2);
    // As a fractional screen scale delivers them: 3.6 still lies in cell 0, and -0.4
    // lies outside the paint box.
    const auto send = [view](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent e(type, at, view->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(view, &e);
    };
    send(QEvent::MouseButtonPress, {3.6, 1.0}, Qt::LeftButton);
    send(QEvent::MouseMove, {-0.4, 9.0}, Qt::LeftButton);
    send(QEvent::MouseMove, {9.0, 7.7}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {9.0, 7.7}, Qt::NoButton);
    EXPECT_EQ(Painted(rec.Planes[2]), (std::vector<std::pair<int, int>>{{0, 0}, {2, 1}}));
}

TEST_F(EditorTest, LineToolDrawsTheRoundedPoints) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    clickTool("tbLine");
    drag(form->View(2), Qt::LeftButton, {}, {cell(form, 2, 3), cell(form, 4, 9), cell(form, 7, 5)});
    EXPECT_EQ(Painted(rec.Planes[2]),
              (std::vector<std::pair<int, int>>{{2, 3}, {3, 3}, {4, 4}, {5, 4}, {6, 5}, {7, 5}}));
    // Each position counts as an edit, and the release that draws the line once more.
    EXPECT_EQ(owner.modified, 4);

    // A click without movement draws nothing but still counts as an edit.
    click(form->View(3), Qt::LeftButton, {}, cell(form, 1, 1));
    EXPECT_TRUE(Painted(rec.Planes[3]).empty());
    EXPECT_EQ(owner.modified, 5);
}

TEST_F(EditorTest, LinePreviewShowsBeforeTheRelease) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    clickTool("tbLine");
    QWidget* view = form->View(2);
    QTest::mousePress(view, Qt::LeftButton, {}, cell(form, 0, 0));
    QTest::mouseMove(view, cell(form, 3, 0));
    EXPECT_TRUE(Painted(rec.Planes[2]).empty());
    const QImage shown = form->RenderView(2);
    EXPECT_EQ(shown.pixel(cell(form, 2, 0)), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(8, 4), qRgb(0, 0x70, 0));  // a corner of cell (2, 1)
    QTest::mouseRelease(view, Qt::LeftButton, {}, cell(form, 3, 0));
    EXPECT_EQ(Painted(rec.Planes[2]).size(), 4u);
}

TEST_F(EditorTest, RectangleToolFillsFromAnyCorner) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    clickTool("tbRect");
    drag(form->View(2), Qt::LeftButton, {}, {cell(form, 5, 5), cell(form, 2, 8)});
    const auto painted = Painted(rec.Planes[2]);
    EXPECT_EQ(painted.size(), 16u);
    for (auto [x, y] : painted) EXPECT_TRUE(x >= 2 && x <= 5 && y >= 5 && y <= 8);
}

TEST_F(EditorTest, FillReachesTheHiddenRowsOfASideView) {
    VehicleRec& rec = vehicle();
    rec.HeightS = 10;
    for (int y = 4; y < 14; ++y) rec.Planes[1].set(8, y, kRed);  // a wall in the visible rows
    VehicleForm* form = open(rec);
    clickTool("tbFill");
    click(form->View(1), Qt::LeftButton, {}, cell(form, 0, 9));  // plane row 13
    EXPECT_EQ(rec.Planes[1].at(0, 0), kWhite);
    EXPECT_EQ(rec.Planes[1].at(20, 13), kWhite);  // round the wall, through the hidden rows
    EXPECT_EQ(rec.Planes[1].at(255, 0), kWhite);  // and beyond the vehicle's length
    EXPECT_EQ(rec.Planes[1].at(8, 9), kRed);
    EXPECT_EQ(rec.Planes[0].at(0, 0), kTransparent);
}

TEST_F(EditorTest, AltClickReplacesOneExactValue) {
    VehicleRec& rec = vehicle();
    const PixelValue redLamp = 0x510000FF;
    rec.Planes[2].set(0, 0, kRed);
    rec.Planes[2].set(7, 15, kRed);
    rec.Planes[2].set(3, 3, redLamp);
    rec.Planes[4].set(0, 0, kRed);
    VehicleForm* form = open(rec);
    click(form->View(2), Qt::LeftButton, Qt::AltModifier, cell(form, 0, 0));
    EXPECT_EQ(rec.Planes[2].at(0, 0), kWhite);
    EXPECT_EQ(rec.Planes[2].at(7, 15), kWhite);
    EXPECT_EQ(rec.Planes[2].at(3, 3), redLamp);
    EXPECT_EQ(rec.Planes[2].at(1, 0), kTransparent);
    EXPECT_EQ(rec.Planes[4].at(0, 0), kRed);  // other views stay

    // Within the selection when the view holds it.
    rec.Planes[2].set(0, 0, kRed);
    rec.Planes[2].set(7, 15, kRed);
    click(form->View(2), Qt::LeftButton, Qt::ShiftModifier, cell(form, 0, 0));
    click(form->View(2), Qt::RightButton, Qt::ShiftModifier, cell(form, 2, 2));
    click(form->View(2), Qt::LeftButton, Qt::AltModifier, cell(form, 0, 0));
    EXPECT_EQ(rec.Planes[2].at(0, 0), kWhite);
    EXPECT_EQ(rec.Planes[2].at(7, 15), kRed);
}

TEST_F(EditorTest, SelectionCornersAreKeptInPlaneCoordinates) {
    VehicleRec& rec = vehicle();
    rec.HeightS = 10;
    VehicleForm* form = open(rec);
    clickTool("tbSelect");
    click(form->View(1), Qt::LeftButton, {}, cell(form, 3, 0));
    click(form->View(1), Qt::RightButton, {}, cell(form, 10, 3));
    const VehicleSelection& s = form->Selection();
    EXPECT_EQ(s.SelView1, 1);
    EXPECT_EQ(s.SelView2, 1);
    EXPECT_EQ(s.SelPoint1, (CellPoint{3, 4}));
    EXPECT_EQ(s.SelPoint2, (CellPoint{10, 7}));
    ASSERT_TRUE(form->SelectionRect().has_value());
    EXPECT_EQ(*form->SelectionRect(), (CellRect{3, 4, 10, 7}));
    EXPECT_EQ(owner.modified, 0);
    // The frame lies on the outermost screen pixels of the selected cells.
    const QImage shown = form->RenderView(1);
    EXPECT_EQ(shown.pixel(12, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(13, 0), qRgb(0, 0x70, 0));
    EXPECT_EQ(shown.pixel(43, 14), qRgb(255, 255, 255));
    // No undo step: Undo changes nothing.
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Selection().SelPoint1, (CellPoint{3, 4}));
}

TEST_F(EditorTest, CornersInDifferentViewsSelectNothing) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    click(form->View(0), Qt::RightButton, Qt::ShiftModifier, cell(form, 1, 1));
    click(form->View(1), Qt::LeftButton, Qt::ShiftModifier, cell(form, 4, 4));
    EXPECT_FALSE(form->SelectionRect().has_value());
    click(form->View(1), Qt::RightButton, Qt::ShiftModifier, cell(form, 6, 5));
    EXPECT_EQ(*form->SelectionRect(), (CellRect{4, 4, 6, 5}));
}

TEST_F(EditorTest, CtrlRightClickPicksTheColourWithItsType) {
    VehicleRec& rec = vehicle();
    const PixelValue lamp = 0x5000A0FF;
    rec.Planes[3].set(1, 2, lamp);
    VehicleForm* form = open(rec);
    click(form->View(3), Qt::RightButton, Qt::ControlModifier, cell(form, 1, 2));
    EXPECT_EQ(panel->MouseColor(1), lamp);
    EXPECT_EQ(find<QComboBox>("bBG")->currentIndex(), 4);
    EXPECT_EQ(panel->MouseColor(0), kWhite);
    EXPECT_EQ(owner.modified, 0);
    // The colour tool does the same without Ctrl.
    clickTool("tbColor");
    click(form->View(3), Qt::LeftButton, {}, cell(form, 1, 2));
    EXPECT_EQ(panel->MouseColor(0), lamp);
}

TEST_F(EditorTest, EditsOnTheZoom2TabMarkZoom2Modified) {
    VehicleRec& rec = vehicle();
    rec.Zoom2Exists = true;
    VehicleForm* form = open(rec);
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ASSERT_TRUE(form->ShowsZoom2());
    click(form->View(3), Qt::LeftButton, {}, cell(form, 10, 17));
    EXPECT_EQ(rec.Zoom2Planes[3].at(10, 17), kWhite);
    EXPECT_EQ(rec.Planes[3].at(10, 8), kTransparent);
    EXPECT_TRUE(rec.Zoom2Modified);
    EXPECT_EQ(owner.modified, 1);
}

// UndoSteps 7 keeps the seven steps of old.
TEST_F(EditorTest, NineStrokesSevenUndos) {
    panel->SetUndoSteps(7);
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    for (int i = 0; i < 9; ++i) click(form->View(2), Qt::LeftButton, {}, cell(form, i % 8, i));
    for (int i = 0; i < 7; ++i) key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Painted(rec.Planes[2]), (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}}));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Painted(rec.Planes[2]).size(), 2u);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Painted(rec.Planes[2]).size(), 3u);
    // Each Undo and Redo that restores planes counts as an edit; the idle eighth does not.
    EXPECT_EQ(owner.modified, 9 + 7 + 1);
}

TEST_F(EditorTest, NineStrokesAllUndoneByDefault) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    for (int i = 0; i < 9; ++i) click(form->View(2), Qt::LeftButton, {}, cell(form, i % 8, i));
    for (int i = 0; i < 9; ++i) key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Painted(rec.Planes[2]).empty());
    for (int i = 0; i < 9; ++i) key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Painted(rec.Planes[2]).size(), 9u);
}

// A change the window did not make (another window's, say) is left alone by Undo.
TEST_F(EditorTest, UndoAfterAnUnrecordedEditKeepsIt) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    click(form->View(2), Qt::LeftButton, {}, cell(form, 0, 0));
    rec.Planes[2].set(5, 5, kRed);
    click(form->View(2), Qt::LeftButton, {}, cell(form, 1, 0));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Painted(rec.Planes[2]), (std::vector<std::pair<int, int>>{{0, 0}, {5, 5}}));
}

TEST_F(EditorTest, UndoOnTheZoom2TabRestoresBothScales) {
    VehicleRec& rec = vehicle();
    rec.Zoom2Exists = true;
    VehicleForm* form = open(rec);
    click(form->View(3), Qt::LeftButton, {}, cell(form, 0, 0));
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    click(form->View(3), Qt::LeftButton, {}, cell(form, 0, 0));
    rec.Length = 40;
    rec.Zoom2Modified = false;
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rec.Zoom2Planes[3].at(0, 0), kTransparent);
    EXPECT_TRUE(rec.Zoom2Modified);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rec.Planes[3].at(0, 0), kTransparent);
    EXPECT_EQ(rec.Length, 40);
    // Back on the normal tab: the normal stroke leaves the companion file as saved, the
    // Zoom2 stroke comes back and has it saved again.
    rec.Zoom2Modified = false;
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(rec.Planes[3].at(0, 0), kTransparent);
    EXPECT_FALSE(rec.Zoom2Modified);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(rec.Zoom2Planes[3].at(0, 0), kTransparent);
    EXPECT_TRUE(rec.Zoom2Modified);
}

TEST_F(EditorTest, SteamPointsAreFramedInBothSideViews) {
    VehicleRec& rec = vehicle();
    rec.Length = 40;
    rec.SteamCount = 1;
    rec.Steam[0] = 10, rec.Steam[1] = 8, rec.Steam[2] = 5;
    VehicleForm* form = open(rec);
    const QRgb red = qRgb(255, 0, 0);
    // vLeft: cells 10..14, rows 5 up to -1; the frame's bottom edge runs along row 5.
    const QImage left = form->RenderView(1);
    EXPECT_EQ(left.pixel(40, 23), red);
    EXPECT_EQ(left.pixel(59, 0), red);
    EXPECT_NE(left.pixel(60, 0), red);
    // vRight mirrored: cells 29 down to 25.
    const QImage right = form->RenderView(0);
    EXPECT_EQ(right.pixel(100, 23), red);
    EXPECT_EQ(right.pixel(119, 0), red);
    EXPECT_NE(right.pixel(99, 23), red);

    // The band for a new steam point while one is being placed.
    form->BeginSteamPlacing(-1);
    EXPECT_EQ(form->RenderView(1).pixel(0, 8), qRgb(0, 255, 0));
    click(form->View(1), Qt::LeftButton, {}, cell(form, 0, 13));
    EXPECT_EQ(rec.Planes[1].at(0, 13), kTransparent);  // no drawing meanwhile
    form->EndSteamPlacing(false);
}

TEST_F(EditorTest, CaptionIsTheVehicleName) {
    VehicleRec& rec = vehicle();
    rec.Info[0] = "Tram \xE9";  // Windows-1252 e acute
    VehicleForm* form = open(rec);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Tram \u00E9"));
    rec.Info[0].clear();
    form->UpdateCaption();
    EXPECT_TRUE(form->windowTitle().isEmpty());
}

TEST_F(EditorTest, ClosingLeavesTheOwnerList) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    form->closeWindow();
    QApplication::processEvents();
    EXPECT_EQ(owner.removed, (std::vector<TChildForm*>{form}));
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
}

}  // namespace
}  // namespace rvk
