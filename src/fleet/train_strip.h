// The fleet as a train: its vehicles coupled in list order, the left side view of each
// from left to right, at a day/night level and zoom chosen in the strip. The fleet
// window shows it below its list.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "records/vehicle.h"
#include "records/view_layout.h"

class QComboBox;
class QScrollArea;
class QSpinBox;

namespace rvk {

class LangTexts;

class TrainStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxZoom = 8;
    static constexpr int kDefaultZoom = 2;

    // open: a double click on vehicle i of the fleet.
    TrainStrip(const FleetRec& fleet, std::function<void(int)> open, QWidget* parent);

    void ApplyTexts(LangTexts& texts);
    // Draws the fleet anew as it is now, at once, and has the strip repaint.
    void Refresh();
    const QImage& Picture() const { return picture_; }
    NightLevel Level() const;
    int Zoom() const;
    void SetLevel(NightLevel level);
    void SetZoom(int zoom);
    // The vehicle drawn at a point of the picture, -1 for none.
    int VehicleAt(QPoint at) const;
    QWidget* canvas() const { return canvas_; }

private:
    friend class TrainCanvas;

    const FleetRec& fleet_;
    std::function<void(int)> open_;
    QImage picture_;
    std::vector<Rect> places_;
    QComboBox* level_ = nullptr;
    QSpinBox* zoom_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* canvas_ = nullptr;
};

}  // namespace rvk
