#include "model/document.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <map>

#include "model/byte_io.h"
#include "model/file_io.h"
#include "model/plane_codec.h"
#include "model/zoom2_file.h"

namespace rvk {

namespace {

constexpr std::uint8_t kInfoEnd = 0x1A;
constexpr std::array<std::uint8_t, 5> kSignature = {0x46, 0x5A, 0xC7, 0x38, 0x30};
constexpr std::uint16_t kFirstFleetTag = 4000;
constexpr std::uint32_t kBlockConstant = 0x00008000;
// Index byte, four sizes, Props and the steam count: a record with empty views.
constexpr std::size_t kMinVehicleRecord = 1 + 4 * 2 + 4 + 1;
// Five empty info strings, each just its NUL.
constexpr std::size_t kMinVehicleStrings = 5;

// A stored string ends at its first NUL, whatever the in-memory string holds, and
// fits its field.
void PutCString(ByteWriter& out, std::string_view s, std::size_t capacity) {
    out.cstring(s.substr(0, s.find('\0')), capacity);
}

void EncodeFleet(const FleetRec& fleet, std::uint16_t tag, ByteWriter& out) {
    out.u16(tag);
    out.u16(static_cast<std::uint16_t>(fleet.vehicles.size()));
    out.u32(kBlockConstant);
    const std::size_t lengthAt = out.size();
    out.u32(0);
    const std::size_t stringsAt = out.size();
    PutCString(out, fleet.name, kFleetNameCapacity);
    for (const auto& v : fleet.vehicles)
        for (const std::string& info : v->Info) PutCString(out, info, kInfoCapacity);
    out.patchU32(lengthAt, static_cast<std::uint32_t>(out.size() - stringsAt));

    for (std::size_t j = 0; j < fleet.vehicles.size(); ++j) {
        const VehicleRec& v = *fleet.vehicles[j];
        out.u8(static_cast<std::uint8_t>(j));
        out.u16(v.Length);
        out.u16(v.HeightS);
        out.u16(v.Width);
        out.u16(v.HeightF);
        out.u32(v.Props | kPixels32);
        const std::uint8_t steamCount = std::min<std::uint8_t>(v.SteamCount, 3);
        out.u8(steamCount);
        for (int k = 0; k < 3 * steamCount; ++k) out.u16(v.Steam[k]);
        for (int view = 0; view < v.viewCount(); ++view) EncodePlane(v, view, false, out);
    }
}

// One fleet block after its tag; nothing when the block is truncated or corrupt.
std::unique_ptr<FleetRec> DecodeFleet(ByteReader& in) {
    const std::uint16_t count = in.u16();
    in.u32();  // constant
    in.u32();  // length of the strings part: the strings are found by their NULs
    auto fleet = CreateFleet(in.readString(kFleetNameCapacity, 0));
    // Refuse a count the rest of the input cannot hold before creating any record.
    if (!in.ok() || in.remaining() / (kMinVehicleRecord + kMinVehicleStrings) < count)
        return nullptr;
    fleet->vehicles.reserve(count);
    for (int j = 0; j < count; ++j) {
        auto v = std::make_unique<VehicleRec>();
        for (std::string& info : v->Info) info = in.readString(kInfoCapacity, 0);
        fleet->vehicles.push_back(std::move(v));
    }
    for (auto& vp : fleet->vehicles) {
        VehicleRec& v = *vp;
        in.u8();  // position in the fleet
        ReadVehicleSizes(in, v);
        v.SteamCount = in.u8();
        if (!in.ok() || !SizesFit(v)) return nullptr;
        for (int k = 0; k < 9; ++k) v.Steam[k] = k < 3 * v.SteamCount ? in.u16() : 1;
        if (!DecodeVehiclePlanes(in, v)) return nullptr;
    }
    return fleet;
}

// Fleet blocks read so far, as [start, end) by start. Blocks of a sound file never
// overlap; refusing overlaps keeps the work bounded by the file size.
class BlockRanges {
public:
    bool addIfFree(std::size_t start, std::size_t end) {
        auto next = ranges_.lower_bound(start);
        if (next != ranges_.end() && next->first < end) return false;
        if (next != ranges_.begin() && std::prev(next)->second > start) return false;
        ranges_.emplace(start, end);
        return true;
    }

private:
    std::map<std::size_t, std::size_t> ranges_;
};

}  // namespace

std::vector<std::uint8_t> EncodeDocument(const FileDoc& doc) {
    ByteWriter out;
    // The info text ends at the first 0x1A when read back; one inside it would make
    // the whole file unreadable.
    for (char c : doc.info)
        if (static_cast<std::uint8_t>(c) != kInfoEnd) out.u8(static_cast<std::uint8_t>(c));
    out.u8(kInfoEnd);
    out.bytes(kSignature);

    const std::size_t directoryAt = out.size();
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        out.u16(static_cast<std::uint16_t>(kFirstFleetTag + i));
        out.u32(0);  // patched once the block's place is known
    }
    out.u16(0);
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        const std::size_t offsetEnd = directoryAt + 6 * i + 6;
        out.patchU32(offsetEnd - 4, static_cast<std::uint32_t>(out.size() - offsetEnd));
        EncodeFleet(*doc.fleets[i], static_cast<std::uint16_t>(kFirstFleetTag + i), out);
    }
    return std::move(out.data());
}

