#include "fleet/import_form.h"

#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#include "editor/qt_support.h"
#include "fleet/fleet_form.h"
#include "platform/cp1252_text.h"
#include "platform/registry.h"
#include "records/render.h"
#include "shell/frame.h"
#include "shell/name_list_box.h"

namespace rvk {

namespace {

const QColor kDarkGreen(0, 112, 0);
const QColor kDarkBlue(0, 0, 168);
const QColor kNavy(0, 0, 128);
const QColor kFocusFrame(255, 255, 255);
const QColor kIdleFrame(170, 170, 170);
constexpr int kSetLineHeight = 16;
constexpr int kVehicleLineHeight = 31;
constexpr int kCategoryCount = static_cast<int>(kHostCategoryFilters.size());
constexpr QPoint kStandardPlace{368, 533};
constexpr QPoint kAlternativePlace{368, 549};

// The 7 x 6 direction arrows: the columns drawn in each row, as bits from column 1.
constexpr std::array<std::uint8_t, 6> kLeftArrow = {0x04, 0x06, 0x7f, 0x7f, 0x06, 0x04};
constexpr std::array<std::uint8_t, 6> kRightArrow = {0x10, 0x30, 0x7f, 0x7f, 0x30, 0x10};

QPixmap ArrowPixmap(const std::array<std::uint8_t, 6>& rows) {
    QImage image(7, 6, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x)
            if (rows[static_cast<std::size_t>(y)] & (1u << x)) image.setPixelColor(x, y, kDarkBlue);
    return QPixmap::fromImage(image);
}

// A set's line: a space and the name, the number from a fixed column near the right.
class SetLineDelegate : public QStyledItemDelegate {
public:
    SetLineDelegate(const std::vector<HostSet>& sets, QObject* parent)
        : QStyledItemDelegate(parent), sets_(sets) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette& palette = option.palette;
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        painter->setFont(option.font);
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        const QRect r = option.rect;
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                          QLatin1Char(' ') + index.data().toString());
        const auto row = static_cast<std::size_t>(index.row());
        if (row >= sets_.size()) return;
        const int numberX =
            r.right() + 1 - option.fontMetrics.horizontalAdvance(QStringLiteral("123456"));
        painter->setPen(selected ? palette.highlightedText().color() : kDarkBlue);
        painter->drawText(QRect(numberX, r.top(), r.right() + 1 - numberX, r.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          QStringLiteral("%1").arg(sets_[row].number, 5, 10, QLatin1Char('0')));
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kSetLineHeight};
    }

private:
    const std::vector<HostSet>& sets_;
};

// Both side views of a vehicle in daylight on one line, the right side ending and the
// left side starting 4 screen pixels either side of twice a quarter of the width.
// Normal pixels take 2 screen pixels, Zoom2 ones 1, so both show at the same size.
void PaintPreview(QPainter& painter, const QRect& rect, const VehicleRec& rec) {
    const bool zoom2 = rec.Zoom2Exists;
    const int f = zoom2 ? 2 : 1;
    const int d = 3 - f;
    const int w = rect.width();
    // Cell rows count from the line's top in whole cells, as the cells are placed.
    const int top = rect.top() - ((rect.top() % d) + d) % d;
    QImage image(w, rect.bottom() + 1 - top, QImage::Format_RGB32);
    image.fill(kDarkGreen);
    Canvas canvas{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                  static_cast<int>(image.bytesPerLine() / 4)};
    const int quarter = w / 4;
    const std::array<std::pair<int, int>, 2> views = {
        std::pair{1, quarter + 2}, std::pair{0, quarter - static_cast<int>(rec.Length) - 2}};
    for (const auto& [view, x0] : views) {
        const ConstPlaneRef plane = PlaneOf(&rec, view, zoom2);
        const int visible = ViewGeometry(&rec, view, zoom2).width;
        for (int r = 0; r < plane.height; ++r) {
            for (int c = 0; c < visible; ++c) {
                const PixelValue pixel = plane.plane->at(c, r);
                if (pixel != kTransparent) DrawPixelCell(canvas, pixel, x0 * f + c, r + 1, 0, d);
            }
        }
    }
    painter.save();
    painter.setClipRect(rect);
    painter.drawImage(rect.left(), top, image);
    painter.restore();
}

