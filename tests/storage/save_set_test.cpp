// A document and its companion files are saved as one: a failure at any file, or the
// process killed at any step, leaves the old set or (once its journal is in place and
// the document is opened again) the new set, never a mix.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "doc_test_util.h"
#include "storage/companion_files.h"
#include "storage/document_files.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {
namespace {

using Bytes = std::vector<std::uint8_t>;
// The save lock's file beside a saved document: Windows keeps it (see SaveLock).
#ifdef _WIN32
constexpr std::size_t kLockFilesLeft = 1;
#else
constexpr std::size_t kLockFilesLeft = 0;
#endif
using Files = std::map<std::string, Bytes>;
namespace fs = std::filesystem;

class SaveSet : public ::testing::Test {
protected:
    testing::TempDir dir;

    void TearDown() override { SetSaveStepHook(nullptr); }

    std::string path() const { return dir.file("trains.rvk"); }

    // Six vehicles, four of them with Zoom2 graphics.
    FileDoc OldDoc() const {
        FileDoc doc;
        doc.path = path();
        doc.info = "old";
        doc.fleets.push_back(CreateFleet("F"));
        for (std::uint32_t j = 0; j < 6; ++j)
            doc.fleets[0]->vehicles.push_back(std::make_unique<VehicleRec>(
                testing::VariedVehicle(j + 1, j == 0 || j == 2 || j == 3 || j == 5)));
        return doc;
    }
    // Opened again and changed so that a save writes the document and three companions
    // (one redrawn, one new, one moved) and deletes the moved one's old file.
    static void Change(FileDoc& doc) {
        auto& vehicles = doc.fleets[0]->vehicles;
        doc.info = "new";
        vehicles[0]->Zoom2Planes[1].set(3, 20, 0x00112233);
        vehicles[0]->Zoom2Modified = true;
        DeriveZoom2(*vehicles[1], "added");
        vehicles[1]->Zoom2Modified = true;
        std::swap(vehicles[2], vehicles[4]);
        doc.modified = true;
    }

