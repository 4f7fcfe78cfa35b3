// Snapshots of the changed documents, taken every few seconds into a recovery folder
// of this instance, and the folders that instances which ended without Exit left.
#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "storage/recovery.h"
#include "storage/save_set.h"

namespace rvk {

class TFileForm;

// The recovery area: the folder set here, or "recovery" in the per-user application
// data folder when none is.
QString RecoveryFolder();
void SetRecoveryFolder(const QString& folder);

// The folder of an instance that no longer runs, locked for this one while it decides.
struct LeftInstance {
    QString folder;
    std::unique_ptr<FileLock> lock;
    std::vector<RecoveredDocument> documents;
};

class Autosave : public QObject {
    Q_OBJECT
public:
    // documents: the frame's list of document windows, read at every snapshot.
    Autosave(const QString& root, const std::vector<TFileForm*>& documents, QObject* parent);
    // Waits for the snapshots still being written.
    ~Autosave() override;

    // The folders of instances that ended without Exit (a live instance keeps its own
    // locked), each locked until it is released or removed.
    std::vector<LeftInstance> claimLeftInstances();

    // Takes snapshots every `seconds` into a new folder of this instance; 0 stops. A
    // folder that cannot be made or written now is tried again at every turn. Nothing
    // when a test write succeeded, else why it failed (not given again by cannotWrite
    // until a snapshot was written).
    std::optional<FileError> start(int seconds);
    int seconds() const { return seconds_; }
    const QString& root() const { return root_; }
    const QString& instanceFolder() const { return instanceFolder_; }

    // Snapshots every document that changed since its last snapshot or whose last
    // snapshot failed.
    void snapshotChanged();
    // The document was saved or closed: its snapshot goes.
    void forget(const TFileForm* doc);
    // A normal end: the instance's folder goes.
    void finish();
    // Waits until every snapshot asked for is written or removed.
    void waitForWrites();
    // Removes a left instance's folder, now or, while its disk refuses, at a later turn
    // or at the end; held locked meanwhile so that no other instance offers it again.
    void discard(LeftInstance instance);

signals:
    // Snapshots cannot be written; given once, and again only after one was written.
    void cannotWrite(const FileError& error);

private:
    // The instance's folder, locked; nothing when it is there and takes bytes.
    std::optional<FileError> makeFolder();
    void failed(const FileError& error);
    void removeDiscarded();

    struct Entry {
        QString folder;
        std::optional<std::uint64_t> changes;  // of the last snapshot asked for
        std::uint64_t generation = 0;
        bool failed = false;  // the last snapshot written or not
    };

    const QString root_;
    const std::vector<TFileForm*>& documents_;
    int seconds_ = 0;
    QString instanceFolder_;
    std::unique_ptr<FileLock> lock_;
    bool failing_ = false;  // told, and no snapshot written since
    std::vector<LeftInstance> discarded_;
    QTimer timer_;
    // One writer: snapshots and removals of a folder happen in the order asked.
    QThreadPool writer_;
    std::map<const TFileForm*, Entry> entries_;
    int nextFolder_ = 1;
};

}  // namespace rvk
