// Crash recovery through the windows: snapshots follow the changes of the open
// documents, leave with saving, discarding and Exit, and come back after a crash.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <system_error>

#include "app/autosave.h"
#include "app/main_form.h"
#include "docwin/file_form.h"
#include "storage/file_io.h"
#include "storage/companion_files.h"
#include "platform/settings_store.h"
#include "shell_test.h"
#ifdef __linux__
#include "small_disk.h"
#endif

namespace rvk {
namespace {

class RecoveryTest : public test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        SetRecoveryFolder(recovery_.path());
    }
    void TearDown() override {
        SetRecoveryFolder(QString());
        ShellTest::TearDown();
    }
    // A main window as the program starts it, snapshots every `seconds`.
    std::unique_ptr<TMainForm> start(int seconds = 3600) {
        SettingsStore().setInteger(QStringLiteral("AutosaveSeconds"), seconds);
        auto main = startMain();
        main->StartRecovery();
        return main;
    }
    // What a timer turn does, waited for.
    static void snapshot(TMainForm& main) {
        main.autosave()->snapshotChanged();
        main.autosave()->waitForWrites();
    }
    // The program dies: nothing is closed, the lock of its folder stays behind naming
    // a process that does not run.
    static void crash(std::unique_ptr<TMainForm>& main) {
        main->autosave()->waitForWrites();
        const QString lock = main->autosave()->instanceFolder() + QStringLiteral("/lock");
        main->hide();
        main.reset();
        QFile f(lock);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("2147483600\nrvkedit\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    QStringList messages() {
        QStringList texts;
        for (const PromptCall& call : prompts().callsOf(PromptKind::Message)) texts << call.text;
        return texts;
    }
    // The warning that crash-recovery copies cannot be written to root.
    static QString cannotWrite(const QString& root, const QString& reason) {
        return "E-no copies in " + QDir::toNativeSeparators(root) + ": " + reason;
    }
    static QString systemWords(std::errc code) {
        return QString::fromStdString(std::make_error_code(code).message());
    }
    QStringList instances() const {
        return QDir(recovery_.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
    // The snapshot folders of an instance, and the document file of each.
    static QStringList snapshots(const QString& instance) {
        return QDir(instance).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
    static QString snapshotFile(const QString& instance) {
        const QStringList docs = snapshots(instance);
        if (docs.size() != 1) return QString();
        const QStringList files =
            QDir(instance + QLatin1Char('/') + docs[0]).entryList({QStringLiteral("*.rvk")});
        return files.size() == 1 ? files[0] : QString();
    }
    static void edit(TFileForm* doc, const QString& info) { doc->infoMemo()->setPlainText(info); }
    // The info text of the one document the instance keeps a snapshot of; empty when
    // there is none.
    static std::string keptInfo(const TMainForm& main) {
        const QString instance = main.autosave()->instanceFolder();
        if (instance.isEmpty()) return {};
        const auto kept = ReadInstanceSnapshots(instance.toStdString());
        return kept.size() == 1 && kept[0].doc ? kept[0].doc->info : std::string();
    }

    QTemporaryDir recovery_;
};

TEST_F(RecoveryTest, SnapshotsFollowChangesAndLeaveWithSaveDiscardAndExit) {
    const QString path = writeDocument(QStringLiteral("a.rvk"), 2, 1);
    auto main = start();
    ASSERT_EQ(instances().size(), 1);
    const QString instance = main->autosave()->instanceFolder();
    main->OpenDocument(path);
    TFileForm* doc = main->documents().front();

    snapshot(*main);
    EXPECT_TRUE(snapshots(instance).isEmpty()) << "an unchanged document";
    edit(doc, QStringLiteral("first"));
    snapshot(*main);
    EXPECT_EQ(snapshotFile(instance), "g1.rvk");
    snapshot(*main);
    EXPECT_EQ(snapshotFile(instance), "g1.rvk") << "no change, no new snapshot";
    edit(doc, QStringLiteral("second"));
    snapshot(*main);
    EXPECT_EQ(snapshotFile(instance), "g2.rvk");
    // The user's own file is untouched and the document still unsaved.
    FileDoc onDisk;
    onDisk.path = path.toStdString();
    ASSERT_TRUE(LoadDocument(onDisk).ok);
    EXPECT_EQ(onDisk.info, "test document");
    EXPECT_TRUE(doc->document().modified);

    ASSERT_TRUE(main->Save(doc));
    main->autosave()->waitForWrites();
    EXPECT_TRUE(snapshots(instance).isEmpty()) << "saved";
    snapshot(*main);
    EXPECT_TRUE(snapshots(instance).isEmpty()) << "saved and unchanged since";

    // A new document changed, then discarded at the close question while its snapshot
    // is still being written: the window goes at once, the snapshot after it.
    main->NewDocumentWindow(QString());
    TFileForm* fresh = main->documents().back();
    edit(fresh, QStringLiteral("scratch"));
    main->autosave()->snapshotChanged();
    prompts().answerMessage(MsgAnswer::No);
    fresh->closeWindow();
    QCoreApplication::processEvents();
    main->autosave()->waitForWrites();
    EXPECT_TRUE(snapshots(instance).isEmpty()) << "discarded";

    edit(doc, QStringLiteral("third"));
    snapshot(*main);
    prompts().answerMessage(MsgAnswer::No);
    endMain(main);
    EXPECT_TRUE(instances().isEmpty()) << "a normal Exit leaves nothing behind";
}

// A hurried user after a crash: Later first, then Restore at the next start, then closing
// without saving. One snapshot was damaged meanwhile.
TEST_F(RecoveryTest, CrashThenLaterThenRestoreWithADamagedSnapshot) {
    // A document with Zoom2 graphics on disk.
    const QString path = writeDocument(QStringLiteral("z.rvk"), 1, 2);
    {
        FileDoc d;
        d.path = path.toStdString();
        ASSERT_TRUE(LoadDocument(d).ok);
        DeriveZoom2(*d.fleets[0]->vehicles[0], "z2");
        ASSERT_TRUE(SaveDocument(d).ok());
    }
    const QString other = writeDocument(QStringLiteral("other.rvk"), 1, 1);

    auto main = start();
    main->OpenDocument(path);
    main->OpenDocument(other);
    main->NewDocumentWindow(QString());
    const auto& docs = main->documents();
    VehicleRec& zoomed = *docs[0]->document().fleets[0]->vehicles[0];
    zoomed.Zoom2Planes[1].set(5, 7, 0x00ABCDEF);
    zoomed.Zoom2Modified = true;
    docs[0]->SetModified(true);
    edit(docs[1], QStringLiteral("other's change"));
    edit(docs[2], QStringLiteral("unnamed work"));
    snapshot(*main);
    const QString left = main->autosave()->instanceFolder();
    crash(main);

    // The snapshot of "other.rvk" is damaged; the two others are still offered.
    QString damaged;
    for (const QString& d : snapshots(left)) {
        const QString manifest = left + QLatin1Char('/') + d + QStringLiteral("/manifest");
        QFile f(manifest);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        if (f.readAll().contains("other.rvk")) damaged = left + QLatin1Char('/') + d;
    }
    ASSERT_FALSE(damaged.isEmpty());
    QFile::resize(damaged + QStringLiteral("/g1.rvk"), 40);

    // Later: nothing opens, everything stays for the next start.
    prompts().answerMessage(MsgAnswer::Ok);
    prompts().answerMessage(MsgAnswer::Cancel);
    main = start();
    auto calls = prompts().callsOf(PromptKind::Message);
    ASSERT_EQ(calls.size(), 2u);
    // Named with their folders: two documents of one name can be told apart.
    EXPECT_EQ(calls[0].text, "E-kept copy damaged " + QDir::toNativeSeparators(other));
    EXPECT_EQ(calls[0].icon, MsgIcon::Error);
    EXPECT_TRUE(
        calls[1].text.startsWith("E-restore?\r\nE-" + QDir::toNativeSeparators(path) + " at "))
        << calls[1].text.toStdString();
    EXPECT_TRUE(calls[1].text.contains("\nE-New01.rvk at ")) << calls[1].text.toStdString();
    EXPECT_FALSE(calls[1].text.contains("other.rvk"));
    EXPECT_EQ(calls[1].caption, "E640");
    EXPECT_EQ(calls[1].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(main->documents().empty());
    endMain(main);
    EXPECT_EQ(instances(), QStringList{QDir(left).dirName()});

    // Restore: both open modified, the named one at its path with its Zoom2 graphics.
    prompts().reset();
    prompts().answerMessage(MsgAnswer::Ok);
    prompts().answerMessage(MsgAnswer::Yes);
    main = start();
    EXPECT_EQ(prompts().callsOf(PromptKind::Message).size(), 2u);
    ASSERT_EQ(main->documents().size(), 2u);
    TFileForm* named = main->documents()[0];
    TFileForm* unnamed = main->documents()[1];
    EXPECT_EQ(named->path(), path);
    EXPECT_TRUE(named->document().named && named->document().modified);
    EXPECT_EQ(named->windowTitle(), "z.rvk *");
    const VehicleRec& back = *named->document().fleets[0]->vehicles[0];
    ASSERT_TRUE(back.Zoom2Exists);
    EXPECT_EQ(back.Zoom2Planes[1].at(5, 7), 0x00ABCDEFu);
    EXPECT_FALSE(unnamed->document().named);
    EXPECT_EQ(unnamed->document().info, "unnamed work");
    EXPECT_EQ(unnamed->fileName(), "New01.rvk") << "a new generated name";
    EXPECT_EQ(instances(), QStringList{QDir(main->autosave()->instanceFolder()).dirName()})
        << "the restored folder is gone once they are open";

    // Closing without saving asks; saving writes the graphics beside the document.
    prompts().answerMessage(MsgAnswer::Yes);
    named->closeWindow();
    FileDoc saved;
    saved.path = path.toStdString();
    ASSERT_TRUE(LoadDocument(saved).ok);
    EXPECT_EQ(saved.fleets[0]->vehicles[0]->Zoom2Planes[1].at(5, 7), 0x00ABCDEFu);
    prompts().answerMessage(MsgAnswer::No);
    endMain(main);
    calls = prompts().callsOf(PromptKind::Message);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2].text, "E-save z.rvk?");
    EXPECT_EQ(calls[3].text, "E-save New01.rvk?");
    EXPECT_TRUE(instances().isEmpty());
}

#ifdef Q_OS_WIN
// The snapshots belong to this user on this machine: %LOCALAPPDATA%, not the roaming profile.
TEST_F(RecoveryTest, SnapshotsLieInTheLocalApplicationData) {
    SetRecoveryFolder(QString());
    QStandardPaths::setTestModeEnabled(false);
    const QString folder = RecoveryFolder();
    QStandardPaths::setTestModeEnabled(true);
    const QString local = QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
    ASSERT_FALSE(local.isEmpty());
    EXPECT_TRUE(folder.startsWith(local + QLatin1Char('/'), Qt::CaseInsensitive))
        << folder.toStdString();
}
#endif

TEST_F(RecoveryTest, ARunningInstanceKeepsItsFolderAndTheIntervalIsASetting) {
    auto main = start(1);
    main->NewDocumentWindow(QString());
    edit(main->documents().front(), QStringLiteral("drawn"));
    const QString instance = main->autosave()->instanceFolder();
    // The timer takes the snapshot by itself.
    // (QTRY_ would return quietly on a timeout here: it reports to a QTest run only.)
    ASSERT_TRUE(QTest::qWaitFor([&] { return snapshotFile(instance) == "g1.rvk"; }, 10000));

    // A second instance beside it offers and removes nothing of the first.
    const std::vector<TFileForm*> none;
    Autosave second(recovery_.path(), none, nullptr);
    EXPECT_TRUE(second.claimLeftInstances().empty());
    second.start(1);
    EXPECT_EQ(instances().size(), 2);
    second.finish();
    EXPECT_EQ(snapshotFile(instance), "g1.rvk");

    prompts().answerMessage(MsgAnswer::No);
    endMain(main);
    EXPECT_EQ(SettingsStore().integer(QStringLiteral("AutosaveSeconds")), 1);

    // 0 takes no snapshots at all.
    main = start(0);
    EXPECT_EQ(main->autosave()->instanceFolder(), QString());
    EXPECT_TRUE(instances().isEmpty());
    endMain(main);
}

// A home folder the program may not write (its folders lie below a file, which stops
// root too): one message at start names what cannot be kept and where.
TEST_F(RecoveryTest, UnwritableSettingsAndRecoveryFolderAreToldOnceAtStart) {
    const QString home = dataPath("home");
    ASSERT_TRUE(QFile(home).open(QIODevice::WriteOnly));
    // The settings go below it for this test only.
    struct SettingsPath {
        const QString kept =
            QFileInfo(QFileInfo(QSettings(QStringLiteral("DUR"), SettingsApplication()).fileName())
                          .path())
                .path();
        ~SettingsPath() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, kept); }
    } settingsPath;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home + "/config");
    SetRecoveryFolder(home + "/recovery");
    prompts().answerMessage(MsgAnswer::Ok);
    auto main = startMain();
    main->StartRecovery();
#ifdef Q_OS_WIN
    // The settings are kept in the registry, which a file in the way does not stop.
    const QString settings;
#else
    const QString settingsFile = QSettings(QStringLiteral("DUR"), SettingsApplication()).fileName();
    const QString settings = "E-no settings in " + QDir::toNativeSeparators(settingsFile) + "\n\n";
#endif
    EXPECT_EQ(messages(),
              QStringList{settings + cannotWrite(home + "/recovery",
                                                 systemWords(std::errc::not_a_directory))});
    const auto calls = prompts().callsOf(PromptKind::Message);
    EXPECT_EQ(calls[0].caption, "E543");
    EXPECT_EQ(calls[0].icon, MsgIcon::Warning);
    endMain(main);
    EXPECT_EQ(messages().size(), 1) << "nothing more at the end";
}

