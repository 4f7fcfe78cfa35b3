#include "storage/recovery.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <string_view>

#include "formats/document_codec.h"
#include "storage/companion_files.h"

namespace rvk {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kManifestName = "manifest";
constexpr std::string_view kLockName = "lock";
constexpr std::string_view kHeader = "rvk-recovery 1";
// A manifest names at most a document and a companion per vehicle; anything much
// larger is no manifest.
constexpr std::size_t kMaxManifestBytes = 1u << 20;

fs::path ToPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string FromPath(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

std::string Join(const std::string& folder, std::string_view name) {
    return FromPath(ToPath(folder) / ToPath(std::string(name)));
}

std::string DocumentFileName(std::uint64_t generation) {
    return "g" + std::to_string(generation) + ".rvk";
}

std::string FileNameOf(std::uint64_t generation, const SnapshotFile& file) {
    const std::string doc = DocumentFileName(generation);
    return file.fleet < 0 ? doc : Zoom2FileName(doc, file.fleet, file.vehicle);
}

// Values run to the end of their line: line breaks, other control bytes and the escape
// character itself are written as %XX.
std::string Escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '%') {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int hi = HexDigit(text[i + 1]);
        const int lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value, int base = 10) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    return ec == std::errc() && ptr == end && !text.empty();
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

// A name of the snapshot's own folder, nothing that leads elsewhere.
bool PlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string_view::npos && name != kManifestName;
}

}  // namespace

SnapshotBytes EncodeSnapshot(const FileDoc& doc, SnapshotInfo info, std::uint64_t generation) {
    SnapshotBytes snapshot{std::move(info), generation, {}};
    snapshot.info.path = doc.path;
    snapshot.info.named = doc.named;
    snapshot.info.knownZoom2Files = doc.KnownZoom2Files;
    snapshot.files.push_back({-1, -1, EncodeDocument(doc)});
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        const auto& vehicles = doc.fleets[i]->vehicles;
        for (std::size_t j = 0; j < vehicles.size(); ++j)
            if (vehicles[j]->Zoom2Exists)
                snapshot.files.push_back(
                    {static_cast<int>(i), static_cast<int>(j), EncodeZoom2(*vehicles[j])});
    }
    return snapshot;
}

std::string FormatManifest(const SnapshotBytes& snapshot) {
    const SnapshotInfo& info = snapshot.info;
    std::string out = std::string(kHeader) + "\n";
    out += "path " + Escape(info.path) + "\n";
    out += "named " + std::to_string(info.named ? 1 : 0) + "\n";
    out += "title " + Escape(info.title) + "\n";
    out += "time " + std::to_string(info.time) + "\n";
    out += "pid " + std::to_string(info.processId) + "\n";
    for (const std::string& known : info.knownZoom2Files) out += "known " + Escape(known) + "\n";
    for (const SnapshotFile& file : snapshot.files) {
        char hash[16];
        const std::string hex(hash,
                              std::to_chars(hash, hash + 16, ContentHash(file.bytes), 16).ptr);
        out += "file " + std::to_string(file.fleet) + " " + std::to_string(file.vehicle) + " " +
               std::to_string(file.bytes.size()) + " " + hex + " " +
               Escape(FileNameOf(snapshot.generation, file)) + "\n";
    }
    out += "end\n";
    return out;
}

std::optional<Manifest> ParseManifest(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    Manifest manifest;
    bool header = false;
    bool ended = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        // The last line is complete too: a manifest cut short is no manifest.
        if (end == std::string_view::npos || ended) return std::nullopt;
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!header) {
            if (line != kHeader) return std::nullopt;
            header = true;
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string_view key = line.substr(0, space);
        const std::string_view value =
            space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        SnapshotInfo& info = manifest.info;
        if (key == "end" && value.empty()) {
            ended = true;
        } else if (key == "path" || key == "title" || key == "known") {
            auto s = Unescape(value);
            if (!s) return std::nullopt;
            if (key == "path")
                info.path = std::move(*s);
            else if (key == "title")
                info.title = std::move(*s);
            else
                info.knownZoom2Files.push_back(std::move(*s));
        } else if (key == "named") {
            if (value != "0" && value != "1") return std::nullopt;
            info.named = value == "1";
        } else if (key == "time") {
            if (!ParseNumber(value, info.time)) return std::nullopt;
        } else if (key == "pid") {
            if (!ParseNumber(value, info.processId)) return std::nullopt;
        } else if (key == "file") {
            const auto f = Fields(value);
            ManifestEntry e;
            if (f.size() != 5 || !ParseNumber(f[0], e.fleet) || !ParseNumber(f[1], e.vehicle) ||
                !ParseNumber(f[2], e.size) || !ParseNumber(f[3], e.hash, 16))
                return std::nullopt;
            auto name = Unescape(f[4]);
            if (!name || !PlainName(*name)) return std::nullopt;
            const bool document = e.fleet == -1 && e.vehicle == -1;
            // The document comes first and once; companions after it, at real places.
            if (document != manifest.files.empty()) return std::nullopt;
            if (!document && (e.fleet < 0 || e.fleet >= kMaxFleets || e.vehicle < 0 ||
                              e.vehicle >= kMaxVehicles))
                return std::nullopt;
            e.name = std::move(*name);
            manifest.files.push_back(std::move(e));
        } else {
            return std::nullopt;
        }
    }
    if (!ended || manifest.files.empty()) return std::nullopt;
    return manifest;
}

