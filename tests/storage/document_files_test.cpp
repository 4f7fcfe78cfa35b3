#include "storage/document_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "doc_test_util.h"
#include "formats/document_codec.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

FileDoc SampleDoc() {
    FileDoc doc;
    testing::FillSampleDocument(doc);
    return doc;
}

class DocumentFiles : public ::testing::Test {
protected:
    testing::TempDir dir;
};

TEST_F(DocumentFiles, SaveAndLoad) {
    FileDoc doc = SampleDoc();
    doc.path = dir.file("trains.rvk");
    doc.modified = true;
    const SaveResult saved = SaveDocument(doc);
    EXPECT_TRUE(saved.ok());
    EXPECT_FALSE(doc.modified);
    EXPECT_TRUE(doc.named);
    EXPECT_EQ(ReadFileBytes(doc.path), EncodeDocument(doc));

    FileDoc loaded;
    loaded.path = doc.path;
    const LoadResult result = LoadDocument(loaded);
    ASSERT_TRUE(result.ok);
    EXPECT_FALSE(result.error);
    EXPECT_TRUE(loaded.named);
    EXPECT_FALSE(loaded.loading);
    testing::ExpectSameDocument(doc, loaded);
}

TEST_F(DocumentFiles, LoadFailuresReportThePath) {
    FileDoc doc;
    doc.path = dir.file("missing.rvk");
    doc.info = "kept";
    LoadResult r = LoadDocument(doc);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, (Message{555, doc.path}));
    EXPECT_EQ(doc.info, "kept");

    const Bytes junk = Text(
        "not a document\x1A"
        "xx");
    ASSERT_TRUE(WriteFileAtomic(dir.file("junk.rvk"), junk));
    doc.path = dir.file("junk.rvk");
    r = LoadDocument(doc);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, (Message{555, doc.path}));
}

TEST_F(DocumentFiles, FailedSaveKeepsWhatIsInTheWayAndTheModifiedMark) {
    // A folder where the document should go cannot be replaced.
    FileDoc doc = SampleDoc();
    doc.path = dir.file("folder.rvk");
    std::filesystem::create_directory(doc.path);
    ASSERT_TRUE(WriteFileAtomic(dir.file("folder.rvk/inside"), Text("keep")));
    doc.modified = true;
    const SaveResult r = SaveDocument(doc);
    EXPECT_EQ(r.message(),
              (Message{kTextCannotSave, doc.path,
                       Reason{0, std::make_error_code(std::errc::is_a_directory).message()}}));
    EXPECT_TRUE(doc.modified);
    EXPECT_FALSE(doc.named);
    EXPECT_EQ(ReadFileBytes(dir.file("folder.rvk/inside")), Text("keep"));
#ifdef _WIN32
    // The save lock's file stays there: removing an open file shuts out those waiting on it.
    EXPECT_TRUE(RemoveFile(SidecarPath(doc.path, kSaveLockSuffix)));
#endif
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(DocumentFiles, SaveFailingPartWayKeepsTheOldFileAndTheModifiedMark) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit to stand in for a full disk";
#else
    FileDoc doc = SampleDoc();
    doc.path = dir.file("trains.rvk");
    ASSERT_TRUE(WriteFileAtomic(doc.path, Text("old")));
    doc.modified = true;
    SaveResult r;
    {
        testing::FileSizeLimit limit(1000);  // the document needs more
        ASSERT_TRUE(limit.active());
        r = SaveDocument(doc);
    }
    EXPECT_EQ(r.message(),
              (Message{kTextCannotSave, doc.path,
                       Reason{0, std::make_error_code(std::errc::file_too_large).message()}}));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(ReadFileBytes(doc.path), Text("old"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
#endif
}

}  // namespace
}  // namespace rvk
