// Another program changing a document's files between its reading and its save, and
// the record that tells a second editor who has a document open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "doc_test_util.h"
#include "formats/document_codec.h"
#include "storage/companion_files.h"
#include "storage/document_files.h"
#include "storage/file_io.h"
#include "storage/open_record.h"
#include "storage/save_set.h"

namespace rvk {
namespace {

namespace fs = std::filesystem;

// A document of one fleet whose vehicles all have Zoom2 graphics, drawn from seed.
FileDoc MakeDoc(const std::string& path, std::uint32_t seed, int vehicles) {
    FileDoc doc;
    doc.path = path;
    doc.info = "doc " + std::to_string(seed);
    doc.fleets.push_back(CreateFleet("F"));
    for (int j = 0; j < vehicles; ++j)
        doc.fleets[0]->vehicles.push_back(std::make_unique<VehicleRec>(
            testing::VariedVehicle(seed * 100 + static_cast<std::uint32_t>(j), true)));
    return doc;
}

// Every file of the folder must be the document `expected` whole.
void ExpectFolderHolds(const std::string& path, const FileDoc& expected) {
    FileDoc read;
    read.path = path;
    ASSERT_TRUE(LoadDocument(read).ok);
    EXPECT_EQ(EncodeDocument(read), EncodeDocument(expected));
    std::size_t zoom2 = 0;
    for (std::size_t j = 0; j < expected.fleets[0]->vehicles.size(); ++j) {
        const VehicleRec& want = *expected.fleets[0]->vehicles[j];
        EXPECT_EQ(EncodeZoom2(*read.fleets[0]->vehicles[j]), EncodeZoom2(want)) << j;
        zoom2 += want.Zoom2Exists ? 1 : 0;
    }
    EXPECT_EQ(CompanionFilesBeside(path).size(), zoom2);
}

TEST(OutsideChange, EditorSaveOverAnotherProgramsDocumentAsksThenOverwritesWhole) {
    testing::TempDir dir;
    const std::string path = dir.file("doc.rvk");
    FileDoc a = MakeDoc(path, 1, 4);
    ASSERT_TRUE(SaveDocument(a).ok());
    FileDoc editor;
    editor.path = path;
    ASSERT_TRUE(LoadDocument(editor).ok);
    // Another program writes B, with more vehicles, to the same path.
    FileDoc b = MakeDoc(path, 2, 6);
    ASSERT_TRUE(SaveDocumentAs(b, path).ok());

    editor.info = "edited";
    editor.modified = true;
    const SaveResult refused = SaveDocument(editor);
    EXPECT_TRUE(refused.changedOnDisk);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(editor.modified);
    ExpectFolderHolds(path, b);

    ASSERT_TRUE(SaveDocument(editor, true).ok());
    ExpectFolderHolds(path, editor);
    EXPECT_FALSE(ChangedOnDisk(editor));
}

TEST(OutsideChange, EveryKindOfChangeIsSeenAndOwnSavesAreNot) {
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> change;
        bool seen;
    };
    const auto companion = [](const std::string& path, int fleet, int vehicle) {
        return Zoom2FileName(path, fleet, vehicle);
    };
    const Case cases[] = {
        {"nothing", [](const std::string&) {}, false},
        {"same bytes, same time", [](const std::string& p) {
             const auto time = fs::last_write_time(p);
             ASSERT_TRUE(WriteFileAtomic(p, *ReadFileBytes(p)));
             fs::last_write_time(p, time);
         }, false},
        {"touched", [](const std::string& p) {
             fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(5));
         }, true},
        {"one byte, same size and time", [&](const std::string& p) {
             const std::string name = companion(p, 0, 1);
             const auto time = fs::last_write_time(name);
             auto bytes = *ReadFileBytes(name);
             bytes.back() ^= 1;
             ASSERT_TRUE(WriteFileAtomic(name, bytes));
             fs::last_write_time(name, time);
         }, true},
        {"companion removed", [&](const std::string& p) { fs::remove(companion(p, 0, 2)); }, true},
        {"companion of no vehicle added", [&](const std::string& p) {
             fs::copy_file(companion(p, 0, 0), companion(p, 7, 20));
         }, true},
        {"document removed", [](const std::string& p) { fs::remove(p); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir dir;
        const std::string path = dir.file("doc.rvk");
        FileDoc original = MakeDoc(path, 3, 3);
        ASSERT_TRUE(SaveDocument(original).ok());
        FileDoc doc;
        doc.path = path;
        ASSERT_TRUE(LoadDocument(doc).ok);
        // The editor's own save is no outside change.
        doc.info = "own";
        doc.fleets[0]->vehicles[1]->Zoom2Modified = true;
        ASSERT_TRUE(SaveDocument(doc).ok());
        c.change(path);
        EXPECT_EQ(ChangedOnDisk(doc), c.seen);
        doc.modified = true;
        EXPECT_EQ(SaveDocument(doc).changedOnDisk, c.seen);
    }
    // A document never read has nothing to compare.
    testing::TempDir dir;
    FileDoc other = MakeDoc(dir.file("new.rvk"), 5, 2);
    ASSERT_TRUE(SaveDocument(other).ok());
    FileDoc fresh = MakeDoc(dir.file("new.rvk"), 4, 1);
    EXPECT_FALSE(ChangedOnDisk(fresh));
    EXPECT_TRUE(SaveDocument(fresh).ok());
}

TEST(OpenRecord, SecondTakerLearnsWhoUntilTheHolderEnds) {
    testing::TempDir dir;
    const std::string doc = dir.file("doc.rvk");
    {
        OpenRecord first = OpenRecord::Take(doc);
        ASSERT_TRUE(first.held());
        EXPECT_TRUE(fs::exists(OpenRecordPath(doc)));
        const OpenRecord second = OpenRecord::Take(doc);
        EXPECT_FALSE(second.held());
        ASSERT_TRUE(second.holder());
        const OpenRecordInfo me = ThisEditor();
        EXPECT_EQ(second.holder()->user, me.user);
        EXPECT_EQ(second.holder()->host, me.host);
        EXPECT_EQ(second.holder()->process, me.process);
        EXPECT_LE(std::abs(second.holder()->since - me.since), 5);
        // Moving keeps the one record.
        OpenRecord moved = std::move(first);
        EXPECT_TRUE(moved.held());
        EXPECT_FALSE(first.held());
        EXPECT_FALSE(OpenRecord::Take(doc).held());
    }
#ifndef _WIN32  // the file stays there: removing an open file shuts out those waiting on it
    EXPECT_FALSE(fs::exists(OpenRecordPath(doc)));
#endif

    // A record whose editor left it behind has no lock: taken over without a word.
    {
        std::ofstream(OpenRecordPath(doc)) << FormatOpenRecord({"someone", "elsewhere", 42, 7});
        const OpenRecord taken = OpenRecord::Take(doc);
        EXPECT_TRUE(taken.held());
        EXPECT_FALSE(taken.holder());
        std::ifstream in(OpenRecordPath(doc));
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(ParseOpenRecord(text).process, ThisEditor().process);
    }
    // Where no record can be written the document opens without one.
    EXPECT_FALSE(OpenRecord::Take(dir.file("missing/doc.rvk")).held());
    EXPECT_FALSE(OpenRecord::Take(dir.file("missing/doc.rvk")).holder());
}

TEST(OpenRecord, RecordOfAKilledEditorIsTakenOver) {
    testing::TempDir dir;
    const std::string doc = dir.file("doc.rvk");
    // Another editor: holds the record until it is killed.
    const auto other = [&doc] {
        const OpenRecord record = OpenRecord::Take(doc);
        testing::Mark(record.held() ? "held" : "refused");
        testing::AwaitMark("never");
        return 0;
    };
    if (testing::ChildTask()) _exit(other());
    testing::Child child(0, dir.path(), other);
    ASSERT_TRUE(child.awaitMark("held"));
    const OpenRecord whileAlive = OpenRecord::Take(doc);
    EXPECT_FALSE(whileAlive.held());
    ASSERT_TRUE(whileAlive.holder());
    EXPECT_EQ(whileAlive.holder()->process, child.id());
    child.kill();
    EXPECT_EQ(child.wait(), testing::kKilled);
    EXPECT_TRUE(fs::exists(OpenRecordPath(doc)));
    EXPECT_TRUE(OpenRecord::Take(doc).held());
}

}  // namespace
}  // namespace rvk
