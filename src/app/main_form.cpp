#include "app/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/autosave.h"
#include "app/program_folder.h"
#include "app/tool_panel.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "formats/codepage.h"
#include "host/ufg_import.h"
#include "platform/cp1252_text.h"
#include "platform/file_names.h"
#include "platform/settings_store.h"
#include "platform/toolkit_language.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"

namespace rvk {

namespace {

constexpr char kAuthorCredit[] = "the RVK Editor team";
constexpr char kDateText[] = "01-2008";
constexpr int kToolkitLocaleText = 632;

QString FolderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// A stored rectangle that is empty, or lies on no screen (a monitor that is gone),
// would put the window out of reach.
bool Reachable(const QRect& rect) {
    if (!rect.isValid()) return false;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&rect](const QScreen* screen) {
        return screen->availableGeometry().intersects(rect);
    });
}

}  // namespace

QRect ChildPlacement(QSize wanted, QSize minimum, QSize workspace, std::optional<QPoint> last,
                     int step) {
    const QSize fitted = wanted.boundedTo(workspace);
    QPoint at = last ? *last + QPoint(step, step) : QPoint(0, 0);
    // The cascade goes on while a window keeps three quarters of its size there.
    const QSize room(workspace.width() - at.x(), workspace.height() - at.y());
    if (4 * room.width() < 3 * fitted.width() || 4 * room.height() < 3 * fitted.height())
        at = QPoint(0, 0);
    const QSize size =
        fitted.boundedTo(QSize(workspace.width() - at.x(), workspace.height() - at.y()))
            .expandedTo(minimum);
    return {at, size};
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    // The title alone: an application display name would be appended to it a second time.
    setWindowTitle(QString::fromLatin1(kTitleText.data(), kTitleText.size()));
    texts_.setMissingReport([this](const std::string& report) {
        prompts().message(this, FromCp1252(report), QStringLiteral("RVK"), MsgIcon::Error,
                          MsgButtons::Ok);
    });

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    mdi_ = new QMdiArea(central);
    mdi_->setObjectName(QStringLiteral("ClientArea"));
    // A child window reaching beyond the workspace can always be scrolled back into view.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    row->addWidget(mdi_, 1);
    toolPanelHost_ = new QWidget(central);
    toolPanelHost_->setObjectName(QStringLiteral("ToolPanelHost"));
    toolPanelHost_->setFixedWidth(kToolPanelWidth);
    auto* panelColumn = new QVBoxLayout(toolPanelHost_);
    panelColumn->setContentsMargins(0, 0, 0, 0);
    toolPanel_ = new ToolPanel(texts_, toolPanelHost_);
    panelColumn->addWidget(toolPanel_);
    toolPanel_->setMdiArea(mdi_);
    row->addWidget(toolPanelHost_);
    setCentralWidget(central);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &TMainForm::childActivated);

    statusText_ = new QLabel(this);
    statusText_->setObjectName(QStringLiteral("StatusText"));
    statusBar()->addWidget(statusText_, 1);
    pointerText_ = new QLabel(this);
    pointerText_->setObjectName(QStringLiteral("PointerText"));
    statusBar()->addWidget(pointerText_, 3);
    statusBar()->setSizeGripEnabled(false);

    buildMenus();
    connect(toolPanel_, &ToolPanel::saveRequested, saveAction_, &QAction::trigger);

    const ShellSettings settings = LoadShellSettings(ProgramFolder());
    recent_ = RecentFiles(settings.recent);
    documentFolder_ = settings.documentFolder;
    importFolder_ = settings.importFolder;
    langFile_ = settings.langFile;
    autosaveSeconds_ = settings.autosaveSeconds;

    LoadLanguage(false);
    if (!ready_) return;

    resize(870, 640);
    if (settings.windowPos) {
        if (Reachable(settings.windowPos->normal)) setGeometry(settings.windowPos->normal);
        if (settings.windowPos->maximised) setWindowState(windowState() | Qt::WindowMaximized);
    }
    if (settings.singleSel) toolPanel_->setSingleSelection(*settings.singleSel);
    toolPanel_->SetCellGrid(settings.cellGrid.value_or(false));
    toolPanel_->SetJoinStrokes(settings.joinStrokes.value_or(true));
    toolPanel_->SetUndoSteps(settings.undoSteps);
    if (settings.recentColors) toolPanel_->SetRecentColors(*settings.recentColors);
    setAcceptDrops(true);
}