bool DecodeDocument(std::span<const std::uint8_t> bytes, FileDoc& doc) {
    ByteReader in(bytes);
    std::string info = in.readString(kDocInfoLimit + 1, kInfoEnd);
    const auto signature = in.bytes(kSignature.size());
    if (!in.ok() || !std::equal(signature.begin(), signature.end(), kSignature.begin()))
        return false;

    std::vector<std::unique_ptr<FleetRec>> fleets;
    BlockRanges blocks;
    while (true) {
        const std::uint16_t tag = in.u16();
        if (!in.ok()) return false;
        if (tag == 0) break;
        const std::uint32_t offset = in.u32();
        if (!in.ok()) return false;
        // An entry pointing past the end of the file, or at a block without its tag,
        // is skipped. A block starting at the very end or with its tag cut short is
        // what a truncated file looks like, and is refused with it.
        if (offset > in.remaining()) continue;
        const std::size_t start = in.pos() + offset;
        ByteReader block(bytes);
        block.seek(start);
        const std::uint16_t blockTag = block.u16();
        if (!block.ok()) return false;
        if (blockTag != tag) continue;
        auto fleet = DecodeFleet(block);
        if (!fleet || !blocks.addIfFree(start, block.pos())) return false;
        fleets.push_back(std::move(fleet));
    }
    doc.info = std::move(info);
    doc.fleets = std::move(fleets);
    return true;
}

Reason ReasonOf(const FileError& error) {
    if (error.writeProtected) return {kTextWriteProtected, {}};
    if (error.damaged) return {kTextDamagedFile, {}};
    if (error.notRegular) return {kTextNotRegularFile, {}};
    const std::error_code& ec = error.code;
    if (InUseByAnotherProgram(ec)) return {kTextInUse, {}};
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return {kTextPermissionDenied, {}};
    if (ec == std::errc::no_space_on_device) return {kTextDiskFull, {}};
#ifdef EDQUOT
    if (ec == std::error_condition(EDQUOT, std::generic_category())) return {kTextDiskFull, {}};
#endif
    if (ec == std::errc::read_only_file_system) return {kTextReadOnlyFileSystem, {}};
    return {0, ec.message()};
}

Reason ReasonOf(const UnreadCompanion& unread) {
    switch (unread.code) {
        case kZoom2CannotOpen:
            return ReasonOf(FileError{unread.path, unread.error});
        case kZoom2WrongLength:
            return {kTextOtherLength, {}};
        default:
            return {kTextDamagedFile, {}};
    }
}

std::string SaveJournalPath(const std::string& path) {
    return SidecarPath(path, ".journal");
}

namespace {

// Beside the journal, named by when it was found: "<journal>.damaged-YYYYMMDD-HHMMSS".
std::string DamagedJournalPath(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = SidecarPath(path, std::string(".journal.damaged-") + stamp);
    for (int n = 2; FileExists(name) && n < 100; ++n)
        name = SidecarPath(path, ".journal.damaged-" + std::string(stamp) + "-" + std::to_string(n));
    return name;
}

}  // namespace

