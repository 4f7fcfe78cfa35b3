#include "app/autosave.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStandardPaths>
#include <QSysInfo>
#include <filesystem>

#include "docwin/file_form.h"
#include "storage/save_set.h"

namespace rvk {

namespace {

QString& RecoveryFolderSetting() {
    static QString folder;
    return folder;
}

// Removes the snapshots while the lock still holds, so that an instance starting
// meanwhile finds none half removed, then the rest. False while snapshots remain.
bool RemoveLocked(const QString& folder, std::unique_ptr<FileLock>& lock) {
    bool removed = true;
    for (const std::string& snapshot : SubFolders(folder.toStdString()))
        removed = RemoveFolder(snapshot) && removed;
    if (!removed) return false;
    lock.reset();
    // What is left holds nothing to offer.
    RemoveFolder(folder.toStdString());
    return true;
}

}  // namespace

QString RecoveryFolder() {
    if (!RecoveryFolderSetting().isEmpty()) return RecoveryFolderSetting();
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/recovery");
}

void SetRecoveryFolder(const QString& folder) {
    RecoveryFolderSetting() = folder;
}

Autosave::Autosave(const QString& root, const std::vector<TFileForm*>& documents, QObject* parent)
    : QObject(parent), root_(root), documents_(documents) {
    writer_.setMaxThreadCount(1);
    connect(&timer_, &QTimer::timeout, this, &Autosave::snapshotChanged);
}

Autosave::~Autosave() {
    writer_.waitForDone();
}

std::vector<LeftInstance> Autosave::claimLeftInstances() {
    std::vector<LeftInstance> left;
    for (const std::string& path : SubFolders(root_.toStdString())) {
        const QString folder = QString::fromStdString(path);
        if (folder == instanceFolder_) continue;
        // Held: its instance still runs. Missing: an instance is just making the folder.
        std::unique_ptr<FileLock> lock = TakeFolderLock(path, false);
        if (!lock) continue;
        left.push_back({folder, std::move(lock), ReadInstanceSnapshots(path)});
    }
    return left;
}

std::optional<FileError> Autosave::start(int seconds) {
    seconds_ = std::max(seconds, 0);
    timer_.stop();
    if (seconds_ == 0) return std::nullopt;
    timer_.start(seconds_ * 1000);
    std::optional<FileError> error = makeFolder();
    if (error) failing_ = true;
    return error;
}

std::optional<FileError> Autosave::makeFolder() {
    if (instanceFolder_.isEmpty()) {
        const QString folder = root_ + QStringLiteral("/%1-%2")
                                           .arg(QCoreApplication::applicationPid())
                                           .arg(QDateTime::currentMSecsSinceEpoch());
        const std::string path = folder.toStdString();
        std::error_code ec;
        std::filesystem::create_directories(PathFromUtf8(path), ec);
        if (ec) return FileError{path, ec};
        lock_ = TakeFolderLock(path, true, &ec);
        if (!lock_) return FileError{path, ec};
        instanceFolder_ = folder;
    }
    // Who holds the folder; writing it also shows whether the disk takes new bytes.
    return lock_->describe(
        QStringLiteral("%1\n%2\n%3\n")
            .arg(QCoreApplication::applicationPid())
            .arg(QCoreApplication::applicationName(), QSysInfo::machineHostName())
            .toStdString());
}

void Autosave::failed(const FileError& error) {
    if (failing_) return;
    failing_ = true;
    emit cannotWrite(error);
}

void Autosave::snapshotChanged() {
    removeDiscarded();
    if (instanceFolder_.isEmpty()) {
        if (auto error = makeFolder()) return failed(*error);
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (TFileForm* doc : documents_) {
        if (!doc->document().modified) continue;
        Entry& entry = entries_[doc];
        if (entry.changes == doc->changeCount()) continue;
        if (entry.folder.isEmpty())
            entry.folder = instanceFolder_ + QStringLiteral("/d%1").arg(nextFolder_++);
        entry.changes = doc->changeCount();
        const std::uint64_t generation = ++entry.generation;
        SnapshotInfo info;
        info.title = doc->fileName().toStdString();
        info.time = now;
        info.processId = QCoreApplication::applicationPid();
        // The bytes are made here; the writer owns them and nothing of the window.
        auto bytes = std::make_shared<const SnapshotBytes>(
            EncodeSnapshot(doc->document(), std::move(info), generation));
        writer_.start([this, bytes, doc, generation, folder = entry.folder.toStdString()] {
            FileError error;
            const bool written = WriteSnapshot(folder, *bytes, &error);
            QMetaObject::invokeMethod(this, [this, doc, generation, written, error] {
                const auto it = entries_.find(doc);
                if (it != entries_.end()) it->second.failed = !written;
                if (!written) {
                    // Tried again at the next turn, unless the document has gone meanwhile.
                    if (it != entries_.end() && it->second.generation == generation)
                        it->second.changes.reset();
                    return failed(error);
                }
                // Working again only when no document still waits for its snapshot.
                failing_ = std::any_of(entries_.begin(), entries_.end(),
                                       [](const auto& e) { return e.second.failed; });
            });
        });
    }
}

void Autosave::forget(const TFileForm* doc) {
    const auto it = entries_.find(doc);
    if (it == entries_.end()) return;
    writer_.start([folder = it->second.folder.toStdString()] { RemoveFolder(folder); });
    entries_.erase(it);
}

void Autosave::discard(LeftInstance instance) {
    discarded_.push_back(std::move(instance));
    removeDiscarded();
}

void Autosave::removeDiscarded() {
    std::erase_if(discarded_,
                  [](LeftInstance& left) { return RemoveLocked(left.folder, left.lock); });
}

void Autosave::finish() {
    timer_.stop();
    writer_.waitForDone();
    entries_.clear();
    removeDiscarded();
    if (instanceFolder_.isEmpty()) return;
    RemoveLocked(instanceFolder_, lock_);
    instanceFolder_.clear();
}

void Autosave::waitForWrites() {
    writer_.waitForDone();
}

}  // namespace rvk
