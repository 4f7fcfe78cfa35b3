#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include "app/main_form.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "platform/settings_store.h"
#include "shell_test.h"

namespace rvk {
namespace {

using test::ShellTest;

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST_F(ShellTest, LanguageChangeReachesEveryDocumentAndFleetWindow) {
    auto main = startMain();
    main->OpenDocument(writeDocument("one.rvk", 2));
    main->OpenDocument(writeDocument("two.rvk", 1));
    TFileForm* one = main->documents()[0];
    TFileForm* two = main->documents()[1];
    TFleetForm* f1 = openFleet(one, 0);
    TFleetForm* f2 = openFleet(one, 1);
    TFleetForm* f3 = openFleet(two, 0);

    prompts().answerText(programFolder() + "/deutsch.lng");
    EXPECT_TRUE(trigger(menu(main.get(), "mOptions"), "iLanguage"));
    const PromptCall& ask = prompts().calls().at(0);
    EXPECT_EQ(ask.caption, "E701");
    EXPECT_EQ(ask.filter, "E513|*.lng");
    EXPECT_EQ(ask.folder, programFolder());

    EXPECT_EQ(main->langFile(), "deutsch.lng");
    EXPECT_EQ(menu(main.get(), "mFile")->title(), "D5");
    EXPECT_EQ(main->findChild<QLabel*>("StatusText")->text(), "D102 2");
    for (TFileForm* doc : {one, two}) {
        EXPECT_EQ(doc->editMenu()->title(), "D6");
        EXPECT_EQ(ShellTest::item(doc->popupMenu(), "pRename")->text(), "D52");
    }
    for (TFleetForm* fleet : {f1, f2, f3}) {
        EXPECT_EQ(ShellTest::item(fleet->popupMenu(), "pNew")->text(), "D61");
        // The Edit menu shows the same items, so it follows too.
        EXPECT_EQ(ShellTest::item(fleet->editMenu(), "pDelete")->text(), "D65");
    }
    // The save dialog takes the new filter and title.
    prompts().answerText(std::nullopt);
    main->SaveAs(one);
    EXPECT_EQ(prompts().calls().back().caption, "D703");
    EXPECT_EQ(prompts().calls().back().filter, "D510|*.rvk|D511|*.*");
    endMain(main);
    EXPECT_EQ(QSettings("DUR", SettingsApplication()).value("LangFile").toString(), "deutsch.lng");
}

TEST_F(ShellTest, UnusableOrForeignLanguageFileLeavesTheTexts) {
    Write(programFolder() + "/broken.lng", "RVK30b2lng \n5\nX\n");  // trailing blank in the header
    auto main = startMain();
    prompts().answerText(programFolder() + "/broken.lng");
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_TRUE(trigger(menu(main.get(), "mOptions"), "iLanguage"));
    EXPECT_EQ(prompts().calls().at(1).text, "E-unusable broken.lng");
    EXPECT_EQ(prompts().calls().at(1).caption, "E544");
    EXPECT_EQ(menu(main.get(), "mFile")->title(), "E5");

    prompts().answerText(dataPath("deutsch.lng"));
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_TRUE(trigger(menu(main.get(), "mOptions"), "iLanguage"));
    EXPECT_EQ(prompts().calls().at(3).text, "E-only in " + programFolder());
    EXPECT_EQ(main->langFile(), "broken.lng");  // the refused folder changes nothing
    endMain(main);

    // Next start: the stored unusable choice falls back to the default without a word.
    main = startMain();
    EXPECT_TRUE(main->ready());
    EXPECT_TRUE(prompts().calls().size() == 4u);
    EXPECT_EQ(main->langFile(), "rvk3b2.lng");
    endMain(main);
    EXPECT_EQ(QSettings("DUR", SettingsApplication()).value("LangFile").toString(), "rvk3b2.lng");
}

TEST_F(ShellTest, WithoutTheDefaultLanguageFileTheProgramEnds) {
    ASSERT_TRUE(QFile::remove(programFolder() + "/rvk3b2.lng"));
    prompts().answerMessage(MsgAnswer::Ok);
    auto main = startMain();
    EXPECT_FALSE(main->ready());
    EXPECT_FALSE(main->isVisible());
    const PromptCall& m = prompts().calls().at(0);
    EXPECT_EQ(m.text, "Can't load default language file: " +
                          QDir::toNativeSeparators(programFolder() + "/rvk3b2.lng") +
                          ".\nProgram can't run without default language file.");
    EXPECT_EQ(m.caption, "Error");
    EXPECT_EQ(m.icon, MsgIcon::Error);

    SettingsStore().setInteger("SingleSel", 1);
    main.reset();
    // The failed start keeps what it never used.
    EXPECT_EQ(SettingsStore().integer("SingleSel"), 1);
    EXPECT_FALSE(QSettings("DUR", SettingsApplication()).contains("WindowPos"));
}

TEST_F(ShellTest, ShippedLanguageFilesHaveEveryShellText) {
    // The language files next to the program must cover every number the shell asks
    // for: a gap would show "#<number>" and the missing-text message.
    for (const char* name : {"rvk3b2.lng", "deutsch.lng"}) {
        const QString shipped = QStringLiteral(RVK_SOURCE_DIR "/lang/") + QLatin1String(name);
        if (!QFile::exists(shipped)) GTEST_SKIP() << "no language files in the tree yet";
        QFile::remove(programFolder() + "/rvk3b2.lng");
        ASSERT_TRUE(QFile::copy(shipped, programFolder() + "/rvk3b2.lng"));
        auto main = startMain();
        ASSERT_TRUE(main->ready()) << name;
        main->OpenDocument(writeDocument("texts.rvk", 1));
        TFileForm* doc = main->documents()[0];
        openFleet(doc, 0);
        for (int n : {500, 501, 505, 510, 511, 513, 521, 541, 542, 544, 545, 546, 547, 548, 549,
                      550, 551, 552, 553, 554, 555, 567, 572, 701, 702, 703, 740, 741, 102})
            EXPECT_FALSE(main->text(n).startsWith('#')) << name << " lacks " << n;
        EXPECT_TRUE(prompts().calls().empty()) << name << ": a text is missing";
        endMain(main);
        prompts().reset();
    }
}

}  // namespace
}  // namespace rvk
