// The main frame: document list, File / Options / Window / Help menus, recent files,
// settings, language texts and the place of the tool panel.
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "app/recent_files.h"
#include "formats/lang_table.h"
#include "platform/prompts.h"
#include "shell/frame.h"
#include "storage/document_files.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace rvk {

class Autosave;
struct LeftInstance;
class TChildForm;
class TFileForm;
class ToolPanel;

// Where a new child window of about `wanted` size goes in a workspace: no larger than
// the workspace (but not below its minimum), one title bar below and right of the window
// opened last and shrunk to what is left there, back at the top-left corner when less
// than three quarters of its size would be left.
QRect ChildPlacement(QSize wanted, QSize minimum, QSize workspace, std::optional<QPoint> last,
                     int step);

class TMainForm : public QMainWindow, public Frame {
    Q_OBJECT
public:
    static constexpr int kToolPanelWidth = 206;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // False when not even the default language file could be loaded: the program
    // must end without using this window (the settings are still written back).
    bool ready() const { return ready_; }

    // --- State shared with the child windows and the tool panel ---
    LangTexts& texts() override { return texts_; }

    const std::vector<TFileForm*>& documents() const { return documents_; }
    QMdiArea* mdiArea() const { return mdi_; }
    // The container on the right edge and the tool panel in it.
    QWidget* toolPanelHost() const { return toolPanelHost_; }
    ToolPanel* toolPanel() const { return toolPanel_; }
    TChildForm* activeChild() const override;
    TFileForm* DocumentOfActiveWindow() const;
    QMdiSubWindow* addChildWindow(TChildForm* form, QSize size) override;
    void activateChildWindow(TChildForm* form) override;

    int takeNewDocumentNumber() override { return newDocumentNumber_++; }

    const RecentFiles& recentFiles() const { return recent_; }
    const QString& documentFolder() const { return documentFolder_; }
    const QString& importFolder() const override { return importFolder_; }
    void setImportFolder(const QString& folder) override { importFolder_ = folder; }
    const QString& langFile() const { return langFile_; }

    // --- Document commands ---
    int NewDocumentWindow(const QString& path);
    void OpenDocument(const QString& path);
    // Saves at the document's path, or through Save As when it never was saved. True
    // when every file was written.
    bool Save(TFileForm* doc);
    bool SaveAs(TFileForm* doc);
    bool SaveDocumentOf(TChildForm* window) override;
    void AddRecentFile(const QString& path) override;
    void UpdateStatus();
    void RemoveDocument(TChildForm* doc) override;

    // Offers back the documents of earlier runs that ended without Exit, then takes
    // snapshots of the changed documents every autosaveSeconds() into the recovery
    // folder (RecoveryFolder()) until the program ends. When the settings or the
    // recovery folder cannot be written, one message says so.
    void StartRecovery();
    int autosaveSeconds() const { return autosaveSeconds_; }
    Autosave* autosave() const { return autosave_.get(); }

    // Reads the language file named by langFile() and applies its texts everywhere.
    void LoadLanguage(bool isDefault);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void applyMainTexts();
    void fileMenuOpening();
    void windowMenuOpening();
    void openRecent(int i);
    void openCommand();
    void importCommand();
    void languageCommand();
    void aboutCommand();
    void minimizeAll();
    void tileWindows();
    void arrangeIcons();
    void childActivated(QMdiSubWindow* window);
    void writeSettings();
    void offerLeftDocuments(std::vector<LeftInstance> left);
    // Why crash-recovery copies cannot be written, worded for the user.
    QString recoveryTrouble(const FileError& error);
    void restoreDocument(FileDoc&& content);

    bool ready_ = true;
    bool languageLoaded_ = false;
    std::vector<TFileForm*> documents_;
    LangTexts texts_;
    RecentFiles recent_;
    QString documentFolder_;
    QString importFolder_;
    QString langFile_;
    int newDocumentNumber_ = 1;
    int autosaveSeconds_ = 0;
    std::unique_ptr<Autosave> autosave_;
    QString saveFilter_ =
        QStringLiteral("Vehicle data, new format (*.rvk)|*.rvk|Any file (*.*)|*.*");
    QString saveTitle_;

    QMdiArea* mdi_ = nullptr;
    QWidget* toolPanelHost_ = nullptr;
    ToolPanel* toolPanel_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* pointerText_ = nullptr;  // second section: what the active child reports
    QMenu* fileMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* newAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* importAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* languageAction_ = nullptr;
    QAction* tileAction_ = nullptr;
    QAction* cascadeAction_ = nullptr;
    QAction* minimizeAction_ = nullptr;
    QAction* arrangeAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    std::vector<QAction*> recentActions_;
    std::vector<QAction*> windowListActions_;
    QPointer<QMenu> mergedEditMenu_;
};

}  // namespace rvk
