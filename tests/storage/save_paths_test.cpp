// What lies at a document's path: links are followed to the file they name, devices,
// pipes and sockets are never replaced, and a replaced file keeps its owner.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include "doc_test_util.h"
#include "storage/companion_files.h"
#include "storage/document_files.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Three vehicles, the first and last with Zoom2 graphics.
FileDoc Sample(const std::string& path, const std::string& info) {
    FileDoc doc;
    doc.path = path;
    doc.info = info;
    doc.fleets.push_back(CreateFleet("F"));
    for (std::uint32_t j = 0; j < 3; ++j)
        doc.fleets[0]->vehicles.push_back(
            std::make_unique<VehicleRec>(testing::VariedVehicle(j + 7, j != 1)));
    return doc;
}

int ZoomedVehicles(const FileDoc& doc) {
    int n = 0;
    for (const auto& v : doc.fleets[0]->vehicles) n += v->Zoom2Exists;
    return n;
}

int CompanionsIn(const fs::path& folder) {
    int n = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        n += entry.path().extension() == ".fzz";
    return n;
}

TEST(SavePaths, ThroughLinksTheFileTheyNameIsReadAndSavedWithItsCompanions) {
    testing::TempDir dir;
    fs::create_directories(dir.path() / "real");
    fs::create_directories(dir.path() / "other");
    const std::string real = dir.file("real/trains.rvk");
    FileDoc original = Sample(real, "A");
    ASSERT_TRUE(SaveDocument(original).ok());
    // Two levels: an absolute link to a relative one in another folder and of another name.
    fs::create_symlink("../real/trains.rvk", dir.path() / "other/alias.rvk");
    const std::string link = dir.file("chain.rvk");
    fs::create_symlink(dir.path() / "other/alias.rvk", link);

    FileDoc doc;
    doc.path = link;
    ASSERT_TRUE(LoadDocument(doc).ok);
    EXPECT_EQ(ZoomedVehicles(doc), 2);
    EXPECT_EQ(doc.path, link);  // shown as opened
    doc.info = "B";
    DeriveZoom2(*doc.fleets[0]->vehicles[1], "added");
    doc.fleets[0]->vehicles[1]->Zoom2Modified = true;
    ASSERT_TRUE(SaveDocument(doc).ok());
    EXPECT_EQ(doc.path, link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "other/alias.rvk"));
    EXPECT_EQ(CompanionsIn(dir.path() / "real"), 3);
    EXPECT_EQ(CompanionsIn(dir.path() / "other") + CompanionsIn(dir.path()), 0);
    FileDoc direct;
    direct.path = real;
    ASSERT_TRUE(LoadDocument(direct).ok);
    EXPECT_EQ(direct.info, "B");
    EXPECT_EQ(ZoomedVehicles(direct), 3);

    // Save As onto a dangling link creates the file it names, companions beside it.
    const std::string dangling = dir.file("other/new.rvk");
    fs::create_symlink("../real/copy.rvk", dangling);
    ASSERT_TRUE(SaveDocumentAs(doc, dangling).ok());
    EXPECT_EQ(doc.path, dangling);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_TRUE(FileExists(dir.file("real/copy-00-01.fzz")));
    EXPECT_EQ(CompanionsIn(dir.path() / "other"), 0);

    // Once the link names another document, a save is one over that document: its
    // companions go with it and the first document's stay.
    FileDoc third = Sample(dir.file("real/third.rvk"), "C");
    third.fleets[0]->vehicles.resize(1);
    ASSERT_TRUE(SaveDocument(third).ok());
    fs::remove(dangling);
    fs::create_symlink("../real/third.rvk", dangling);
    doc.fleets[0]->vehicles[0]->Zoom2Exists = false;
    ASSERT_TRUE(SaveDocument(doc).ok());
    EXPECT_FALSE(FileExists(dir.file("real/third-00-00.fzz")));
    EXPECT_TRUE(FileExists(dir.file("real/copy-00-00.fzz")));
    FileDoc copy;
    copy.path = dir.file("real/copy.rvk");
    ASSERT_TRUE(LoadDocument(copy).ok);
    EXPECT_EQ(ZoomedVehicles(copy), 3);
}

// Makes a listening-free socket at path, as a program would leave one.
bool MakeSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path) return false;
    path.copy(address.sun_path, path.size());
    const bool made = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return made;
}

TEST(SavePaths, DevicesPipesSocketsAndFoldersAreNeverReplaced) {
    struct Target {
        const char* what;
        std::function<bool(const std::string&)> make;
        bool folder = false;
    };
    const std::vector<Target> targets = {
        {"pipe", [](const std::string& p) { return mkfifo(p.c_str(), 0666) == 0; }},
        {"socket", MakeSocket},
        {"device",
         [](const std::string& p) { return mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
        {"link to a device",
         [](const std::string& p) { return symlink("/dev/null", p.c_str()) == 0; }},
        {"link to a pipe",
         [](const std::string& p) {
             return mkfifo((p + ".fifo").c_str(), 0666) == 0 &&
                    symlink((p + ".fifo").c_str(), p.c_str()) == 0;
         }},
        {"folder", [](const std::string& p) { return fs::create_directory(p); }, true},
    };
    for (const Target& t : targets) {
        SCOPED_TRACE(t.what);
        for (const char* at : {"doc.rvk", "doc-00-02.fzz"}) {
            SCOPED_TRACE(at);
            testing::TempDir dir;
            const std::string path = dir.file("doc.rvk");
            const std::string target = dir.file(at);
            if (!t.make(target)) {
                ADD_FAILURE() << "cannot make it: " << std::strerror(errno);
                continue;
            }
            const auto type = fs::symlink_status(target).type();
            const auto entries = std::distance(fs::directory_iterator(dir.path()), {});
            FileDoc doc = Sample(path, "A");
            const SaveResult saved = SaveDocument(doc);
            ASSERT_FALSE(saved.ok());
            EXPECT_EQ(saved.error->path, target);
            if (t.folder)
                EXPECT_EQ(saved.error->code, std::errc::is_a_directory);
            else
                EXPECT_EQ(saved.message().reason, (Reason{kTextNotRegularFile, {}}));
            std::optional<FileError> why;
            EXPECT_FALSE(WriteFileAtomic(target, Bytes{1}, &why));
            EXPECT_TRUE(why && (why->notRegular || t.folder));
            EXPECT_EQ(fs::symlink_status(target).type(), type);
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), entries);
        }
    }
}

TEST(SavePaths, AReplacedFileKeepsOwnerGroupAndMode) {
    if (geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    testing::TempDir dir;
    const std::string path = dir.file("doc.rvk");
    FileDoc doc = Sample(path, "A");
    ASSERT_TRUE(SaveDocument(doc).ok());
    const std::vector<std::string> files = {path, dir.file("doc-00-00.fzz"),
                                            dir.file("doc-00-02.fzz")};
    for (const std::string& f : files) {
        ASSERT_EQ(chown(f.c_str(), 4321, 4322), 0);
        ASSERT_EQ(chmod(f.c_str(), 0640), 0);
    }
    doc.info = "B";
    for (const auto& v : doc.fleets[0]->vehicles) v->Zoom2Modified = true;
    ASSERT_TRUE(SaveDocument(doc).ok());
    for (const std::string& f : files) {
        struct stat st {};
        ASSERT_EQ(stat(f.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u) << f;
        EXPECT_EQ(st.st_gid, 4322u) << f;
        EXPECT_EQ(st.st_mode & 07777, 0640u) << f;
    }
}

}  // namespace
}  // namespace rvk
