#include "app/color_swatches.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "editor/qt_support.h"

namespace rvk {

ColorSwatches::ColorSwatches(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatches::setColors(std::vector<ColorUse> colors) {
    if (colors == colors_) return;
    colors_ = std::move(colors);
    update();
}

void ColorSwatches::setMarks(QStringList marks) {
    marks_ = std::move(marks);
    update();
}

QRect ColorSwatches::swatchRect(std::size_t i) const {
    const int n = static_cast<int>(i);
    return {n % columns() * kCell, n / columns() * kCell, kCell - 1, kCell - 1};
}

int ColorSwatches::neededHeight() const {
    const int count = static_cast<int>(colors_.size());
    return (count + columns() - 1) / columns() * kCell;
}

std::size_t ColorSwatches::indexAt(QPoint at) const {
    if (at.x() < 0 || at.y() < 0 || at.x() >= columns() * kCell) return colors_.size();
    const auto i = static_cast<std::size_t>(at.y() / kCell * columns() + at.x() / kCell);
    return i < colors_.size() && swatchRect(i).contains(at) ? i : colors_.size();
}

void ColorSwatches::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    QFont small = font();
    small.setPixelSize(9);
    small.setBold(true);
    p.setFont(small);
    const QRect dirty = event->rect();
    for (std::size_t i = 0; i < colors_.size(); ++i) {
        const QRect r = swatchRect(i);
        if (r.top() > dirty.bottom()) break;
        if (!r.intersects(dirty)) continue;
        const QColor c = ScreenColor(DisplayColor(colors_[i].value, 0));
        p.fillRect(r, Qt::black);
        p.fillRect(r.adjusted(1, 1, -1, -1), c);
        const ColorType type = ColorTypeOf(colors_[i].value);
        const QString mark = type < marks_.size() ? marks_[type] : QString();
        if (mark.isEmpty()) continue;
        // The mark in the lower right corner, light on dark or dark on light.
        const bool dark = c.lightness() < 128;
        p.setPen(dark ? Qt::white : Qt::black);
        p.drawText(r.adjusted(1, 0, -1, 1), Qt::AlignRight | Qt::AlignBottom, mark);
    }
}

void ColorSwatches::mousePressEvent(QMouseEvent* event) {
    const std::size_t i = indexAt(event->position().toPoint());
    if (i == colors_.size()) return;
    if (event->button() == Qt::LeftButton) emit chosen(0, colors_[i].value);
    if (event->button() == Qt::RightButton) emit chosen(1, colors_[i].value);
}

bool ColorSwatches::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const std::size_t i = indexAt(help->pos());
    if (i == colors_.size() || !describe_)
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), describe_(colors_[i]), this, swatchRect(i));
    return true;
}

}  // namespace rvk
