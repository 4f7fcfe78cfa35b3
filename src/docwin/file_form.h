// The document window: the fleets of one document as a list, its info text, the fleet
// commands and the question to save on closing.
#pragma once

#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "fleet/fleet_owner.h"
#include "platform/file_names.h"
#include "shell/child_form.h"
#include "storage/document_files.h"
#include "storage/open_record.h"

class QAction;
class QFileSystemWatcher;
class QLabel;
class QTimer;
class QMenu;
class QPlainTextEdit;

namespace rvk {

class Frame;
class NameListBox;
class TFleetForm;
class VehicleTools;

class TFileForm : public TChildForm, public FleetOwner {
    Q_OBJECT
public:
    static constexpr QSize kDefaultSize{330, 400};

    // tools: what the vehicle windows of the document draw with.
    TFileForm(Frame& main, VehicleTools* tools, int kindTag);

    Frame& frame() const override { return main_; }
    FileDoc& document() override { return doc_; }
    QString path() const { return QStringFromPath(doc_.path); }
    // The file name part of the path, for the eye.
    QString fileName() const override;

    TFileForm* documentWindow() override { return this; }
    void applyTexts() override;

    // An empty path names a new document from the program-wide counter and gives it
    // the new-document info text.
    void SetPath(const QString& path);
    void SetModified(bool modified) override;
    // Replaces the info text as an edit does: the document becomes modified.
    void SetInfoText(const std::string& info);
    // Counts every change made to the document, also while it is marked modified.
    std::uint64_t changeCount() const { return changes_; }
    void RefreshCaption();
    // Reads the document at its path; on failure tells the user, closes the window
    // and returns false.
    bool Load();
    // Keeps the record that says this editor has the document open (released on
    // closing); read-only when another editor holds it and the user chose so.
    void KeepOpenRecord(OpenRecord record, bool readOnly);
    // Opened read-only beside another editor: Save is refused, Save As lifts it.
    bool readOnly() const { return readOnly_; }
    // The document's files were saved or read: watch them anew for outside changes.
    void WatchFiles();
    // What opening or saving found and the user must hear of (a damaged save journal
    // that was set aside).
    void ShowNotice(const std::optional<Message>& notice);
    // The user was asked about the files as they are now; no second question follows
    // for the same outside change.
    void OutsideChangeAsked();
    // Compares the files with what was read or saved and offers to read them again;
    // the watcher calls it shortly after the files change.
    void CheckOutsideChange();
    // Takes the fleets, info text and companion list of a document kept from an earlier
    // run; the document is then modified.
    void Adopt(FileDoc&& content);

    // Inserts before index (at the end for -1); -1 when the document is full.
    int InsertFleet(int index, std::unique_ptr<FleetRec> fleet);
    // Closes the fleet's window, then destroys the fleet. False when the window stayed open.
    bool DeleteFleet(int index);
    void FillFleetList();

    const std::vector<TFleetForm*>& fleetWindows() const { return fleetWindows_; }
    void RemoveFleetWindow(TFleetForm* window) override;
    TFleetForm* fleetWindowOf(const FleetRec* fleet) const;

    // Asks to save a modified document. False keeps the window open: Cancel, or a save
    // that was cancelled or failed.
    bool CloseQuery();
    // The frame has asked already (on exit); closing goes ahead without asking again.
    void skipCloseQuery() { closeQueried_ = true; }

    NameListBox* fleetBox() const { return fleetBox_; }
    QMenu* popupMenu() const { return popup_; }
    QPlainTextEdit* infoMemo() const { return infoMemo_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showContent();
    void updateEnabling();
    // The selected fleet's index when its vehicles fit the clipboard payload, else -1.
    int copyableSelection() const;
    void infoChanged();
    void pEditClick();
    void pNewClick();
    void pRenameClick();
    void pCutClick();
    void pCopyClick();
    void pPasteClick();
    void pDeleteClick();
    // Reads the document again, closing its fleet and vehicle windows first.
    void reload();

    Frame& main_;
    VehicleTools* tools_;
    FileDoc doc_;
    std::vector<TFleetForm*> fleetWindows_;
    bool closeQueried_ = false;
    std::uint64_t changes_ = 0;
    OpenRecord record_;
    bool readOnly_ = false;
    std::optional<DiskState> asked_;  // the files as they were when the user was asked
    bool asking_ = false;

    QMenu* popup_;
    NameListBox* fleetBox_;
    QLabel* label1_;
    QPlainTextEdit* infoMemo_;
    QFileSystemWatcher* watcher_;
    QTimer* outsideCheck_;
    QAction* pEdit_;
    QAction* pNew_;
    QAction* pRename_;
    QAction* pCut_;
    QAction* pCopy_;
    QAction* pPaste_;
    QAction* pDelete_;
};

}  // namespace rvk