TMainForm::~TMainForm() {
    writeSettings();
}

void TMainForm::buildMenus() {
    const auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                                void (TMainForm::*slot)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (slot) connect(action, &QAction::triggered, this, slot);
        return action;
    };

    fileMenu_ = menuBar()->addMenu(QStringLiteral("* File"));
    fileMenu_->setObjectName(QStringLiteral("mFile"));
    newAction_ = addItem(fileMenu_, "iNew", QStringLiteral("* New"), nullptr);
    connect(newAction_, &QAction::triggered, this, [this] { NewDocumentWindow(QString()); });
    openAction_ = addItem(fileMenu_, "iOpen", QStringLiteral("* Open"), &TMainForm::openCommand);
    openAction_->setShortcut(QKeySequence(Qt::Key_F3));
    fileMenu_->addSeparator();
    saveAction_ = addItem(fileMenu_, "iSave", QStringLiteral("* Save"), nullptr);
    saveAction_->setShortcut(QKeySequence(Qt::Key_F2));
    connect(saveAction_, &QAction::triggered, this, [this] {
        if (TFileForm* doc = DocumentOfActiveWindow()) Save(doc);
    });
    saveAsAction_ = addItem(fileMenu_, "iSaveAs", QStringLiteral("* Save As..."), nullptr);
    connect(saveAsAction_, &QAction::triggered, this, [this] {
        if (TFileForm* doc = DocumentOfActiveWindow()) SaveAs(doc);
    });
    fileMenu_->addSeparator();
    importAction_ =
        addItem(fileMenu_, "iImport", QStringLiteral("* Import"), &TMainForm::importCommand);
    fileMenu_->addSeparator();
    for (int i = 0; i < kRecentCount; ++i) {
        QAction* item = fileMenu_->addAction(QStringLiteral("H%1").arg(i));
        item->setObjectName(QStringLiteral("H%1").arg(i));
        connect(item, &QAction::triggered, this, [this, i] { openRecent(i); });
        recentActions_.push_back(item);
    }
    fileMenu_->addSeparator();
    exitAction_ = addItem(fileMenu_, "iExit", QStringLiteral("* Exit"), nullptr);
    exitAction_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    connect(fileMenu_, &QMenu::aboutToShow, this, &TMainForm::fileMenuOpening);

    optionsMenu_ = menuBar()->addMenu(QStringLiteral("* Options"));
    optionsMenu_->setObjectName(QStringLiteral("mOptions"));
    languageAction_ = addItem(optionsMenu_, "iLanguage", QStringLiteral("* Language"),
                              &TMainForm::languageCommand);

    windowMenu_ = menuBar()->addMenu(QStringLiteral("* Window"));
    windowMenu_->setObjectName(QStringLiteral("mWindow"));
    tileAction_ = addItem(windowMenu_, "iTile", QStringLiteral("* Tile"), &TMainForm::tileWindows);
    cascadeAction_ = addItem(windowMenu_, "iCascade", QStringLiteral("* Cascade"), nullptr);
    connect(cascadeAction_, &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
    minimizeAction_ =
        addItem(windowMenu_, "iMinimize", QStringLiteral("* MinimizeAll"), &TMainForm::minimizeAll);
    arrangeAction_ =
        addItem(windowMenu_, "iArrange", QStringLiteral("* Arrange"), &TMainForm::arrangeIcons);
    connect(windowMenu_, &QMenu::aboutToShow, this, &TMainForm::windowMenuOpening);

    helpMenu_ = menuBar()->addMenu(QStringLiteral("* Help"));
    helpMenu_->setObjectName(QStringLiteral("mHelp"));
    aboutAction_ =
        addItem(helpMenu_, "iAbout", QStringLiteral("* About"), &TMainForm::aboutCommand);
}

