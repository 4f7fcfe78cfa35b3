#include "host/host_catalogue.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <unordered_map>

#include "formats/byte_io.h"
#include "formats/plane_codec.h"
#include "formats/zoom2_codec.h"
#include "storage/file_io.h"

namespace rvk {

namespace {

constexpr std::uint8_t kHeaderEnd = 0x1A;
constexpr std::size_t kCatalogueReserved = 5;  // bytes behind the header, not interpreted
constexpr std::size_t kArchiveReserved = 4;
constexpr std::size_t kArchiveRecordReserved = 8;  // between a record's key and its graphics
constexpr std::size_t kMaxSetName = 32;

constexpr std::size_t NormalPixels() {
    std::size_t n = 0;
    for (int v = 0; v < kViewCount; ++v) n += std::size_t(kPlaneWidth[v]) * kPlaneHeight[v];
    return n;
}
// A coded view never takes more than two words a pixel, so this bounds the bytes the
// planes of one vehicle can take; reading a record never looks further ahead.
constexpr std::size_t kMaxPlaneBytes = 8 * NormalPixels();
// Zoom2 planes have four times the pixels; the header and its info string come first,
// and an info string that runs on for more than this is damage.
constexpr std::size_t kMaxZoom2Bytes = 4 * kMaxPlaneBytes + 64 * 1024;

// What a category may keep at once. A sound catalogue keeps each of its bytes once and
// stays far below; a damaged index can point many sets at the same records.
constexpr std::size_t kKeptBytesLimit = std::size_t{512} << 20;
// Decoding beyond what the files hold, allowed for records read more than once.
constexpr std::uint64_t kExtraWorkBytes = std::uint64_t{64} << 20;

// Bounds what reading a category may keep and the work it may do: a damaged index can
// point thousands of entries at one long record that fails at its end, and each would
// decode it again. Once the work exceeds what the files could need, reading stops.
class Budget {
public:
    explicit Budget(std::uint64_t fileBytes) : workLimit_(4 * fileBytes + kExtraWorkBytes) {}

    bool take(std::size_t bytes) {
        if (bytes > kKeptBytesLimit - used_) return false;
        used_ += bytes;
        return true;
    }
    void give(std::size_t bytes) { used_ -= bytes; }
    // Counts bytes decoded or scanned; false once the work is used up.
    bool spend(std::uint64_t bytes) {
        work_ += bytes;
        return !exhausted();
    }
    bool exhausted() const { return work_ > workLimit_; }

private:
    std::size_t used_ = 0;
    std::uint64_t workLimit_;
    std::uint64_t work_ = 0;
};

std::size_t KeptBytes(const HostVehicle& v) {
    return sizeof(HostVehicle) + v.planes.size() + v.zoom2.size();
}

void Report(const HostProgress& progress, int text, int setNumber) {
    if (progress) progress(text, setNumber);
}

// Reads n bytes at the file's position into a reader of their own and moves past them;
// the reader fails when the file ends first.
ByteReader Take(HostFile& file, std::size_t n) {
    const auto bytes = file.peek(n);
    file.advance(bytes.size());
    ByteReader in(bytes);
    if (bytes.size() < n) in.fail();
    return in;
}

// One vehicle record at the file's position, checked by decoding it whole.
bool ReadVehicle(HostFile& file, const HostTextTable& texts, Budget& budget, HostVehicle& out) {
    VehicleRec& rec = out.data;
    InitVehicle(rec);
    ByteReader head = Take(file, 14);
    out.position = head.u8();
    ReadVehicleSizes(head, rec);
    const std::uint8_t steamCount = head.u8();
    ByteReader rest = Take(file, 6 * std::size_t{steamCount} + 10);
    if (!head.ok() || !rest.ok()) return false;
    // Only three points fit a vehicle; further ones are read and dropped.
    for (int i = 0; i < steamCount; ++i)
        for (int k = 0; k < 3; ++k) {
            const std::uint16_t value = rest.u16();
            if (i < 3) rec.Steam[3 * i + k] = value;
        }
    rec.SteamCount = std::min<std::uint8_t>(steamCount, 3);
    for (std::string& info : rec.Info)
        info = HostText(texts, rest.u16()).substr(0, kInfoCapacity - 1);
    if (!SizesFit(rec)) return false;

    const auto bytes = file.peek(kMaxPlaneBytes);
    ByteReader planes(bytes);
    VehicleRec check = rec;
    if (!DecodeVehiclePlanes(planes, check)) {
        budget.spend(bytes.size());
        return false;
    }
    if (!budget.spend(planes.pos())) return false;
    out.planes.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(planes.pos()));
    file.advance(planes.pos());
    return true;
}

// The set record at the file's position when it repeats the index number and meets
// the filter, with every vehicle read; false to leave it out.
bool ReadSet(HostFile& file, std::uint16_t number, std::uint32_t filter, const HostTextTable& texts,
             Budget& budget, HostSet& set) {
    ByteReader header = Take(file, 8);
    const std::uint16_t repeated = header.u16();
    const std::uint16_t count = header.u16();
    const std::uint32_t categories = header.u32();
    if (!header.ok() || repeated != number || (categories & filter) == 0) return false;
    ByteReader name = Take(file, 2);
    set.number = number;
    set.name = PrepareSetName(HostText(texts, name.u16()), filter);
    if (!name.ok()) return false;
    std::size_t kept = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        HostVehicle& v = set.vehicles.emplace_back();
        if (!ReadVehicle(file, texts, budget, v) || !budget.take(KeptBytes(v))) {
            budget.give(kept);
            return false;
        }
        kept += KeptBytes(v);
    }
    return true;
}