// Snapshots that cannot be written are tried at every interval (real timer events) and
// written at the first one after the folder works again. A failure is told once, and
// once more only when it fails anew after having worked.
TEST_F(RecoveryTest, SnapshotsResumeWhenTheFolderWorksAgain) {
    const QString parent = dataPath("parent");
    const QString root = parent + "/recovery";
    const auto blockWithFile = [&] { ASSERT_TRUE(QFile(parent).open(QIODevice::WriteOnly)); };
    blockWithFile();
    SetRecoveryFolder(root);
    prompts().answerMessage(MsgAnswer::Ok);
    auto main = start(1);
    const QString told = cannotWrite(root, systemWords(std::errc::not_a_directory));
    EXPECT_EQ(messages(), QStringList{told});
    main->NewDocumentWindow(QString());
    TFileForm* doc = main->documents().front();
    edit(doc, QStringLiteral("drawn"));
    QTest::qWait(1500);
    EXPECT_EQ(messages().size(), 1) << "still failing, not told again";

    ASSERT_TRUE(QFile::remove(parent) && QDir().mkpath(parent));
    ASSERT_TRUE(QTest::qWaitFor([&] { return keptInfo(*main) == "drawn"; }, 5000));

#ifndef Q_OS_WIN  // a folder holding the open lock file of a running instance cannot go
    ASSERT_TRUE(RemoveFolder(parent.toStdString()));
    blockWithFile();
    edit(doc, QStringLiteral("drawn again"));
    prompts().answerMessage(MsgAnswer::Ok);
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().size() == 2; }, 5000));
    EXPECT_EQ(messages()[1], told);
    QTest::qWait(1500);
    EXPECT_EQ(messages().size(), 2);