    Files Snapshot() const {
        Files files;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            files[entry.path().filename().string()] = *ReadFileBytes(entry.path().string());
        return files;
    }
    void Restore(const Files& files) const {
        for (const auto& entry : fs::directory_iterator(dir.path())) fs::remove(entry.path());
        for (const auto& [name, bytes] : files) ASSERT_TRUE(WriteFileAtomic(dir.file(name), bytes));
    }
    FileDoc OpenChanged() const {
        FileDoc doc;
        doc.path = path();
        EXPECT_TRUE(LoadDocument(doc).ok);
        Change(doc);
        return doc;
    }
    // Reopens the folder as the editor does and returns what is then on disk.
    Files Reopened() const {
        FileDoc doc;
        doc.path = path();
        EXPECT_TRUE(LoadDocument(doc).ok);
        return Snapshot();
    }
    Files SavedOld() {
        FileDoc doc = OldDoc();
        EXPECT_TRUE(SaveDocument(doc).ok());
        return Snapshot();
    }
};

// The hook that fails or stops the save at its step number `at`.
SaveStepHook AtStep(int at, std::function<int()> action) {
    auto count = std::make_shared<int>(0);
    return [=](SaveStep, const std::string&) { return (*count)++ == at ? action() : 0; };
}

TEST_F(SaveSet, FailureAtAnyStepNeverLeavesAMix) {
    const Files old = SavedOld();
    std::vector<Files> after;
    int cleanFailures = 0;
    for (int step = 0;; ++step) {
        ASSERT_LT(step, 30);
        Restore(old);
        FileDoc doc = OpenChanged();
        const std::vector<std::string> known = doc.KnownZoom2Files;
        SetSaveStepHook(AtStep(step, [] { return ENOSPC; }));
        const SaveResult result = SaveDocument(doc);
        SetSaveStepHook(nullptr);
        if (result.ok()) {
            after.push_back(Snapshot());
            break;
        }
        EXPECT_EQ(result.message().text, kTextCannotSave);
        EXPECT_EQ(result.message().reason, (Reason{kTextDiskFull, {}}));
        EXPECT_TRUE(doc.modified);
        EXPECT_EQ(doc.KnownZoom2Files, known);
        if (Snapshot() == old) {
            ++cleanFailures;  // nothing touched, no temporary or journal left
            EXPECT_EQ(Reopened(), old);
        } else {
            EXPECT_TRUE(FileExists(SaveJournalPath(path()))) << step;
            after.push_back(Reopened());
        }
    }
    // Four files written, the journal, then the first rename still undone as a whole.
    EXPECT_EQ(cleanFailures, 6);
    const Files& saved = after.back();
    EXPECT_NE(saved, old);
    EXPECT_EQ(saved.count("trains-00-02.fzz"), 0u);
    EXPECT_EQ(saved.count("trains-00-04.fzz"), 1u);
    for (const Files& files : after) EXPECT_EQ(files, saved);
}

TEST_F(SaveSet, KilledAtAnyStepOpensAsTheOldOrTheNewDocument) {
    // The changed document saved by a process that dies at the step: 3 when it got through.
    const auto saveKilledAt = [this](int step) {
        FileDoc doc = OpenChanged();
        SetSaveStepHook(AtStep(step, []() -> int { testing::Die(); }));
        return SaveDocument(doc).ok() ? 3 : 4;
    };
    if (const auto step = testing::ChildTask()) _exit(saveKilledAt(*step));
    const Files old = SavedOld();
    std::vector<Files> reopened;
    for (int step = 0;; ++step) {
        ASSERT_LT(step, 30);
        Restore(old);
        const int status =
            testing::RunInChild(step, dir.path(), [&] { return saveKilledAt(step); });
        ASSERT_NE(status, -1) << step;
        ASSERT_NE(status, 4) << step;
        reopened.push_back(Reopened());
        if (status == 3) break;
    }
    const Files& saved = reopened.back();
    ASSERT_NE(saved, old);
    // Killed before the journal was in place: the old set; after: the new one.
    for (std::size_t step = 0; step < reopened.size(); ++step)
        EXPECT_EQ(reopened[step], step < 5 ? old : saved) << step;
    EXPECT_EQ(reopened.size(), 5u + 4 + 1 + 1 + 1);  // and the renames, removal, finish
}

TEST_F(SaveSet, OpeningAndSavingRemoveWhatKilledSavesLeft) {
    const Files old = SavedOld();
    const testing::OtherProcess other;
    ASSERT_GT(other.id(), 0);
    const std::string finished = ".trains.rvk.999999999.0.tmp";
    const std::string running = ".trains-00-01.fzz." + std::to_string(other.id()) + ".3.tmp";
    const std::string ownOld = ".trains-00-05.fzz." + std::to_string(getpid()) + ".7.tmp";
    const std::string foreign = ".other.rvk.999999999.0.tmp";
    for (const std::string& name : {finished, running, ownOld, foreign, std::string("x.tmp")})
        ASSERT_TRUE(WriteFileAtomic(dir.file(name), Bytes{1}));
    FileDoc doc;
    doc.path = path();
    ASSERT_TRUE(LoadDocument(doc).ok);
    Files expected = old;
    for (const std::string& name : {running, foreign, std::string("x.tmp")}) expected[name] = {1};
    EXPECT_EQ(Snapshot(), expected);

    ASSERT_TRUE(WriteFileAtomic(dir.file(finished), Bytes{1}));
    doc.modified = true;
    ASSERT_TRUE(SaveDocument(doc).ok());
    EXPECT_EQ(Snapshot(), expected);
}

// A journal that is no whole journal never began a rename: it is set aside where the
// user can find it and the document opens as it is. One that names files not of the
// document is refused.
TEST_F(SaveSet, ADamagedJournalIsSetAsideAndAForeignOneRefused) {
    const Files old = SavedOld();
    const auto journal = [](std::initializer_list<std::string> fields) {
        Bytes bytes;
        for (const std::string& f : fields) {
            bytes.insert(bytes.end(), f.begin(), f.end());
            bytes.push_back(0);
        }
        return bytes;
    };
    const std::string sig = "RVK save journal 1";
    const struct {
        Bytes bytes;
        bool damaged;
    } cases[] = {
        {{}, true},                                                           // empty
        {journal({sig, "D", "trains-00-00.fzz"}), true},                      // cut short
        {journal({"other", "D", "trains-00-00.fzz", "E"}), true},             // not a journal
        {journal({sig, "X", "trains.rvk", "E"}), true},                       //
        {Bytes(300, 0xFF), true},                                             // garbage
        {journal({sig, "D", "../trains.rvk", "E"}), false},                   // another folder
        {journal({sig, "D", "notes.txt", "E"}), false},                       // not the document's
        {journal({sig, "R", ".notes.txt.1.0.tmp", "trains.rvk", "E"}), false},  // not its temporary
    };
    for (const auto& c : cases) {
        Restore(old);
        ASSERT_TRUE(WriteFileAtomic(SaveJournalPath(path()), c.bytes));
        const Files before = Snapshot();
        FileDoc doc;
        doc.path = path();
        const LoadResult r = LoadDocument(doc);
        if (!c.damaged) {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.error,
                      (Message{kTextInterruptedSave, path(), Reason{kTextDamagedFile, {}}}));
            EXPECT_EQ(Snapshot(), before);
            continue;
        }
        ASSERT_TRUE(r.ok);
        ASSERT_TRUE(r.notice);
        EXPECT_EQ(r.notice->text, kTextJournalSetAside);
        const std::string aside = r.notice->reason->words;
        EXPECT_EQ(DirectoryOf(aside), dir.path().string());
        Files expected = old;
        expected[FileNameOf(aside)] = c.bytes;
        EXPECT_EQ(Snapshot(), expected);
        EXPECT_EQ(doc.info, "old");
        // Told once: the next opening finds nothing to set aside, and a save that finds
        // another damaged journal sets that aside too, beside the first.
        EXPECT_FALSE(LoadDocument(doc).notice);
        ASSERT_TRUE(WriteFileAtomic(SaveJournalPath(path()), c.bytes));
        doc.modified = true;
        const SaveResult saved = SaveDocument(doc);
        ASSERT_TRUE(saved.ok());
        ASSERT_TRUE(saved.notice);
        EXPECT_NE(saved.notice->reason->words, aside);
        EXPECT_EQ(Snapshot().size(), expected.size() + 1);
    }
}

