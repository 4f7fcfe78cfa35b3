#include "editor/trace_picture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/qt_support.h"
#include "editor/vehicle_form.h"
#include "editor/vehicle_owner.h"
#include "records/view_layout.h"
#include "platform/file_names.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"
#include "shell/frame.h"

namespace rvk {

namespace {

constexpr int kMaxOffset = 4096;

}  // namespace

TracePicture::TracePicture(VehicleForm& form, LangTexts& texts, QWidget* parent)
    : QWidget(parent), form_(form), texts_(texts) {
    setObjectName(QStringLiteral("TraceBar"));
    // Two rows, so that the bar fits a vehicle window of its default width.
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 1, 2, 1);
    rows->setSpacing(1);
    auto* first = new QHBoxLayout;
    auto* second = new QHBoxLayout;
    for (QHBoxLayout* row : {first, second}) {
        row->setSpacing(4);
        rows->addLayout(row);
    }
    const auto label = [this](QHBoxLayout* row, const char* name, const char* text,
                              QWidget* buddy) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(buddy);
        row->addWidget(l);
        row->addWidget(buddy);
    };
    shown_ = new QCheckBox(QStringLiteral("Show"), this);
    shown_->setObjectName(QStringLiteral("cbTraceShown"));
    first->addWidget(shown_);
    view_ = new QComboBox(this);
    view_->setObjectName(QStringLiteral("cbTraceView"));
    view_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int v = 0; v < kViewCount; ++v) view_->addItem(QString::number(v));
    first->addWidget(view_);
    under_ = new QCheckBox(QStringLiteral("Under"), this);
    under_->setObjectName(QStringLiteral("cbTraceUnder"));
    first->addWidget(under_);
    first->addStretch(1);
    auto* remove = new QToolButton(this);
    remove->setObjectName(QStringLiteral("bTraceRemove"));
    remove->setText(QStringLiteral("x"));
    remove->setAutoRaise(true);
    first->addWidget(remove);
    opacity_ = new QSpinBox(this);
    opacity_->setObjectName(QStringLiteral("seTraceOpacity"));
    opacity_->setRange(0, 100);
    opacity_->setSuffix(QStringLiteral(" %"));
    label(second, "lTraceOpacity", "Opacity:", opacity_);
    x_ = new QSpinBox(this);
    x_->setObjectName(QStringLiteral("seTraceX"));
    y_ = new QSpinBox(this);
    y_->setObjectName(QStringLiteral("seTraceY"));
    for (QSpinBox* s : {x_, y_}) s->setRange(-kMaxOffset, kMaxOffset);
    label(second, "lTraceOffset", "Offset:", x_);
    second->addWidget(y_);
    scale_ = new QDoubleSpinBox(this);
    scale_->setObjectName(QStringLiteral("seTraceScale"));
    scale_->setRange(0.01, kMaxScale);
    scale_->setDecimals(3);
    scale_->setSingleStep(0.25);
    label(second, "lTraceScale", "Scale:", scale_);
    second->addStretch(1);
    connect(remove, &QToolButton::clicked, this, &TracePicture::Remove);

    for (QCheckBox* c : {shown_, under_}) connect(c, &QCheckBox::toggled, this, &TracePicture::controlsChanged);
    connect(view_, &QComboBox::currentIndexChanged, this, &TracePicture::controlsChanged);
    for (QSpinBox* s : {opacity_, x_, y_})
        connect(s, &QSpinBox::valueChanged, this, &TracePicture::controlsChanged);
    connect(scale_, &QDoubleSpinBox::valueChanged, this, &TracePicture::controlsChanged);
    hide();
}

void TracePicture::AddMenuItem(QMenu* menu) {
    item_ = menu->addAction(QStringLiteral("Picture to trace..."));
    item_->setObjectName(QStringLiteral("iTrace"));
    connect(item_, &QAction::triggered, this, &TracePicture::choose);
}

void TracePicture::ApplyTexts(LangTexts& texts) {
    item_->setText(LookupQText(texts, 858));
    shown_->setText(FormatQText(LookupQText(texts, 866), {QKeySequence(kToggleKey).toString()}));
    findChild<QLabel*>(QStringLiteral("lTraceOpacity"))->setText(LookupQText(texts, 860));
    findChild<QLabel*>(QStringLiteral("lTraceOffset"))->setText(LookupQText(texts, 862));
    findChild<QLabel*>(QStringLiteral("lTraceScale"))->setText(LookupQText(texts, 861));
    under_->setText(LookupQText(texts, 863));
    for (int v = 0; v < kViewCount; ++v) view_->setItemText(v, LookupQText(texts, 620 + v));
}

QString TracePicture::settingsKey() const {
    // The companion file name stands for the vehicle's place in its document.
    return QStringFromPath(form_.OwnerFleetWindow()->CompanionFileName(form_.Record()));
}

void TracePicture::Restore() {
    const QVariantMap kept = SettingsStore().tracePicture(settingsKey());
    if (kept.isEmpty()) return;
    TraceParams params;
    params.file = kept.value(QStringLiteral("file")).toString();
    params.view = std::clamp(kept.value(QStringLiteral("view")).toInt(), 0, kViewCount - 1);
    params.opacity = std::clamp(kept.value(QStringLiteral("opacity")).toInt(), 0, 100);
    params.x = kept.value(QStringLiteral("x")).toInt();
    params.y = kept.value(QStringLiteral("y")).toInt();
    params.scale = std::clamp(kept.value(QStringLiteral("scale")).toDouble(), 0.01, kMaxScale);
    params.under = kept.value(QStringLiteral("under")).toBool();
    params.shown = kept.value(QStringLiteral("shown")).toBool();
    if (Load(params)) return;
    SettingsStore().setTracePicture(settingsKey(), {});
    LangTexts& texts = texts_;
    prompts().message(&form_, FormatQText(LookupQText(texts, 864), {params.file}),
                      LookupQText(texts, 543), MsgIcon::Warning, MsgButtons::Ok);
}

