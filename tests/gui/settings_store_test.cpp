#include <QSettings>

#include "gui_test.h"
#include "platform/settings_store.h"

namespace rvk {
namespace {

using test::GuiTest;

TEST(WindowPosTest, SeventeenBytesLittleEndianWithExclusiveEdges) {
    const WindowPlacement p{QRect(QPoint(-8, 20), QSize(870, 640)), true};
    const QByteArray block = EncodeWindowPos(p);
    ASSERT_EQ(block.size(), 17);
    EXPECT_EQ(block.left(4), QByteArray::fromHex("f8ffffff"));     // -8
    EXPECT_EQ(block.mid(8, 4), QByteArray::fromHex("5e030000"));   // right = -8 + 870
    EXPECT_EQ(block.mid(12, 4), QByteArray::fromHex("94020000"));  // bottom = 20 + 640
    EXPECT_EQ(block[16], '\1');
    EXPECT_EQ(DecodeWindowPos(block), p);
    EXPECT_EQ(DecodeWindowPos(block.left(16)), std::nullopt);
    EXPECT_EQ(DecodeWindowPos(block + '\0'), std::nullopt);
}

TEST_F(GuiTest, FirstRunWritesDefaultsThenReadsThemBack) {
    test::ClearSettings();
    const ShellSettings s = LoadShellSettings("/opt/rvk");
    for (const QString& r : s.recent) EXPECT_TRUE(r.isEmpty());
    EXPECT_EQ(s.documentFolder, "/opt/rvk");
    EXPECT_EQ(s.importFolder, "/opt/rvk");
    EXPECT_EQ(s.langFile, "rvk3b2.lng");
    EXPECT_FALSE(s.singleSel.has_value());
    EXPECT_FALSE(s.windowPos.has_value());

    QSettings raw("DUR", "RVK 3.0");
    EXPECT_TRUE(raw.contains("H6"));
    EXPECT_FALSE(raw.contains("SingleSel"));
    // Not a first run any more: the stored values win over the program folder.
    EXPECT_EQ(LoadShellSettings("/elsewhere").documentFolder, "/opt/rvk");
}

TEST_F(GuiTest, SettingsRoundTripAndForeignWindowPosIgnored) {
    test::ClearSettings();
    ShellSettings s;
    s.recent[0] = "/d/a.rvk";
    s.langFile = "deutsch.lng";
    s.singleSel = true;
    s.windowPos = WindowPlacement{QRect(10, 20, 300, 200), false};
    SettingsStore().write(s);
    const ShellSettings back = SettingsStore().read();
    EXPECT_EQ(back.recent[0], "/d/a.rvk");
    EXPECT_EQ(back.langFile, "deutsch.lng");
    EXPECT_EQ(back.singleSel, true);
    EXPECT_EQ(back.windowPos, s.windowPos);
    EXPECT_EQ(QSettings("DUR", "RVK 3.0").value("SingleSel").toInt(), 1);

    QSettings("DUR", "RVK 3.0").setValue("WindowPos", QByteArray(16, '\0'));
    EXPECT_FALSE(SettingsStore().read().windowPos.has_value());
    QSettings("DUR", "RVK 3.0").setValue("WindowPos", QStringLiteral("0,0,10,10"));
    EXPECT_FALSE(SettingsStore().read().windowPos.has_value());
}

// A stored count of undo steps is kept; anything but a positive count gives the default.
TEST_F(GuiTest, UndoStepsReadAsAPositiveCount) {
    const struct {
        QVariant stored;
        int read;
    } cases[] = {{7, 7}, {QStringLiteral("250"), 250}, {0, kDefaultUndoSteps},
                 {-5, kDefaultUndoSteps}, {QStringLiteral("many"), kDefaultUndoSteps},
                 {QVariant(), kDefaultUndoSteps}};
    for (const auto& c : cases) {
        test::ClearSettings();
        if (c.stored.isValid()) QSettings("DUR", "RVK 3.0").setValue("UndoSteps", c.stored);
        EXPECT_EQ(SettingsStore().read().undoSteps, c.read) << c.stored.toString().toStdString();
    }
    ShellSettings s;
    s.undoSteps = 7;
    SettingsStore().write(s);
    EXPECT_EQ(SettingsStore().read().undoSteps, 7);
}

TEST_F(GuiTest, MemoryClipboardPutReplacesEverything) {
    clip().offer(ClipFormat::Fleet, "fleet");
    clip().put(ClipFormat::Vehicle, "vehicle", QImage(2, 2, QImage::Format_RGB32));
    EXPECT_EQ(clip().block(ClipFormat::Fleet), std::nullopt);
    EXPECT_EQ(clip().block(ClipFormat::Vehicle), QByteArray("vehicle"));
    ASSERT_TRUE(clip().bitmap().has_value());
    EXPECT_EQ(clip().bitmap()->size(), QSize(2, 2));
}

TEST(SystemClipboardTest, PayloadAndBitmapTravelTogether) {
    SystemClipboard system;
    QImage image(3, 1, QImage::Format_RGB32);
    image.fill(Qt::red);
    system.put(ClipFormat::Image, QByteArray(12, 'x'), image);
    EXPECT_EQ(system.block(ClipFormat::Image), QByteArray(12, 'x'));
    EXPECT_EQ(system.block(ClipFormat::Vehicle), std::nullopt);
    ASSERT_TRUE(system.bitmap().has_value());
    EXPECT_EQ(system.bitmap()->pixelColor(2, 0), QColor(Qt::red));
    EXPECT_EQ(ClipMimeType(ClipFormat::Fleet), "application/x-rvk-fleet");
}

}  // namespace
}  // namespace rvk