// Every name made beside a document stays within the file system's limit however long
// the document's name, and what a killed save of it left is still told apart from what
// belongs to another document of nearly the same name.
TEST_F(SaveSet, LongNamesOpenSaveAndRecover) {
    const auto nameOf = [](std::size_t length) { return std::string(length - 4, 'n') + ".rvk"; };
    const auto hasZoom2 = [](std::size_t length) {
        return length + 6 <= 255;  // "-00-00.fzz" in place of ".rvk"
    };
    // Opens the saved document, changes it and saves it, killed at its first rename,
    // with the journal in place where there is one.
    const auto saveKilled = [&](std::size_t length) {
        FileDoc reopened;
        reopened.path = dir.file(nameOf(length));
        if (!LoadDocument(reopened).ok) return 5;
        reopened.info = "new";
        if (hasZoom2(length)) {
            DeriveZoom2(*reopened.fleets[0]->vehicles[1], "added");
            reopened.fleets[0]->vehicles[1]->Zoom2Modified = true;
        }
        reopened.modified = true;
        SetSaveStepHook([](SaveStep step, const std::string&) {
            if (step == SaveStep::kRename) testing::Die();
            return 0;
        });
        return SaveDocument(reopened).ok() ? 3 : 4;
    };
    if (const auto task = testing::ChildTask())
        _exit(saveKilled(static_cast<std::size_t>(*task)));
    for (const std::size_t length : {234u, 241u, 246u, 247u, 249u, 250u, 255u}) {
        SCOPED_TRACE(length);
        for (const auto& entry : fs::directory_iterator(dir.path())) fs::remove(entry.path());
        const std::string name = nameOf(length);
        const bool zoom2 = hasZoom2(length);
        FileDoc doc;
        doc.path = dir.file(name);
        doc.fleets.push_back(CreateFleet("F"));
        for (std::uint32_t j = 0; j < 3; ++j)
            doc.fleets[0]->vehicles.push_back(
                std::make_unique<VehicleRec>(testing::VariedVehicle(j + 1, zoom2 && j != 1)));
        ASSERT_TRUE(SaveDocument(doc).ok());
        FileDoc reopened;
        reopened.path = doc.path;
        ASSERT_TRUE(LoadDocument(reopened).ok);
        EXPECT_EQ(reopened.KnownZoom2Files.size(), zoom2 ? 2u : 0u);

        ASSERT_EQ(testing::RunInChild(static_cast<int>(length), dir.path(),
                                      [&] { return saveKilled(length); }),
                  0);
        EXPECT_EQ(FileExists(SaveJournalPath(doc.path)), zoom2);
        std::string other = name;
        other[other.size() - 5] = 'o';
        const std::string dead = ".999999999.0.tmp";
        ASSERT_TRUE(WriteFileAtomic(SidecarPath(doc.path, dead), Bytes{1}));
        ASSERT_TRUE(WriteFileAtomic(SidecarPath(dir.file(other), dead), Bytes{1}));

        FileDoc again;
        again.path = doc.path;
        ASSERT_TRUE(LoadDocument(again).ok);
        EXPECT_EQ(again.info, zoom2 ? "new" : "");
        EXPECT_EQ(again.KnownZoom2Files.size(), zoom2 ? 3u : 0u);
        std::set<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            left.insert(entry.path().filename().string());
            EXPECT_LE(entry.path().filename().string().size(), 255u);
        }
        EXPECT_EQ(left.count(FileNameOf(SidecarPath(dir.file(other), dead))), 1u);
        EXPECT_EQ(left.size(), 2u + again.KnownZoom2Files.size() + kLockFilesLeft);
    }
}

