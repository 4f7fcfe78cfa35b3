#include "storage/document_files.h"

#include <algorithm>
#include <ctime>

#include "formats/document_codec.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {

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
