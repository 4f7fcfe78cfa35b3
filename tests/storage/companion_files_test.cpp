#include "storage/companion_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "doc_test_util.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

VehicleRec WithZoom2(std::uint32_t seed) {
    return testing::VariedVehicle(seed, true);
}

TEST(Zoom2Names, CompanionFileNames) {
    EXPECT_EQ(Zoom2FileName("/data/trains.rvk", 0, 0), "/data/trains-00-00.fzz");
    EXPECT_EQ(Zoom2FileName("/data/trains.rvk", 3, 12), "/data/trains-03-12.fzz");
    EXPECT_EQ(Zoom2FileName("/data.old/trains", 1, 2), "/data.old/trains-01-02.fzz");
    EXPECT_EQ(Zoom2FileName("/d/a.b.rvk", 0, 1), "/d/a.b-00-01.fzz");
    EXPECT_EQ(Zoom2FileName("/data/trains.rvk", -1, 0), "");
    EXPECT_EQ(Zoom2FileName("/data/trains.rvk", 0, -1), "");
}

class Zoom2Files : public ::testing::Test {
protected:
    testing::TempDir dir;

    FileDoc Doc(int vehicles, std::initializer_list<int> withZoom2) {
        FileDoc doc;
        doc.path = dir.file("trains.rvk");
        doc.fleets.push_back(CreateFleet("F"));
        for (int j = 0; j < vehicles; ++j)
            doc.fleets[0]->vehicles.push_back(std::make_unique<VehicleRec>(
                testing::VariedVehicle(static_cast<std::uint32_t>(j + 1), false)));
        for (int j : withZoom2) DeriveZoom2(*doc.fleets[0]->vehicles[j], "z");
        return doc;
    }
    // The file system's number of the file, new for every file that replaces it.
    static std::uint64_t Inode(const std::string& path) {
#ifdef _WIN32
        const HANDLE h = CreateFileW(PathFromUtf8(path).c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return 0;
        BY_HANDLE_FILE_INFORMATION info{};
        const bool ok = GetFileInformationByHandle(h, &info);
        CloseHandle(h);
        return ok ? std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow : 0;
#else
        struct stat st {};
        return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
#endif
    }
};

TEST_F(Zoom2Files, ReadResultCodesAndStoredPath) {
    VehicleRec v;
    const std::string missing = dir.file("missing.fzz");
    EXPECT_EQ(ReadZoom2File(v, missing), kZoom2CannotOpen);
    EXPECT_EQ(v.Zoom2Path, missing);  // stored before opening

    VehicleRec w = WithZoom2(2);
    w.Zoom2Modified = true;
    const std::string path = dir.file("one.fzz");
    EXPECT_FALSE(WriteZoom2File(w, path));
    EXPECT_EQ(w.Zoom2Path, path);
    EXPECT_FALSE(w.Zoom2Modified);
    const std::string blocked = dir.file("folder.fzz");
    fs::create_directory(blocked);
    w.Zoom2Modified = true;
    EXPECT_EQ(WriteZoom2File(w, blocked),
              (Message{kTextCannotSave, blocked,
                       Reason{0, std::make_error_code(std::errc::is_a_directory).message()}}));
    EXPECT_TRUE(w.Zoom2Modified);
    EXPECT_EQ(w.Zoom2Path, path);

    VehicleRec r = w;
    r.Zoom2Exists = false;
    r.Zoom2Path.clear();
    EXPECT_EQ(ReadZoom2File(r, path), kZoom2Ok);
    EXPECT_EQ(r.Zoom2Path, path);
    testing::ExpectSameViews(w, r, true);
    r.Zoom2Path = "kept";
    EXPECT_EQ(ReadZoom2File(r, path), kZoom2AlreadyExists);
    EXPECT_EQ(r.Zoom2Path, "kept");

    VehicleRec shorter;
    shorter.Length = static_cast<std::uint16_t>(w.Length - 2);
    EXPECT_EQ(ReadZoom2File(shorter, path), kZoom2WrongLength);
    EXPECT_EQ(shorter.Zoom2Path, path);
    EXPECT_FALSE(shorter.Zoom2Exists);
}

TEST_F(Zoom2Files, SaveWritesChangedCompanionsOnceAndLoadReadsThem) {
    FileDoc doc = Doc(3, {0, 2});
    ASSERT_TRUE(SaveDocument(doc).ok());
    const std::string first = dir.file("trains-00-00.fzz");
    const std::string third = dir.file("trains-00-02.fzz");
    EXPECT_TRUE(FileExists(first));
    EXPECT_FALSE(FileExists(dir.file("trains-00-01.fzz")));
    EXPECT_TRUE(FileExists(third));
    EXPECT_EQ(doc.KnownZoom2Files, (std::vector<std::string>{first, third}));

    // Every write replaces the file, so an unchanged inode means it was not rewritten.
    const std::uint64_t firstInode = Inode(first);
    const std::uint64_t thirdInode = Inode(third);
    doc.fleets[0]->vehicles[2]->Zoom2Modified = true;
    ASSERT_TRUE(SaveDocument(doc).ok());
    EXPECT_EQ(Inode(first), firstInode);
    EXPECT_NE(Inode(third), thirdInode);

    FileDoc loaded;
    loaded.path = doc.path;
    ASSERT_TRUE(LoadDocument(loaded).ok);
    EXPECT_EQ(loaded.KnownZoom2Files, (std::vector<std::string>{first, third}));
    const VehicleRec& v = *loaded.fleets[0]->vehicles[0];
    EXPECT_TRUE(v.Zoom2Exists);
    EXPECT_FALSE(v.Zoom2Modified);
    EXPECT_EQ(v.Zoom2Path, first);
    testing::ExpectSameViews(*doc.fleets[0]->vehicles[0], v, true);
    EXPECT_FALSE(loaded.fleets[0]->vehicles[1]->Zoom2Exists);

    // Unchanged after loading: saving writes nothing again.
    ASSERT_TRUE(SaveDocument(loaded).ok());
    EXPECT_EQ(Inode(first), firstInode);
}

TEST_F(Zoom2Files, MovedVehicleGetsItsNewNameAndTheOldFileGoes) {
    FileDoc doc = Doc(3, {2});
    ASSERT_TRUE(SaveDocument(doc).ok());
    const std::string oldName = dir.file("trains-00-02.fzz");
    const std::string newName = dir.file("trains-00-01.fzz");
    ASSERT_TRUE(FileExists(oldName));
    auto& vehicles = doc.fleets[0]->vehicles;
    std::swap(vehicles[1], vehicles[2]);
    ASSERT_TRUE(SaveDocument(doc).ok());
    EXPECT_TRUE(FileExists(newName));
    EXPECT_FALSE(FileExists(oldName));
    EXPECT_EQ(doc.KnownZoom2Files, (std::vector<std::string>{newName}));
    EXPECT_EQ(vehicles[1]->Zoom2Path, newName);
}

TEST_F(Zoom2Files, StaleFilesFollowTheFileSystemCaseRuleAndStayInTheirFolder) {
    FileDoc doc = Doc(1, {});
    // Another document's companion differs only in case: on a case-sensitive file
    // system it is a different file and must survive.
    const std::string other = dir.file("trains-00-05.fzz");
    const std::string stale = dir.file("Trains-00-05.fzz");
    ASSERT_TRUE(WriteFileAtomic(other, Bytes{1}));
    ASSERT_TRUE(WriteFileAtomic(stale, Bytes{2}));
    doc.KnownZoom2Files = {stale, dir.file("trains-00-07.fzz")};  // the second is gone already
    ASSERT_TRUE(SaveDocument(doc).ok());
    EXPECT_FALSE(FileExists(stale));
#ifndef _WIN32
    EXPECT_TRUE(FileExists(other));
#endif
    EXPECT_TRUE(doc.KnownZoom2Files.empty());

    // Names of another folder (left from before Save As) are never deleted.
    testing::TempDir elsewhere;
    const std::string foreign = elsewhere.file("trains-00-00.fzz");
    ASSERT_TRUE(WriteFileAtomic(foreign, Bytes{3}));
    doc.KnownZoom2Files = {foreign};
    ASSERT_TRUE(SaveDocument(doc).ok());
    EXPECT_TRUE(FileExists(foreign));
}

TEST_F(Zoom2Files, CompanionThatCannotBeWrittenKeepsTheDocumentModified) {
    FileDoc doc = Doc(3, {0, 1, 2});
    fs::create_directory(dir.file("trains-00-01.fzz"));
    doc.modified = true;
    const SaveResult r = SaveDocument(doc);
    EXPECT_EQ(r.message().arg, dir.file("trains-00-01.fzz"));
    EXPECT_TRUE(doc.modified);
    EXPECT_FALSE(doc.named);
    // All or nothing: neither the document nor the other companions were written.
    EXPECT_FALSE(FileExists(doc.path));
    EXPECT_FALSE(FileExists(dir.file("trains-00-00.fzz")));
    EXPECT_FALSE(FileExists(dir.file("trains-00-02.fzz")));
    EXPECT_TRUE(doc.fleets[0]->vehicles[1]->Zoom2Modified);
    EXPECT_TRUE(doc.KnownZoom2Files.empty());
}

}  // namespace
}  // namespace rvk