// A process that runs `work` with a save that stops once its journal is in place,
// until it is resumed or killed. Exit 0 when `work` returned true.
class PausedSave {
public:
    PausedSave(int task, const fs::path& folder, const std::function<bool()>& work)
        : child_(task, folder, [&work] { return Run(work); }) {
        EXPECT_TRUE(child_.awaitMark("journal"));
    }
    // The child's part.
    static int Run(const std::function<bool()>& work) {
        bool paused = false;
        SetSaveStepHook([&paused](SaveStep step, const std::string&) {
            if (step != SaveStep::kRename || paused) return 0;
            paused = true;
            testing::Mark("journal");
            testing::AwaitMark("resume");
            return 0;
        });
        return work() ? 0 : 4;
    }
    void resume() const { child_.mark("resume"); }
    int exitCode() { return child_.wait(); }
    void kill() const { child_.kill(); }

private:
    testing::Child child_;
};

// Opening while another process saves: the reader neither completes nor removes the
// running save's journal; it waits, and then reads the new document. A save whose
// process died leaves the lock free and its journal for the next reader.
TEST_F(SaveSet, AReaderWaitsForARunningSaveAndFinishesOnlyADeadOne) {
    const auto openedInfo = [this](std::string want) {
        FileDoc doc;
        doc.path = path();
        const LoadResult r = LoadDocument(doc);
        return r.ok && doc.info == want && doc.KnownZoom2Files.size() == 5;
    };
    const auto saveChanged = [this] {
        FileDoc changed = OpenChanged();
        return SaveDocument(changed).ok();
    };
    if (const auto task = testing::ChildTask())
        _exit(*task == 0 ? PausedSave::Run(saveChanged) : openedInfo("new") ? 0 : 4);
    const Files old = SavedOld();
    {
        PausedSave writer(0, dir.path(), saveChanged);
        const Files midway = Snapshot();
        ASSERT_EQ(midway.count(FileNameOf(SaveJournalPath(path()))), 1u);
        SetSaveLockWait(std::chrono::milliseconds(50));
        FileDoc early;
        early.path = path();
        EXPECT_EQ(LoadDocument(early).error, (Message{kTextBeingSaved, path()}));
        SetSaveLockWait(std::chrono::seconds(10));
        EXPECT_EQ(Snapshot(), midway);
        testing::Child reader(1, dir.path(), [&] { return openedInfo("new") ? 0 : 4; });
        writer.resume();
        EXPECT_EQ(writer.exitCode(), 0);
        EXPECT_EQ(reader.wait(), 0);
    }
    const Files saved = Reopened();
    Restore(old);
    {
        PausedSave writer(0, dir.path(), saveChanged);
        writer.kill();
        EXPECT_EQ(writer.exitCode(), testing::kKilled);
    }
    EXPECT_TRUE(openedInfo("new"));
    EXPECT_EQ(Snapshot(), saved);
}

