#include "docwin/file_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontDatabase>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "fleet/fleet_form.h"
#include "formats/fleet_payload.h"
#include "platform/clipboard.h"
#include "platform/cp1252_text.h"
#include "shell/frame.h"
#include "shell/name_list_box.h"
#include "storage/save_set.h"

namespace rvk {

namespace {

constexpr int kFleetItemHeight = 16;
// A save of another program touches several files: one look once they are all written.
constexpr int kOutsideCheckDelayMs = 300;
constexpr int kMaxFleetNameLength = static_cast<int>(kFleetNameCapacity) - 1;

// The memo shows lines with LF; the document keeps them with CR LF.
QString InfoForDisplay(const std::string& info) {
    return FromCp1252(info).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

TFileForm::TFileForm(Frame& main, VehicleTools* tools, int kindTag)
    : TChildForm(kindTag),
      main_(main),
      tools_(tools),
      popup_(new QMenu(this)),
      fleetBox_(new NameListBox(kFleetItemHeight, popup_, this)),
      label1_(new QLabel(QStringLiteral("File infotext"), this)),
      infoMemo_(new QPlainTextEdit(this)),
      watcher_(new QFileSystemWatcher(this)),
      outsideCheck_(new QTimer(this)) {
    outsideCheck_->setSingleShot(true);
    outsideCheck_->setInterval(kOutsideCheckDelayMs);
    connect(watcher_, &QFileSystemWatcher::fileChanged, outsideCheck_, qOverload<>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::directoryChanged, outsideCheck_,
            qOverload<>(&QTimer::start));
    connect(outsideCheck_, &QTimer::timeout, this, &TFileForm::CheckOutsideChange);

    fleetBox_->setObjectName(QStringLiteral("FleetBox"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    font.setBold(true);
    fleetBox_->setFont(font);
    connect(fleetBox_, &QListWidget::itemDoubleClicked, this, &TFileForm::pEditClick);

    infoMemo_->setObjectName(QStringLiteral("InfoMemo"));
    infoMemo_->setFixedHeight(78);
    connect(infoMemo_, &QPlainTextEdit::textChanged, this, &TFileForm::infoChanged);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(fleetBox_, 1);
    column->addWidget(label1_);
    column->addWidget(infoMemo_);

    popup_->setObjectName(QStringLiteral("FilePopupMenu"));
    const auto addItem = [this](const char* name, const char* caption, void (TFileForm::*slot)()) {
        QAction* action = popup_->addAction(QString::fromLatin1(caption));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    pEdit_ = addItem("pEdit", "Edit", &TFileForm::pEditClick);
    popup_->setDefaultAction(pEdit_);
    popup_->addSeparator();
    pNew_ = addItem("pNew", "New", &TFileForm::pNewClick);
    pRename_ = addItem("pRename", "Rename", &TFileForm::pRenameClick);
    popup_->addSeparator();
    pCut_ = addItem("pCut", "Cut", &TFileForm::pCutClick);
    pCopy_ = addItem("pCopy", "Copy", &TFileForm::pCopyClick);
    pPaste_ = addItem("pPaste", "Paste", &TFileForm::pPasteClick);
    popup_->addSeparator();
    pDelete_ = addItem("pDelete", "Delete", &TFileForm::pDeleteClick);
    // The Edit menu offers the very same items, so captions and commands always agree.
    editMenu()->addActions(popup_->actions());
    connect(popup_, &QMenu::aboutToShow, this, &TFileForm::updateEnabling);
    connect(editMenu(), &QMenu::aboutToShow, this, &TFileForm::updateEnabling);

    applyTexts();
}

QString TFileForm::fileName() const {
    return DisplayName(QFileInfo(path()).fileName());
}

void TFileForm::applyTexts() {
    editMenu()->setTitle(main_.text(6));
    pEdit_->setText(main_.text(50));
    pNew_->setText(main_.text(51));
    pRename_->setText(main_.text(52));
    pCut_->setText(main_.text(53));
    pCopy_->setText(main_.text(54));
    pPaste_->setText(main_.text(55));
    pDelete_->setText(main_.text(56));
    label1_->setText(main_.text(170));
    RefreshCaption();
}

void TFileForm::SetPath(const QString& path) {
    QString newPath = path;
    if (newPath.isEmpty()) {
        newPath = FormatQText(main_.text(501) + QStringLiteral("%02d.rvk"),
                              {main_.takeNewDocumentNumber()});
        const QString title = QString::fromLatin1(kTitleText.data(), kTitleText.size());
        doc_.info = Utf8ToCp1252(main_.formatText(505, {title}).toStdString());
        // The generated info text is no change by the user.
        const QSignalBlocker quiet(infoMemo_);
        infoMemo_->setPlainText(InfoForDisplay(doc_.info));
    } else {
        doc_.named = true;
    }
    // Save As stores the path itself once it succeeded; the captions follow here.
    doc_.path = PathFromQString(newPath);
    RefreshCaption();
    for (TFleetForm* fleet : fleetWindows_) fleet->RefreshCaption();
}

void TFileForm::RefreshCaption() {
    // A write-protected file is marked like a document another editor holds: Save is
    // refused for both.
    QString title = fileName();
    const auto refusal = doc_.named ? CheckWritable(ResolvedPath(doc_.path)) : std::nullopt;
    if (readOnly_ || (refusal && refusal->writeProtected))
        title += QLatin1Char(' ') + main_.text(666);
    setWindowTitle(title + (doc_.modified ? QStringLiteral(" *") : QString()));
}

void TFileForm::SetModified(bool modified) {
    if (doc_.loading) return;
    if (modified) ++changes_;
    if (doc_.modified == modified) return;
    doc_.modified = modified;
    RefreshCaption();
}

void TFileForm::SetInfoText(const std::string& info) {
    doc_.info = info;
    {
        const QSignalBlocker quiet(infoMemo_);
        infoMemo_->setPlainText(InfoForDisplay(info));
    }
    SetModified(true);
}

void TFileForm::ShowNotice(const std::optional<Message>& notice) {
    if (!notice) return;
    const QString second =
        notice->reason ? QString::fromStdString(notice->reason->words) : QString();
    main_.message(this,
                  main_.formatText(notice->text, {QString::fromStdString(notice->arg), second}),
                  543, MsgIcon::Warning);
}

bool TFileForm::Load() {
    const LoadResult result = LoadDocument(doc_);
    if (!result.ok) {
        main_.reportError(this, result.error.value_or(Message{kTextCannotOpen, doc_.path}));
        closeWindow();
        return false;
    }
    showContent();
    asked_.reset();
    WatchFiles();
    ShowNotice(result.notice);
    if (!result.unread.empty()) {
        QStringList files;
        for (const UnreadCompanion& unread : result.unread)
            files << QDir::toNativeSeparators(QString::fromStdString(unread.path)) +
                         QStringLiteral(": ") + main_.reasonText(ReasonOf(unread));
        main_.message(this,
                      main_.formatText(kTextUnreadCompanions, {files.join(QLatin1Char('\n'))}), 543,
                      MsgIcon::Warning);
    }
    return true;
}

void TFileForm::KeepOpenRecord(OpenRecord record, bool readOnly) {
    record_ = std::move(record);
    readOnly_ = readOnly;
    RefreshCaption();
}

void TFileForm::WatchFiles() {
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty()) watcher_->removePaths(watched);
    if (!doc_.disk) return;
    QStringList paths;
    for (const auto& [name, stamp] : *doc_.disk) paths << QStringFromPath(name);
    // Saves replace files by renaming others over them, which only the folder shows.
    paths << QFileInfo(QStringFromPath(ResolvedPath(doc_.path))).absolutePath();
    watcher_->addPaths(paths);
}

void TFileForm::OutsideChangeAsked() {
    asked_ = ReadDiskState(doc_.path);
}

void TFileForm::CheckOutsideChange() {
    if (!doc_.disk) return;
    // Never on top of another question: looked at again once that one is answered.
    if (asking_ || QApplication::activeModalWidget()) {
        outsideCheck_->start();
        return;
    }
    const DiskState now = ReadDiskState(doc_.path);
    WatchFiles();  // a file replaced by a rename is no longer watched
    if (now == *doc_.disk || now == asked_) return;
    asked_ = now;
    // A document that is gone has nothing to read again; saving it asks.
    if (!now.contains(ResolvedPath(doc_.path))) return;
    asking_ = true;
    const MsgAnswer answer =
        main_.message(this, main_.formatText(doc_.modified ? 663 : 662, {fileName()}), 660,
                      MsgIcon::Question, MsgButtons::YesNo);
    asking_ = false;
    if (answer == MsgAnswer::Yes) reload();
}

void TFileForm::reload() {
    const std::vector<TFleetForm*> fleets = fleetWindows_;
    for (TFleetForm* fleet : fleets) fleet->closeWindow();
    if (!fleetWindows_.empty()) return;
    Load();
}

void TFileForm::Adopt(FileDoc&& content) {
    doc_.info = std::move(content.info);
    doc_.fleets = std::move(content.fleets);
    doc_.KnownZoom2Files = std::move(content.KnownZoom2Files);
    showContent();
    SetModified(true);
}

void TFileForm::showContent() {
    doc_.loading = true;  // showing the info text is no change
    infoMemo_->setPlainText(InfoForDisplay(doc_.info));
    FillFleetList();
    doc_.loading = false;
    RefreshCaption();
}

void TFileForm::infoChanged() {
    if (doc_.loading) return;
    std::string info = Utf8ToCp1252(
        infoMemo_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString());
    if (info.size() > kDocInfoLimit) {
        // The file gives back no more than this: refuse the rest now rather than
        // lose it silently on the next load.
        info.resize(kDocInfoLimit);
        if (info.back() == '\r') info.pop_back();
        const QSignalBlocker quiet(infoMemo_);
        infoMemo_->setPlainText(InfoForDisplay(info));
        infoMemo_->moveCursor(QTextCursor::End);
    }
    doc_.info = std::move(info);
    SetModified(true);
}

void TFileForm::FillFleetList() {
    fleetBox_->clear();
    for (std::size_t i = 0; i < doc_.fleets.size(); ++i)
        fleetBox_->insertLine(static_cast<int>(i), FromCp1252(doc_.fleets[i]->name));
}

int TFileForm::InsertFleet(int index, std::unique_ptr<FleetRec> fleet) {
    const int count = static_cast<int>(doc_.fleets.size());
    if (count >= kMaxFleets) return -1;
    if (index < 0 || index > count) index = count;
    fleetBox_->insertLine(index, FromCp1252(fleet->name));
    doc_.fleets.insert(doc_.fleets.begin() + index, std::move(fleet));
    return index;
}

bool TFileForm::DeleteFleet(int index) {
    if (index < 0 || index >= static_cast<int>(doc_.fleets.size())) return false;
    const FleetRec* fleet = doc_.fleets[static_cast<std::size_t>(index)].get();
    if (TFleetForm* window = fleetWindowOf(fleet)) {
        window->closeWindow();
        // Never destroy a fleet that a window still shows.
        if (fleetWindowOf(fleet)) return false;
    }
    delete fleetBox_->takeItem(index);
    doc_.fleets.erase(doc_.fleets.begin() + index);
    fleetBox_->clearSelection();
    return true;
}

void TFileForm::RemoveFleetWindow(TFleetForm* window) {
    std::erase(fleetWindows_, window);
}

TFleetForm* TFileForm::fleetWindowOf(const FleetRec* fleet) const {
    for (TFleetForm* window : fleetWindows_)
        if (&window->fleet() == fleet) return window;
    return nullptr;
}

int TFileForm::copyableSelection() const {
    const int index = fleetBox_->selectedRow();
    // The clipboard payload holds at most 16 vehicles; an imported fleet may hold
    // more, and cutting it would lose it.
    if (index < 0 || doc_.fleets[static_cast<std::size_t>(index)]->vehicles.size() >
                         static_cast<std::size_t>(kMaxVehicles))
        return -1;
    return index;
}

void TFileForm::updateEnabling() {
    const bool selected = fleetBox_->selectedRow() >= 0;
    const bool copyable = copyableSelection() >= 0;
    const bool room = static_cast<int>(doc_.fleets.size()) < kMaxFleets;
    pEdit_->setEnabled(selected);
    pRename_->setEnabled(selected);
    pCut_->setEnabled(copyable);
    pCopy_->setEnabled(copyable);
    pDelete_->setEnabled(selected);
    pNew_->setEnabled(room);
    pPaste_->setEnabled(room);
}

void TFileForm::pEditClick() {
    const int index = fleetBox_->selectedRow();
    if (index < 0) return;
    FleetRec* fleet = doc_.fleets[static_cast<std::size_t>(index)].get();
    if (TFleetForm* window = fleetWindowOf(fleet)) {
        main_.activateChildWindow(window);
        return;
    }
    auto* window = new TFleetForm(*this, *fleet, tools_);
    fleetWindows_.push_back(window);
    main_.addChildWindow(window, TFleetForm::kDefaultSize);
}

void TFileForm::pNewClick() {
    if (static_cast<int>(doc_.fleets.size()) >= kMaxFleets) return;
    const auto name = prompts().nameInput(this, main_.text(546), main_.text(547), main_.text(500),
                                          main_.text(521), kMaxFleetNameLength);
    if (!name) return;
    if (name->isEmpty()) {
        main_.message(this, main_.text(548), 544, MsgIcon::Error);
        return;
    }
    const int index =
        InsertFleet(fleetBox_->selectedRow(), CreateFleet(ToCp1252(*name, kFleetNameCapacity)));
    if (index < 0) return;
    fleetBox_->selectRow(index);
    SetModified(true);
}

void TFileForm::pRenameClick() {
    const int index = fleetBox_->selectedRow();
    if (index < 0) return;
    FleetRec& fleet = *doc_.fleets[static_cast<std::size_t>(index)];
    const auto name =
        prompts().nameInput(this, main_.text(550), main_.text(547), FromCp1252(fleet.name),
                            main_.text(521), kMaxFleetNameLength);
    if (!name || name->isEmpty()) return;
    const std::string newName = ToCp1252(*name, kFleetNameCapacity);
    if (newName == fleet.name) return;
    fleet.name = newName;
    fleetBox_->item(index)->setText(FromCp1252(newName));
    if (TFleetForm* window = fleetWindowOf(&fleet)) window->RefreshCaption();
    SetModified(true);
}

void TFileForm::pCopyClick() {
    const int index = copyableSelection();
    if (index < 0) return;
    const std::vector<std::uint8_t> block =
        EncodeFleetPayload(*doc_.fleets[static_cast<std::size_t>(index)]);
    clipboard().put(ClipFormat::Fleet, QByteArray(reinterpret_cast<const char*>(block.data()),
                                                  static_cast<qsizetype>(block.size())));
}

void TFileForm::pCutClick() {
    const int index = copyableSelection();
    if (index < 0) return;
    pCopyClick();
    if (DeleteFleet(index)) SetModified(true);
}

void TFileForm::pPasteClick() {
    const auto block = clipboard().block(ClipFormat::Fleet);
    if (!block) return;
    auto fleet = DecodeFleetPayload({reinterpret_cast<const std::uint8_t*>(block->constData()),
                                     static_cast<std::size_t>(block->size())});
    if (!fleet) return;
    const int index = InsertFleet(fleetBox_->selectedRow(), std::move(fleet));
    if (index < 0) return;
    fleetBox_->selectRow(index);
    SetModified(true);
}

void TFileForm::pDeleteClick() {
    const int index = fleetBox_->selectedRow();
    if (index < 0) return;
    if (main_.message(this, main_.text(549), 541, MsgIcon::Warning, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return;
    if (DeleteFleet(index)) SetModified(true);
}

bool TFileForm::CloseQuery() {
    if (!doc_.modified) return true;
    switch (main_.message(this, main_.formatText(545, {fileName()}), 542, MsgIcon::Warning,
                          MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes:
            return main_.SaveDocumentOf(this);
        case MsgAnswer::No:
            return true;
        default:
            return false;
    }
}

void TFileForm::closeEvent(QCloseEvent* event) {
    if (!closeQueried_ && !CloseQuery()) {
        event->ignore();
        return;
    }
    closeQueried_ = true;
    const std::vector<TFleetForm*> fleets = fleetWindows_;
    for (TFleetForm* fleet : fleets) fleet->closeWindow();
    if (!fleetWindows_.empty()) {
        closeQueried_ = false;
        event->ignore();
        return;
    }
    main_.RemoveDocument(this);
    record_ = OpenRecord();
    event->accept();
}

}  // namespace rvk
