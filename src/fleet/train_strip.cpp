#include "fleet/train_strip.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/qt_support.h"
#include "records/vehicle_picture.h"

namespace rvk {

namespace {

// The level names, daylight first.
constexpr int kLevelTexts[] = {854, 855, 856, 857};

}  // namespace

// Shows the strip's picture; a double click opens the vehicle under the pointer.
class TrainCanvas : public QWidget {
public:
    TrainCanvas(TrainStrip& strip) : strip_(strip) {
        setObjectName(QStringLiteral("TrainCanvas"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, strip_.picture_); }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        const int index = strip_.VehicleAt(event->position().toPoint());
        if (index >= 0) strip_.open_(index);
    }

private:
    TrainStrip& strip_;
};

TrainStrip::TrainStrip(const FleetRec& fleet, std::function<void(int)> open, QWidget* parent)
    : QWidget(parent), fleet_(fleet), open_(std::move(open)) {
    setObjectName(QStringLiteral("TrainStrip"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(2, 0, 2, 0);
    level_ = new QComboBox(this);
    level_->setObjectName(QStringLiteral("cbTrainLevel"));
    level_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int i = 0; i < 4; ++i) level_->addItem(QString::number(i));
    auto* zoomLabel = new QLabel(QStringLiteral("Zoom:"), this);
    zoomLabel->setObjectName(QStringLiteral("lTrainZoom"));
    zoom_ = new QSpinBox(this);
    zoom_->setObjectName(QStringLiteral("seTrainZoom"));
    zoom_->setRange(1, kMaxZoom);
    zoom_->setValue(kDefaultZoom);
    zoomLabel->setBuddy(zoom_);
    row->addWidget(level_);
    row->addWidget(zoomLabel);
    row->addWidget(zoom_);
    row->addStretch(1);
    column->addLayout(row);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("TrainScroll"));
    canvas_ = new TrainCanvas(*this);
    scroll_->setWidget(canvas_);
    column->addWidget(scroll_, 1);
    connect(level_, &QComboBox::currentIndexChanged, this, &TrainStrip::Refresh);
    connect(zoom_, &QSpinBox::valueChanged, this, &TrainStrip::Refresh);
    Refresh();
}

void TrainStrip::ApplyTexts(LangTexts& texts) {
    for (int i = 0; i < 4; ++i) level_->setItemText(i, LookupQText(texts, kLevelTexts[i]));
    findChild<QLabel*>(QStringLiteral("lTrainZoom"))->setText(LookupQText(texts, 853));
}

NightLevel TrainStrip::Level() const {
    return level_->currentIndex();
}

int TrainStrip::Zoom() const {
    return zoom_->value();
}

void TrainStrip::SetLevel(NightLevel level) {
    level_->setCurrentIndex(level);
}

void TrainStrip::SetZoom(int zoom) {
    zoom_->setValue(zoom);
}

int TrainStrip::VehicleAt(QPoint at) const {
    for (std::size_t i = 0; i < places_.size(); ++i) {
        const Rect& r = places_[i];
        if (at.x() >= r.x && at.x() < r.right() && at.y() >= 0 && at.y() < picture_.height())
            return static_cast<int>(i);
    }
    return -1;
}

void TrainStrip::Refresh() {
    // A hidden strip costs nothing; showing it draws it.
    if (isHidden()) return;
    const int zoom = Zoom();
    places_ = TrainPlaces(fleet_, zoom);
    const PictureSize size = TrainSize(places_);
    Canvas canvas = CanvasOf(picture_, size.width, size.height);
    canvas_->setFixedSize(size.width, size.height);
    DrawTrain(canvas, fleet_, places_, Level(), zoom);
    canvas_->update();
}

}  // namespace rvk