// Two saves of different documents to one path at once: the second waits, plans its
// companions on what the first left, and the folder holds it whole.
TEST_F(SaveSet, TwoSavesAtOnceFollowOneAnother) {
    const auto saveFirst = [this] {
        FileDoc first = OldDoc();
        return SaveDocumentOver(first, path()).ok();
    };
    const auto saveSecond = [this] {
        FileDoc second;
        second.info = "second";
        second.fleets.push_back(CreateFleet("G"));
        for (std::uint32_t j = 0; j < 3; ++j)
            second.fleets[0]->vehicles.push_back(
                std::make_unique<VehicleRec>(testing::VariedVehicle(50 + j, j == 1)));
        return SaveDocumentOver(second, path()).ok();
    };
    if (const auto task = testing::ChildTask())
        _exit(*task == 0 ? PausedSave::Run(saveFirst) : saveSecond() ? 0 : 4);
    PausedSave a(0, dir.path(), saveFirst);
    testing::Child b(1, dir.path(), [&] { return saveSecond() ? 0 : 4; });
    a.resume();
    EXPECT_EQ(a.exitCode(), 0);
    EXPECT_EQ(b.wait(), 0);
    FileDoc doc;
    doc.path = path();
    ASSERT_TRUE(LoadDocument(doc).ok);
    EXPECT_EQ(doc.info, "second");
    EXPECT_EQ(doc.KnownZoom2Files, std::vector<std::string>{dir.file("trains-00-01.fzz")});
    EXPECT_EQ(Snapshot().size(), 2u + kLockFilesLeft);
}

TEST_F(SaveSet, WriteProtectedTargetsAreRefusedBeforeAnythingIsWritten) {
    const Files old = SavedOld();
    // The document itself, a companion to rewrite, and the moved vehicle's old file
    // that the save would delete.
    for (const std::string name : {"trains.rvk", "trains-00-00.fzz", "trains-00-02.fzz"}) {
        Restore(old);
        FileDoc doc = OpenChanged();
        fs::permissions(dir.file(name), fs::perms::owner_read | fs::perms::group_read);
        const SaveResult r = SaveDocument(doc);
        EXPECT_EQ(r.message(),
                  (Message{kTextCannotSave, dir.file(name), Reason{kTextWriteProtected, {}}}));
        EXPECT_TRUE(doc.modified);
        EXPECT_EQ(Snapshot(), old);
        fs::permissions(dir.file(name), fs::perms::owner_write, fs::perm_options::add);
    }
#ifndef _WIN32  // a folder's attributes do not keep Windows from writing into it
    if (geteuid() != 0) {  // root writes into any folder
        Restore(old);
        FileDoc doc = OpenChanged();
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        const SaveResult r = SaveDocument(doc);
        fs::permissions(dir.path(), fs::perms::owner_all);
        EXPECT_EQ(r.message().reason, (Reason{kTextPermissionDenied, {}}));
        EXPECT_EQ(Snapshot(), old);
    }
#endif
}

