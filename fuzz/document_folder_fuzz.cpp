// A document folder comes from anywhere: a copy of another user's work, a folder left
// by a save that was killed. Opening it must never crash, never touch a file that is
// not the document's own, never follow a journal elsewhere, and leave nothing half
// done; what opened must save and open again to the same document, with every
// companion that could not be read still on disk as it was.
//
// The input describes the folder as records: a kind byte, a 16-bit little-endian size
// and that many bytes. The low 3 bits of the kind choose what the record becomes, the
// upper 5 bits a name (0 the document, 1..31 a companion):
//   0 the document          1 a companion          2 the journal, raw bytes
//   3 the journal, built from step bytes (bit 0: remove, else rename; upper bits a name)
//   4 a temporary (first byte: this, a finished or a running process; second: counter)
//   5 a temporary of the journal   6 a file of another document   7 a folder in the way
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "formats/document_codec.h"
#include "fuzz_check.h"
#include "storage/companion_files.h"
#include "storage/document_files.h"
#include "storage/file_io.h"

namespace {

namespace fs = std::filesystem;
using rvk::fuzz::Check;
using Bytes = std::vector<std::uint8_t>;

constexpr long kFinishedProcess = 999999999;  // above any process number in use
constexpr long kRunningProcess = 1;

const fs::path& Root() {
    static const fs::path root = [] {
        const fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        return base / ("rvk-folder-fuzz-" + std::to_string(getpid()));
    }();
    return root;
}

std::string TargetName(unsigned index) {
    if (index == 0) return "doc.rvk";
    return rvk::FileNameOf(rvk::Zoom2FileName("doc.rvk", static_cast<int>(((index - 1) >> 3) & 3),
                                              static_cast<int>((index - 1) & 7)));
}

std::string TempName(const std::string& target, long pid, unsigned counter) {
    return "." + target + "." + std::to_string(pid) + "." + std::to_string(counter) + ".tmp";
}

Bytes ReadAll(const fs::path& p) {
    return rvk::ReadFileBytes(p.string()).value_or(Bytes{0xEE});
}

void WriteAll(const fs::path& p, std::span<const std::uint8_t> bytes) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The folder's files and their bytes (folders as an empty marker).
std::map<std::string, Bytes> Snapshot(const fs::path& dir) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : fs::directory_iterator(dir))
        files[entry.path().filename().string()] =
            entry.is_directory() ? Bytes{0xDD} : ReadAll(entry.path());
    return files;
}

// The document, or a companion at any place its name can give ("doc-II-JJ.fzz").
bool IsTarget(const std::string& name) {
    const auto digit = [&](std::size_t k) { return name[k] >= '0' && name[k] <= '9'; };
    return name == "doc.rvk" || (name.size() == 13 && name.starts_with("doc-") &&
                                 name.ends_with(".fzz") && name[6] == '-' && digit(4) &&
                                 digit(5) && digit(7) && digit(8));
}

// The process number in the name of a temporary of one of the document's files.
std::optional<std::string> TemporaryOf(const std::string& name) {
    for (unsigned index = 0; index <= 32; ++index) {
        const std::string prefix =
            "." + (index < 32 ? TargetName(index) : std::string(".doc.rvk.journal")) + ".";
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
        const std::string rest = name.substr(prefix.size());
        return rest.substr(0, rest.find('.'));
    }
    return std::nullopt;
}

// A temporary that opening must have removed: by a process that is gone or this one.
bool LeftTemporary(const std::string& name) {
    const auto pid = TemporaryOf(name);
    return pid && *pid != std::to_string(kRunningProcess);
}

