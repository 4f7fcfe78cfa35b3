// A document: its fleets and the state the document window keeps with it, and the
// .rvk file that stores it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_io.h"
#include "model/vehicle.h"

namespace rvk {

inline constexpr std::string_view kTitleText = "RVK Editor 3.0 Beta2";
inline constexpr std::size_t kDocInfoLimit = 2047;
// Language texts of the file messages.
inline constexpr int kTextCannotOpen = 555;        // "cannot open %s"
inline constexpr int kTextCannotSave = 590;        // "%s could not be saved: %s."
inline constexpr int kTextPermissionDenied = 591;  // reasons, the second %s above
inline constexpr int kTextWriteProtected = 592;
inline constexpr int kTextDiskFull = 593;
inline constexpr int kTextReadOnlyFileSystem = 594;
inline constexpr int kTextUnreadCompanions = 595;  // "... could not be read ...:\n%s"
inline constexpr int kTextInterruptedSave = 596;   // "interrupted save of %s ...: %s."
inline constexpr int kTextDamagedFile = 597;
inline constexpr int kTextOtherLength = 598;
inline constexpr int kTextNotRegularFile = 599;
inline constexpr int kTextBeingSaved = 650;       // "%s is being saved by another program ..."
inline constexpr int kTextJournalSetAside = 651;  // "... journal of %s ... set aside as %s ..."
inline constexpr int kTextInUse = 652;            // a reason: another program has it open

// Why a file could not be used: a language text, or the system's own words when the
// text is 0.
struct Reason {
    int text = 0;
    std::string words;
    bool operator==(const Reason&) const = default;
};
Reason ReasonOf(const FileError& error);

// What a window must tell the user: a language text number, its string argument and,
// for texts with a second placeholder, the reason.
struct Message {
    Message() = default;
    Message(int t, std::string a, std::optional<Reason> r = std::nullopt)
        : text(t), arg(std::move(a)), reason(std::move(r)) {}
    int text = 0;
    std::string arg;
    std::optional<Reason> reason;
    bool operator==(const Message&) const = default;
};

struct FileDoc {
    std::string path;  // UTF-8, as the user named it
    // The file path named once its links were followed, when the document was last read
    // or saved: the document and its companions really lie there.
    std::string file;
    std::string info;  // Windows-1252 bytes, lines separated by CR LF
    std::vector<std::unique_ptr<FleetRec>> fleets;
    bool modified = false;
    bool loading = false;
    bool named = false;
    // Companion files that belong to the document, compared by the file system's case rule.
    std::vector<std::string> KnownZoom2Files;
    // The document's files as last read or saved; nothing when the document never was
    // (a new one, or one kept from an earlier run), and then there is nothing to compare.
    std::optional<DiskState> disk;
};

// Serialises the fleets and info text as a .rvk file holds them.
std::vector<std::uint8_t> EncodeDocument(const FileDoc& doc);
// Parses a .rvk file into doc.info and doc.fleets (replacing them). A truncated or
// corrupt file is refused as a whole: false, and doc's fleets and info are unchanged.
bool DecodeDocument(std::span<const std::uint8_t> bytes, FileDoc& doc);

// A companion file that exists but could not be read. It stays on disk untouched: no
// save deletes it, only Zoom2 graphics saved for the vehicle at its place replace it.
struct UnreadCompanion {
    std::string path;
    int code = 0;           // the Zoom2Result of reading it
    std::error_code error;  // why it could not be opened, for kZoom2CannotOpen
    bool operator==(const UnreadCompanion&) const = default;
};
Reason ReasonOf(const UnreadCompanion& unread);

struct LoadResult {
    bool ok = false;
    std::optional<Message> error;  // 555 with the path when !ok
    std::vector<UnreadCompanion> unread;
    std::optional<Message> notice;  // a damaged save journal set aside, for the user
};
// Under the document's save lock (waiting for a save of another process to end):
// finishes a save of the document that was interrupted (its journal), removes the
// temporaries left by failed saves, then reads the file doc.path names and every
// companion Zoom2 file that exists beside it, remembering what each held in doc.disk.
LoadResult LoadDocument(FileDoc& doc);

// The document's files as they are now: the file path names (links followed) and every
// companion file beside it. A file that cannot be read has no stamp.
DiskState ReadDiskState(const std::string& path);
// Whether another program has changed, added or removed one of the document's files
// since it was read or saved; never for a document that has nothing to compare.
bool ChangedOnDisk(const FileDoc& doc);

// What an interrupted save of the document at path left: its journal is completed
// (or, damaged, set aside) and left temporaries are removed. Only with the document's
// SaveLock held: a journal of a running save is no interrupted one.
struct Recovered {
    std::optional<FileError> error;
    std::string setAside;  // where a damaged journal now is, "" when there was none
};
Recovered RecoverDocumentFiles(const std::string& path);
// The journal that makes a save of the document at path complete or undone as a whole.
std::string SaveJournalPath(const std::string& path);

struct SaveResult {
    std::optional<FileError> error;  // the file that stopped the save, and why
    // Nothing was written: another program changed the files since they were read.
    bool changedOnDisk = false;
    std::optional<Message> notice;  // a damaged save journal set aside, for the user
    bool ok() const { return !error && !changedOnDisk; }
    // What to tell the user when the save failed.
    Message message() const;
};
// Writes the .rvk file and the companion files that changed or moved, and deletes the
// stale ones, all or nothing: every target is checked and every file written to a
// temporary before the first is replaced. Only then the document becomes unmodified
// and named. A link at the path stays; the file it names is replaced. When another
// program has changed the files since they were read, nothing is written
// (changedOnDisk), unless `overwrite`: then every companion file is written anew and
// those the document does not have are removed, so that the folder holds this
// document whole. The whole save holds the document's save lock, and plans once it
// has it.
SaveResult SaveDocument(FileDoc& doc, bool overwrite = false);
// The same under a new path (the companions of the old name are neither reused nor
// deleted); the document takes the path only when the save succeeded.
SaveResult SaveDocumentAs(FileDoc& doc, const std::string& path);
// Replaces whatever document is at path, with every companion file it has when the
// save begins: each is replaced or removed.
SaveResult SaveDocumentOver(FileDoc& doc, const std::string& path);

}  // namespace rvk