#ifdef _WIN32
// Windows cannot replace or remove a file that another program opened without sharing
// its removal: the save names that reason before anything is written.
TEST_F(SaveSet, FilesHeldOpenByAnotherProgramAreRefusedBeforeAnythingIsWritten) {
    const Files old = SavedOld();
    for (const std::string name : {"trains.rvk", "trains-00-00.fzz", "trains-00-02.fzz"}) {
        Restore(old);
        FileDoc doc = OpenChanged();
        const HANDLE held = CreateFileW(PathFromUtf8(dir.file(name)).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const SaveResult r = SaveDocument(doc);
        CloseHandle(held);
        EXPECT_EQ(r.message(), (Message{kTextCannotSave, dir.file(name), Reason{kTextInUse, {}}}));
        EXPECT_TRUE(doc.modified);
        EXPECT_EQ(Snapshot(), old);
    }
}
#endif

TEST_F(SaveSet, SaveAsTakesTheNewPathOnlyOnceSaved) {
    FileDoc doc = OldDoc();
    ASSERT_TRUE(SaveDocument(doc).ok());
    const std::vector<std::string> known = doc.KnownZoom2Files;
    doc.modified = true;
    const std::string nowhere = dir.file("missing/copy.rvk");
    EXPECT_FALSE(SaveDocumentAs(doc, nowhere).ok());
    EXPECT_EQ(doc.path, path());
    EXPECT_EQ(doc.KnownZoom2Files, known);
    EXPECT_TRUE(doc.modified);

    const std::string copy = dir.file("copy.rvk");
    ASSERT_TRUE(SaveDocumentAs(doc, copy).ok());
    EXPECT_EQ(doc.path, copy);
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(doc.KnownZoom2Files.size(), 4u);
    EXPECT_TRUE(FileExists(dir.file("copy-00-05.fzz")));
    EXPECT_TRUE(FileExists(dir.file("trains-00-05.fzz")));  // the old name's files stay
}

// A companion that cannot be read is named, kept out of the known files and never
// deleted; Zoom2 graphics saved for the vehicle at its place replace it.
TEST_F(SaveSet, UnreadableCompanionsAreNamedAndKept) {
    SavedOld();
    const std::string damaged = dir.file("trains-00-02.fzz");
    const std::string otherLength = dir.file("trains-00-03.fzz");
    ASSERT_TRUE(WriteFileAtomic(damaged, Bytes{'x'}));
    VehicleRec longer = testing::VariedVehicle(9, true);
    longer.Length = 40;
    ASSERT_TRUE(WriteFileAtomic(otherLength, EncodeZoom2(longer)));
    const Bytes otherBytes = *ReadFileBytes(otherLength);

    FileDoc doc;
    doc.path = path();
    const LoadResult r = LoadDocument(doc);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.unread.size(), 2u);
    EXPECT_EQ(r.unread[0].path, damaged);
    EXPECT_EQ(ReasonOf(r.unread[0]), (Reason{kTextDamagedFile, {}}));
    EXPECT_EQ(r.unread[1].path, otherLength);
    EXPECT_EQ(ReasonOf(r.unread[1]), (Reason{kTextOtherLength, {}}));
    EXPECT_EQ(doc.KnownZoom2Files, (std::vector<std::string>{dir.file("trains-00-00.fzz"),
                                                             dir.file("trains-00-05.fzz")}));
    auto& vehicles = doc.fleets[0]->vehicles;
    EXPECT_FALSE(vehicles[2]->Zoom2Exists);

    // Moving the vehicles around and saving deletes neither.
    std::swap(vehicles[2], vehicles[4]);
    doc.modified = true;
    ASSERT_TRUE(SaveDocument(doc).ok());
    EXPECT_EQ(ReadFileBytes(damaged), Bytes{'x'});
    EXPECT_EQ(ReadFileBytes(otherLength), otherBytes);

    // Zoom2 graphics saved for the vehicle now at position 2 replace the damaged file.
    DeriveZoom2(*vehicles[2], "drawn");
    vehicles[2]->Zoom2Modified = true;
    ASSERT_TRUE(SaveDocument(doc).ok());
    FileDoc again;
    again.path = path();
    const LoadResult r2 = LoadDocument(again);
    ASSERT_EQ(r2.unread.size(), 1u);
    EXPECT_EQ(r2.unread[0].path, otherLength);
    EXPECT_TRUE(again.fleets[0]->vehicles[2]->Zoom2Exists);

#ifndef _WIN32  // Windows has no unreadable mode, only a read-only attribute
    if (geteuid() != 0) {  // root reads any file
        fs::permissions(dir.file("trains-00-00.fzz"), fs::perms::none);
        FileDoc locked;
        locked.path = path();
        const LoadResult r3 = LoadDocument(locked);
        ASSERT_FALSE(r3.unread.empty());
        EXPECT_EQ(ReasonOf(r3.unread[0]), (Reason{kTextPermissionDenied, {}}));
    }
#endif
}

TEST(SaveErrors, SayWhy) {
    const auto reason = [](std::errc code) {
        return ReasonOf(FileError{"f", std::make_error_code(code)});
    };
    EXPECT_EQ(reason(std::errc::permission_denied), (Reason{kTextPermissionDenied, {}}));
    EXPECT_EQ(reason(std::errc::operation_not_permitted), (Reason{kTextPermissionDenied, {}}));
    EXPECT_EQ(reason(std::errc::no_space_on_device), (Reason{kTextDiskFull, {}}));
#ifdef EDQUOT
    EXPECT_EQ(ReasonOf(FileError{"f", std::error_code(EDQUOT, std::generic_category())}),
              (Reason{kTextDiskFull, {}}));
#endif
    EXPECT_EQ(reason(std::errc::read_only_file_system), (Reason{kTextReadOnlyFileSystem, {}}));
    EXPECT_EQ(ReasonOf(FileError{"f", std::make_error_code(std::errc::permission_denied), true}),
              (Reason{kTextWriteProtected, {}}));
    EXPECT_EQ(reason(std::errc::io_error),
              (Reason{0, std::make_error_code(std::errc::io_error).message()}));
}

}  // namespace
}  // namespace rvk