// --- Language texts ---

void TMainForm::LoadLanguage(bool isDefault) {
    const QString path = LanguageFolder() + QLatin1Char('/') + langFile_;
    std::optional<LangTable> table;
    if (const auto bytes = ReadFileBytes(path.toStdString())) table = LangTable::Parse(*bytes);
    if (!table) {
        if (isDefault) {
            prompts().message(this,
                              QStringLiteral("Can't load default language file: ") +
                                  QDir::toNativeSeparators(path) +
                                  QStringLiteral(".\nProgram can't run without default "
                                                 "language file."),
                              QStringLiteral("Error"), MsgIcon::Error, MsgButtons::Ok);
            ready_ = false;
        } else if (languageLoaded_) {
            message(this, formatText(567, {QFileInfo(langFile_).fileName()}), 544, MsgIcon::Error);
        } else {
            langFile_ = QString::fromLatin1(kDefaultLangFile.data(), kDefaultLangFile.size());
            LoadLanguage(true);
        }
        return;
    }
    texts_.setTable(std::move(*table));
    // A language file may name the locale of the toolkit's own texts; one without it
    // (an older file) gets them in English, and its missing number is no error.
    const std::optional<std::string> locale = texts_.table().find(kToolkitLocaleText);
    UseToolkitLanguage(locale ? FromCp1252(*locale).trimmed() : QString());
    applyMainTexts();
    for (TFileForm* doc : documents_) {
        doc->applyTexts();
        for (TFleetForm* fleet : doc->fleetWindows()) {
            fleet->ApplyTexts(false);
            for (TChildForm* vehicle : fleet->vehicleWindows()) vehicle->applyTexts();
        }
    }
    toolPanel_->UpdateSelectionInfo();
    UpdateStatus();
    languageLoaded_ = true;
}

void TMainForm::applyMainTexts() {
    texts_.setMissingTextFormat(texts_.lookup(1, true));
    fileMenu_->setTitle(text(5, true));
    optionsMenu_->setTitle(text(7, true));
    windowMenu_->setTitle(text(8, true));
    helpMenu_->setTitle(text(9, true));
    newAction_->setText(text(15, true));
    openAction_->setText(text(16, true));
    saveAction_->setText(text(17, true));
    saveAsAction_->setText(text(18, true));
    importAction_->setText(text(19, true));
    exitAction_->setText(text(20, true));
    languageAction_->setText(text(30, true));
    tileAction_->setText(text(40, true));
    cascadeAction_->setText(text(41, true));
    minimizeAction_->setText(text(42, true));
    arrangeAction_->setText(text(43, true));
    aboutAction_->setText(text(45, true));
    toolPanel_->applyTexts();
    saveFilter_ = text(510) + QStringLiteral("|*.rvk|") + text(511) + QStringLiteral("|*.*");
    saveTitle_ = text(703);
}

void TMainForm::languageCommand() {
    const QString folder = LanguageFolder();
    const auto chosen = prompts().openFile(this, text(701), text(513) + QStringLiteral("|*.lng"),
                                           folder, QStringLiteral("lng"));
    if (!chosen) return;
    const QFileInfo file(*chosen);
    if (file.absolutePath() != folder) {
        message(this, formatText(572, {folder}), 544, MsgIcon::Error);
        return;
    }
    langFile_ = file.fileName();
    LoadLanguage(false);
}

// --- Child windows ---

TChildForm* TMainForm::activeChild() const {
    QMdiSubWindow* sub = mdi_->currentSubWindow();
    return sub ? qobject_cast<TChildForm*>(sub->widget()) : nullptr;
}

TFileForm* TMainForm::DocumentOfActiveWindow() const {
    TChildForm* child = activeChild();
    return child ? qobject_cast<TFileForm*>(child->documentWindow()) : nullptr;
}