// The vehicle lines of the chosen set, decoded for painting. Only the lines painted
// lately are kept decoded: a set may hold thousands of vehicles.
class VehicleLineDelegate : public QStyledItemDelegate {
public:
    using SetOf = std::function<const HostSet*()>;
    VehicleLineDelegate(SetOf set, QListWidget* list)
        : QStyledItemDelegate(list), set_(std::move(set)), list_(list) {}

    void forget() { decoded_.clear(); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect r = option.rect;
        painter->fillRect(r, kDarkGreen);
        const HostSet* set = set_();
        const auto row = static_cast<std::size_t>(index.row());
        if (set && row < set->vehicles.size()) PaintPreview(*painter, r, record(*set, row));
        QColor frame = kDarkGreen;
        if (option.state.testFlag(QStyle::State_Selected))
            frame = list_->hasFocus() ? kFocusFrame : kIdleFrame;
        painter->setPen(frame);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {list_->viewport()->width(), kVehicleLineHeight};
    }

private:
    static constexpr std::size_t kKept = 64;

    const VehicleRec& record(const HostSet& set, std::size_t row) const {
        auto it = decoded_.find(row);
        if (it == decoded_.end()) {
            if (decoded_.size() >= kKept) decoded_.clear();
            it = decoded_
                     .emplace(row,
                              std::make_unique<VehicleRec>(HostVehicleRecord(set.vehicles[row])))
                     .first;
        }
        return *it->second;
    }

    SetOf set_;
    QListWidget* list_;
    // By line of the set shown; forgotten whenever another set is shown, as two sets may
    // share a number.
    mutable std::map<std::size_t, std::unique_ptr<VehicleRec>> decoded_;
};

// A vehicle of the list magnified, both sides by day above both sides by night, in a
// window of its own over the dialog like a tooltip, so that the dialog's layout stays as
// it is. Any click, key or the pointer leaving it closes it.
class MagnifiedVehicle : public QWidget {
public:
    static constexpr int kMargin = 4;
    static constexpr int kGap = 4;         // between the two sides
    static constexpr int kNightGap = 12;   // between day and night
    static constexpr int kNightLevel = 3;  // every window group lit

    // Normal pixels `zoom` screen pixels, Zoom2 ones half as many: both at one size.
    MagnifiedVehicle(const VehicleRec& rec, int zoom, QWidget* parent)
        : QWidget(parent, Qt::Popup) {
        setObjectName(QStringLiteral("MagnifiedVehicle"));
        setAttribute(Qt::WA_DeleteOnClose);
        const bool zoom2 = rec.Zoom2Exists;
        const int z = zoom2 ? std::max(zoom / 2, 1) : zoom;
        std::array<ViewSize, 2> sizes{};
        int width = 0;
        for (int view = 0; view < 2; ++view) {
            const ViewSize s = ViewGeometry(&rec, view, zoom2);
            sizes[view] = {s.width * z, s.height * z};
            width = std::max(width, sizes[view].width);
        }
        const int dayHeight = sizes[0].height + kGap + sizes[1].height;
        image_ = QImage(width + 2 * kMargin, 2 * dayHeight + kNightGap + 2 * kMargin,
                        QImage::Format_RGB32);
        image_.fill(kDarkGreen);
        Canvas canvas{reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(),
                      image_.height(), static_cast<int>(image_.bytesPerLine() / 4)};
        int y = kMargin;
        for (const NightLevel level : {0, kNightLevel}) {
            for (int view = 0; view < 2; ++view) {
                Canvas box = SubCanvas(canvas, kMargin, y, sizes[view].width, sizes[view].height);
                PaintVehicleView(box, rec, view, zoom2, z, level);
                y += sizes[view].height + kGap;
            }
            y += kNightGap - kGap;
        }
        // A frame sets it apart from the green list it lies on.
        QPainter frame(&image_);
        frame.setPen(Qt::black);
        frame.drawRect(image_.rect().adjusted(0, 0, -1, -1));
        frame.end();
        setFixedSize(image_.size());
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image_); }
    void mousePressEvent(QMouseEvent*) override { close(); }
    void keyPressEvent(QKeyEvent*) override { close(); }
    void leaveEvent(QEvent*) override { close(); }

private:
    QImage image_;
};

bool SamePath(const std::string& a, const std::string& b) {
#ifdef Q_OS_WIN
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

}  // namespace

