// Recovery snapshots: what they keep, what they refuse, and that a snapshot killed at
// any moment leaves a whole one behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "../../bench/bench_vehicles.h"
#include "doc_test_util.h"
#include "small_disk.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"
#include "storage/recovery.h"

namespace rvk {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

FileDoc Document(const std::string& path, bool named, int fleets, int vehicles, std::uint32_t seed,
                 bool zoom2 = true) {
    FileDoc doc;
    doc.path = path;
    doc.named = named;
    doc.info = "info of " + std::to_string(seed);
    for (int f = 0; f < fleets; ++f) {
        auto fleet = CreateFleet("fleet " + std::to_string(f));
        for (int k = 0; k < vehicles; ++k)
            fleet->vehicles.push_back(std::make_unique<VehicleRec>(
                testing::VariedVehicle(seed + 10 * f + k, zoom2 && (f + k) % 2 == 0)));
        doc.fleets.push_back(std::move(fleet));
    }
    return doc;
}

// Every file of the snapshot, encoded again from what was read back.
std::vector<std::vector<std::uint8_t>> Files(const SnapshotBytes& s) {
    std::vector<std::vector<std::uint8_t>> files;
    for (const SnapshotFile& f : s.files) files.push_back(f.bytes);
    return files;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Recovery, SnapshotsReadBackAsTheyWereTakenAndReplaceTheirPredecessor) {
    TempDir dir;
    struct Case {
        const char* what;
        std::string path;
        bool named;
        std::string title;
        int fleets, vehicles;
    };
    const Case cases[] = {
        {"named, Zoom2 graphics", "/home/u/trams.rvk", true, "trams.rvk", 2, 3},
        {"unnamed", "New01.rvk", false, "New01.rvk", 1, 1},
        {"line breaks and escapes in names", "/a\nb/%41 x.rvk", true, "%41 x\r.rvk", 1, 2},
        {"empty", "/e.rvk", true, "e.rvk", 0, 0},
    };
    std::uint32_t seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = dir.file(std::to_string(seed));
        FileDoc doc = Document(c.path, c.named, c.fleets, c.vehicles, seed);
        doc.KnownZoom2Files = {"/home/u/trams-00-00.fzz", "/x\n-01-02.fzz"};
        SnapshotInfo info;
        info.title = c.title;
        info.time = 1700000000 + seed;
        info.processId = 4242;
        const SnapshotBytes first = EncodeSnapshot(doc, info, 1);
        ASSERT_TRUE(WriteSnapshot(folder, first));
        // A later one with other content replaces every file of the first.
        doc.info += " changed";
        const SnapshotBytes second = EncodeSnapshot(doc, info, 2);
        ASSERT_TRUE(WriteSnapshot(folder, second));
        std::vector<std::string> expected = {"manifest"};
        for (const SnapshotFile& f : second.files)
            expected.push_back(f.fleet < 0 ? "g2.rvk"
                                           : Zoom2FileName("g2.rvk", f.fleet, f.vehicle));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Names(folder), expected);

        const RecoveredDocument back = ReadSnapshot(folder);
        ASSERT_TRUE(back.doc);
        EXPECT_EQ(back.info, second.info);
        EXPECT_EQ(back.name(), c.title);
        EXPECT_EQ(back.doc->path, c.path);
        EXPECT_EQ(back.doc->named, c.named);
        EXPECT_TRUE(back.doc->modified);
        EXPECT_EQ(back.doc->KnownZoom2Files, doc.KnownZoom2Files);
        EXPECT_EQ(Files(EncodeSnapshot(*back.doc, info, 2)), Files(second));
        for (const auto& fleet : back.doc->fleets)
            for (const auto& v : fleet->vehicles) EXPECT_EQ(v->Zoom2Modified, v->Zoom2Exists);
        ++seed;
    }
}