bool TracePicture::Load(const TraceParams& params) {
    QImageReader reader(params.file);
    QImage picture = reader.read();
    if (picture.isNull()) return false;
    picture_ = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    params_ = params;
    layerKey_.clear();
    showParams();
    show();
    remember();
    form_.PaintAllViews();
    return true;
}

void TracePicture::Remove() {
    picture_ = QImage();
    layer_ = layerUnder_ = QImage();
    layerKey_.clear();
    hide();
    SettingsStore().setTracePicture(settingsKey(), {});
    form_.PaintAllViews();
}

void TracePicture::Toggle() {
    if (Active()) shown_->toggle();
}

void TracePicture::choose() {
    LangTexts& texts = texts_;
    const QString folder = Active() ? QFileInfo(params_.file).absolutePath() : QString();
    const std::optional<QString> file =
        prompts().openFile(&form_, LookupQText(texts, 865),
                           LookupQText(texts, 859) + QStringLiteral("|*.png;*.jpg;*.jpeg|") +
                               LookupQText(texts, 511) + QStringLiteral("|*.*"),
                           folder, QString());
    if (!file) return;
    TraceParams params = params_;
    params.file = *file;
    params.shown = true;
    if (!Load(params))
        prompts().message(&form_, FormatQText(LookupQText(texts, 867), {*file}),
                          LookupQText(texts, 544), MsgIcon::Error, MsgButtons::Ok);
}

void TracePicture::showParams() {
    filling_ = true;
    shown_->setChecked(params_.shown);
    view_->setCurrentIndex(params_.view);
    opacity_->setValue(params_.opacity);
    x_->setValue(params_.x);
    y_->setValue(params_.y);
    scale_->setValue(params_.scale);
    under_->setChecked(params_.under);
    filling_ = false;
}

void TracePicture::controlsChanged() {
    if (filling_) return;
    params_.shown = shown_->isChecked();
    params_.view = view_->currentIndex();
    params_.opacity = opacity_->value();
    params_.x = x_->value();
    params_.y = y_->value();
    params_.scale = scale_->value();
    params_.under = under_->isChecked();
    remember();
    form_.PaintAllViews();
}

void TracePicture::remember() {
    SettingsStore().setTracePicture(
        settingsKey(), {{QStringLiteral("file"), params_.file},
                        {QStringLiteral("view"), params_.view},
                        {QStringLiteral("opacity"), params_.opacity},
                        {QStringLiteral("x"), params_.x},
                        {QStringLiteral("y"), params_.y},
                        {QStringLiteral("scale"), params_.scale},
                        {QStringLiteral("under"), params_.under},
                        {QStringLiteral("shown"), params_.shown}});
}

void TracePicture::prepareLayer(QSize screen, int zoom) {
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                            .arg(screen.width())
                            .arg(screen.height())
                            .arg(zoom)
                            .arg(params_.x)
                            .arg(params_.y)
                            .arg(params_.scale)
                            .arg(params_.opacity)
                            .arg(params_.under);
    if (key == layerKey_) return;
    layerKey_ = key;
    layer_ = QImage(screen, QImage::Format_ARGB32_Premultiplied);
    layer_.fill(Qt::transparent);
    {
        QPainter p(&layer_);
        // Nearest neighbour keeps the pixels of a picture drawn at whole multiples sharp.
        const bool whole = params_.scale == std::floor(params_.scale);
        p.setRenderHint(QPainter::SmoothPixmapTransform, !whole);
        p.setOpacity(params_.opacity / 100.0);
        const double s = params_.scale * zoom;
        p.drawImage(QRectF(params_.x * zoom, params_.y * zoom, picture_.width() * s,
                           picture_.height() * s),
                    picture_);
    }
    if (!params_.under) return;
    layerUnder_ = QImage(screen, QImage::Format_RGB32);
    layerUnder_.fill(ScreenColor(DisplayColor(kTransparent, 0)));
    QPainter(&layerUnder_).drawImage(0, 0, layer_);
}

void TracePicture::Paint(QImage& buffer, QSize screen, int view, int zoom) {
    if (!Active() || !params_.shown || view != params_.view || screen.isEmpty()) return;
    prepareLayer(screen, zoom);
    if (!params_.under) {
        QPainter(&buffer).drawImage(0, 0, layer_);
        return;
    }
    // Under the pixels: the transparent cells show the picture instead of their colour.
    const VehicleRec& rec = *form_.Record();
    const bool zoom2 = form_.ShowsZoom2();
    const ConstPlaneRef plane = PlaneOf(&rec, view, zoom2);
    const int rowOffset = RowOffset(rec, view, zoom2);
    const int columns = screen.width() / zoom;
    for (int row = 0; row * zoom < screen.height(); ++row) {
        for (int col = 0; col < columns;) {
            if (plane.plane->at(col, row + rowOffset) != kTransparent) {
                ++col;
                continue;
            }
            const int first = col;
            while (col < columns && plane.plane->at(col, row + rowOffset) == kTransparent) ++col;
            const std::size_t bytes = static_cast<std::size_t>(col - first) * zoom * 4;
            for (int y = row * zoom; y < (row + 1) * zoom; ++y)
                std::memcpy(buffer.scanLine(y) + first * zoom * 4,
                            layerUnder_.constScanLine(y) + first * zoom * 4, bytes);
        }
    }
}

}  // namespace rvk