// The progress line, painted at once whenever its text changes.
class TImportForm::StatusLine : public QWidget {
public:
    using QWidget::QWidget;
    void setText(const QString& text) {
        text_ = text;
        repaint();
    }
    const QString& text() const { return text_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.setPen(kNavy);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text_);
    }

private:
    QString text_;
};

TImportForm::TImportForm(Frame& frame, QWidget* parent, InstallationSource installations)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      frame_(frame),
      source_(installations ? std::move(installations) : InstallationSource(RegistryInstallations)),
      runModal_([](QDialog& dialog) { dialog.exec(); }),
      hostTextFile_(kDefaultHostTextFile) {
    setObjectName(QStringLiteral("ImportForm"));
    setModal(true);
    setFixedSize(kClientSize);
    const auto take = [&frame](int number) { return frame.text(number, true); };
    setWindowTitle(take(750));

    const auto label = [this](const char* name, const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, y, w, 16);
        return l;
    };
    label("Label1", take(751), 8, 0, 497);
    installBox_ = new QComboBox(this);
    installBox_->setObjectName(QStringLiteral("InstallBox"));
    installBox_->setGeometry(8, 16, 497, 22);
    browseBtn_ = new QPushButton(take(752), this);
    browseBtn_->setObjectName(QStringLiteral("BrowseBtn"));
    browseBtn_->setGeometry(512, 14, 99, 25);
    browseBtn_->setAutoDefault(false);
    label("Label2", take(754), 8, 40, 201);
    catBox_ = new QComboBox(this);
    catBox_->setObjectName(QStringLiteral("CatBox"));
    catBox_->setGeometry(8, 56, 201, 22);
    catBox_->setMaxVisibleItems(18);
    for (int i = 0; i < kCategoryCount; ++i) catBox_->addItem(take(755 + i));
    catBox_->setCurrentIndex(0);
    label("Label3", take(774), 8, 80, 240);
    QLabel* label4 = label("Label4", take(775), 256, 80, 103);
    label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    setList_ = new QListWidget(this);
    setList_->setObjectName(QStringLiteral("SetList"));
    setList_->setGeometry(8, 96, 353, 413);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(13);
    setList_->setFont(fixed);
    setList_->setUniformItemSizes(true);
    setList_->setItemDelegate(new SetLineDelegate(sets_, setList_));

    label("Label5", take(776), 368, 40, 241);
    vehicleBox_ = new QListWidget(this);
    vehicleBox_->setObjectName(QStringLiteral("VehicleBox"));
    vehicleBox_->setGeometry(368, 56, 241, 452);
    vehicleBox_->setUniformItemSizes(true);
    QPalette green = vehicleBox_->palette();
    green.setColor(QPalette::Base, kDarkGreen);
    vehicleBox_->setPalette(green);
    vehicleBox_->setItemDelegate(new VehicleLineDelegate(
        [this]() -> const HostSet* {
            return lastSet_ >= 0 && lastSet_ < static_cast<int>(sets_.size())
                       ? &sets_[static_cast<std::size_t>(lastSet_)]
                       : nullptr;
        },
        vehicleBox_));

    for (int i = 0; i < 5; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("Info%1").arg(i));
        l->setGeometry(8, 513 + 16 * i, 353, 16);
        l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        info_[static_cast<std::size_t>(i)] = l;
    }
    labZ2_ = label("LabZ2", QString(), 368, 514, 200);
    motLabel_ = label("MotLabel", QString(), 368, 512 - 2, 608 - 368);
    motLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QFont bold = motLabel_->font();
    bold.setBold(true);
    motLabel_->setFont(bold);
    QPalette blue = motLabel_->palette();
    blue.setColor(QPalette::WindowText, kDarkBlue);
    motLabel_->setPalette(blue);
    imageBD_ = label("ImageBD", QString(), 592, 526, 7);
    imageBD_->setFixedSize(7, 6);
    imageBD_->setPixmap(ArrowPixmap(kLeftArrow));
    imageSD_ = label("ImageSD", QString(), 600, 526, 7);
    imageSD_->setFixedSize(7, 6);
    imageSD_->setPixmap(ArrowPixmap(kRightArrow));
    rbStandard_ = new QRadioButton(take(781), this);
    rbStandard_->setObjectName(QStringLiteral("rbStandard"));
    rbStandard_->setGeometry(QRect(kStandardPlace, QSize(240, 16)));
    rbStandard_->setChecked(true);
    rbAlter_ = new QRadioButton(take(782), this);
    rbAlter_->setObjectName(QStringLiteral("rbAlter"));
    rbAlter_->setGeometry(QRect(kAlternativePlace, QSize(240, 16)));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 596, 601, 2);
    status_ = new StatusLine(this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setGeometry(8, 603, 297, 17);
    insertBtn_ = new QPushButton(take(777), this);
    insertBtn_->setObjectName(QStringLiteral("InsertBtn"));
    insertBtn_->setGeometry(368, 605, 161, 25);
    insertBtn_->setEnabled(false);
    insertBtn_->setAutoDefault(false);
    closeBtn_ = new QPushButton(frame.text(522), this);
    closeBtn_->setObjectName(QStringLiteral("CloseBtn"));
    closeBtn_->setGeometry(536, 604, 73, 25);
    closeBtn_->setAutoDefault(false);

    connect(browseBtn_, &QPushButton::clicked, this, &TImportForm::browseClick);
    connect(installBox_, &QComboBox::activated, this, &TImportForm::installationChanged);
    connect(catBox_, &QComboBox::activated, this, &TImportForm::categoryChanged);
    connect(setList_, &QListWidget::itemClicked, this, &TImportForm::setListClick);
    connect(setList_, &QListWidget::currentRowChanged, this, &TImportForm::setListClick);
    connect(vehicleBox_, &QListWidget::currentRowChanged, this, &TImportForm::refreshInfo);
    connect(vehicleBox_, &QListWidget::itemDoubleClicked, this, &TImportForm::showMagnified);
    vehicleBox_->installEventFilter(this);
    connect(insertBtn_, &QPushButton::clicked, this, &TImportForm::insertClick);
    connect(closeBtn_, &QPushButton::clicked, this, &QDialog::reject);
    refreshInfo();
}

