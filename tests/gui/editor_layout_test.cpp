// Where the vehicle window puts its views, its tabs and its panels.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QWheelEvent>

#include "editor_test_host.h"

namespace rvk {
namespace {

using test::EditorTest;

QSize SizeOf(VehicleForm* form, int view) {
    return form->View(view)->size();
}

TEST_F(EditorTest, FreshVehicleAtZoomFour) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    EXPECT_EQ(SizeOf(form, 1), QSize(128, 56));
    EXPECT_EQ(SizeOf(form, 0), QSize(128, 56));
    EXPECT_EQ(SizeOf(form, 2), QSize(32, 64));
    EXPECT_EQ(SizeOf(form, 4), QSize(32, 64));
    for (int v : {3, 5, 6, 7}) EXPECT_EQ(SizeOf(form, v), QSize(32, 36)) << v;
    for (int v = 0; v < kViewCount; ++v) EXPECT_TRUE(form->View(v)->isVisible()) << v;
    // vLeft's panel at (8, 9), vRight's below it, the end-view columns below that.
    EXPECT_EQ(form->View(1)->pos(), QPoint(8 + 2 + 11, 9 + 2));
    EXPECT_EQ(form->View(0)->pos(), QPoint(21, 9 + 60 + 9 + 2));
    EXPECT_EQ(form->View(2)->pos().y(), 9 + 60 + 9 + 60 + 9 + 2);
    EXPECT_GT(form->View(4)->pos().x(), form->View(2)->pos().x() + 32);
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), "Normal scale");
    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("PageControl"));
    EXPECT_EQ(pages->tabText(0), "Vehicle size");
    EXPECT_EQ(pages->tabText(1), "Vehicle properties");
}

// Wheel notches at a point of the views' scroll box, where the views' wheel events end up.
void Wheel(QWidget* viewport, QPoint at, int notches, Qt::KeyboardModifiers mods) {
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

TEST_F(EditorTest, CtrlWheelZoomsAroundThePointerAndKeysStepLikeTheButtons) {
    VehicleRec& rec = vehicle();
    rec.Length = 200;  // wider than the window at any zoom above 4
    VehicleForm* form = open(rec);
    auto* scroll = form->findChild<QScrollArea*>(QStringLiteral("ScrollBox"));
    QWidget* viewport = scroll->viewport();
    // The spot of the viewport that stays put, and the cell of the left side view there.
    const QPoint spot(300, 40);
    const auto cellAt = [&] {
        const QPoint p = form->View(1)->mapFrom(viewport, spot);
        return QPoint(p.x() / form->Zoom(), p.y() / form->Zoom());
    };
    const QPoint cell = cellAt();
    for (const int expected : {6, 8, 10}) {
        Wheel(viewport, spot, 1, Qt::ControlModifier);
        EXPECT_EQ(form->Zoom(), expected);
        EXPECT_EQ(cellAt(), cell) << expected;
    }
    EXPECT_GT(scroll->horizontalScrollBar()->value(), 0);
    Wheel(viewport, spot, -2, Qt::ControlModifier);
    EXPECT_EQ(form->Zoom(), 6);
    EXPECT_EQ(cellAt(), cell);
    // The plain wheel scrolls and leaves the zoom alone.
    const int top = scroll->verticalScrollBar()->value();
    Wheel(viewport, spot, -1, Qt::NoModifier);
    EXPECT_EQ(form->Zoom(), 6);
    EXPECT_GT(scroll->verticalScrollBar()->value(), top);

    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(form->Zoom(), 8);
    key(Qt::Key_Minus, Qt::ControlModifier);
    key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(form->Zoom(), 4);
    // At the limit the wheel does nothing more, as the button is disabled.
    for (int i = 0; i < 4; ++i) Wheel(viewport, QPoint(1, 1), -1, Qt::ControlModifier);
    EXPECT_EQ(form->Zoom(), 1);
    // Copy and Paste show their keys.
    EXPECT_EQ(form->editMenu()->findChild<QAction*>(QStringLiteral("iCopy"))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(form->editMenu()->findChild<QAction*>(QStringLiteral("iPaste"))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_V));
}

TEST_F(EditorTest, StatusInfoNamesTheCellAndPixelUnderThePointerAndTheSelection) {
    VehicleRec& rec = vehicle();  // outlives the window, which TearDown closes
    rec.HeightS = 10;  // the side views show plane rows 4..13
    const PixelValue lamp = PixelOfType(4, MakeRgb(200, 100, 50));
    rec.Planes[1].set(3, 6, lamp);
    VehicleForm* form = open(rec);
    QSignalSpy spy(form, &TChildForm::statusInfo);
    const auto status = [&spy] { return spy.last().at(0).toString(); };
    QTest::mouseMove(form->View(1), cell(form, 3, 2));
    const RgbColor day = DisplayColor(lamp, 0);
    EXPECT_EQ(
        status().toStdString(),
        QStringLiteral("Left side   x 3, y 6   pixel %1, Lamp (white at night), day RGB %2, %3, %4")
            .arg(lamp, 8, 16, QLatin1Char('0'))
            .arg(RedOf(day))
            .arg(GreenOf(day))
            .arg(BlueOf(day))
            .toStdString());
    // A selection of 3 x 2 cells in the right side view, then the pointer leaves.
    clickTool("tbSelect");
    drag(form->View(0), Qt::LeftButton, {}, {cell(form, 1, 1)});
    drag(form->View(0), Qt::RightButton, {}, {cell(form, 3, 2)});
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(form->View(0), &leave);
    EXPECT_EQ(status(), "selection 3 x 2");
}

TEST_F(EditorTest, ExtraViewsComeAndGoWithTheirPixels) {
    VehicleRec& rec = vehicle();
    rec.Planes[6].set(0, 0, 0x000000FF);
    VehicleForm* form = open(rec);
    const int withExtra = form->Layout().panels[kPanelS].height;
    rec.Props &= ~kExtraViews;
    form->Relayout();
    EXPECT_FALSE(form->View(6)->isVisible());
    EXPECT_FALSE(form->View(7)->isVisible());
    EXPECT_EQ(withExtra - form->Layout().panels[kPanelS].height, 2 + 3 + 36 + 3 + 7);
    rec.Props |= kExtraViews;
    form->Relayout();
    EXPECT_TRUE(form->View(6)->isVisible());
    EXPECT_EQ(form->RenderView(6).pixel(1, 1), qRgb(255, 0, 0));
}

TEST_F(EditorTest, LayoutTwoPutsTheColumnsBesideTheLeftSideInEveryWindow) {
    VehicleRec& a = vehicle();
    VehicleRec& b = vehicle();
    VehicleForm* first = open(a);
    VehicleForm* second = open(b);
    first->findChild<QAction*>(QStringLiteral("iLayout2"))->trigger();
    EXPECT_EQ(panel->ViewLayout(), 1);
    for (VehicleForm* form : {first, second}) {
        EXPECT_EQ(form->View(2)->pos().y(), form->View(1)->pos().y());
        EXPECT_GT(form->View(2)->pos().x(), form->View(1)->pos().x() + 128);
    }
    auto* menu = second->findChild<QMenu*>(QStringLiteral("Menu"));
    emit menu->aboutToShow();
    EXPECT_TRUE(second->findChild<QAction*>(QStringLiteral("iLayout2"))->isChecked());
    second->findChild<QAction*>(QStringLiteral("iLayout1"))->trigger();
    EXPECT_EQ(panel->ViewLayout(), 0);
    EXPECT_GT(first->View(2)->pos().y(), first->View(0)->pos().y() + 56);
}

TEST_F(EditorTest, SeparatorLinesOnlyAboveZoomOne) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    EXPECT_EQ(form->Layout().lineS.height, 1);
    form->SetZoom(1);
    form->Relayout();
    EXPECT_EQ(form->Layout().lineS.height, 0);
    EXPECT_EQ(form->View(3)->pos().y(), form->View(2)->geometry().bottom() + 1);
}