TEST(Recovery, DamagedSnapshotsAreRefusedAndTheOthersStillRead) {
    TempDir dir;
    FileDoc doc = Document("/d/a.rvk", true, 1, 2, 7);
    SnapshotInfo info;
    info.title = "a.rvk";
    const SnapshotBytes snap = EncodeSnapshot(doc, info, 3);
    ASSERT_EQ(snap.files.size(), 2u);  // the document and one companion
    const std::string companion = Zoom2FileName("g3.rvk", 0, 0);
    using Damage = std::function<void(const fs::path&)>;
    const auto truncate = [](const char* name) {
        return Damage(
            [name](const fs::path& f) { fs::resize_file(f / name, fs::file_size(f / name) / 2); });
    };
    const auto flip = [](std::string name, std::uintmax_t at) {
        return Damage([name, at](const fs::path& f) {
            std::fstream s(f / name, std::ios::in | std::ios::out | std::ios::binary);
            s.seekg(static_cast<std::streamoff>(at));
            const char c = static_cast<char>(s.get() ^ 0x20);
            s.seekp(static_cast<std::streamoff>(at));
            s.put(c);
        });
    };
    const std::pair<const char*, Damage> damages[] = {
        {"no manifest", [](const fs::path& f) { fs::remove(f / "manifest"); }},
        {"manifest cut short", truncate("manifest")},
        {"manifest with an unknown line", flip("manifest", 2)},
        {"document cut short", truncate("g3.rvk")},
        {"document changed", flip("g3.rvk", 100)},
        {"companion missing", [companion](const fs::path& f) { fs::remove(f / companion); }},
        {"companion changed", flip(companion, 200)},
    };
    int n = 0;
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        const fs::path instance = dir.path() / std::to_string(n++);
        ASSERT_TRUE(WriteSnapshot((instance / "d1").string(), snap));
        ASSERT_TRUE(WriteSnapshot((instance / "d2").string(), snap));
        ASSERT_TRUE(WriteSnapshot((instance / "d3").string(), snap));
        damage(instance / "d2");
        const std::vector<RecoveredDocument> found = ReadInstanceSnapshots(instance.string());
        ASSERT_EQ(found.size(), 3u);
        EXPECT_TRUE(found[0].doc && found[2].doc);
        EXPECT_FALSE(found[1].doc);
        // Named by its caption while the manifest tells it, else by its folder.
        EXPECT_TRUE(found[1].name() == "a.rvk" || found[1].name() == "d2") << found[1].name();
    }
}

TEST(Recovery, ManifestNamesOnlyFilesOfItsOwnFolder) {
    for (const char* name : {"../g1.rvk", "/etc/passwd", "a/b.rvk", "..", "manifest", ""}) {
        const std::string text =
            std::string("rvk-recovery 1\npath /x.rvk\nfile -1 -1 10 ab ") + name + "\nend\n";
        EXPECT_FALSE(ParseManifest(
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())))
            << name;
    }
}

// A snapshot of the largest document killed at varied moments: what is found afterwards
// is the previous snapshot or the new one, each file of the same one.
TEST(Recovery, KilledSnapshotLeavesTheOldOrTheNewOneWhole) {
    TempDir dir;
    FileDoc doc;
    doc.path = "/big.rvk";
    doc.named = true;
    std::vector<VehicleRec> vehicles;
    for (int k = 0; k < kMaxVehicles; ++k)
        vehicles.push_back(bench::LargestVehicle(static_cast<std::uint32_t>(k)));
    for (int f = 0; f < kMaxFleets; ++f) {
        auto fleet = CreateFleet("fleet " + std::to_string(f));
        for (const VehicleRec& v : vehicles)
            fleet->vehicles.push_back(std::make_unique<VehicleRec>(v));
        doc.fleets.push_back(std::move(fleet));
    }
    const SnapshotBytes a = EncodeSnapshot(doc, {}, 0);
    VehicleRec& last = *doc.fleets.back()->vehicles.back();
    last.Planes[1].set(3, 3, 0x00ABCDEF);
    last.Zoom2Planes[1].set(6, 6, 0x00ABCDEF);
    const SnapshotBytes b = EncodeSnapshot(doc, {}, 0);
    ASSERT_NE(Files(a), Files(b));

    const std::string folder = dir.file("snapshot");
    const std::vector<int> delays = {0, 2, 7, 20, 50, 120, 300, 700};
    // Writes snapshots, a and b in turn, until it is killed.
    const auto writer = [&](int task) {
        for (std::uint64_t g = 1;; ++g) {
            SnapshotBytes s = g % 2 ? a : b;
            s.generation = g + 1000 * static_cast<std::uint64_t>(task);
            if (!WriteSnapshot(folder, s)) return 2;
            if (g == 1) testing::Mark("written");
        }
    };
    if (const auto task = testing::ChildTask()) _exit(writer(*task));
    for (const int delay : delays) {
        SCOPED_TRACE(delay);
        testing::Child child(delay, dir.path(), [&] { return writer(delay); });
        ASSERT_TRUE(child.awaitMark("written")) << "the writer failed with " << child.wait();
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        child.kill();
        ASSERT_EQ(child.wait(), testing::kKilled) << "the writer failed";

        const RecoveredDocument back = ReadSnapshot(folder);
        ASSERT_TRUE(back.doc);
        const auto files = Files(EncodeSnapshot(*back.doc, {}, 0));
        EXPECT_TRUE(files == Files(a) || files == Files(b));
    }
}

