// Crash recovery snapshots: the bytes of a document as Save would write them, kept in
// a folder of their own together with a manifest that says what they belong to.
//
// A recovery area holds one folder per running instance of the program, and in it one
// folder per document:
//
//   <root>/<instance>/<document>/manifest      what the snapshot is, naming its files
//   <root>/<instance>/<document>/g<N>.rvk      the document file of snapshot N
//   <root>/<instance>/<document>/g<N>-FF-VV.fzz  its companion Zoom2 files
//
// The manifest is the last file a snapshot writes and the only one it replaces: until
// it is in place the previous snapshot's files stay untouched, so a snapshot cut short
// at any moment leaves the previous one or the new one whole, never a mix.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/document_files.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {

// Where a snapshot's document belongs and how it was shown. Strings are UTF-8.
struct SnapshotInfo {
    std::string path;  // the document's path (a generated name when never saved)
    bool named = false;
    std::string title;           // the caption, without the modified mark
    std::int64_t time = 0;       // seconds since 1970
    std::int64_t processId = 0;  // the instance that wrote it
    std::vector<std::string> knownZoom2Files;
    bool operator==(const SnapshotInfo&) const = default;
};

// One file of a snapshot: the document (fleet and vehicle -1) or the Zoom2 graphics of
// one vehicle.
struct SnapshotFile {
    int fleet = -1;
    int vehicle = -1;
    std::vector<std::uint8_t> bytes;
};

// Everything a snapshot writes, made on the thread that owns the document; writing it
// needs nothing else, so the document may change or go away meanwhile.
struct SnapshotBytes {
    SnapshotInfo info;
    std::uint64_t generation = 0;  // numbers the files; larger than the previous one's
    std::vector<SnapshotFile> files;
};

// Encodes the document and the Zoom2 graphics of its vehicles the way Save writes them.
SnapshotBytes EncodeSnapshot(const FileDoc& doc, SnapshotInfo info, std::uint64_t generation);

// Writes the snapshot into folder (created when missing), then removes the files of
// the previous one. False when a file could not be written, with the reason in *why
// when given; the previous snapshot is then still whole.
bool WriteSnapshot(const std::string& folder, const SnapshotBytes& snapshot,
                   FileError* why = nullptr);

// The manifest of a snapshot as text, and back; nothing when it is not a manifest.
std::string FormatManifest(const SnapshotBytes& snapshot);
struct ManifestEntry {
    int fleet = -1;
    int vehicle = -1;
    std::string name;  // a plain file name in the snapshot's folder
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
};
struct Manifest {
    SnapshotInfo info;
    std::vector<ManifestEntry> files;  // the document first
};
std::optional<Manifest> ParseManifest(std::span<const std::uint8_t> bytes);

// A snapshot read back: the document as it was, or why not.
struct RecoveredDocument {
    std::string folder;
    SnapshotInfo info;             // as far as the manifest could be read
    std::unique_ptr<FileDoc> doc;  // null when the snapshot is damaged
    // The document's caption, or the folder's name when even that is unknown.
    std::string name() const;
};
// Reads the snapshot in folder: the document marked modified, with its path and its
// companion list, every vehicle's Zoom2 graphics marked changed so that Save writes them.
RecoveredDocument ReadSnapshot(const std::string& folder);

// The folders directly inside folder, sorted by name.
std::vector<std::string> SubFolders(const std::string& folder);
// The snapshots an instance folder holds, each read back.
std::vector<RecoveredDocument> ReadInstanceSnapshots(const std::string& instanceFolder);
// Removes a folder with everything in it; a missing one counts as removed.
bool RemoveFolder(const std::string& folder);

// An exclusive hold on the file "lock" in a folder, given up by the system when the
// process ends however it ends. Taking it over from a process that no longer runs
// writes nothing, so a full or read-only disk still lets its snapshots be offered.
// Nothing when another holder has it, also one in this process, or when the file is
// missing and create is false; the system's reason in *why when given. The file stays
// when the lock goes: removing it would let a second holder in.
std::unique_ptr<FileLock> TakeFolderLock(const std::string& folder, bool create,
                                         std::error_code* why = nullptr);

}  // namespace rvk