namespace {

// Writes the files, each whole or not at all; no journal, as they are no set of their own.
std::optional<FileError> WriteFiles(
    const std::vector<std::pair<std::string, std::span<const std::uint8_t>>>& files) {
    SaveTransaction batch({});
    for (const auto& [path, bytes] : files)
        if (!batch.write(path, bytes)) return batch.error();
    return batch.commit();
}

}  // namespace

bool WriteSnapshot(const std::string& folder, const SnapshotBytes& snapshot, FileError* why) {
    const auto fail = [why](FileError error) {
        if (why) *why = std::move(error);
        return false;
    };
    std::error_code ec;
    fs::create_directories(ToPath(folder), ec);
    if (ec) return fail({folder, ec});
    // The files go to disk together (one flush), the manifest that names them after.
    std::vector<std::string> names;
    std::vector<std::pair<std::string, std::span<const std::uint8_t>>> files;
    for (const SnapshotFile& file : snapshot.files) {
        names.push_back(FileNameOf(snapshot.generation, file));
        files.emplace_back(Join(folder, names.back()), file.bytes);
    }
    if (auto error = WriteFiles(files)) return fail(std::move(*error));
    const std::string manifest = FormatManifest(snapshot);
    if (auto error = WriteFiles(
            {{Join(folder, kManifestName),
              std::span(reinterpret_cast<const std::uint8_t*>(manifest.data()), manifest.size())}}))
        return fail(std::move(*error));
    // The new snapshot is in place: what else the folder holds is the previous one.
    for (const auto& entry : fs::directory_iterator(ToPath(folder), ec)) {
        const std::string name = FromPath(entry.path().filename());
        if (name == kManifestName || std::find(names.begin(), names.end(), name) != names.end())
            continue;
        RemoveFile(FromPath(entry.path()));
    }
    return true;
}

std::string RecoveredDocument::name() const {
    return info.title.empty() ? FromPath(ToPath(folder).filename()) : info.title;
}

RecoveredDocument ReadSnapshot(const std::string& folder) {
    RecoveredDocument result;
    result.folder = folder;
    const auto manifestBytes = ReadFileBytes(Join(folder, kManifestName), kMaxManifestBytes);
    if (!manifestBytes) return result;
    std::optional<Manifest> manifest = ParseManifest(*manifestBytes);
    if (!manifest) return result;
    result.info = manifest->info;

    auto doc = std::make_unique<FileDoc>();
    for (const ManifestEntry& e : manifest->files) {
        const auto bytes = ReadFileBytes(Join(folder, e.name));
        if (!bytes || bytes->size() != e.size || ContentHash(*bytes) != e.hash) return result;
        if (e.fleet < 0) {
            if (!DecodeDocument(*bytes, *doc)) return result;
            continue;
        }
        if (static_cast<std::size_t>(e.fleet) >= doc->fleets.size()) return result;
        const auto& vehicles = doc->fleets[static_cast<std::size_t>(e.fleet)]->vehicles;
        if (static_cast<std::size_t>(e.vehicle) >= vehicles.size()) return result;
        VehicleRec& v = *vehicles[static_cast<std::size_t>(e.vehicle)];
        if (DecodeZoom2(v, *bytes) != kZoom2Ok) return result;
        // Nothing of it is on disk beside the document yet.
        v.Zoom2Modified = true;
    }
    doc->path = result.info.path;
    doc->named = result.info.named;
    doc->KnownZoom2Files = result.info.knownZoom2Files;
    doc->modified = true;
    result.doc = std::move(doc);
    return result;
}

std::vector<std::string> SubFolders(const std::string& folder) {
    std::vector<std::string> folders;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(ToPath(folder), ec))
        if (entry.is_directory(ec) && !entry.is_symlink(ec))
            folders.push_back(FromPath(entry.path()));
    std::sort(folders.begin(), folders.end());
    return folders;
}

std::vector<RecoveredDocument> ReadInstanceSnapshots(const std::string& instanceFolder) {
    std::vector<RecoveredDocument> found;
    for (const std::string& folder : SubFolders(instanceFolder))
        found.push_back(ReadSnapshot(folder));
    return found;
}

bool RemoveFolder(const std::string& folder) {
    std::error_code ec;
    fs::remove_all(ToPath(folder), ec);
    return !ec;
}

std::unique_ptr<FileLock> TakeFolderLock(const std::string& folder, bool create,
                                         std::error_code* why) {
    return FileLock::Take(Join(folder, kLockName), create, nullptr, why);
}

}  // namespace rvk
