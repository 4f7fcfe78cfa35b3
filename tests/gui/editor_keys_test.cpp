// Joined pen strokes, the keys of the tools, panning, the fit zoom and moving the
// selection with the arrow keys, all with real events on the vehicle window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <map>

#include "editor/trace_picture.h"
#include "editor_test_host.h"

namespace rvk {
namespace {

using test::EditorTest;
using test::Painted;

QScrollArea* ScrollBox(VehicleForm* form) {
    return form->findChild<QScrollArea*>(QStringLiteral("ScrollBox"));
}

TEST_F(EditorTest, FastPenStrokeIsJoinedAsTheLineToolDrawsIt) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    // Positions far apart, as a fast hand reports them, with a pause and a reversal.
    const std::vector<std::pair<int, int>> path{{0, 0}, {9, 3}, {9, 3}, {2, 7}, {14, 1}};
    std::vector<QPoint> pen;
    for (const auto& [x, y] : path) pen.push_back(cell(form, x, y));
    drag(form->View(0), Qt::LeftButton, {}, pen);
    clickTool("tbLine");
    for (std::size_t i = 1; i < path.size(); ++i)
        drag(form->View(1), Qt::LeftButton, {}, {pen[i - 1], pen[i]});
    EXPECT_GT(Painted(rec.Planes[0]).size(), 25u);
    EXPECT_EQ(Painted(rec.Planes[0]), Painted(rec.Planes[1]));
}

TEST_F(EditorTest, KeysPressTheToolsAndStepTheNightLevelButAreTypedInEditFields) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    panel->applyTexts();
    EXPECT_EQ(find<QAction>("tbPen")->toolTip(), QStringLiteral("Pen (key B)"));
    EXPECT_EQ(find<QGroupBox>("DaylightGroup")->toolTip(), QStringLiteral("Day and night (key N)"));

    // A press into a view gives the views the keyboard.
    clickTool("tbSelect");
    click(form->View(1), Qt::LeftButton, {}, cell(form, 1, 1));
    ASSERT_TRUE(ScrollBox(form)->hasFocus());
    const std::pair<Qt::Key, const char*> keys[] = {{Qt::Key_I, "tbColor"}, {Qt::Key_G, "tbFill"},
                                                    {Qt::Key_L, "tbLine"},  {Qt::Key_M, "tbSelect"},
                                                    {Qt::Key_R, "tbRect"},  {Qt::Key_B, "tbPen"}};
    for (const auto& [k, name] : keys) {
        QTest::keyClick(QApplication::focusWidget(), k);
        EXPECT_TRUE(find<QAction>(name)->isChecked()) << name;
    }
    for (const NightLevel level : {3, 2, 1, 0}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N);
        EXPECT_EQ(panel->CurrentNightLevel(), level);
    }
    // Elsewhere in the window too.
    auto* box = form->findChild<QCheckBox*>(QStringLiteral("cbSE"));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_G);
    EXPECT_EQ(panel->PressedTool(), PanelTool::Fill);

    // An info string takes the letters as text.
    auto* edit = form->findChild<QLineEdit*>(QStringLiteral("Info1"));
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("bilgrmn"));
    EXPECT_EQ(edit->text(), QStringLiteral("bilgrmn"));
    EXPECT_EQ(panel->PressedTool(), PanelTool::Fill);
    EXPECT_EQ(panel->CurrentNightLevel(), 0);
}

TEST_F(EditorTest, MiddleButtonAndSpaceWithTheLeftButtonPanTheViews) {
    VehicleRec& rec = vehicle();
    rec.Length = 200;
    VehicleForm* form = open(rec);
    form->SetZoom(16);
    form->Relayout();
    QApplication::processEvents();
    QScrollBar* h = ScrollBox(form)->horizontalScrollBar();
    QScrollBar* v = ScrollBox(form)->verticalScrollBar();
    h->setValue(h->maximum() / 2);
    v->setValue(v->maximum() / 2);
    ASSERT_GT(h->value(), 40);
    ASSERT_GT(v->value(), 40);
    const int h0 = h->value();
    const int v0 = v->value();
    QWidget* view = form->View(0);
    const QPoint at = view->mapFrom(ScrollBox(form)->viewport(), QPoint(200, 150));

    QTest::mousePress(view, Qt::MiddleButton, {}, at);
    ASSERT_TRUE(QApplication::overrideCursor());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(view, at + QPoint(-30, -20));
    QTest::mouseRelease(view, Qt::MiddleButton, {}, at + QPoint(-30, -20));
    EXPECT_EQ(h->value(), h0 + 30);
    EXPECT_EQ(v->value(), v0 + 20);
    EXPECT_FALSE(QApplication::overrideCursor());

    // Space held: the left button pans instead of drawing, under a hand.
    ScrollBox(form)->setFocus();
    QTest::keyPress(ScrollBox(form), Qt::Key_Space);
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    const QPoint from = view->mapFrom(ScrollBox(form)->viewport(), QPoint(200, 150));
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, from + QPoint(30, 20));
    QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(30, 20));
    QTest::keyRelease(ScrollBox(form), Qt::Key_Space);
    EXPECT_EQ(h->value(), h0);
    EXPECT_EQ(v->value(), v0);
    EXPECT_TRUE(Painted(rec.Planes[0]).empty());
    EXPECT_NE(view->cursor().shape(), Qt::OpenHandCursor);
    // Without Space the left button draws again.
    QTest::mouseClick(view, Qt::LeftButton, {}, cell(form, 2, 1));
    EXPECT_EQ(Painted(rec.Planes[0]).size(), 1u);

    // Space pressed, then the keyboard goes elsewhere and the release never arrives:
    // the hold ends with the focus, and the next click draws.
    ScrollBox(form)->setFocus();
    QTest::keyPress(ScrollBox(form), Qt::Key_Space);
    QLineEdit elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    elsewhere.setFocus();
    QApplication::processEvents();
    EXPECT_NE(view->cursor().shape(), Qt::OpenHandCursor);
    QTest::mouseClick(view, Qt::LeftButton, {}, cell(form, 3, 1));
    EXPECT_EQ(Painted(rec.Planes[0]).size(), 2u);
}

