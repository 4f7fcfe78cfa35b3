// Crash-safe writing: sets of files replaced all or nothing with a journal, the
// temporaries and side files beside a document, and the advisory locks that keep two
// programs from saving one document at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/file_io.h"

namespace rvk {

// Whether the user may replace or remove the file at path (or create it, when there is
// none), checked before anything is written: the folder must be writable, and an
// existing file a regular one, writable both by the user and by its own permission bits.
std::optional<FileError> CheckWritable(const std::string& path);

// Writes a set of files in one folder all or nothing, also when the process is killed
// at any instant. Every file goes to a temporary beside its target first; commit
// flushes them, puts a journal in place that lists the renames and removals, performs
// them, and removes the journal. Until the journal is in place a failure changes
// nothing; after that CompleteJournal (run before the files are read again) finishes
// what was begun. Without commit every temporary is removed. Without a journal path
// (files that are no set) the renames follow one another: each file is then the old or
// the new one whole.
class SaveTransaction {
public:
    explicit SaveTransaction(std::string journalPath);
    SaveTransaction(const SaveTransaction&) = delete;
    SaveTransaction& operator=(const SaveTransaction&) = delete;
    ~SaveTransaction();

    // Writes the bytes to a temporary for target; false (see error()) when that fails or
    // something other than a regular file is at target. The temporary takes the owner,
    // group and mode of the file it replaces as far as the system allows.
    bool write(const std::string& target, std::span<const std::uint8_t> bytes);
    // Removes target (a missing file counts as removed) when the renames are done.
    void remove(const std::string& target);
    // Nothing when every file is in place.
    std::optional<FileError> commit();
    const std::optional<FileError>& error() const { return error_; }

private:
    struct Staged {
        std::string target;
        std::string temp;
        int fd = -1;
    };
    std::optional<FileError> putJournalInPlace();
    void discard();

    std::string journal_;
    std::vector<Staged> staged_;
    std::vector<std::string> removals_;
    std::optional<FileError> error_;
};

// A file the program keeps beside a document or one of its files (journal, temporary,
// lock): "." + its name + suffix, in its folder. Where that exceeds the file system's
// name limit, the name is cut and ended by a hash of the whole name, so that the side
// files of two long names never meet.
std::string SidecarPath(const std::string& path, std::string_view suffix);

// An exclusive advisory lock on a file, which the system gives up when the process ends
// however it ends. Only the file the name gives counts: a lock won on a file its holder
// removed meanwhile is given up and the name tried again. Where the file may only be
// read (a read-only disk, another user's file), reading is enough to lock it.
class FileLock {
public:
    enum class Outcome { kLocked, kHeld, kFailed };
    // One try; create makes the file when it is missing. Nothing when the lock is not
    // won: *outcome says whether another holder has it (its text then in *heldText) or
    // the file cannot be locked (the system's reason in *why).
    static std::unique_ptr<FileLock> Take(const std::string& path, bool create,
                                          Outcome* outcome = nullptr,
                                          std::error_code* why = nullptr,
                                          std::string* heldText = nullptr);
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Gives the lock up; the file stays unless removeOnRelease was asked for.
    ~FileLock();
    // The file goes before the lock is given up, so that no one takes over a name about
    // to go (Windows keeps it: an open file cannot go there without shutting out those
    // waiting for it).
    void removeOnRelease() { remove_ = true; }
    // Replaces the file's text: who holds it, for whoever finds the lock taken. Also
    // shows whether the folder takes new bytes at all.
    std::optional<FileError> describe(std::string_view text);

private:
    FileLock(std::string path, std::intptr_t handle, std::error_code readOnly)
        : path_(std::move(path)), handle_(handle), readOnly_(readOnly) {}
    std::string path_;
    std::intptr_t handle_;
    std::error_code readOnly_;  // why it is held for reading only
    bool remove_ = false;
};

// Held by every save of a document and by every reading that may finish one: an
// exclusive advisory lock on SidecarPath(document, kSaveLockSuffix), released by the
// system when the process ends. The holder removes the file before it lets go (where
// the system allows; Windows keeps it), and a process that then holds a lock on a file
// no longer at that name tries again.
inline constexpr std::string_view kSaveLockSuffix = ".savelock";
class SaveLock {
public:
    // Waits while another process holds the lock, at most SaveLockWait().
    explicit SaveLock(const std::string& documentPath);
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    ~SaveLock();
    // The wait ran out: the document is being saved by another process. A folder that
    // cannot hold the lock file is no folder anything is saved in, and is not busy.
    bool busy() const { return busy_; }

private:
    std::unique_ptr<FileLock> lock_;
    bool busy_ = false;
};
std::chrono::milliseconds SaveLockWait();
// Tests only: a shorter wait.
void SetSaveLockWait(std::chrono::milliseconds wait);

// Finishes the save a journal describes, then removes it; nothing to do without one.
// Only the files of the journal's own folder named in `names` are renamed or removed,
// and only from temporaries of those names: a journal that names others is refused and
// left in place. One that is no whole journal (empty, cut short, garbage) cannot have
// begun a rename, as a journal is flushed whole before its first: it is moved to
// `damagedPath` (never over an existing file) and *setAside becomes true.
std::optional<FileError> CompleteJournal(const std::string& journalPath,
                                         const std::vector<std::string>& names,
                                         const std::string& damagedPath, bool* setAside);
// Removes temporaries that a failed or killed save of the named files (names within
// the folder) left there: those of this process and of processes that no longer run.
void RemoveLeftTemporaries(const std::string& folder, const std::vector<std::string>& names);

// The steps of a save, for tests that fail or stop one.
enum class SaveStep { kWrite, kJournal, kRename, kRemove, kFinish };
// Called before every step with the file it concerns; a non-zero result fails the step
// with that errno value. Tests only: none in the program.
using SaveStepHook = std::function<int(SaveStep step, const std::string& path)>;
void SetSaveStepHook(SaveStepHook hook);

// One file written the same way, through links to the file they name: the old file
// survives any failure, whose reason goes to *why when given.
bool WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes,
                     std::optional<FileError>* why = nullptr);

}  // namespace rvk
