#include "editor/up_down.h"

#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace rvk {

namespace {

// An arrow that reports the real release of the mouse button; auto-repeat sends its
// own released signals, which must not count as the user letting go.
class ArrowButton : public QToolButton {
public:
    ArrowButton(Qt::ArrowType arrow, std::function<void()> onMouseUp, QWidget* parent)
        : QToolButton(parent), onMouseUp_(std::move(onMouseUp)) {
        setArrowType(arrow);
        setAutoRepeat(true);
        setFocusPolicy(Qt::NoFocus);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QToolButton::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton) onMouseUp_();
    }

private:
    std::function<void()> onMouseUp_;
};

constexpr int kArrowWidth = 17;
constexpr int kArrowHeight = 11;

}  // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    const auto mouseUp = [this] { emit released(); };
    up_ = new ArrowButton(Qt::UpArrow, mouseUp, this);
    up_->setObjectName(QStringLiteral("up"));
    down_ = new ArrowButton(Qt::DownArrow, mouseUp, this);
    down_->setObjectName(QStringLiteral("down"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (QToolButton* b : {up_, down_}) {
        b->setFixedSize(kArrowWidth, kArrowHeight);
        column->addWidget(b);
    }
    // A press steps at once, as every repeat does.
    connect(up_, &QToolButton::pressed, this, [this] { step(1); });
    connect(down_, &QToolButton::pressed, this, [this] { step(-1); });
}

void UpDown::setPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
}

void UpDown::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    setPosition(position_);
}

void UpDown::step(int direction) {
    const int before = position_;
    setPosition(position_ + direction * increment_);
    if (position_ != before) emit stepped();
}

}  // namespace rvk
