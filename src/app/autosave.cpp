#include "app/autosave.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include "docwin/file_form.h"

namespace rvk {

namespace {

QString& RecoveryFolderSetting() {
    static QString folder;
    return folder;
}

const QString kLockName = QStringLiteral("lock");

// A lock that only a holder which no longer runs leaves stale, however old it is.
std::unique_ptr<QLockFile> LockOf(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + kLockName);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return nullptr;
    return lock;
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
        std::unique_ptr<QLockFile> lock = LockOf(folder);
        if (!lock) continue;  // its instance is still running
        left.push_back({folder, std::move(lock), ReadInstanceSnapshots(path)});
    }
    return left;
}

void Autosave::start(int seconds) {
    seconds_ = std::max(seconds, 0);
    timer_.stop();
    if (seconds_ == 0) return;
    if (instanceFolder_.isEmpty()) {
        const QString folder = root_ + QStringLiteral("/%1-%2")
                                           .arg(QCoreApplication::applicationPid())
                                           .arg(QDateTime::currentMSecsSinceEpoch());
        if (!QDir().mkpath(folder)) return;
        lock_ = LockOf(folder);
        if (!lock_) return;
        instanceFolder_ = folder;
    }
    timer_.start(seconds_ * 1000);
}

void Autosave::snapshotChanged() {
    if (instanceFolder_.isEmpty()) return;
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
            if (WriteSnapshot(folder, *bytes)) return;
            // Tried again at the next turn, unless the document has gone meanwhile.
            QMetaObject::invokeMethod(this, [this, doc, generation] {
                const auto it = entries_.find(doc);
                if (it != entries_.end() && it->second.generation == generation)
                    it->second.changes.reset();
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

void Autosave::finish() {
    timer_.stop();
    writer_.waitForDone();
    entries_.clear();
    if (instanceFolder_.isEmpty()) return;
    lock_.reset();
    RemoveFolder(instanceFolder_.toStdString());
    instanceFolder_.clear();
}

void Autosave::waitForWrites() {
    writer_.waitForDone();
}

}  // namespace rvk
