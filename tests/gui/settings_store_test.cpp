#include <QBuffer>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

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

TEST(ColorListTest, EightHexDigitsEachAndNothingElse) {
    EXPECT_EQ(EncodeColorList({0x510000FF, kTransparent, 0}), "510000ff,80000001,00000000");
    EXPECT_EQ(EncodeColorList({}), "");
    const struct {
        const char* stored;
        std::vector<PixelValue> read;
    } cases[] = {
        {"510000ff,80000001,00000000", {0x510000FF, kTransparent, 0}},
        {"", {}},
        {"00FFFFFF", {0x00FFFFFF}},
        {"123456,00ffffff1,zz000000,00ffffff,", {0x00FFFFFF}},  // short, long, not hex, empty
        {"ffffffff, 00000001", {0xFFFFFFFF}},                  // a blank belongs to no value
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeColorList(QString::fromLatin1(c.stored)), c.read) << c.stored;
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

    QSettings raw("DUR", SettingsApplication());
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
    EXPECT_EQ(SettingsStore().integer("SingleSel"), 1);

    SettingsStore().setBlock("WindowPos", QByteArray(16, '\0'));
    EXPECT_FALSE(SettingsStore().read().windowPos.has_value());
    QSettings("DUR", SettingsApplication()).setValue("WindowPos", QStringLiteral("0,0,10,10"));
    EXPECT_FALSE(SettingsStore().read().windowPos.has_value());
}

// A stored count of undo steps is kept; anything but a positive count gives the default.
TEST_F(GuiTest, UndoStepsReadAsAPositiveCount) {
#ifdef Q_OS_WIN
    const int text = kDefaultUndoSteps;  // the registry keeps a count as an integer only
#else
    const int text = 250;
#endif
    const struct {
        QVariant stored;
        int read;
    } cases[] = {{7, 7},
                 {QStringLiteral("250"), text},
                 {0, kDefaultUndoSteps},
                 {-5, kDefaultUndoSteps},
                 {QStringLiteral("many"), kDefaultUndoSteps},
                 {QVariant(), kDefaultUndoSteps}};
    for (const auto& c : cases) {
        test::ClearSettings();
        if (c.stored.isValid())
            QSettings("DUR", SettingsApplication()).setValue("UndoSteps", c.stored);
        EXPECT_EQ(SettingsStore().read().undoSteps, c.read) << c.stored.toString().toStdString();
    }
    ShellSettings s;
    s.undoSteps = 7;
    SettingsStore().write(s);
    EXPECT_EQ(SettingsStore().read().undoSteps, 7);
}

#ifdef Q_OS_WIN
// The registry keeps every value in a type of its own; the same names with another type
// or size read as missing.
TEST_F(GuiTest, RegistryValuesHaveTheirOwnTypes) {
    test::ClearSettings();
    ShellSettings s;
    s.recent[0] = QStringLiteral("C:\\Z\u00fcge\\a.rvk");
    s.singleSel = true;
    s.windowPos = WindowPlacement{QRect(-8, 20, 870, 640), true};
    SettingsStore().write(s);
    const std::wstring key = L"SOFTWARE\\DUR\\" + SettingsApplication().toStdWString();
    const auto stored = [&key](const wchar_t* name) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     nullptr, &size);
        return std::pair(type, size);
    };
    const auto utf16 = static_cast<DWORD>((s.recent[0].size() + 1) * 2);
    EXPECT_EQ(stored(L"H0"), std::pair(DWORD{REG_SZ}, utf16));
    EXPECT_EQ(stored(L"SingleSel"), std::pair(DWORD{REG_DWORD}, DWORD{4}));
    EXPECT_EQ(stored(L"WindowPos"), std::pair(DWORD{REG_BINARY}, DWORD{17}));
    EXPECT_EQ(stored(L"AutosaveSeconds"), std::pair(DWORD{REG_DWORD}, DWORD{4}));

    QSettings raw("DUR", SettingsApplication());
    raw.setValue("SingleSel", QStringLiteral("1"));
    raw.setValue("WindowPos", EncodeWindowPos(*s.windowPos));  // as QSettings keeps a block
    raw.setValue("AutosaveSeconds", qint64{5});
    raw.sync();
    EXPECT_EQ(stored(L"SingleSel").first, DWORD{REG_SZ});
    EXPECT_EQ(stored(L"AutosaveSeconds").first, DWORD{REG_QWORD});
    const ShellSettings back = SettingsStore().read();
    EXPECT_EQ(back.recent[0], s.recent[0]);
    EXPECT_FALSE(back.singleSel.has_value());
    EXPECT_FALSE(back.windowPos.has_value());
    EXPECT_EQ(back.autosaveSeconds, kDefaultAutosaveSeconds);
}
#endif

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
#ifdef Q_OS_WIN
    // A clipboard format registered by its name.
    EXPECT_EQ(ClipMimeType(ClipFormat::Fleet), "RVK_Fleet");