QMdiSubWindow* TMainForm::addChildWindow(TChildForm* form, QSize size) {
    // The window opened last that has a frame of its own is where the cascade goes on.
    std::optional<QPoint> last;
    bool maximised = false;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        maximised = maximised || sub->isMaximized();
        if (!sub->isMinimized() && !sub->isMaximized()) last = sub->pos();
    }
    QMdiSubWindow* sub = mdi_->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(form, &TChildForm::statusInfo, pointerText_, &QLabel::setText);
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    // Placing and cascading keep the size its controls need (the workspace scrolls
    // instead); only Tile squeezes it, to keep every window in sight.
    sub->setMinimumSize(sub->minimumSizeHint());
    sub->setGeometry(
        ChildPlacement(size, sub->minimumSize(), mdi_->viewport()->size(), last, step));
    if (maximised)
        sub->showMaximized();
    else
        sub->show();
    mdi_->setActiveSubWindow(sub);
    return sub;
}

void TMainForm::activateChildWindow(TChildForm* form) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        mdi_->setActiveSubWindow(sub);
}

void TMainForm::childActivated(QMdiSubWindow* window) {
    // A deactivated frame reports no window; the current child keeps its menu then.
    QMdiSubWindow* current = window ? window : mdi_->currentSubWindow();
    auto* child = current ? qobject_cast<TChildForm*>(current->widget()) : nullptr;
    QMenu* edit = child ? child->editMenu() : nullptr;
    if (edit == mergedEditMenu_) return;
    pointerText_->clear();
    if (mergedEditMenu_) menuBar()->removeAction(mergedEditMenu_->menuAction());
    mergedEditMenu_ = edit;
    if (edit) menuBar()->insertAction(optionsMenu_->menuAction(), edit->menuAction());
}

void TMainForm::minimizeAll() {
    for (QMdiSubWindow* sub : mdi_->subWindowList()) sub->showMinimized();
}

void TMainForm::tileWindows() {
    // A grid over the whole workspace, the last row's windows sharing its width. A
    // window whose minimum size exceeds its cell is squeezed into it: overlapping or
    // scrolled out, windows would hide each other's title bars.
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isMinimized() && !sub->isHidden()) windows.push_back(sub);
    const int count = static_cast<int>(windows.size());
    if (count == 0) return;
    const int columns = static_cast<int>(std::ceil(std::sqrt(count)));
    const int rows = (count + columns - 1) / columns;
    const QSize area = mdi_->contentsRect().size();
    for (int i = 0; i < count; ++i) {
        const int row = i / columns, column = i % columns;
        const int inRow = std::min(columns, count - row * columns);
        const QPoint topLeft(column * area.width() / inRow, row * area.height() / rows);
        const QPoint next((column + 1) * area.width() / inRow, (row + 1) * area.height() / rows);
        const QRect cell(topLeft, QSize(next.x() - topLeft.x(), next.y() - topLeft.y()));
        QMdiSubWindow* sub = windows[i];
        if (sub->isMaximized()) sub->showNormal();
        sub->setMinimumSize(sub->minimumSize().boundedTo(cell.size()));
        sub->setGeometry(cell);
    }
}

void TMainForm::arrangeIcons() {
    // Minimised windows line up along the bottom edge, left to right, in rows upwards.
    int x = 0;
    int y = mdi_->viewport()->height();
    int rowHeight = 0;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > mdi_->viewport()->width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        rowHeight = std::max(rowHeight, size.height());
        sub->move(x, y - size.height());
        x += size.width();
    }
}

void TMainForm::windowMenuOpening() {
    for (QAction* a : windowListActions_) delete a;
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    windowListActions_.push_back(windowMenu_->addSeparator());
    int number = 1;
    for (QMdiSubWindow* sub : windows) {
        QString caption = sub->windowTitle();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption));
        // Only the active window carries the check mark.
        item->setCheckable(sub == mdi_->currentSubWindow());
        item->setChecked(item->isCheckable());
        connect(item, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
        windowListActions_.push_back(item);
    }
}

