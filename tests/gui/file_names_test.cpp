// Names that are not UTF-8 ("caf\xE9.rvk", as a Latin-1 system wrote it) reach the
// document from every place the editor takes a name from, and are saved again under
// the same bytes.
#include <QCoreApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <filesystem>
#include <random>

#include "app/main_form.h"
#include "docwin/file_form.h"
#include "platform/file_names.h"
#include "shell_test.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {
namespace {

namespace fs = std::filesystem;
using test::ShellTest;

TEST(FileNames, EveryByteStringComesBackAndShowsWithoutSurrogates) {
    // Runs of ASCII, well-formed sequences, stray continuation bytes, cut sequences,
    // overlong forms and encoded surrogates.
    const std::vector<std::string> pieces = {
        "a", "/", ".rvk", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x9A\x8B", "\xE9", "\x80",
        "\xC3", "\xE2\x82", "\xC0\xAF", "\xED\xB2\x80", "\xF4\x90\x80\x80", "\xFF"};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string path;
        const int count = static_cast<int>(random() % 8);
        for (int k = 0; k < count; ++k) path += pieces[random() % pieces.size()];
        const QString name = QStringFromPath(path);
        ASSERT_EQ(PathFromQString(name), path) << round;
        const QString shown = DisplayName(name);
        for (qsizetype i = 0; i < shown.size(); ++i)
            ASSERT_FALSE(shown[i].isLowSurrogate() && (i == 0 || !shown[i - 1].isHighSurrogate()));
        if (QString::fromUtf8(path).toStdString() == path) {
            EXPECT_EQ(name, QString::fromUtf8(path));
        }
    }
}

TEST(FileNames, ADialogsLossyNameFindsTheOneFileItStandsFor) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows names are UTF-16 text: no name is a byte string that is not UTF-8";
#endif
    QTemporaryDir dir;
    const std::string folder = PathFromQString(dir.path());
    const QString lossy = dir.path() + QStringLiteral("/caf\uFFFD.rvk");
    EXPECT_EQ(PathFromDialog(lossy), lossy);  // nothing of that look
    ASSERT_TRUE(WriteFileAtomic(folder + "/caf\xE9.rvk", std::vector<std::uint8_t>{1}));
    EXPECT_EQ(PathFromQString(PathFromDialog(lossy)), folder + "/caf\xE9.rvk");
    ASSERT_TRUE(WriteFileAtomic(folder + "/caf\xE8.rvk", std::vector<std::uint8_t>{1}));
    EXPECT_EQ(PathFromDialog(lossy), lossy);  // two of that look: neither is sure
    const QString plain = dir.path() + QStringLiteral("/plain.rvk");
    EXPECT_EQ(PathFromDialog(plain), plain);
}

TEST_F(ShellTest, ANameThatIsNoUtf8OpensFromEveryPlaceAndIsSavedUnderItself) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows names are UTF-16 text: no name is a byte string that is not UTF-8";
#endif
    const QString path = writeDocument(QStringFromPath("caf\xE9.rvk"), 1, 1);
    const std::string bytes = PathFromQString(dataFolder()) + "/caf\xE9.rvk";
    ASSERT_EQ(PathFromQString(path), bytes);
    ASSERT_TRUE(FileExists(bytes));
    const auto opened = [&](TMainForm& main) {
        if (main.documents().size() != 1) return false;
        TFileForm* doc = main.documents()[0];
        const bool ok = doc->document().path == bytes && doc->document().fleets.size() == 1 &&
                        doc->windowTitle() == QStringLiteral("caf\uFFFD.rvk");
        doc->closeWindow();
        return ok;
    };

    auto main = startMain();
    main->OpenDocument(path);  // as the command line gives it
    TFileForm* doc = main->documents().at(0);
    doc->SetInfoText("changed");
    EXPECT_TRUE(trigger(menu(main.get(), "mFile"), "iSave"));
    EXPECT_FALSE(doc->document().modified);
    EXPECT_TRUE(opened(*main));
    FileDoc back;
    back.path = bytes;
    ASSERT_TRUE(LoadDocument(back).ok);
    EXPECT_EQ(back.info, "changed");
    EXPECT_EQ(std::distance(fs::directory_iterator(PathFromUtf8(PathFromQString(dataFolder()))),
                            fs::directory_iterator()),
              1);

    prompts().answerText(path);
    EXPECT_TRUE(trigger(menu(main.get(), "mFile"), "iOpen"));
    EXPECT_TRUE(opened(*main));

    QMimeData data;
    data.setUrls({QUrl::fromEncoded(QUrl::fromLocalFile(dataFolder()).toEncoded() + "/caf%E9.rvk")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main.get(), &drop);
    EXPECT_TRUE(opened(*main));
    endMain(main);

    // The recent list keeps the name through the settings.
    main = startMain();
    QMenu* file = menu(main.get(), "mFile");
    emit file->aboutToShow();
    EXPECT_EQ(item(file, "H0")->text(), QStringLiteral("&1 ") + DisplayName(path));
    EXPECT_TRUE(trigger(file, "H0"));
    EXPECT_TRUE(opened(*main));
    endMain(main);
}

}  // namespace
}  // namespace rvk
