#include "storage/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include "doc_test_util.h"

#include "storage/save_set.h"

namespace rvk {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

int EntriesIn(const fs::path& dir) {
    return static_cast<int>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(FileIo, WriteReplacesAtomicallyAndKeepsPermissions) {
    testing::TempDir dir;
    const std::string path = dir.file("doc.rvk");
    ASSERT_TRUE(WriteFileAtomic(path, Bytes{1, 2, 3}));
    EXPECT_EQ(ReadFileBytes(path), (Bytes{1, 2, 3}));
    // Windows keeps only the read-only attribute of these.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(path).permissions();
    ASSERT_TRUE(WriteFileAtomic(path, Bytes{}));
    EXPECT_EQ(ReadFileBytes(path), Bytes{});
    EXPECT_EQ(fs::status(path).permissions(), before);
    EXPECT_EQ(EntriesIn(dir.path()), 1);  // no temporary file left behind
}

TEST(FileIo, FailedWritesLeaveTheOldFileAndNoTemporary) {
    testing::TempDir dir;
    EXPECT_FALSE(WriteFileAtomic(dir.file("no/such/folder.rvk"), Bytes{1}));
    EXPECT_FALSE(WriteFileAtomic(dir.path().string() + "/", Bytes{1}));
    fs::create_directory(dir.file("sub"));
    EXPECT_FALSE(WriteFileAtomic(dir.file("sub"), Bytes{1}));
    EXPECT_TRUE(fs::is_directory(dir.file("sub")));

    // A write that fails part-way (the file size limit stands in for a full disk).
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit to stand in for a full disk";
#else
    const std::string path = dir.file("doc.rvk");
    ASSERT_TRUE(WriteFileAtomic(path, Bytes{7, 7}));
    bool written = true;
    {
        testing::FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.active());
        written = WriteFileAtomic(path, Bytes(5000, 1));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(path), (Bytes{7, 7}));
    EXPECT_EQ(EntriesIn(dir.path()), 2);
#endif
}

TEST(FileIo, BatchReplacesItsFilesAllOrNothing) {
    testing::TempDir dir;
    const std::string journal = dir.file(".set.journal");
    ASSERT_TRUE(WriteFileAtomic(dir.file("a.fzz"), Bytes{1}));
    ASSERT_TRUE(WriteFileAtomic(dir.file("x.fzz"), Bytes{9}));
    std::optional<FileError> failed;
    {
        SaveTransaction batch(journal);
        EXPECT_TRUE(batch.write(dir.file("a.fzz"), Bytes{2, 2}));
        EXPECT_FALSE(batch.write(dir.file("none/c.fzz"), Bytes{4}));
        EXPECT_FALSE(batch.write(dir.file("d.fzz"), Bytes{5}));  // nothing after a failure
        batch.remove(dir.file("x.fzz"));
        failed = batch.commit();
    }
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->path, dir.file("none/c.fzz"));
    EXPECT_EQ(failed->code, std::errc::no_such_file_or_directory);
    EXPECT_EQ(ReadFileBytes(dir.file("a.fzz")), Bytes{1});
    EXPECT_EQ(ReadFileBytes(dir.file("x.fzz")), Bytes{9});
    EXPECT_EQ(EntriesIn(dir.path()), 2);  // no temporary left behind

    {
        SaveTransaction batch(journal);
        EXPECT_TRUE(batch.write(dir.file("a.fzz"), Bytes{2, 2}));
        EXPECT_TRUE(batch.write(dir.file("d.fzz"), Bytes{5}));
        batch.remove(dir.file("x.fzz"));
        batch.remove(dir.file("gone.fzz"));
        EXPECT_EQ(ReadFileBytes(dir.file("a.fzz")), Bytes{1});  // nothing replaced before commit
        EXPECT_FALSE(batch.commit());
    }
    EXPECT_EQ(ReadFileBytes(dir.file("a.fzz")), (Bytes{2, 2}));
    EXPECT_EQ(ReadFileBytes(dir.file("d.fzz")), Bytes{5});
    EXPECT_FALSE(FileExists(dir.file("x.fzz")));
    EXPECT_EQ(EntriesIn(dir.path()), 2);  // nor the journal

    {
        SaveTransaction abandoned(journal);
        EXPECT_TRUE(abandoned.write(dir.file("e.fzz"), Bytes{6}));
    }
    EXPECT_FALSE(fs::exists(dir.file("e.fzz")));
    EXPECT_EQ(EntriesIn(dir.path()), 2);
}

TEST(FileIo, ReadRefusesWhatIsNotAnOrdinaryFileOrTooLarge) {
    testing::TempDir dir;
    EXPECT_FALSE(ReadFileBytes(dir.file("missing")));
    EXPECT_FALSE(ReadFileBytes(dir.path().string()));
    const std::string path = dir.file("f");
    ASSERT_TRUE(WriteFileAtomic(path, Bytes(100, 9)));
    EXPECT_FALSE(ReadFileBytes(path, 99));
    EXPECT_EQ(ReadFileBytes(path, 100), Bytes(100, 9));
#ifndef _WIN32  // no named pipes among the files
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileBytes(dir.file("pipe")));  // must not block
    EXPECT_FALSE(FileExists(dir.file("pipe")));
#endif
    EXPECT_FALSE(FileExists(dir.path().string()));
    EXPECT_TRUE(FileExists(path));
}

TEST(FileIo, RemoveNamesAndTheCaseRule) {
    testing::TempDir dir;
    const std::string path = dir.file("x-00-00.fzz");
    ASSERT_TRUE(WriteFileAtomic(path, Bytes{1}));
    EXPECT_TRUE(RemoveFile(path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(RemoveFile(path));  // already gone
    fs::create_directory(dir.file("d"));
    EXPECT_FALSE(RemoveFile(dir.file("d")));
    EXPECT_TRUE(fs::is_directory(dir.file("d")));

    EXPECT_EQ(DirectoryOf("/data/trains.rvk"), "/data");
    EXPECT_EQ(DirectoryOf("trains.rvk"), "");
    EXPECT_TRUE(SameFileName("/data/Trains-00-00.fzz", "/data/Trains-00-00.fzz"));
#ifdef _WIN32
    EXPECT_TRUE(SameFileName("C:\\Data\\TRAINS-00-00.fzz", "c:\\data\\trains-00-00.FZZ"));
#else
    EXPECT_FALSE(SameFileName("/data/Trains-00-00.fzz", "/data/trains-00-00.fzz"));
#endif

    const std::string utf8 = dir.file(
        "Stra\xC3\x9F"
        "enbahn.rvk");
    ASSERT_TRUE(WriteFileAtomic(utf8, Bytes{4}));
    EXPECT_TRUE(fs::exists(dir.path() / fs::path(u8"Straßenbahn.rvk")));
    EXPECT_EQ(ReadFileBytes(utf8), Bytes{4});
}

}  // namespace
}  // namespace rvk