#endif
    prompts().answerMessage(MsgAnswer::No);
    endMain(main);
}

#ifdef __linux__

// A disk full or read-only at start is told once with its reason; the next interval
// after it works again writes the snapshot.
TEST_F(RecoveryTest, FullOrReadOnlyDiskAtStartIsToldOnceAndSnapshotsResume) {
    struct Case {
        const char* what;
        bool full;
        const char* reason;
    };
    for (const Case& c : {Case{"full", true, "E593"}, Case{"read-only", false, "E594"}}) {
        SCOPED_TRACE(c.what);
        testing::SmallDisk disk(1 << 20);
        if (!disk.error().empty()) GTEST_SKIP() << disk.error();
        const QString root = QString::fromStdString(disk.path()) + "/recovery";
        SetRecoveryFolder(root);
        if (c.full)
            disk.fill();
        else
            ASSERT_TRUE(disk.setReadOnly(true));
        prompts().answerMessage(MsgAnswer::Ok);
        auto main = start(1);
        EXPECT_EQ(messages(), QStringList{cannotWrite(root, c.reason)});
        main->NewDocumentWindow(QString());
        edit(main->documents().front(), QStringLiteral("drawn"));
        QTest::qWait(1500);
        EXPECT_EQ(messages().size(), 1);

        if (c.full)
            disk.free();
        else
            ASSERT_TRUE(disk.setReadOnly(false));
        ASSERT_TRUE(QTest::qWaitFor([&] { return keptInfo(*main) == "drawn"; }, 5000));
        prompts().answerMessage(MsgAnswer::No);
        endMain(main);
        prompts().reset();
    }
}

