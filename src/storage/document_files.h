// A document as it is stored: the .rvk file and its companion files, read and written
// as one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/document.h"
#include "storage/file_io.h"
#include "storage/file_messages.h"

namespace rvk {

// A document with where it lies and what its files held.
struct FileDoc : DocumentRec {
    std::string path;  // UTF-8, as the user named it
    // The file path named once its links were followed, when the document was last read
    // or saved: the document and its companions really lie there.
    std::string file;
    bool named = false;
    // Companion files that belong to the document, compared by the file system's case rule.
    std::vector<std::string> KnownZoom2Files;
    // The document's files as last read or saved; nothing when the document never was
    // (a new one, or one kept from an earlier run), and then there is nothing to compare.
    std::optional<DiskState> disk;
};

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