TImportForm::~TImportForm() = default;

QString TImportForm::statusText() const {
    return status_->text();
}

void TImportForm::ShowModal() {
    if (!initialised_) {
        initialised_ = true;
        findInstallations();
    }
    runModal_(*this);
}

void TImportForm::findInstallations() {
    for (std::string& path : source_()) {
        installations_.push_back(path);
        installBox_->addItem(QString::fromStdString(path));
    }
    if (installations_.empty()) browseInstallation();
    catBox_->setEnabled(!installations_.empty());
    if (installations_.empty()) return;
    installBox_->setCurrentIndex(0);
    HostTexts texts = LoadHostTexts(installations_.front(), hostTextFile_);
    hostTexts_ = std::move(texts.table);
    if (texts.message) frame_.reportError(this, *texts.message);
}

std::string TImportForm::BrowsedPath(const QString& folder) {
    QString path = QDir::toNativeSeparators(folder);
#ifdef Q_OS_WIN
    // Only the letters a to z, as the host writes its own paths.
    for (QChar& c : path)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
#endif
    if (!path.endsWith(QDir::separator())) path += QDir::separator();
    return path.toStdString();
}

bool TImportForm::browseInstallation() {
    const QString start = browsedEntry_ ? QString::fromStdString(installations_.back()) : QString();
    const std::optional<QString> chosen = prompts().chooseFolder(this, frame_.text(753), start);
    if (!chosen) return false;
    const std::string path = BrowsedPath(*chosen);
    if (!IsInstallation(path)) {
        frame_.message(this, frame_.formatText(565, {QString::fromStdString(path)}), 544,
                       MsgIcon::Error);
        return false;
    }
    if (browsedEntry_) {
        installations_.back() = path;
        installBox_->setItemText(installBox_->count() - 1, QString::fromStdString(path));
        installBox_->setCurrentIndex(installBox_->count() - 1);
        return true;
    }
    for (std::size_t i = 0; i < installations_.size(); ++i) {
        if (SamePath(installations_[i], path)) {
            installBox_->setCurrentIndex(static_cast<int>(i));
            return true;
        }
    }
    browsedEntry_ = true;
    installations_.push_back(path);
    installBox_->addItem(QString::fromStdString(path));
    installBox_->setCurrentIndex(installBox_->count() - 1);
    catBox_->setEnabled(true);
    return true;
}

