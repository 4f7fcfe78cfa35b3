// Snapshots of the changed documents, taken every few seconds into a recovery folder
// of this instance, and the folders that instances which ended without Exit left.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "model/recovery.h"

namespace rvk {

class TFileForm;

// The recovery area: the folder set here, or "recovery" in the per-user application
// data folder when none is.
QString RecoveryFolder();
void SetRecoveryFolder(const QString& folder);

// The folder of an instance that no longer runs, locked for this one while it decides.
struct LeftInstance {
    QString folder;
    std::unique_ptr<QLockFile> lock;
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

    // Takes snapshots every `seconds` into a new folder of this instance; 0 stops.
    void start(int seconds);
    int seconds() const { return seconds_; }
    const QString& instanceFolder() const { return instanceFolder_; }

    // Snapshots every document that changed since its last snapshot.
    void snapshotChanged();
    // The document was saved or closed: its snapshot goes.
    void forget(const TFileForm* doc);
    // A normal end: the instance's folder goes.
    void finish();
    // Waits until every snapshot asked for is written or removed.
    void waitForWrites();

private:
    struct Entry {
        QString folder;
        std::optional<std::uint64_t> changes;  // of the last snapshot asked for
        std::uint64_t generation = 0;
    };

    const QString root_;
    const std::vector<TFileForm*>& documents_;
    int seconds_ = 0;
    QString instanceFolder_;
    std::unique_ptr<QLockFile> lock_;
    QTimer timer_;
    // One writer: snapshots and removals of a folder happen in the order asked.
    QThreadPool writer_;
    std::map<const TFileForm*, Entry> entries_;
    int nextFolder_ = 1;
};

}  // namespace rvk