// --- Documents ---

int TMainForm::NewDocumentWindow(const QString& path) {
    const int index = static_cast<int>(documents_.size());
    auto* doc = new TFileForm(*this, toolPanel_, index);
    documents_.push_back(doc);
    addChildWindow(doc, TFileForm::kDefaultSize);
    doc->SetPath(path);
    UpdateStatus();
    return index;
}

void TMainForm::OpenDocument(const QString& path) {
    // By the file system's rule: on Windows "TRAMS.rvk" is the open "trams.rvk".
    for (TFileForm* doc : documents_) {
        if (SameFileName(PathFromQString(doc->path()), PathFromQString(path))) {
            activateChildWindow(doc);
            return;
        }
    }
    // Beside the file itself, so that editors reaching it through links meet there.
    OpenRecord record = OpenRecord::Take(ResolvedPath(PathFromQString(path)));
    bool readOnly = false;
    if (const auto& other = record.holder()) {
        const QString since =
            QLocale().toString(QDateTime::fromSecsSinceEpoch(other->since), QLocale::ShortFormat);
        const QString text =
            formatText(665, {QFileInfo(path).fileName(), QString::fromStdString(other->user),
                             QString::fromStdString(other->host),
                             static_cast<qlonglong>(other->process), since});
        switch (message(this, text, 664, MsgIcon::Question, MsgButtons::YesNoCancel)) {
            case MsgAnswer::Yes:
                readOnly = true;
                break;
            case MsgAnswer::No:
                break;
            default:
                return;
        }
    }
    TFileForm* doc = documents_[static_cast<std::size_t>(NewDocumentWindow(path))];
    doc->SetPath(path);
    doc->KeepOpenRecord(std::move(record), readOnly);
    if (doc->Load()) AddRecentFile(path);
}

void TMainForm::AddRecentFile(const QString& path) {
    documentFolder_ = FolderOf(path);
    recent_.add(path);
}

bool TMainForm::Save(TFileForm* doc) {
    if (!doc->document().named) return SaveAs(doc);
    SaveResult result;
    if (doc->readOnly()) {
        // Refused as for a write-protected file: the other editor's document stays.
        result.error = FileError{doc->document().path,
                                 std::make_error_code(std::errc::permission_denied), true};
    } else {
        result = SaveDocument(doc->document());
        doc->ShowNotice(result.notice);
    }
    if (result.changedOnDisk) {
        doc->OutsideChangeAsked();
        switch (message(doc, formatText(661, {doc->fileName()}), 660, MsgIcon::Warning,
                        MsgButtons::YesNoCancel)) {
            case MsgAnswer::Yes:
                result = SaveDocument(doc->document(), true);
                break;
            case MsgAnswer::No:
                return SaveAs(doc);
            default:
                return false;
        }
    }
    if (!result.ok()) reportError(doc, result.message());
    doc->RefreshCaption();
    if (result.ok()) {
        doc->WatchFiles();
        if (autosave_) autosave_->forget(doc);
    }
    return result.ok();
}

bool TMainForm::SaveAs(TFileForm* doc) {
    const auto chosen =
        prompts().saveFile(this, saveTitle_, saveFilter_, documentFolder_, QStringLiteral("rvk"));
    if (!chosen) return false;
    // Two windows on one file would overwrite each other's companion files.
    for (TFileForm* other : documents_) {
        if (other != doc &&
            SameFileName(PathFromQString(other->path()), PathFromQString(*chosen))) {
            message(doc, formatText(580, {*chosen}), 544, MsgIcon::Error);
            return false;
        }
    }
    // Under its own name it is a save, with the save's questions and refusals.
    if (doc->document().named &&
        SameFileName(ResolvedPath(doc->document().path), ResolvedPath(PathFromQString(*chosen))))
        return Save(doc);
    // The document takes the new name only once it is saved under it.
    const SaveResult result = SaveDocumentAs(doc->document(), PathFromQString(*chosen));
    doc->ShowNotice(result.notice);
    if (!result.ok()) {
        reportError(doc, result.message());
        return false;
    }
    doc->SetPath(*chosen);
    doc->KeepOpenRecord(OpenRecord::Take(doc->document().file), false);
    doc->WatchFiles();
    AddRecentFile(*chosen);
    if (autosave_) autosave_->forget(doc);
    return true;
}