TEST_F(EditorTest, CtrlZeroTakesTheLargestZoomThatShowsEveryView) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    QWidget* area = form->findChild<QWidget*>(QStringLiteral("ViewArea"));
    const auto fits = [&] {
        const QSize room = ScrollBox(form)->maximumViewportSize();
        return area->width() <= room.width() && area->height() <= room.height();
    };
    for (const int layout : {0, 1}) {
        panel->SetViewLayout(layout);
        for (const int start : {1, 16}) {
            form->SetZoom(start);
            form->Relayout();
            QTest::keyClick(ScrollBox(form), Qt::Key_0, Qt::ControlModifier);
            const int fitted = form->Zoom();
            EXPECT_TRUE(fits()) << layout << " " << fitted;
            form->StepZoom(true);
            EXPECT_FALSE(fits()) << layout << " " << fitted;
        }
    }
}

TEST_F(EditorTest, ArrowsMoveTheSelectedPixelsShiftArrowsTheFrameAlone) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    Plane& plane = rec.Planes[2];
    const int w = plane.width();
    const std::vector<std::pair<int, int>> block{{1, 1}, {2, 1}, {1, 2}, {2, 2}};
    for (const auto& [x, y] : block) plane.set(x, y, static_cast<PixelValue>(10 * x + y));
    plane.set(3, 1, 99);
    click(form->View(2), Qt::LeftButton, Qt::ShiftModifier, cell(form, 1, 1));
    click(form->View(2), Qt::RightButton, Qt::ShiftModifier, cell(form, 2, 2));
    ScrollBox(form)->setFocus();
    const int edits = owner.modified;
    const auto press = [&](Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(ScrollBox(form), k, mods);
    };

    press(Qt::Key_Right);
    EXPECT_EQ(plane.at(1, 1), kTransparent);
    EXPECT_EQ(plane.at(1, 2), kTransparent);
    EXPECT_EQ(plane.at(2, 1), 11u);
    EXPECT_EQ(plane.at(3, 1), 21u);  // covers what lay there
    EXPECT_EQ(plane.at(3, 2), 22u);
    EXPECT_EQ(form->SelectionRect(), (CellRect{2, 1, 3, 2}));
    EXPECT_EQ(owner.modified, edits + 1);
    press(Qt::Key_Down);
    EXPECT_EQ(plane.at(2, 2), 11u);
    EXPECT_EQ(Painted(plane).size(), 4u);
    // One undo step per move.
    form->Undo();
    EXPECT_EQ(plane.at(2, 1), 11u);
    form->Undo();
    EXPECT_EQ(plane.at(3, 1), 99u);
    EXPECT_EQ(plane.at(1, 1), 11u);

    // The frame alone; it stops at the top and left edges.
    form->SetSelection({2, {1, 1}, 2, {2, 2}});
    press(Qt::Key_Up, Qt::ShiftModifier);
    press(Qt::Key_Up, Qt::ShiftModifier);
    press(Qt::Key_Left, Qt::ShiftModifier);
    press(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(form->SelectionRect(), (CellRect{0, 0, 1, 1}));
    EXPECT_EQ(plane.at(1, 1), 11u);
    // Beyond the right edge the pixels are cut, as Paste cuts them.
    form->SetSelection({2, {w - 3, 0}, 2, {w - 1, 0}});
    plane.set(w - 3, 0, 5);
    plane.set(w - 1, 0, 7);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_EQ(plane.at(w - 1, 0), 5u);
    EXPECT_EQ(form->SelectionRect(), (CellRect{w - 1, 0, w - 1, 0}));
    const std::size_t left = Painted(plane).size();
    press(Qt::Key_Right);
    EXPECT_EQ(Painted(plane).size(), left);
    EXPECT_EQ(form->SelectionRect(), (CellRect{w - 1, 0, w - 1, 0}));
}

}  // namespace
}  // namespace rvk

namespace rvk {
namespace {

using test::EditorTest;

TEST_F(EditorTest, EveryKeyOfTheVehicleWindowRunsOneCommand) {
    VehicleForm* form = open(vehicle());
    std::map<QString, QString> seen;
    for (const QAction* action : form->findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            const auto [at, added] = seen.emplace(key.toString(), action->objectName());
            EXPECT_TRUE(added) << key.toString().toStdString() << ": " << at->second.toStdString()
                               << " and " << action->objectName().toStdString();
        }
    }
    // The trace picture's key is among them.
    EXPECT_EQ(seen.count(QKeySequence(TracePicture::kToggleKey).toString()), 1u);
    EXPECT_GT(seen.size(), 10u);
}

}  // namespace
}  // namespace rvk
