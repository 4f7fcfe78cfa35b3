#include "editor/preview_pane.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <array>

#include "editor/qt_support.h"
#include "editor/vehicle_form.h"
#include "records/vehicle_picture.h"
#include "platform/settings_store.h"

namespace rvk {

namespace {

constexpr std::array<NightLevel, 4> kAllLevels{0, 1, 2, 3};
constexpr int kDefaultPaneWidth = 260;

// Shows the pane's picture as it is; drawing it is the pane's business.
class PreviewCanvas : public QWidget {
public:
    PreviewCanvas(const PreviewPane& pane, QWidget* parent) : QWidget(parent), pane_(pane) {
        setObjectName(QStringLiteral("PreviewCanvas"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, pane_.Picture()); }

private:
    const PreviewPane& pane_;
};

}  // namespace

PreviewPane::PreviewPane(const VehicleForm& form, QSplitter* splitter)
    : QWidget(splitter), form_(form), splitter_(splitter) {
    setObjectName(QStringLiteral("PreviewPane"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 0, 0);
    column->setSpacing(2);
    animate_ = new QCheckBox(QStringLiteral("Animate"), this);
    animate_->setObjectName(QStringLiteral("cbAnimate"));
    column->addWidget(animate_);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("PreviewScroll"));
    canvas_ = new PreviewCanvas(*this, nullptr);
    scroll_->setWidget(canvas_);
    column->addWidget(scroll_, 1);

    timer_ = new QTimer(this);
    timer_->setInterval(kAnimationMs);
    connect(timer_, &QTimer::timeout, this, &PreviewPane::step);
    connect(animate_, &QCheckBox::toggled, this, [this](bool on) {
        animatedLevel_ = 0;
        if (on)
            timer_->start();
        else
            timer_->stop();
        Refresh();
    });

    splitter_->addWidget(this);
    splitter_->setCollapsible(splitter_->indexOf(this), false);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    const SettingsStore settings;
    const QByteArray split = settings.previewSplit();
    if (split.isEmpty() || !splitter_->restoreState(split))
        splitter_->setSizes({VehicleForm::kDefaultSize.width() - kDefaultPaneWidth, kDefaultPaneWidth});
    setVisible(settings.previewShown());
    connect(splitter_, &QSplitter::splitterMoved, this,
            [this] { SettingsStore().setPreviewSplit(splitter_->saveState()); });
}

void PreviewPane::AddMenuItem(QMenu* menu) {
    item_ = menu->addAction(QStringLiteral("Preview"));
    item_->setObjectName(QStringLiteral("iPreview"));
    item_->setCheckable(true);
    item_->setChecked(!isHidden());
    connect(item_, &QAction::triggered, this, &PreviewPane::setShown);
}

void PreviewPane::ApplyTexts(LangTexts& texts) {
    item_->setText(LookupQText(texts, 850));
    animate_->setText(LookupQText(texts, 851));
}

void PreviewPane::setShown(bool shown) {
    setVisible(shown);
    SettingsStore settings;
    settings.setPreviewShown(shown);
    settings.setPreviewSplit(splitter_->saveState());
    Refresh();
}

bool PreviewPane::Animated() const {
    return animate_->isChecked();
}

void PreviewPane::step() {
    animatedLevel_ = static_cast<NightLevel>((animatedLevel_ + 1) % kAllLevels.size());
    Refresh();
}

void PreviewPane::Refresh() {
    // A hidden pane costs nothing; showing it draws it.
    if (isHidden()) return;
    const VehicleRec& rec = *form_.Record();
    const bool zoom2 = form_.ShowsZoom2();
    const std::span<const NightLevel> levels =
        Animated() ? std::span<const NightLevel>(&kAllLevels[animatedLevel_], 1)
                   : std::span<const NightLevel>(kAllLevels);
    const PictureSize size = PreviewSize(rec, zoom2, levels.size());
    Canvas canvas = CanvasOf(picture_, size.width, size.height);
    canvas_->setFixedSize(size.width, size.height);
    DrawPreview(canvas, rec, zoom2, levels);
    canvas_->update();
}

}  // namespace rvk
