// Readers and writers of one document at once, for a given time: writers run
// `rvktool build` of two documents A and B in turn, readers `rvktool info --strict` and
// `dump`. After each write the folder, looked at under the save lock, must hold one
// whole document, A or B, with exactly its companion files and nothing else.
//
//   rvk_save_soak [SECONDS [WRITERS [READERS]]]     (defaults 5, 3, 3)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "storage/document_files.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace fs = std::filesystem;
using Files = std::map<std::string, std::vector<std::uint8_t>>;

namespace {

// Runs rvktool with the arguments, output discarded; its exit status.
int Run(std::vector<std::string> args, const std::string& out = "/dev/null") {
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(RVKTOOL_PATH));
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(RVKTOOL_PATH, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

Files FolderOf(const fs::path& dir) {
    Files files;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.ends_with(rvk::kSaveLockSuffix)) continue;  // the lock being held here
        files[name] = rvk::ReadFileBytes(e.path().string()).value_or(std::vector<std::uint8_t>{});
    }
    return files;
}

// Many vehicles, every `zoom2Every`-th with Zoom2 graphics.
void MakeJson(const fs::path& dir, const std::string& name, int fleets, int zoom2Every) {
    rvk::FileDoc doc;
    doc.path = (dir / (name + ".rvk")).string();
    doc.info = name;
    for (int f = 0; f < fleets; ++f) {
        doc.fleets.push_back(rvk::CreateFleet(name + std::to_string(f)));
        for (int v = 0; v < rvk::kMaxVehicles; ++v) {
            auto rec = std::make_unique<rvk::VehicleRec>();
            rec->Length = static_cast<std::uint16_t>(20 + 2 * v);
            rec->Info[0] = name;
            if ((f * rvk::kMaxVehicles + v) % zoom2Every == 0) rvk::DeriveZoom2(*rec, name);
            doc.fleets.back()->vehicles.push_back(std::move(rec));
        }
    }
    if (!rvk::SaveDocument(doc).ok() ||
        Run({"dump", doc.path}, (dir / (name + ".json")).string()) != 0) {
        std::fprintf(stderr, "save_soak: cannot make %s\n", name.c_str());
        std::exit(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    const int writers = argc > 2 ? std::atoi(argv[2]) : 3;
    const int readers = argc > 3 ? std::atoi(argv[3]) : 3;
    const fs::path root = fs::temp_directory_path() / ("rvk-save-soak-" + std::to_string(getpid()));
    const fs::path work = root / "work";
    fs::create_directories(work);
    MakeJson(root, "A", 10, 1);  // 160 vehicles, all with Zoom2
    MakeJson(root, "B", 4, 3);
    std::map<std::string, Files> expected;
    for (const std::string name : {"A", "B"}) {
        const fs::path ref = root / ("ref" + name);
        fs::create_directories(ref);
        if (Run({"build", (root / (name + ".json")).string(), (ref / "doc.rvk").string()}) != 0)
            return 2;
        expected[name] = FolderOf(ref);
    }
    const std::string doc = (work / "doc.rvk").string();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);

    std::vector<pid_t> children;
    int fds[2];
    if (pipe(fds) != 0) return 2;
    for (int k = 0; k < writers + readers; ++k) {
        const pid_t pid = fork();
        if (pid != 0) {
            children.push_back(pid);
            continue;
        }
        close(fds[0]);
        const bool writer = k < writers;
        long ops = 0, failures = 0;
        for (int round = k; std::chrono::steady_clock::now() < deadline; ++round) {
            if (!writer) {
                if (!fs::exists(doc)) {
                    usleep(1000);
                    continue;
                }
                ++ops;
                const int status = Run({round % 2 ? "dump" : "info", "--strict", doc});
                if (status != 0) {
                    ++failures;
                    std::fprintf(stderr, "save_soak: reader exited %d\n", status);
                }
                continue;
            }
            ++ops;
            const std::string name = round % 2 ? "B" : "A";
            const int status = Run({"build", (root / (name + ".json")).string(), doc});
            const rvk::SaveLock lock(doc);
            const Files now = FolderOf(work);
            const bool whole = now == expected["A"] || now == expected["B"];
            if (status != 0 || !whole) {
                ++failures;
                std::fprintf(stderr, "save_soak: writer of %s exited %d, folder %s (%zu files)\n",
                             name.c_str(), status, whole ? "whole" : "MIXED", now.size());
            }
        }
        std::fprintf(stderr, "save_soak: %s %d: %ld runs\n", writer ? "writer" : "reader", k, ops);
        const long counts[2] = {ops, failures};
        if (write(fds[1], counts, sizeof counts) != sizeof counts) _exit(3);
        _exit(0);
    }
    close(fds[1]);
    long ops = 0, failures = 0;
    long counts[2];
    while (read(fds[0], counts, sizeof counts) == sizeof counts) {
        ops += counts[0];
        failures += counts[1];
    }
    for (const pid_t pid : children) waitpid(pid, nullptr, 0);
    fs::remove_all(root);
    std::printf("save soak: %d s, %d writers, %d readers\n%ld passed, %ld failed\n", seconds,
                writers, readers, ops - failures, failures);
    return failures == 0 && ops > 0 ? 0 : 1;
}