void TImportForm::browseClick() {
    const std::string before = installation();
    // A folder chosen here is then read as one chosen in the list: its own texts, no
    // sets of the installation before.
    if (browseInstallation() && installation() != before) installationChanged();
}

std::string TImportForm::installation() const {
    const int index = installBox_->currentIndex();
    return index >= 0 && index < static_cast<int>(installations_.size())
               ? installations_[static_cast<std::size_t>(index)]
               : std::string();
}

void TImportForm::installationChanged() {
    if (installations_.empty()) return;
    const std::string path = installation();
    HostLanguage language = ReadHostLanguage(path);
    if (language.message) {
        if (language.message->text == kTextNoLanguageEntry)
            frame_.message(this, frame_.text(kTextNoLanguageEntry), 544, MsgIcon::Warning);
        else
            frame_.reportError(this, *language.message);
    }
    if (!language.fileName.empty()) hostTextFile_ = language.fileName;
    catBox_->setCurrentIndex(0);
    if (isVisible() && !language.fileName.empty()) {
        HostTexts texts = LoadHostTexts(path, hostTextFile_);
        hostTexts_ = std::move(texts.table);
        if (texts.message) frame_.reportError(this, *texts.message);
    }
    discardSets();
    refreshInfo();
}

void TImportForm::discardSets() {
    lastSet_ = -2;
    setList_->clear();
    clearVehicleBox();
    sets_.clear();
}

void TImportForm::clearVehicleBox() {
    vehicleBox_->clear();
    static_cast<VehicleLineDelegate*>(vehicleBox_->itemDelegate())->forget();
}

void TImportForm::showProgress(int text, int setNumber) {
    QString line;
    if (text != 0) line = frame_.text(text);
    if (text != 0 && setNumber >= 0)
        line = FormatQText(QStringLiteral("%s %.5d"), {line, setNumber});
    status_->setText(line);
}

void TImportForm::categoryChanged() {
    discardSets();
    const int index = catBox_->currentIndex();
    if (index <= 0 || index >= kCategoryCount || installations_.empty()) {
        refreshInfo();
        return;
    }
    QCollator collator;  // the user's locale
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const HostNameLess less = [&collator](std::string_view a, std::string_view b) {
        return collator.compare(FromCp1252(std::string(a)), FromCp1252(std::string(b))) < 0;
    };
    Catalogue catalogue =
        LoadCatalogue(installation(), kHostCategoryFilters[static_cast<std::size_t>(index)],
                      hostTexts_, less, [this](int text, int set) { showProgress(text, set); });
    status_->setText(QString());
    for (const Message& m : catalogue.messages) frame_.reportError(this, m);
    sets_ = std::move(catalogue.sets);
    for (const HostSet& set : sets_) setList_->addItem(FromCp1252(set.name));
    setList_->setCurrentRow(-1);
    refreshInfo();
}

void TImportForm::setListClick() {
    const int row = setList_->currentRow();
    if (row < 0 || row == lastSet_) return;
    lastSet_ = row;
    clearVehicleBox();
    const auto count = sets_[static_cast<std::size_t>(row)].vehicles.size();
    for (std::size_t i = 0; i < count; ++i) vehicleBox_->addItem(QString());
    if (count > 0) vehicleBox_->setCurrentRow(0);
    refreshInfo();
}

bool TImportForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == vehicleBox_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            showMagnified();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TImportForm::showMagnified() {
    const HostVehicle* vehicle = selectedVehicle();
    if (!vehicle) return;
    const QRect line = vehicleBox_->visualItemRect(vehicleBox_->currentItem());
    const QRect screen = vehicleBox_->screen()->availableGeometry();
    const VehicleRec rec = HostVehicleRecord(*vehicle);
    // Four screen pixels a pixel where the screen has room for that, else two.
    const int zoom = 4 * rec.Length + 2 * MagnifiedVehicle::kMargin <= screen.width() ? 4 : 2;
    auto* popup = new MagnifiedVehicle(rec, zoom, this);
    // Centred below the line, as a tooltip, and kept on the screen.
    const QPoint below = vehicleBox_->viewport()->mapToGlobal(
        QPoint(line.center().x() - popup->width() / 2, line.bottom() + 1));
    const QPoint last(std::max(screen.left(), screen.right() + 1 - popup->width()),
                      std::max(screen.top(), screen.bottom() + 1 - popup->height()));
    popup->move(std::clamp(below.x(), screen.left(), last.x()),
                std::clamp(below.y(), screen.top(), last.y()));
    popup->show();
}