Recovered RecoverDocumentFiles(const std::string& path) {
    // The files a save of the document may replace or remove, and its journal.
    std::vector<std::string> names = {FileNameOf(path), FileNameOf(SaveJournalPath(path))};
    for (int fleet = 0; fleet < kMaxFleets; ++fleet)
        for (int vehicle = 0; vehicle < kMaxVehicles; ++vehicle)
            names.push_back(FileNameOf(Zoom2FileName(path, fleet, vehicle)));
    Recovered done;
    if (FileExists(SaveJournalPath(path))) {
        const std::string aside = DamagedJournalPath(path);
        bool setAside = false;
        done.error = CompleteJournal(SaveJournalPath(path), names, aside, &setAside);
        if (done.error) return done;
        if (setAside) done.setAside = aside;
    }
    RemoveLeftTemporaries(DirectoryOf(path), names);
    return done;
}

namespace {

std::optional<Message> SetAsideNotice(const std::string& path, const Recovered& recovered) {
    if (recovered.setAside.empty()) return std::nullopt;
    return Message{kTextJournalSetAside, path, Reason{0, recovered.setAside}};
}

FileError Busy(const std::string& path) {
    FileError e{path, std::make_error_code(std::errc::device_or_resource_busy)};
    e.busy = true;
    return e;
}

}  // namespace

LoadResult LoadDocument(FileDoc& doc) {
    const std::string file = ResolvedPath(doc.path);
    const SaveLock lock(file);
    if (lock.busy()) return {false, Message{kTextBeingSaved, doc.path}, {}, {}};
    const Recovered recovered = RecoverDocumentFiles(file);
    if (recovered.error)
        return {false, Message{kTextInterruptedSave, doc.path, ReasonOf(*recovered.error)}, {}, {}};
    FileDoc read;
    DiskState disk;
    const auto bytes = ReadFileBytes(file, kMaxFileBytes, nullptr, &disk[file]);
    if (!bytes || !DecodeDocument(*bytes, read))
        return {false, Message{kTextCannotOpen, doc.path}, {}, SetAsideNotice(doc.path, recovered)};
    // Filling the info text is not an edit.
    doc.loading = true;
    doc.info = std::move(read.info);
    doc.loading = false;
    doc.fleets = std::move(read.fleets);
    doc.modified = false;
    doc.named = true;
    doc.file = file;
    LoadResult result{true, std::nullopt, LoadZoom2Files(doc, &disk),
                      SetAsideNotice(doc.path, recovered)};
    // Companions of no vehicle count too: a save removes them.
    for (const std::string& name : CompanionFilesBeside(file))
        if (!disk.contains(name))
            if (const auto stamp = StampOnDisk(name)) disk[name] = *stamp;
    doc.disk = std::move(disk);
    return result;
}

DiskState ReadDiskState(const std::string& path) {
    const std::string file = ResolvedPath(path);
    DiskState disk;
    std::vector<std::string> files = CompanionFilesBeside(file);
    files.push_back(file);
    for (const std::string& name : files)
        if (const auto stamp = StampOnDisk(name)) disk[name] = *stamp;
    return disk;
}

namespace {

// A state that does not name the file was read from another one: nothing to compare.
bool ChangedFrom(const std::optional<DiskState>& seen, const std::string& file) {
    return seen && seen->contains(file) && ReadDiskState(file) != *seen;
}

}  // namespace

bool ChangedOnDisk(const FileDoc& doc) {
    return ChangedFrom(doc.disk, ResolvedPath(doc.path));
}

Message SaveResult::message() const {
    if (!error) return {};
    if (error->busy) return Message{kTextBeingSaved, error->path};
    return Message{kTextCannotSave, error->path, ReasonOf(*error)};
}

