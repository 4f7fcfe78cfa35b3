// The live preview beside a vehicle window's views: both side views at 1:1 and 2:1 on
// the simulation's backgrounds, at daylight and the three night levels at once, or one
// level after the other as the simulation switches its window groups.
#pragma once

#include <QImage>
#include <QWidget>

#include "records/pixel.h"

class QAction;
class QCheckBox;
class QMenu;
class QScrollArea;
class QSplitter;
class QTimer;

namespace rvk {

class LangTexts;
class VehicleForm;

class PreviewPane : public QWidget {
    Q_OBJECT
public:
    // Steps of the animation, one per switch of the window groups.
    static constexpr int kAnimationMs = 900;

    // The pane takes the right part of splitter, beside what the splitter holds; whether
    // it is shown and how the splitter divides come from the settings.
    PreviewPane(const VehicleForm& form, QSplitter* splitter);

    // The Layout menu item that shows and hides the pane.
    void AddMenuItem(QMenu* menu);
    void ApplyTexts(LangTexts& texts);
    // Draws the vehicle anew as it is now, at once, and has the pane repaint.
    void Refresh();
    const QImage& Picture() const { return picture_; }
    bool Animated() const;
    // The level shown while animated.
    NightLevel AnimatedLevel() const { return animatedLevel_; }

private:
    void setShown(bool shown);
    void step();

    const VehicleForm& form_;
    QSplitter* splitter_;
    QImage picture_;
    NightLevel animatedLevel_ = 0;
    QCheckBox* animate_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* canvas_ = nullptr;
    QTimer* timer_ = nullptr;
    QAction* item_ = nullptr;
};

}  // namespace rvk