TEST_F(EditorTest, Zoom2TabFollowsTheGraphics) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    auto* tabs = form->findChild<QTabBar*>(QStringLiteral("Tabs"));
    rec.Zoom2Exists = true;
    form->UpdateTabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "Zoom2 scale");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(form->Zoom(), 2);
    EXPECT_EQ(SizeOf(form, 1), QSize(64 * 2, 28 * 2));
    EXPECT_EQ(SizeOf(form, 2), QSize(16 * 2, 32 * 2));
    // Without Zoom2 graphics the tab goes, and the window is back at normal scale.
    rec.Zoom2Exists = false;
    form->UpdateTabs();
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_FALSE(form->ShowsZoom2());
    EXPECT_EQ(form->Zoom(), 4);
}

TEST_F(EditorTest, ParameterPanelHidesAndShows) {
    VehicleRec& rec = vehicle();
    VehicleForm* form = open(rec);
    auto* props = form->findChild<QWidget*>(QStringLiteral("PropsPanel"));
    auto* strip = form->findChild<QWidget*>(QStringLiteral("pShow"));
    auto* hide = form->findChild<QToolButton*>(QStringLiteral("bHide"));
    auto* menu = form->findChild<QToolButton*>(QStringLiteral("bMenu"));
    auto* info = form->findChild<QWidget*>(QStringLiteral("InfoPanel"));
    EXPECT_EQ(menu->geometry().right(), info->width() - 1);
    EXPECT_EQ(hide->geometry().right() + 1, menu->x());
    const int scrollHeight = form->findChild<QWidget*>(QStringLiteral("ScrollBox"))->height();
    QTest::mouseClick(hide, Qt::LeftButton);
    EXPECT_FALSE(props->isVisible());
    EXPECT_TRUE(strip->isVisible());
    QApplication::processEvents();
    EXPECT_GT(form->findChild<QWidget*>(QStringLiteral("ScrollBox"))->height(), scrollHeight);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("bShow")), Qt::LeftButton);
    EXPECT_TRUE(props->isVisible());
    EXPECT_FALSE(strip->isVisible());
}

}  // namespace
}  // namespace rvk
