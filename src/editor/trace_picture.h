// A picture to trace (PNG or JPEG, any size) shown over or under one view of a vehicle
// window: half see-through, placed and scaled freely. It changes no pixel of the
// vehicle and is not part of the document; the settings keep it per vehicle place of a
// document, so it comes back when the document is opened again.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include "records/vehicle.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QMenu;
class QSpinBox;

namespace rvk {

class LangTexts;
class VehicleForm;

struct TraceParams {
    QString file;
    int view = 1;
    int opacity = 50;  // percent
    int x = 0;         // the picture's top-left corner in the view's visible cells
    int y = 0;
    double scale = 1;  // vehicle pixels per picture pixel
    bool under = false;
    bool shown = true;
};

// The bar with the picture's settings; hidden while there is no picture.
class TracePicture : public QWidget {
    Q_OBJECT
public:
    // The key that shows and hides the picture.
    static constexpr Qt::Key kToggleKey = Qt::Key_T;
    static constexpr double kMaxScale = 16;

    TracePicture(VehicleForm& form, LangTexts& texts, QWidget* parent);

    // The Layout menu item that chooses the picture.
    void AddMenuItem(QMenu* menu);
    void ApplyTexts(LangTexts& texts);
    // Takes the picture the settings keep for this vehicle; one that cannot be read any
    // more is dropped from them, and the user is told.
    void Restore();
    // Reads the picture and shows it with params; false when it cannot be read.
    bool Load(const TraceParams& params);
    void Remove();
    void Toggle();
    const TraceParams& Params() const { return params_; }
    bool Active() const { return !picture_.isNull(); }
    // Over or under the cells of `view` as they were just painted into buffer (screen
    // pixels of the view from its top-left corner).
    void Paint(QImage& buffer, QSize screen, int view, int zoom);

private:
    void choose();
    void controlsChanged();
    void remember();
    QString settingsKey() const;
    void showParams();
    // The picture at the view's zoom with its opacity, and for `under` also on the
    // panel colour of transparent cells; made again only when something changed.
    void prepareLayer(QSize screen, int zoom);

    VehicleForm& form_;
    LangTexts& texts_;
    TraceParams params_;
    QImage picture_;
    QImage layer_;       // premultiplied, the view's screen size
    QImage layerUnder_;  // layer_ over the colour of transparent cells
    QString layerKey_;   // what layer_ was made for
    bool filling_ = false;
    QAction* item_ = nullptr;
    QComboBox* view_ = nullptr;
    QSpinBox* opacity_ = nullptr;
    QSpinBox* x_ = nullptr;
    QSpinBox* y_ = nullptr;
    QDoubleSpinBox* scale_ = nullptr;
    QCheckBox* under_ = nullptr;
    QCheckBox* shown_ = nullptr;
};

}  // namespace rvk