bool TMainForm::SaveDocumentOf(TChildForm* window) {
    auto* doc = qobject_cast<TFileForm*>(window->documentWindow());
    return doc && Save(doc);
}

void TMainForm::RemoveDocument(TChildForm* doc) {
    // Closed unmodified, or its changes were saved or discarded at the close question.
    if (autosave_) autosave_->forget(qobject_cast<TFileForm*>(doc));
    std::erase(documents_, doc);
    UpdateStatus();
}

void TMainForm::UpdateStatus() {
    const bool any = !documents_.empty();
    statusText_->setText(text(102) + QLatin1Char(' ') + QString::number(documents_.size()));
    // Kept current here too, so that F2 works whenever a document is open.
    saveAction_->setEnabled(any);
    saveAsAction_->setEnabled(any);
    toolPanel_->setSaveEnabled(any);
}

void TMainForm::fileMenuOpening() {
    for (int i = 0; i < kRecentCount; ++i) {
        QAction* item = recentActions_[static_cast<std::size_t>(i)];
        const QString& path = recent_.at(i);
        item->setVisible(!path.isEmpty());
        if (!path.isEmpty())
            item->setText(QStringLiteral("&%1 ").arg(i + 1) +
                          DisplayName(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
    }
    saveAction_->setEnabled(!documents_.empty());
    saveAsAction_->setEnabled(!documents_.empty());
}

void TMainForm::openRecent(int i) {
    const QString path = recent_.at(i);
    if (path.isEmpty()) return;
    if (FileExists(PathFromQString(path))) {
        OpenDocument(path);
        return;
    }
    recent_.removeAt(i);
    message(this, formatText(kTextCannotOpen, {DisplayName(path)}), 544, MsgIcon::Error);
}

void TMainForm::openCommand() {
    const auto chosen =
        prompts().openFile(this, text(702), saveFilter_, documentFolder_, QStringLiteral("rvk"));
    if (chosen) OpenDocument(*chosen);
}

void TMainForm::importCommand() {
    const auto chosen = prompts().openFile(
        this, text(700), text(512) + QStringLiteral("|*.ufg|") + text(511) + QStringLiteral("|*.*"),
        importFolder_, QStringLiteral("rvk"));
    if (!chosen) return;
    importFolder_ = FolderOf(*chosen);
    UfgImport result = ImportUfgPair(PathFromQString(*chosen));
    TFileForm* doc = nullptr;
    if (result.content) {
        doc = documents_[static_cast<std::size_t>(NewDocumentWindow(QString()))];
        doc->SetInfoText(result.content->info);
        doc->document().fleets = std::move(result.content->fleets);
    }
    for (const Message& m : result.messages) {
        if (m.text == kTextFleetCountsDiffer)
            message(nullptr, text(m.text), 543, MsgIcon::Warning);
        else
            reportError(doc ? static_cast<QWidget*>(doc) : this, m);
    }
    if (doc) doc->FillFleetList();
}

void TMainForm::aboutCommand() {
    const QString title = QString::fromLatin1(kTitleText.data(), kTitleText.size());
    message(
        this,
        title + QStringLiteral("\n\n") +
            formatText(741, {QString::fromLatin1(kAuthorCredit), QString::fromLatin1(kDateText)}),
        740, MsgIcon::Information);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        const QString path = PathFromUrl(url);
        if (path.endsWith(QStringLiteral(".rvk"), Qt::CaseInsensitive)) OpenDocument(path);
    }
    event->acceptProposedAction();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Every document may veto first; only then does any window close.
    const std::vector<TFileForm*> docs = documents_;
    for (TFileForm* doc : docs) {
        if (!doc->CloseQuery()) {
            event->ignore();
            return;
        }
    }
    for (TFileForm* doc : docs) {
        doc->skipCloseQuery();
        doc->closeWindow();
    }
    if (autosave_) autosave_->finish();
    event->accept();
}

void TMainForm::StartRecovery() {
    autosave_ = std::make_unique<Autosave>(RecoveryFolder(), documents_, nullptr);
    connect(autosave_.get(), &Autosave::cannotWrite, this, [this](const FileError& error) {
        message(this, recoveryTrouble(error), 543, MsgIcon::Warning);
    });
    offerLeftDocuments(autosave_->claimLeftInstances());
    // What cannot be kept is told now, not found lost at the end.
    QStringList trouble;
    const SettingsStore settings;
    if (!settings.writable())
        trouble << formatText(645, {QDir::toNativeSeparators(settings.location())});
    if (const auto error = autosave_->start(autosaveSeconds_)) trouble << recoveryTrouble(*error);
    if (!trouble.isEmpty())
        message(this, trouble.join(QStringLiteral("\n\n")), 543, MsgIcon::Warning);
}

QString TMainForm::recoveryTrouble(const FileError& error) {
    return formatText(644,
                      {QDir::toNativeSeparators(autosave_->root()), reasonText(ReasonOf(error))});
}

void TMainForm::offerLeftDocuments(std::vector<LeftInstance> left) {
    QStringList lines;
    for (const LeftInstance& instance : left) {
        for (const RecoveredDocument& kept : instance.documents) {
            // The folder tells two documents of one name apart; a never saved one has
            // only its caption.
            const QString name =
                kept.info.named ? QDir::toNativeSeparators(QString::fromStdString(kept.info.path))
                                : QString::fromStdString(kept.name());
            if (!kept.doc) {
                message(this, formatText(643, {name}), 544, MsgIcon::Error);
                continue;
            }
            const QDateTime time = QDateTime::fromSecsSinceEpoch(kept.info.time);
            lines << formatText(642, {name, QLocale().toString(time, QLocale::ShortFormat)});
        }
    }
    // Nothing left to restore (no document, or only damaged ones, told above): there is
    // nothing to ask about.
    if (!lines.isEmpty()) {
        const MsgAnswer answer = message(this, formatText(641, {lines.join(QLatin1Char('\n'))}),
                                         640, MsgIcon::Question, MsgButtons::YesNoCancel);
        if (answer == MsgAnswer::Cancel) return;  // kept for the next start
        if (answer == MsgAnswer::Yes) {
            for (LeftInstance& instance : left)
                for (RecoveredDocument& kept : instance.documents)
                    if (kept.doc) restoreDocument(std::move(*kept.doc));
        }
    }
    for (LeftInstance& instance : left) autosave_->discard(std::move(instance));
}

void TMainForm::restoreDocument(FileDoc&& content) {
    // An unnamed document gets a new generated name, so that it meets no new one's.
    const QString path = content.named ? QStringFromPath(content.path) : QString();
    TFileForm* doc = documents_[static_cast<std::size_t>(NewDocumentWindow(path))];
    doc->Adopt(std::move(content));
}

void TMainForm::writeSettings() {
    ShellSettings values;
    values.recent = recent_.entries();
    values.documentFolder = documentFolder_;
    values.importFolder = importFolder_;
    values.langFile = langFile_;
    values.autosaveSeconds = autosaveSeconds_;
    values.undoSteps = toolPanel_->UndoSteps();
    // A window that never came up keeps the stored placement and selection mode.
    if (ready_) {
        values.singleSel = toolPanel_->SingleSelection();
        values.cellGrid = toolPanel_->CellGrid();
        values.windowPos = WindowPlacement{normalGeometry(), isMaximized()};
        values.joinStrokes = toolPanel_->JoinStrokes();
        values.recentColors = toolPanel_->RecentColors();
    }
    SettingsStore().write(values);
}

}  // namespace rvk
