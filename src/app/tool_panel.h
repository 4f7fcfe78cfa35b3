// The panel along the right edge of the main window: drawing tool, mouse colours with
// their colour types, day/night level, single-selection mode, and the buttons that act
// on the active vehicle window. The vehicle windows read this state whenever they draw
// or paint; the panel repaints, re-lays out or re-cursors them when it changes.
#pragma once

#include <QList>
#include <QWidget>
#include <array>
#include <vector>

#include "editor/tool_cursors.h"
#include "editor/vehicle_tools.h"
#include "platform/settings_store.h"
#include "records/draw_tools.h"
#include "records/pixel.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QToolBar;
class QToolButton;

namespace rvk {

class ColorSwatches;
struct ColorUse;
class LangTexts;
class VehicleForm;

// The vehicle window shown in an MDI child, or nullptr for any other kind of child.
VehicleForm* VehicleFormOf(QMdiSubWindow* sub);

class ToolPanel : public QWidget, public VehicleTools {
    Q_OBJECT

public:
    static constexpr int kWidth = 206;

    // texts: the program's language texts, used for the selection label and by the
    // vehicle windows; they outlive the panel.
    explicit ToolPanel(LangTexts& texts, QWidget* parent = nullptr);
    ~ToolPanel() override;

    // The frame's child-window area; the panel follows its activation changes.
    void setMdiArea(QMdiArea* area);
    QMdiArea* mdiArea() const { return mdi_; }
    LangTexts& texts() const override { return texts_; }

    // Every vehicle window in the frame's order, and the active one (or nullptr).
    QList<VehicleForm*> vehicleWindows() const;
    VehicleForm* activeVehicleWindow() const;

    PixelValue MouseColor(int button) const override { return mouseColors_[button]; }
    PixelValue SavedColor(int button) const { return savedColors_[button]; }
    PanelTool PressedTool() const override;
    void PressTool(PanelTool tool) override;
    // Cursor number of the pressed tool.
    int CurrentTool() const override;
    NightLevel CurrentNightLevel() const override;
    void StepNightLevel() override;
    QString ColorTypeName(ColorType type) const override;
    bool SingleSelection() const override;
    void setSingleSelection(bool on);
    int ViewLayout() const override { return viewLayout_; }

    void SetMouseColor(int button, PixelValue value, bool selectType) override;
    void SetViewCursor(int cursor);
    void SetViewLayout(int layout) override;
    bool JoinStrokes() const override { return joinStrokes_; }
    void SetJoinStrokes(bool on) override { joinStrokes_ = on; }
    int UndoSteps() const override { return undoSteps_; }
    void SetUndoSteps(int steps) { undoSteps_ = steps; }
    bool CellGrid() const override { return cellGrid_; }
    void SetCellGrid(bool on) override;
    void UpdateSelectionInfo() override;
    void UpdateZoomButtons() override;
    void SyncSelection(VehicleForm* source) override;
    void VehicleChanged(const VehicleForm* form) override;
    void ZoomIn();
    void ZoomOut();

    // The panel rows of the main window's texts; each looked up once (removed after use).
    void applyTexts();
    // The last distinct mouse colours, the latest first.
    static constexpr std::size_t kRecentColorCount = 16;
    const std::vector<PixelValue>& RecentColors() const { return recentColors_; }
    void SetRecentColors(std::vector<PixelValue> colors);

    // bSave follows the number of open documents.
    void setSaveEnabled(bool enabled);

signals:
    // bSave: the main window's Save command.
    void saveRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildColorGroup();
    void buildToolBar();
    void buildDaylightGroup();
    void buildBottomPanel();
    // The typed colours, the recent colours and the palette of the active vehicle window.
    void buildPalette();
    void chooseColor(int button);
    // A colour from the dialog or typed: it keeps the button's colour type unless that
    // is see-through.
    void takeColor(int button, const QColor& chosen);
    void showTypedColor(int button);
    void noteRecentColor(PixelValue value);
    // Counted anew at each change: the drawing of the largest vehicle takes a tenth of a
    // millisecond (bench/color_count_bench).
    void refreshPalette();
    QString describeColor(const ColorUse& use) const;
    void colorTypeChanged(int button, int item);
    void toolChanged();
    void nightLevelChanged();
    void singleSelectionToggled(bool on);
    void activeWindowChanged();

    LangTexts& texts_;
    QMdiArea* mdi_ = nullptr;
    // The frame's activation and the application's focus changes; cut at destruction.
    std::array<QMetaObject::Connection, 2> watches_;

    std::array<PixelValue, 2> mouseColors_{0x00FFFFFFu, kTransparent};
    std::array<PixelValue, 2> savedColors_{0x00FFFFFFu, kTransparent};
    int viewLayout_ = 0;

    QGroupBox* colorGroup_ = nullptr;
    std::array<QWidget*, 2> swatches_{};  // sFG, sBG
    std::array<QLabel*, 2> colorLabels_{};
    std::array<QComboBox*, 2> typeBoxes_{};
    bool cellGrid_ = false;
    bool joinStrokes_ = true;
    int undoSteps_ = kDefaultUndoSteps;
    QToolBar* toolBar_ = nullptr;
    std::array<QAction*, 6> toolActions_{};  // in PanelTool order
    QAction* zoomIn_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QCheckBox* singleSel_ = nullptr;
    QGroupBox* daylightGroup_ = nullptr;
    std::array<QRadioButton*, 4> nightButtons_{};  // rbDaylight, rbNight012, rbNight01, rbNight0
    QLabel* selLabel_ = nullptr;
    std::array<QLineEdit*, 2> typedColors_{};  // eFG, eBG
    std::vector<PixelValue> recentColors_;
    QLabel* recentLabel_ = nullptr;
    ColorSwatches* recent_ = nullptr;
    QLabel* paletteLabel_ = nullptr;
    QScrollArea* paletteBox_ = nullptr;
    ColorSwatches* palette_ = nullptr;
    QWidget* bottomPanel_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* pasteButton_ = nullptr;
    QToolButton* mirrorHor_ = nullptr;
    QToolButton* mirrorVer_ = nullptr;
    QPushButton* rotateButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
};

}  // namespace rvk