std::string_view TrimmedName(std::string_view name) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!name.empty() && blank(name.front())) name.remove_prefix(1);
    while (!name.empty() && blank(name.back())) name.remove_suffix(1);
    return name;
}

void SortSets(std::vector<HostSet>& sets, const HostNameLess& less) {
    std::vector<std::size_t> order(sets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return less(TrimmedName(sets[a].name), TrimmedName(sets[b].name));
    });
    std::vector<HostSet> sorted;
    sorted.reserve(sets.size());
    for (std::size_t i : order) sorted.push_back(std::move(sets[i]));
    sets = std::move(sorted);
}

// The archive's Zoom2 graphics at the file's position (behind a record's key) into
// the vehicle; a refused block changes nothing.
void ReadZoom2Block(HostFile& file, Budget& budget, HostVehicle& vehicle) {
    if (!file.seek(file.pos() + kArchiveRecordReserved)) return;
    const std::uint64_t bannerStart = file.pos();
    const bool banner = file.skipPast(kHeaderEnd);
    if (!budget.spend(file.pos() - bannerStart) || !banner) return;
    // The graphics are kept from the end of their banner on: what decodes them again
    // finds that byte first.
    file.seek(file.pos() - 1);
    const auto bytes = file.peek(kMaxZoom2Bytes);
    VehicleRec probe;
    probe.Length = vehicle.data.Length;
    std::size_t used = 0;
    const int result = DecodeZoom2(probe, bytes, &used);
    // A refused signature or length costs little; planes that fail may have cost them all.
    if (!budget.spend(result == kZoom2Ok          ? used
                      : result == kZoom2BadFormat ? bytes.size()
                                                  : 0) ||
        result != kZoom2Ok)
        return;
    if (!budget.take(used)) return;
    budget.give(vehicle.zoom2.size());
    VehicleRec& rec = vehicle.data;
    rec.Zoom2Exists = true;
    rec.Zoom2HeightS = probe.Zoom2HeightS;
    rec.Zoom2Width = probe.Zoom2Width;
    rec.Zoom2HeightF = probe.Zoom2HeightF;
    rec.Zoom2Info = probe.Zoom2Info;
    vehicle.zoom2.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(used));
}

void ReadArchive(HostFile& file, std::vector<HostSet>& sets, Budget& budget,
                 const HostProgress& progress) {
    if (!file.skipPast(kHeaderEnd) || !file.seek(file.pos() + kArchiveReserved)) return;
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> setsOfNumber;
    for (std::size_t i = 0; i < sets.size(); ++i) setsOfNumber[sets[i].number].push_back(i);
    while (!budget.exhausted()) {
        ByteReader entry = Take(file, 8);
        const std::uint32_t key = entry.u32();
        const std::uint32_t offset = entry.u32();
        if (!entry.ok() || key == 0) return;
        const std::uint64_t next = file.pos();
        const auto found = setsOfNumber.find(key / 16);
        if (found == setsOfNumber.end()) continue;
        for (const std::size_t s : found->second) {
            Report(progress, kTextReadingArchive, sets[s].number);
            auto& vehicles = sets[s].vehicles;
            const auto v =
                std::find_if(vehicles.begin(), vehicles.end(),
                             [&](const HostVehicle& hv) { return hv.position == key % 16; });
            if (v == vehicles.end()) continue;
            // A record that cannot be read counts as one with another key.
            bool match = false;
            if (file.seek(next + offset)) {
                ByteReader repeated = Take(file, 4);
                match = repeated.u32() == key && repeated.ok();
                if (match) ReadZoom2Block(file, budget, *v);
            }
            file.seek(next);
            if (match) break;
        }
    }
}

}  // namespace