// A crash, then a start with the disk full or read-only: the copies are taken over and
// read without writing, so the question still comes and restores. A left folder that
// cannot be removed yet stays held and goes once the disk works again.
TEST_F(RecoveryTest, FullOrReadOnlyDiskAtRestartStillOffersTheCopies) {
    struct Case {
        const char* what;
        bool full;
    };
    for (const Case& c : {Case{"full", true}, Case{"read-only", false}}) {
        SCOPED_TRACE(c.what);
        testing::SmallDisk disk(1 << 20);
        if (!disk.error().empty()) GTEST_SKIP() << disk.error();
        const QString root = QString::fromStdString(disk.path()) + "/recovery";
        SetRecoveryFolder(root);
        const QString path = writeDocument(QString::fromLatin1(c.what) + ".rvk", 1, 1);
        auto main = start(1);
        main->OpenDocument(path);
        edit(main->documents().front(), QStringLiteral("kept"));
        snapshot(*main);
        const QString left = main->autosave()->instanceFolder();
        crash(main);

        if (c.full)
            disk.fill();
        else
            ASSERT_TRUE(disk.setReadOnly(true));
        prompts().answerMessage(MsgAnswer::Yes);
        // Read-only, no folder of its own can be made; full, the left copy's space is
        // free again once it is removed.
        if (!c.full) prompts().answerMessage(MsgAnswer::Ok);
        main = start(1);
        const QStringList told = messages();
        ASSERT_EQ(told.size(), c.full ? 1 : 2);
        EXPECT_TRUE(
            told[0].startsWith("E-restore?\r\nE-" + QDir::toNativeSeparators(path) + " at "))
            << told[0].toStdString();
        if (!c.full) {
            EXPECT_EQ(told[1], cannotWrite(root, "E594"));
        }
        ASSERT_EQ(main->documents().size(), 1u);
        EXPECT_EQ(main->documents().front()->document().info, "kept");

        if (c.full)
            disk.free();
        else
            ASSERT_TRUE(disk.setReadOnly(false));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !QDir(left).exists() && keptInfo(*main) == "kept"; }, 5000));
        prompts().answerMessage(MsgAnswer::No);
        endMain(main);
        prompts().reset();
    }
}

#endif

}  // namespace
}  // namespace rvk