#else
    EXPECT_EQ(ClipMimeType(ClipFormat::Fleet), "application/x-rvk-fleet");
#endif
}

// The desktop's clipboard carries each private format with the bitmap and the PNG from
// one running program to another. It needs a platform whose clipboard is shared between
// programs: ctest runs it in an X server (tests/CMakeLists.txt, "desktop_clipboard").
TEST(SystemClipboardTest, CarriesEveryFormatToAnotherProgram) {
    const char* readerVariable = "RVK_CLIPBOARD_READER";
    const bool shared = QGuiApplication::platformName() != QLatin1String("offscreen");
    QImage image(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(40 * x, 80 * y, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const auto payload = [](ClipFormat format) {
        QByteArray bytes(70000, '\0');  // larger than one X selection transfer
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7 + static_cast<int>(format));
        return bytes;
    };
    const ClipFormat formats[] = {ClipFormat::Image, ClipFormat::Fleet, ClipFormat::Vehicle};
    SystemClipboard system;

    if (const char* reader = std::getenv(readerVariable)) {
        // The other program: 0 when it finds exactly what the first one put.
        const auto format = static_cast<ClipFormat>(std::atoi(reader));
        int missing = shared ? 0 : 8;
        for (const ClipFormat f : formats)
            if (system.block(f) != (f == format ? std::optional(payload(f)) : std::nullopt))
                missing |= 1;
        const std::optional<QImage> bitmap = system.bitmap();
        if (!bitmap || bitmap->convertToFormat(QImage::Format_RGB32) != image) missing |= 2;
        if (system.png() != png) missing |= 4;
        std::fflush(nullptr);
        std::_Exit(missing);
    }

    if (!shared) GTEST_SKIP() << "the offscreen platform's clipboard belongs to its process alone";
    for (const ClipFormat format : formats) {
        SCOPED_TRACE(static_cast<int>(format));
        system.put(format, payload(format), image, png);
        QProcess other;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(readerVariable),
                           QString::number(static_cast<int>(format)));
        other.setProcessEnvironment(environment);
        other.setProcessChannelMode(QProcess::ForwardedChannels);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // On the same platform: Wine hands no QT_ variable to a Windows program.
        other.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("-platform"), QGuiApplication::platformName(),
                     QStringLiteral("--gtest_filter=%1.%2")
                         .arg(QLatin1String(info->test_suite_name()), QLatin1String(info->name()))});
        ASSERT_TRUE(other.waitForStarted(30000));
        // The owner serves the clipboard's content while the other program reads it.
        for (int waited = 0; !other.waitForFinished(10) && waited < 6000; ++waited)
            QCoreApplication::processEvents();
        ASSERT_EQ(other.state(), QProcess::NotRunning) << "the other program did not end";
        EXPECT_EQ(other.exitCode(), 0) << "1: payloads, 2: bitmap, 4: PNG differ, 8: offscreen";
    }
}

}  // namespace
}  // namespace rvk
