// The lower panel of the vehicle window: the four sizes, the property bits, the
// presence of Zoom2 graphics and the five info strings. The controls keep no state:
// FillControls rebuilds them from the record for the current scale, and every handler
// writes straight into the record.
#pragma once

#include <QObject>
#include <QString>
#include <array>

#include "platform/prompts.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace rvk {

class LangTexts;
class UpDown;
class ControlsTarget;

class VehicleControls : public QObject {
public:
    // Builds the controls into the two pages and the info panel of form.
    VehicleControls(ControlsTarget& form, LangTexts& texts, QWidget* sizeSheet, QWidget* propsSheet,
                    QWidget* infoPanel);

    void ApplyTexts();
    void FillControls();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSizeSheet(QWidget* sheet);
    void buildPropsSheet(QWidget* sheet);
    void buildInfoPanel(QWidget* panel);

    void ApplyScaleLimits();
    // Stores the position of `changed` (nullptr: none) into the record, then refreshes
    // the labels and the layout. Unchanged up-downs are not stored, so a size outside
    // its range in a record stays as it is until the user changes it.
    void ApplySizes(const UpDown* changed);
    void upDownClick(const UpDown* upDown);
    void steamCheck();
    // Sets ud0 to hold a steam point reaching to `end` and stores the new length.
    void lengthenTo(int end);
    // A property box was clicked; stepName names its undo step.
    void propsClick(int stepName);
    void infoChange();
    void zoom2Click();
    void setCheckedQuietly(QCheckBox* box, bool checked);
    MsgAnswer ask(int text, int caption, MsgIcon icon, MsgButtons buttons);

    ControlsTarget& form_;
    LangTexts& texts_;
    bool filling_ = false;  // set while the controls are filled from the record

    std::array<UpDown*, 4> upDowns_{};     // ud0..ud3
    std::array<QLabel*, 4> sizeLabels_{};  // labLength, labHeightS, labWidth, labHeightF
    std::array<QString, 4> sizeTexts_;     // the labels' language texts
    QCheckBox* cbSE_ = nullptr;
    QCheckBox* cbMotor_ = nullptr;
    QCheckBox* cbRev_ = nullptr;
    QCheckBox* cbLwx_ = nullptr;
    QCheckBox* cbExtra_ = nullptr;
    QCheckBox* cbZoom2_ = nullptr;
    std::array<QLineEdit*, 5> infos_{};  // Info0..Info4
    QWidget* infoPanel_ = nullptr;
};

}  // namespace rvk