const HostVehicle* TImportForm::selectedVehicle() const {
    const int set = setList_->currentRow();
    const int vehicle = vehicleBox_->currentRow();
    if (set < 0 || set != lastSet_ || set >= static_cast<int>(sets_.size()) || vehicle < 0)
        return nullptr;
    const auto& vehicles = sets_[static_cast<std::size_t>(set)].vehicles;
    return vehicle < static_cast<int>(vehicles.size())
               ? &vehicles[static_cast<std::size_t>(vehicle)]
               : nullptr;
}

std::string TImportForm::alternativeFile(const HostVehicle& vehicle) const {
    const std::string path = AlternativeZoom2Path(
        installation(), sets_[static_cast<std::size_t>(lastSet_)].number, vehicle.position);
    return QFileInfo(QString::fromStdString(path)).isFile() ? path : std::string();
}

void TImportForm::refreshInfo() {
    insertBtn_->setEnabled(vehicleBox_->currentRow() >= 0);
    const HostVehicle* vehicle = selectedVehicle();
    if (!vehicle) {
        motLabel_->clear();
        for (QLabel* l : info_) l->clear();
        labZ2_->clear();
        for (QWidget* w : {static_cast<QWidget*>(imageBD_), static_cast<QWidget*>(imageSD_),
                           static_cast<QWidget*>(rbStandard_), static_cast<QWidget*>(rbAlter_)})
            w->hide();
        return;
    }
    const VehicleRec& rec = vehicle->data;
    motLabel_->setText(frame_.text((rec.Props & kMotorized) ? 778 : 779));
    imageSD_->show();
    imageBD_->setVisible(!(rec.Props & kSingleEnded));
    for (std::size_t i = 0; i < info_.size(); ++i) info_[i]->setText(FromCp1252(rec.Info[i]));
    const bool standard = rec.Zoom2Exists;
    const bool alternative = !alternativeFile(*vehicle).empty();
    rbStandard_->setVisible(standard);
    rbAlter_->setVisible(alternative);
    labZ2_->setText(frame_.text(standard || alternative ? 780 : 783));
    if (!alternative) rbStandard_->setChecked(true);
    if (alternative && !standard) {
        rbAlter_->setChecked(true);
        rbAlter_->move(kStandardPlace);
    } else {
        rbAlter_->move(kAlternativePlace);
    }
}

void TImportForm::insertClick() {
    const HostVehicle* vehicle = selectedVehicle();
    if (!vehicle) return;
    // Without a fleet window the copy would only be discarded.
    TChildForm* active = frame_.activeChild();
    if (!active || active->kindTag() != TChildForm::kFleetKind) return;
    const std::string alternative =
        rbAlter_->isChecked() ? alternativeFile(*vehicle) : std::string();
    auto* fleet = static_cast<TFleetForm*>(active);
    if (fleet->InsertVehicle(fleet->vehicleBox()->selectedRow(),
                             std::make_unique<VehicleRec>(InsertCopy(*vehicle, alternative))) >= 0)
        fleet->MarkModified();
}

#ifdef Q_OS_WIN
std::vector<std::string> InstallationsInRegistryKey(const QString& keyPath) {
    std::vector<std::string> found;
    const QString mark = QString::fromLatin1(kHostPathValueMark.data(), kHostPathValueMark.size());
    for (const RegistryEntry& value : RegistryValues(keyPath)) {
        if (value.type != REG_SZ || !value.name.contains(mark, Qt::CaseSensitive)) continue;
        const std::string path = RegistryString(value.data).toStdString();
        if (IsInstallation(path)) found.push_back(path);
    }
    return found;
}
#endif

std::vector<std::string> RegistryInstallations() {
#ifdef Q_OS_WIN
    return InstallationsInRegistryKey(
        QString::fromLatin1(kHostRegistryKey.data(), kHostRegistryKey.size()));
#else
    return WineInstallations(WinePrefix([](const char* name) -> std::optional<std::string> {
        if (!qEnvironmentVariableIsSet(name)) return std::nullopt;
        return qEnvironmentVariable(name).toStdString();
    }));
#endif
}

}  // namespace rvk