void Build(const fs::path& dir, std::span<const std::uint8_t> in) {
    while (in.size() >= 3) {
        const unsigned kind = in[0] & 7, index = in[0] >> 3;
        const std::size_t size = std::min<std::size_t>(in[1] | (in[2] << 8), in.size() - 3);
        const std::span<const std::uint8_t> body = in.subspan(3, size);
        in = in.subspan(3 + size);
        switch (kind) {
            case 0:
            case 1:
                WriteAll(dir / TargetName(kind == 0 ? 0 : index), body);
                break;
            case 2:
                WriteAll(dir / ".doc.rvk.journal", body);
                break;
            case 3: {
                std::string journal("RVK save journal 1");
                journal += '\0';
                for (const std::uint8_t step : body) {
                    const std::string target = TargetName(step >> 3);
                    if (step & 1) {
                        journal += std::string("D") + '\0' + target + '\0';
                    } else {
                        const long pid = (step & 2) ? getpid() : kFinishedProcess;
                        journal += std::string("R") + '\0' + TempName(target, pid, step >> 2 & 1) +
                                   '\0' + target + '\0';
                    }
                }
                journal += std::string("E") + '\0';
                WriteAll(dir / ".doc.rvk.journal",
                         std::span(reinterpret_cast<const std::uint8_t*>(journal.data()),
                                   journal.size()));
                break;
            }
            case 4:
            case 5: {
                if (body.size() < 2) break;
                const long pids[] = {getpid(), kFinishedProcess, kRunningProcess};
                const std::string target = kind == 4 ? TargetName(index) : ".doc.rvk.journal";
                WriteAll(dir / TempName(target, pids[body[0] % 3], body[1] % 2), body.subspan(2));
                break;
            }
            case 6:
                WriteAll(dir / (index & 1 ? "other-00-00.fzz" : "doc.rvk.bak"), body);
                break;
            default: {
                std::error_code ec;
                fs::create_directory(dir / TargetName(index), ec);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path dir = Root() / "doc";
    const fs::path outside = Root() / "outside.rvk";
    fs::remove_all(Root());
    fs::create_directories(dir);
    WriteAll(outside, Bytes{1, 2, 3});
    Build(dir, std::span(data, size));
    const std::map<std::string, Bytes> before = Snapshot(dir);

    rvk::FileDoc doc;
    doc.path = (dir / "doc.rvk").string();
    const rvk::LoadResult loaded = rvk::LoadDocument(doc);
    Check(ReadAll(outside) == Bytes({1, 2, 3}));
    const std::map<std::string, Bytes> after = Snapshot(dir);
    for (const auto& [name, bytes] : after) {
        // Only the document's own files may appear or change.
        const auto old = before.find(name);
        // A damaged journal is set aside under a name of its own, and the user is told.
        const bool setAside = name.starts_with(".doc.rvk.journal.damaged-") &&
                              before.count(".doc.rvk.journal") && loaded.notice;
        Check(old != before.end() || IsTarget(name) || setAside);
        Check(old == before.end() || old->second == bytes || IsTarget(name));
    }
    for (const auto& [name, bytes] : before)
        Check(after.count(name) || IsTarget(name) || name == ".doc.rvk.journal" ||
              TemporaryOf(name));
    if (!loaded.ok) return 0;
    Check(!after.count(".doc.rvk.journal"));
    for (const auto& [name, bytes] : after) Check(!LeftTemporary(name));
    for (const rvk::UnreadCompanion& unread : loaded.unread) Check(rvk::FileExists(unread.path));

    const rvk::SaveResult saved = rvk::SaveDocument(doc);
    if (!saved.ok()) {
        // Refused as a whole: nothing changed.
        Check(Snapshot(dir) == after);
        return 0;
    }
    const std::map<std::string, Bytes> written = Snapshot(dir);
    for (const rvk::UnreadCompanion& unread : loaded.unread)
        Check(written.at(rvk::FileNameOf(unread.path)) == after.at(rvk::FileNameOf(unread.path)));
    rvk::FileDoc again;
    again.path = doc.path;
    const rvk::LoadResult reloaded = rvk::LoadDocument(again);
    Check(reloaded.ok && reloaded.unread == loaded.unread);
    Check(rvk::EncodeDocument(again) == rvk::EncodeDocument(doc));
    for (std::size_t i = 0; i < doc.fleets.size(); ++i)
        for (std::size_t j = 0; j < doc.fleets[i]->vehicles.size(); ++j) {
            const rvk::VehicleRec& a = *doc.fleets[i]->vehicles[j];
            const rvk::VehicleRec& b = *again.fleets[i]->vehicles[j];
            Check(a.Zoom2Exists == b.Zoom2Exists);
            if (a.Zoom2Exists) Check(rvk::EncodeZoom2(a) == rvk::EncodeZoom2(b));
        }
    return 0;
}
