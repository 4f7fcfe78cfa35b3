// Another program changing an open document's files, and a second editor opening a
// document the first has open: every question and answer through the windows.
#include <QDialog>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

#include "app/main_form.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "formats/document_codec.h"
#include "shell_test.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"
#include "storage/open_record.h"

namespace rvk {
namespace {

class OutsideChangeTest : public test::ShellTest {
protected:
    // Another program writes a document of `vehicles` vehicles, each with Zoom2 graphics
    // drawn from seed, over path.
    static FileDoc WriteFromOutside(const QString& path, std::uint32_t seed, int vehicles) {
        FileDoc doc;
        doc.path = path.toStdString();
        doc.info = "outside " + std::to_string(seed);
        doc.fleets.push_back(CreateFleet("F" + std::to_string(seed)));
        for (int j = 0; j < vehicles; ++j) {
            auto v = std::make_unique<VehicleRec>();
            InitVehicle(*v);
            v->Planes[0].set(j, 2, 0x00010203u * seed);
            DeriveZoom2(*v, "z" + std::to_string(seed));
            doc.fleets[0]->vehicles.push_back(std::move(v));
        }
        // A whole document, as the command-line tool writes it.
        doc.KnownZoom2Files = CompanionFilesBeside(doc.path);
        EXPECT_TRUE(SaveDocument(doc).ok());
        return doc;
    }
    // What the folder holds as one document: the .rvk and every companion's bytes.
    static std::vector<std::vector<std::uint8_t>> Folder(const QString& path) {
        std::vector<std::vector<std::uint8_t>> files{*ReadFileBytes(path.toStdString())};
        for (const std::string& name : CompanionFilesBeside(path.toStdString()))
            files.push_back(*ReadFileBytes(name));
        return files;
    }
    static std::vector<std::vector<std::uint8_t>> Encoded(const FileDoc& doc) {
        std::vector<std::vector<std::uint8_t>> files{EncodeDocument(doc)};
        for (const auto& fleet : doc.fleets)
            for (const auto& v : fleet->vehicles)
                if (v->Zoom2Exists) files.push_back(EncodeZoom2(*v));
        return files;
    }
    static void Type(TFileForm* doc, const QString& text) {
        doc->infoMemo()->setFocus();
        doc->infoMemo()->moveCursor(QTextCursor::End);
        QTest::keyClicks(doc->infoMemo(), text);
    }
    static void Save(TMainForm& main) { ASSERT_TRUE(trigger(menu(&main, "mFile"), "iSave")); }
    // Lets the watcher see the change and ask; true when `count` questions were asked.
    bool WaitForQuestions(std::size_t count) {
        return QTest::qWaitFor([&] { return prompts().calls().size() >= count; }, 5000);
    }
    // No question comes within the watcher's delay and more.
    void ExpectNoQuestion() {
        const std::size_t before = prompts().calls().size();
        QTest::qWait(800);
        EXPECT_EQ(prompts().calls().size(), before) << prompts().calls().back().text.toStdString();
    }
};

// The editor opens A; another program writes B to the same path; the user edits and
// presses F2. Cancel writes nothing; Yes writes the whole document from the window.
TEST_F(OutsideChangeTest, SaveOverAnotherProgramsWriteAsksAndOverwritesEveryCompanion) {
    const QString path = dataPath("doc.rvk");
    WriteFromOutside(path, 1, 3);
    auto main = startMain();
    main->OpenDocument(path);
    TFileForm* doc = main->documents().at(0);
    const FileDoc b = WriteFromOutside(path, 2, 5);
    Type(doc, QStringLiteral(" edited"));

    prompts().answerMessage(MsgAnswer::Cancel);
    Save(*main);
    ASSERT_EQ(prompts().calls().size(), 1u);
    EXPECT_EQ(prompts().calls()[0].text, "E-changed, overwrite doc.rvk?");
    EXPECT_EQ(prompts().calls()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(Folder(path), Encoded(b));
    EXPECT_EQ(doc->windowTitle(), "doc.rvk *");

    prompts().answerMessage(MsgAnswer::Yes);
    Save(*main);
    EXPECT_EQ(prompts().calls().size(), 2u);
    EXPECT_EQ(doc->windowTitle(), "doc.rvk");
    EXPECT_EQ(Folder(path), Encoded(doc->document()));
    // Neither the answered change nor the own save brings a question afterwards.
    ExpectNoQuestion();
    endMain(main);
}

// A damaged journal that appears while the document is open (a save of another program
// that was killed while writing it) is set aside by the next save, which says so once
// and saves.
TEST_F(OutsideChangeTest, SaveThatFindsADamagedJournalSetsItAsideAndSaysSo) {
    const QString path = dataPath("doc.rvk");
    WriteFromOutside(path, 1, 1);
    auto main = startMain();
    main->OpenDocument(path);
    TFileForm* doc = main->documents().at(0);
    const QString journal = QString::fromStdString(SaveJournalPath(path.toStdString()));
    QFile cut(journal);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("RVK save jour");
    cut.close();
    Type(doc, QStringLiteral("x"));
    prompts().answerMessage(MsgAnswer::Ok);
    Save(*main);
    ASSERT_EQ(prompts().calls().size(), 1u);
    EXPECT_TRUE(prompts().calls()[0].text.startsWith("E-journal " + path + " set aside as " +
                                                     dataPath(".doc.rvk.journal.damaged-")))
        << prompts().calls()[0].text.toStdString();
    EXPECT_EQ(prompts().calls()[0].icon, MsgIcon::Warning);
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_EQ(doc->windowTitle(), "doc.rvk");
    EXPECT_EQ(Folder(path), Encoded(doc->document()));
    endMain(main);
}

TEST_F(OutsideChangeTest, SaveUnderAnotherNameLeavesTheOtherProgramsDocument) {
    const QString path = dataPath("doc.rvk");
    WriteFromOutside(path, 1, 2);
    auto main = startMain();
    main->OpenDocument(path);
    TFileForm* doc = main->documents().at(0);
    const FileDoc b = WriteFromOutside(path, 2, 1);
    Type(doc, QStringLiteral("x"));
    const QString other = dataPath("mine.rvk");
    prompts().answerMessage(MsgAnswer::No);
    prompts().answerText(other);
    Save(*main);
    EXPECT_EQ(doc->path(), other);
    EXPECT_EQ(Folder(path), Encoded(b));
    EXPECT_EQ(Folder(other), Encoded(doc->document()));
    endMain(main);
}

TEST_F(OutsideChangeTest, WatcherOffersReloadOncePerChangeAndNeverOverAQuestion) {
    const QString path = dataPath("doc.rvk");
    WriteFromOutside(path, 1, 2);
    auto main = startMain();
    main->OpenDocument(path);
    TFileForm* doc = main->documents().at(0);
    TFleetForm* fleet = openFleet(doc, 0);
    ASSERT_NE(fleet, nullptr);

    // Unmodified: No keeps the window as it is, and the same change is not asked again.
    WriteFromOutside(path, 2, 3);
    prompts().answerMessage(MsgAnswer::No);
    ASSERT_TRUE(WaitForQuestions(1));
    EXPECT_EQ(prompts().calls()[0].text, "E-changed, reload doc.rvk?");
    EXPECT_EQ(prompts().calls()[0].buttons, MsgButtons::YesNo);
    ExpectNoQuestion();
    EXPECT_EQ(doc->document().fleets[0]->name, "F1");

    // A new change while a modal question is open waits for it; Yes then reads the
    // files again and closes the fleet window.
    QDialog question;
    question.setWindowModality(Qt::ApplicationModal);
    question.show();
    const FileDoc c = WriteFromOutside(path, 3, 4);
    ExpectNoQuestion();
    question.close();
    prompts().answerMessage(MsgAnswer::Yes);
    ASSERT_TRUE(WaitForQuestions(2));
    EXPECT_TRUE(doc->fleetWindows().empty());
    EXPECT_EQ(Encoded(doc->document()), Encoded(c));
    EXPECT_EQ(doc->windowTitle(), "doc.rvk");

    // Modified: the question says the changes go; No keeps them, and saving then asks.
    Type(doc, QStringLiteral("mine"));
    const FileDoc d = WriteFromOutside(path, 4, 1);
    prompts().answerMessage(MsgAnswer::No);
    ASSERT_TRUE(WaitForQuestions(3));
    EXPECT_EQ(prompts().calls()[2].text, "E-changed, reload and lose edits of doc.rvk?");
    EXPECT_TRUE(doc->document().modified);
    ExpectNoQuestion();
    prompts().answerMessage(MsgAnswer::Cancel);
    Save(*main);
    EXPECT_EQ(prompts().calls().back().text, "E-changed, overwrite doc.rvk?");
    EXPECT_EQ(Folder(path), Encoded(d));

    // The program's own saves are no outside change.
    prompts().answerMessage(MsgAnswer::Yes);
    Save(*main);
    Type(doc, QStringLiteral("again"));
    Save(*main);
    ExpectNoQuestion();
    endMain(main);
}

TEST_F(OutsideChangeTest, SecondEditorIsToldWhoHasTheDocumentAndChoosesHowToOpen) {
    const QString path = writeDocument(QStringLiteral("doc.rvk"), 1);
    const OpenRecord first = OpenRecord::Take(path.toStdString());
    ASSERT_TRUE(first.held());
    const OpenRecordInfo me = ThisEditor();
    auto main = startMain();

    prompts().answerMessage(MsgAnswer::Cancel);
    main->OpenDocument(path);
    ASSERT_EQ(prompts().calls().size(), 1u);
    const PromptCall asked = prompts().calls()[0];
    EXPECT_TRUE(asked.text.startsWith(
        QStringLiteral("E-doc.rvk in use by %1 on %2, %3, since ")
            .arg(QString::fromStdString(me.user), QString::fromStdString(me.host))
            .arg(me.process)))
        << asked.text.toStdString();
    EXPECT_EQ(asked.caption, "E664");
    EXPECT_EQ(asked.buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(main->documents().empty());

    // Open anyway: an ordinary window that saves (the first editor keeps the record).
    prompts().answerMessage(MsgAnswer::No);
    main->OpenDocument(path);
    ASSERT_EQ(main->documents().size(), 1u);
    TFileForm* anyway = main->documents()[0];
    EXPECT_EQ(anyway->windowTitle(), "doc.rvk");
    Type(anyway, QStringLiteral("x"));
    Save(*main);
    EXPECT_EQ(anyway->windowTitle(), "doc.rvk");
    anyway->closeWindow();

    // Read-only: marked, Save refused as for a write-protected file, Save As lifts it.
    prompts().answerMessage(MsgAnswer::Yes);
    main->OpenDocument(path);
    TFileForm* doc = main->documents().at(0);
    EXPECT_EQ(doc->windowTitle(), "doc.rvk E666");
    Type(doc, QStringLiteral("y"));
    const auto before = ReadFileBytes(path.toStdString());
    prompts().answerMessage(MsgAnswer::Ok);
    Save(*main);
    EXPECT_EQ(prompts().calls().back().text, "E-cannot save " + path + ": E592");
    EXPECT_EQ(doc->windowTitle(), "doc.rvk E666 *");
    EXPECT_EQ(ReadFileBytes(path.toStdString()), before);
    const QString copy = dataPath("copy.rvk");
    prompts().answerText(copy);
    EXPECT_TRUE(trigger(menu(main.get(), "mFile"), "iSaveAs"));
    EXPECT_EQ(doc->windowTitle(), "copy.rvk");
    EXPECT_FALSE(OpenRecord::Take(copy.toStdString()).held());
    endMain(main);
    EXPECT_TRUE(OpenRecord::Take(copy.toStdString()).held());
}

TEST_F(OutsideChangeTest, RecordLeftByADeadEditorIsTakenOverAndGoesWithTheWindow) {
    const QString path = writeDocument(QStringLiteral("doc.rvk"), 1);
    const QString record = QString::fromStdString(OpenRecordPath(path.toStdString()));
    QFile left(record);
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write(FormatOpenRecord({"gone", "here", 2147483600, 1}).c_str());
    left.close();
    auto main = startMain();
    main->OpenDocument(path);
    ASSERT_EQ(main->documents().size(), 1u);
    EXPECT_EQ(main->documents()[0]->windowTitle(), "doc.rvk");
    EXPECT_FALSE(OpenRecord::Take(path.toStdString()).held());
    main->documents()[0]->closeWindow();
#ifndef Q_OS_WIN  // the file stays there: removing an open file shuts out those waiting on it
    EXPECT_FALSE(QFile::exists(record));
#endif
    EXPECT_TRUE(OpenRecord::Take(path.toStdString()).held()) << "given up with the window";
    endMain(main);
}

// Instance 1 types ONE and saves, instance 2 types TWO and saves: the second was told at
// opening, chose read-only, and its save is refused; the file holds ONE.
TEST_F(OutsideChangeTest, TwoEditorsOnOneDocumentTheSecondIsToldAndCannotOverwrite) {
    const QString path = writeDocument(QStringLiteral("doc.rvk"), 1);
    auto one = startMain();
    one->OpenDocument(path);
    auto two = startMain();
    prompts().answerMessage(MsgAnswer::Yes);
    two->OpenDocument(path);
    ASSERT_EQ(prompts().calls().size(), 1u);
    EXPECT_EQ(prompts().calls()[0].caption, "E664");

    Type(one->documents().at(0), QStringLiteral("ONE"));
    Save(*one);
    Type(two->documents().at(0), QStringLiteral("TWO"));
    prompts().answerMessage(MsgAnswer::Ok);
    Save(*two);
    EXPECT_EQ(prompts().calls().back().text, "E-cannot save " + path + ": E592");
    FileDoc saved;
    saved.path = path.toStdString();
    ASSERT_TRUE(LoadDocument(saved).ok);
    EXPECT_EQ(saved.info, "test documentONE");

    prompts().answerMessage(MsgAnswer::No);  // instance 2: discard TWO on exit
    endMain(two);
    endMain(one);
}

}  // namespace
}  // namespace rvk