// The lock of an instance folder: one holder at a time, also within one process; freed
// by the system when its holder dies, however it dies.
TEST(Recovery, FolderLockIsFreedWhenItsHolderDies) {
    TempDir dir;
    const std::string folder = dir.file("instance");
    // Another process: 0 when it finds the lock held; 1 when it took it and died.
    const auto other = [&folder](int task) {
        auto held = TakeFolderLock(folder, false);
        if (task == 0) return held ? 2 : 0;
        if (held) testing::Die();
        return 3;
    };
    if (const auto task = testing::ChildTask()) _exit(other(*task));
    fs::create_directories(folder);
    EXPECT_FALSE(TakeFolderLock(folder, false)) << "no lock file: an instance is making it";
    auto first = TakeFolderLock(folder, true);
    ASSERT_TRUE(first);
    EXPECT_FALSE(TakeFolderLock(folder, false));
    EXPECT_EQ(testing::RunInChild(0, dir.path(), [&] { return other(0); }), 0)
        << "a live holder in another process";
    first.reset();
    EXPECT_TRUE(TakeFolderLock(folder, false)) << "given up, the file stays";
    EXPECT_EQ(testing::RunInChild(1, dir.path(), [&] { return other(1); }), 0);
    EXPECT_TRUE(TakeFolderLock(folder, false)) << "its holder was killed";
}

// A full or read-only disk: a snapshot that cannot be written says why and leaves the
// previous one whole; the folder of a dead instance is still taken over and read, as
// that writes nothing.
TEST(Recovery, FullOrReadOnlyDiskStillLetsSnapshotsBeTakenOverAndRead) {
    testing::SmallDisk disk(256 * 1024);
    if (!disk.error().empty()) GTEST_SKIP() << disk.error();
    const std::string instance = disk.path() + "/instance";
    const std::string folder = instance + "/d1";
    const FileDoc doc = Document("/d/a.rvk", true, 1, 2, 3);
    ASSERT_TRUE(WriteSnapshot(folder, EncodeSnapshot(doc, {}, 1)));
    ASSERT_TRUE(TakeFolderLock(instance, true)->describe("4242\n") == std::nullopt);

    struct Case {
        const char* what;
        std::errc reason;
        std::function<void()> breakDisk, repair;
    };
    const Case cases[] = {
        {"full", std::errc::no_space_on_device, [&] { disk.fill(); }, [&] { disk.free(); }},
        {"read-only", std::errc::read_only_file_system,
         [&] { ASSERT_TRUE(disk.setReadOnly(true)); },
         [&] { ASSERT_TRUE(disk.setReadOnly(false)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.breakDisk();
        FileDoc changed = Document("/d/a.rvk", true, 1, 2, 4);
        FileError why;
        EXPECT_FALSE(WriteSnapshot(folder, EncodeSnapshot(changed, {}, 2), &why));
        EXPECT_EQ(why.code, std::make_error_code(c.reason)) << why.code.message();
        EXPECT_TRUE(TakeFolderLock(instance, false));
        const RecoveredDocument back = ReadSnapshot(folder);
        ASSERT_TRUE(back.doc);
        EXPECT_EQ(Files(EncodeSnapshot(*back.doc, {}, 1)), Files(EncodeSnapshot(doc, {}, 1)));
        c.repair();
        EXPECT_TRUE(WriteSnapshot(folder, EncodeSnapshot(doc, {}, 3)));
    }
}

}  // namespace
}  // namespace rvk
