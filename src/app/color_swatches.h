// A grid of colour swatches for the tool panel: each shows a pixel value's daylight
// colour with a mark of its colour type; a press with the left or right button chooses
// it for that mouse button.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "records/color_count.h"

namespace rvk {

class ColorSwatches : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCell = 16;  // swatch and the gap after it

    explicit ColorSwatches(QWidget* parent = nullptr);

    // Colours without a count (0) are shown and described without one.
    void setColors(std::vector<ColorUse> colors);
    const std::vector<ColorUse>& colors() const { return colors_; }
    // The type marks in colour-type order and the tooltip of a swatch.
    void setMarks(QStringList marks);
    void setDescriber(std::function<QString(const ColorUse&)> describe) {
        describe_ = std::move(describe);
    }
    // Where swatch i lies.
    QRect swatchRect(std::size_t i) const;
    int columns() const { return std::max(1, width() / kCell); }
    // The height all swatches need at the widget's width.
    int neededHeight() const;

signals:
    // button 0 left, 1 right.
    void chosen(int button, PixelValue value);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The swatch under a point, or the count of swatches.
    std::size_t indexAt(QPoint at) const;

    std::vector<ColorUse> colors_;
    QStringList marks_;
    std::function<QString(const ColorUse&)> describe_;
};

}  // namespace rvk
