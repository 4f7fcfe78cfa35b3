// A picture to trace over or under one view of a vehicle window, with real events.
#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "editor/trace_picture.h"
#include "editor_test_host.h"
#include "platform/settings_store.h"

namespace rvk {
namespace {

using test::EditorTest;

class TraceTest : public EditorTest {
protected:
    void SetUp() override {
        test::ClearSettings();
        EditorTest::SetUp();
        owner.companion = dir.filePath(QStringLiteral("doc-00-01.fzz")).toStdString();
        // A 4 x 2 picture: red on the left half, blue on the right.
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        for (int y = 0; y < 2; ++y)
            for (int x = 2; x < 4; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
        png = dir.filePath(QStringLiteral("trace.png"));
        ASSERT_TRUE(image.save(png));
    }
    void TearDown() override {
        EditorTest::TearDown();
        test::ClearSettings();
    }
    // Chooses the picture through the Layout menu item and the file dialog.
    TracePicture* choose(VehicleForm* form) {
        prompts().answerText(png);
        form->findChild<QAction*>(QStringLiteral("iTrace"))->trigger();
        return form->findChild<TracePicture*>();
    }
    QTemporaryDir dir;
    QString png;
};

TEST_F(TraceTest, OverAndUnderOneViewWithoutTouchingTheVehicle) {
    VehicleRec& rec = vehicle();
    rec.Planes[1].set(0, 13, 0x00FFFFFFu);  // bottom-left cell white
    const VehicleRec before = rec;
    VehicleForm* form = open(rec);
    const QImage plain = form->RenderView(1);
    const QImage otherView = form->RenderView(0);
    TracePicture* trace = choose(form);
    ASSERT_TRUE(trace->Active());
    const int z = form->Zoom();
    const int bottom = (rec.HeightS - 1) * z;
    auto* opacity = trace->findChild<QSpinBox*>(QStringLiteral("seTraceOpacity"));
    auto* scale = trace->findChild<QDoubleSpinBox*>(QStringLiteral("seTraceScale"));
    auto* y = trace->findChild<QSpinBox*>(QStringLiteral("seTraceY"));
    opacity->setValue(100);
    scale->setValue(2);  // 8 x 4 cells
    y->setValue(rec.HeightS - 4);

    // Over: the picture covers the white cell; whole scales stay sharp.
    QImage shown = form->RenderView(1);
    EXPECT_EQ(shown.pixel(0, bottom), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(4 * z - 1, bottom), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(4 * z, bottom), qRgb(0, 0, 255));
    EXPECT_EQ(form->RenderView(0), otherView);
    // Under: only transparent cells show it.
    trace->findChild<QCheckBox*>(QStringLiteral("cbTraceUnder"))->click();
    shown = form->RenderView(1);
    EXPECT_EQ(shown.pixel(0, bottom), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(z, bottom), qRgb(255, 0, 0));
    // Half see-through over the panel colour of transparent cells.
    opacity->setValue(50);
    const QColor half = QColor(form->RenderView(1).pixel(z, bottom));
    EXPECT_NEAR(half.red(), 128, 2);
    EXPECT_NEAR(half.green(), 0x38, 2);

    // The key hides and shows it.
    QTest::keyClick(form, TracePicture::kToggleKey);
    EXPECT_EQ(form->RenderView(1), plain);
    QTest::keyClick(form, TracePicture::kToggleKey);
    EXPECT_NE(form->RenderView(1), plain);

    EXPECT_EQ(rec.Planes[1].at(1, 13), before.Planes[1].at(1, 13));
    for (int v = 0; v < kViewCount; ++v)
        EXPECT_TRUE(std::equal(rec.Planes[v].data(), rec.Planes[v].data() + rec.Planes[v].size(),
                               before.Planes[v].data()));
    EXPECT_EQ(owner.modified, 0);
}

TEST_F(TraceTest, RememberedPerVehiclePlaceAndAMissingFileIsDroppedWithAMessage) {
    VehicleForm* form = open(vehicle());
    TracePicture* trace = choose(form);
    trace->findChild<QSpinBox*>(QStringLiteral("seTraceX"))->setValue(-3);
    form->close();

    // Opened again at the same place: the same picture, where it was.
    VehicleForm* again = open(vehicle());
    TracePicture* back = again->findChild<TracePicture*>();
    ASSERT_TRUE(back->Active());
    EXPECT_EQ(back->Params().file, png);
    EXPECT_EQ(back->Params().x, -3);
    again->close();

    // Another place of the document has none.
    owner.companion = dir.filePath(QStringLiteral("doc-00-02.fzz")).toStdString();
    VehicleForm* other = open(vehicle());
    EXPECT_FALSE(other->findChild<TracePicture*>()->Active());
    other->close();

    owner.companion = dir.filePath(QStringLiteral("doc-00-01.fzz")).toStdString();
    ASSERT_TRUE(QFile::remove(png));
    prompts().answerMessage(MsgAnswer::Ok);
    VehicleForm* missing = open(vehicle());
    EXPECT_FALSE(missing->findChild<TracePicture*>()->Active());
    ASSERT_FALSE(prompts().calls().empty());
    EXPECT_NE(prompts().calls().back().text.indexOf(png), -1);
    EXPECT_TRUE(SettingsStore().tracePicture(QString::fromStdString(owner.companion)).isEmpty());
}

TEST_F(TraceTest, AFileThatIsNoPictureIsRefusedWithAMessage) {
    VehicleForm* form = open(vehicle());
    const QString text = dir.filePath(QStringLiteral("notes.png"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    prompts().answerText(text);
    prompts().answerMessage(MsgAnswer::Ok);
    form->findChild<QAction*>(QStringLiteral("iTrace"))->trigger();
    EXPECT_FALSE(form->findChild<TracePicture*>()->Active());
    EXPECT_NE(prompts().calls().back().text.indexOf(text), -1);
}

}  // namespace
}  // namespace rvk