namespace {

// What the document's files hold after a save: the bytes written, the files the save
// kept as they were before (or as they are, under a new path), none of those removed.
DiskState StateAfterSave(const std::string& path, const std::optional<DiskState>& before,
                         const std::map<std::string, std::span<const std::uint8_t>>& written) {
    DiskState after;
    std::vector<std::string> files = CompanionFilesBeside(path);
    files.push_back(path);
    for (const std::string& name : files) {
        if (const auto w = written.find(name); w != written.end()) {
            after[name] = FileStamp{w->second.size(), ModificationTime(name).value_or(0),
                                    ContentHash(w->second)};
            continue;
        }
        if (before && before->contains(name)) {
            after[name] = before->at(name);
            continue;
        }
        if (const auto stamp = StampOnDisk(name)) after[name] = *stamp;
    }
    return after;
}

// Saves to the file path (links followed), which the document then shows as `shown`.
// `known` are the companion files the document has on disk; nothing for all those
// that exist at path once the lock is held.
SaveResult SaveTo(FileDoc& doc, const std::string& path, const std::string& shown,
                  const std::optional<std::vector<std::string>>& known, bool checkDisk) {
    const SaveLock lock(path);
    if (lock.busy()) return SaveResult{Busy(shown), false, {}};
    // A save interrupted before is finished first: its journal names the files as
    // they must be before this one replaces them.
    const Recovered recovered = RecoverDocumentFiles(path);
    SaveResult result{recovered.error, false, {}};
    result.notice = SetAsideNotice(path, recovered);
    if (result.error) return result;
    // Saves skip companions they believe unchanged: that holds only while no other
    // program has written the document since it was read.
    result.changedOnDisk = checkDisk && ChangedFrom(doc.disk, path);
    if (result.changedOnDisk) return result;
    Zoom2SavePlan plan = PlanZoom2Save(doc, path, known ? *known : CompanionFilesBeside(path));

    // Every target is checked before anything is written: a file its own permissions
    // protect is never replaced through a rename.
    result.error = CheckWritable(path);
    for (const auto& [vehicle, name] : plan.writes)
        if (!result.error) result.error = CheckWritable(name);
    for (const std::string& name : plan.removals)
        if (!result.error) result.error = CheckWritable(name);
    if (result.error) return result;

    SaveTransaction transaction(SaveJournalPath(path));
    std::vector<std::vector<std::uint8_t>> contents;
    contents.reserve(plan.writes.size() + 1);
    std::map<std::string, std::span<const std::uint8_t>> written;
    const auto write = [&](const std::string& name, std::vector<std::uint8_t> bytes) {
        written[name] = contents.emplace_back(std::move(bytes));
        return transaction.write(name, written[name]);
    };
    if (write(path, EncodeDocument(doc)))
        for (const auto& [vehicle, name] : plan.writes)
            if (!write(name, EncodeZoom2(*vehicle))) break;
    for (const std::string& name : plan.removals) transaction.remove(name);
    result.error = transaction.commit();
    if (result.error) return result;

    doc.disk = StateAfterSave(path, doc.disk && doc.disk->contains(path) ? doc.disk : std::nullopt,
                              written);
    for (auto& [vehicle, name] : plan.writes) {
        vehicle->Zoom2Path = std::move(name);
        vehicle->Zoom2Modified = false;
    }
    doc.path = shown;
    doc.file = path;
    doc.KnownZoom2Files = std::move(plan.known);
    doc.modified = false;
    doc.named = true;
    return result;
}

}  // namespace

SaveResult SaveDocument(FileDoc& doc, bool overwrite) {
    if (!overwrite) return SaveDocumentAs(doc, doc.path);
    for (auto& fleet : doc.fleets)
        for (auto& vehicle : fleet->vehicles)
            if (vehicle->Zoom2Exists) vehicle->Zoom2Modified = true;
    return SaveTo(doc, ResolvedPath(doc.path), doc.path, std::nullopt, false);
}

SaveResult SaveDocumentAs(FileDoc& doc, const std::string& path) {
    const std::string file = ResolvedPath(path);
    // Through any name of the file it was read from, the known companions are its own;
    // also when a link now names another file, that is another document.
    if (SameFileName(file, doc.file.empty() ? ResolvedPath(doc.path) : doc.file))
        return SaveTo(doc, file, path, doc.KnownZoom2Files, true);
    // The document saved over goes with all its companion files, so that none of them
    // attaches to a vehicle of this document when it is opened again.
    return SaveDocumentOver(doc, path);
}

SaveResult SaveDocumentOver(FileDoc& doc, const std::string& path) {
    return SaveTo(doc, ResolvedPath(path), path, std::nullopt, false);
}

}  // namespace rvk