bool HostNameLessIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return lower(x) < lower(y); });
}

std::string PrepareSetName(std::string name, std::uint32_t filter) {
    if (filter == kTramDeFilter && (name.starts_with("DE ") || name.starts_with("-- ")))
        name.replace(0, 2, "  ");
    if (const std::size_t mark = name.find("#t"); mark != std::string::npos) {
        name.erase(mark, 2);
        const std::size_t fill = name.size() < kMaxSetName ? kMaxSetName - name.size() : 1;
        name.insert(mark, fill, ' ');
    }
    if (name.size() > kMaxSetName) name.resize(kMaxSetName);
    return name;
}

std::vector<HostSet> ReadCatalogue(HostFile& catalogue, HostFile* archive, std::uint32_t filter,
                                   const HostTextTable& texts, const HostNameLess& less,
                                   const HostProgress& progress) {
    std::vector<HostSet> sets;
    Budget budget(catalogue.size() + (archive ? archive->size() : 0));
    if (catalogue.skipPast(kHeaderEnd) && catalogue.seek(catalogue.pos() + kCatalogueReserved)) {
        while (!budget.exhausted()) {
            ByteReader entry = Take(catalogue, 2);
            const std::uint16_t number = entry.u16();
            if (!entry.ok() || number == 0) break;
            entry = Take(catalogue, 4);
            const std::uint32_t offset = entry.u32();
            if (!entry.ok()) break;
            if (number < kFirstHostSet) continue;
            Report(progress, kTextReadingCatalogue, number);
            const std::uint64_t next = catalogue.pos();
            HostSet set;
            if (catalogue.seek(next + offset) &&
                ReadSet(catalogue, number, filter, texts, budget, set))
                sets.push_back(std::move(set));
            catalogue.seek(next);
        }
    }
    SortSets(sets, less);
    Report(progress, 0, -1);
    Report(progress, kTextReadingArchive, -1);
    if (archive) ReadArchive(*archive, sets, budget, progress);
    Report(progress, 0, -1);
    return sets;
}

Catalogue LoadCatalogue(const std::string& installation, std::uint32_t filter,
                        const HostTextTable& texts, const HostNameLess& less,
                        const HostProgress& progress) {
    Catalogue result;
    if (filter == 0) return result;
    Report(progress, kTextReadingCatalogue, -1);
    const std::string cataloguePath = HostFilePath(installation, kHostCatalogueFile);
    const auto catalogue = HostFile::Open(cataloguePath);
    if (!catalogue) {
        result.messages.push_back({kTextCannotOpen, cataloguePath});
        return result;
    }
    const std::string archivePath = HostFilePath(installation, kHostArchiveFile);
    const auto archive = HostFile::Open(archivePath);
    result.sets = ReadCatalogue(*catalogue, archive.get(), filter, texts, less, progress);
    if (!archive) result.messages.push_back({kTextCannotOpen, archivePath});
    return result;
}

VehicleRec HostVehicleRecord(const HostVehicle& vehicle) {
    VehicleRec rec = vehicle.data;
    // Both were checked when the set was read.
    ByteReader planes(vehicle.planes);
    DecodeVehiclePlanes(planes, rec);
    if (!vehicle.zoom2.empty()) {
        rec.Zoom2Exists = false;
        DecodeZoom2(rec, vehicle.zoom2);
    }
    return rec;
}

std::string AlternativeZoom2Path(const std::string& installation, std::uint16_t setNumber,
                                 std::uint8_t position) {
    char name[32];
    std::snprintf(name, sizeof name, "zoom2\\%05d-%02d.fzz", setNumber, position);
    return HostFilePath(installation, name);
}

VehicleRec InsertCopy(const HostVehicle& vehicle, const std::string& alternativeFile) {
    VehicleRec copy;
    CopyVehicle(copy, HostVehicleRecord(vehicle));
    if (!alternativeFile.empty()) {
        // The file's graphics replace the archive's; a refused file keeps them.
        const bool fromArchive = copy.Zoom2Exists;
        copy.Zoom2Exists = false;
        copy.Zoom2Path = alternativeFile;
        const auto bytes = ReadFileBytes(alternativeFile);
        if (!bytes || DecodeZoom2(copy, *bytes) != kZoom2Ok) copy.Zoom2Exists = fromArchive;
    }
    return copy;
}

}  // namespace rvk
