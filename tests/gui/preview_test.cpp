// The live preview beside a vehicle window's views, driven with real events.
#include <QAction>
#include <QCheckBox>
#include <QSplitter>
#include <QTabBar>
#include <QTest>
#include <span>

#include "editor/preview_pane.h"
#include "editor_test_host.h"
#include "records/vehicle_picture.h"

namespace rvk {
namespace {

using test::EditorTest;

QImage Expected(const VehicleRec& rec, bool zoom2, std::span<const NightLevel> levels) {
    const PictureSize size = PreviewSize(rec, zoom2, levels.size());
    QImage image(size.width, size.height, QImage::Format_RGB32);
    Canvas canvas{reinterpret_cast<std::uint32_t*>(image.bits()), size.width, size.height,
                  static_cast<int>(image.bytesPerLine() / 4)};
    DrawPreview(canvas, rec, zoom2, levels);
    return image;
}

constexpr NightLevel kAll[] = {0, 1, 2, 3};

class PreviewTest : public EditorTest {
protected:
    void SetUp() override {
        test::ClearSettings();
        EditorTest::SetUp();
    }
    void TearDown() override {
        EditorTest::TearDown();
        test::ClearSettings();
    }
};

TEST_F(PreviewTest, FollowsEditsUndoAndTheZoom2TabBeforeTheNextEventLoopTurn) {
    VehicleRec& rec = vehicle();
    rec.Planes[1].set(3, 13, 0x610000FFu);  // a window of group 1: dark at "Night 0" only
    VehicleForm* form = open(rec);
    PreviewPane* pane = form->Preview();
    EXPECT_TRUE(pane->isHidden());  // off until asked for
    form->findChild<QAction*>(QStringLiteral("iPreview"))->trigger();
    ASSERT_FALSE(pane->isHidden());
    EXPECT_EQ(pane->Picture(), Expected(rec, false, kAll));

    // Pen, line and undo, with no event loop turn between the edit and the check.
    const QImage before = pane->Picture();
    click(form->View(1), Qt::LeftButton, {}, cell(form, 5, 2));
    EXPECT_NE(pane->Picture(), before);
    EXPECT_EQ(pane->Picture(), Expected(rec, false, kAll));
    clickTool("tbLine");
    drag(form->View(0), Qt::LeftButton, {}, {cell(form, 0, 0), cell(form, 9, 2)});
    EXPECT_EQ(pane->Picture(), Expected(rec, false, kAll));
    form->Undo();
    form->Undo();
    EXPECT_EQ(pane->Picture(), before);

    // The Zoom2 tab shows the Zoom2 graphics at their own 1:1 and 2:1.
    rec.Zoom2Exists = true;
    rec.Zoom2Planes[1].set(0, 27, 0x0000FF00u);
    form->UpdateTabs();
    form->findChild<QTabBar*>(QStringLiteral("Tabs"))->setCurrentIndex(1);
    ASSERT_TRUE(form->ShowsZoom2());
    EXPECT_EQ(pane->Picture(), Expected(rec, true, kAll));
    EXPECT_EQ(pane->Picture().width(), PreviewSize(rec, true, 4).width);
}

TEST_F(PreviewTest, AnimationStepsThroughTheLevelsOneAtATime) {
    VehicleRec& rec = vehicle();
    rec.Planes[0].set(1, 13, 0x620000FFu);
    VehicleForm* form = open(rec);
    form->findChild<QAction*>(QStringLiteral("iPreview"))->trigger();
    PreviewPane* pane = form->Preview();
    auto* animate = pane->findChild<QCheckBox*>(QStringLiteral("cbAnimate"));
    QTest::mouseClick(animate, Qt::LeftButton);
    ASSERT_TRUE(pane->Animated());
    const NightLevel first = pane->AnimatedLevel();
    EXPECT_EQ(pane->Picture(), Expected(rec, false, std::span(&kAll[first], 1)));
    QTest::qWait(PreviewPane::kAnimationMs + PreviewPane::kAnimationMs / 2);
    const NightLevel next = pane->AnimatedLevel();
    EXPECT_EQ(next, (first + 1) % 4);
    EXPECT_EQ(pane->Picture(), Expected(rec, false, std::span(&kAll[next], 1)));
    animate->click();
    EXPECT_EQ(pane->Picture(), Expected(rec, false, kAll));
}

TEST_F(PreviewTest, ShownAndSplitAreRememberedForTheNextWindow) {
    VehicleForm* first = open(vehicle());
    first->findChild<QAction*>(QStringLiteral("iPreview"))->trigger();
    auto* split = first->findChild<QSplitter*>(QStringLiteral("PreviewSplit"));
    QList<int> sizes = split->sizes();
    sizes = {sizes[0] + sizes[1] - 150, 150};
    split->setSizes(sizes);
    emit split->splitterMoved(sizes[0], 1);

    VehicleForm* second = open(vehicle());
    EXPECT_FALSE(second->Preview()->isHidden());
    EXPECT_EQ(second->findChild<QSplitter*>(QStringLiteral("PreviewSplit"))->sizes().at(1), 150);
    second->findChild<QAction*>(QStringLiteral("iPreview"))->trigger();
    EXPECT_TRUE(second->Preview()->isHidden());
    EXPECT_TRUE(open(vehicle())->Preview()->isHidden());
}

}  // namespace
}  // namespace rvk
