// The graphics editor of one vehicle: its eight views side by side, magnified, at
// normal or Zoom2 scale, with the mouse tools, undo and redo. The window edits a
// record owned by its fleet and keeps only view state of its own.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <array>
#include <optional>
#include <string>

#include "editor/controls_target.h"
#include "editor/shift_target.h"
#include "editor/steam_target.h"
#include "records/draw_tools.h"
#include "records/image_clip.h"
#include "records/undo_history.h"
#include "records/view_layout.h"
#include "shell/child_form.h"

class QAction;
class QActionGroup;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QMouseEvent;
class QWheelEvent;
class QPushButton;
class QScrollArea;
class QTabBar;
class QTabWidget;
class QToolButton;

namespace rvk {

class PreviewPane;
class TracePicture;
class VehicleControls;
class VehicleOwner;
class VehicleTools;

// The two selection corners: the view of each and its point in plane coordinates.
struct VehicleSelection {
    int SelView1 = 1;  // vLeft
    CellPoint SelPoint1{0, 0};
    int SelView2 = 0;  // vRight: no selection until both corners share a view
    CellPoint SelPoint2{0, 0};
};

class VehicleForm : public TChildForm,
                    public SteamTarget,
                    public ShiftTarget,
                    public ControlsTarget {
    Q_OBJECT

public:
    static constexpr QSize kDefaultSize{720, 513};

    // The editor of record, to be put into the frame's child-window area. The owner is
    // told about every change and when the window closes; tools supplies the drawing
    // tool, the mouse colours and the other settings all vehicle windows share.
    VehicleForm(VehicleOwner* owner, VehicleRec* record, VehicleTools* tools);
    ~VehicleForm() override;

    QWidget* targetWidget() override { return this; }
    VehicleRec* Record() const override { return record_; }
    VehicleOwner* OwnerFleetWindow() const override { return owner_; }
    TChildForm* documentWindow() override;
    void applyTexts() override { ApplyTexts(); }
    const VehicleRec* editedVehicle() const override { return record_; }

    int Zoom() const override { return zoom_; }
    // Takes effect at the next Relayout.
    void SetZoom(int zoom) { zoom_ = zoom; }
    bool ShowsZoom2() const override;
    // Whether the panel's zoom buttons may step the zoom: in up to 16 (8 with the Zoom2
    // graphics), out down to 1 (2).
    bool CanZoom(bool in) const;
    // One zoom step of the panel (1, 2, 4, ..., 16; by 1 with the Zoom2 graphics), then
    // Relayout. With an anchor, a point of the scroll box's viewport, the scroll box
    // keeps the same spot of the vehicle under it.
    void StepZoom(bool in, std::optional<QPoint> anchor = std::nullopt);
    // The largest zoom step at which the whole layout fits the window without scrolling
    // (the smallest step when none does), then Relayout.
    void FitZoom();

    const VehicleSelection& Selection() const { return selection_; }
    void SetSelection(const VehicleSelection& selection) { selection_ = selection; }
    // The selected cells when both corners lie in one view, limited to its plane.
    std::optional<CellRect> SelectionRect() const;

    bool PlacingSteam() const { return placingSteam_; }
    // The window waits for a click into the left side view that places a steam point;
    // the view shows the band in which it may go.
    void BeginSteamPlacing(int slot) override;
    int SteamPlacingSlot() const override { return steamSlot_; }
    // Placing is over, with a new point or without; the steam points dialog comes back.
    void EndSteamPlacing(bool placed) override;

    void PaintView(int view);
    void PaintAllViews() override;
    void Relayout() override;
    void NoteChange() override;
    void UpdateCaption() override;
    void ApplyTexts();
    void UpdateTabs() override;
    // Selects the "Normal scale" tab; leaving the Zoom2 tab adjusts the zoom.
    void ShowNormalTab() override;
    void BeginStep(int name) override;
    void EndStep() override;
    void SetViewCursor(const QCursor& cursor);
    void Undo();
    void Redo();
    // The selection to the clipboard, in the program's own format and as a plain
    // bitmap; without a selection in one view the user is told so.
    void CopySelection();
    // The clipboard's image with its top-left pixel at the selection's top-left corner.
    void PasteSelection();
    void Transform(TransformKind kind);
    // The selection frame by one step, and with withPixels its pixels along as one undo
    // step: the cells they leave become transparent, what goes beyond the plane's right
    // or bottom edge is dropped. The frame's top-left cell stays on the visible rows.
    void MoveSelection(int dx, int dy, bool withPixels);
    // The selection as a PNG picture (and on request its types picture), the whole
    // vehicle as the Layout 1 picture at a chosen zoom, and a picture (with its types
    // picture when one lies beside it) into the selection as one undo step.
    void ExportSelection();
    void ExportViews();
    void ImportPicture();
    // Moves the end views by count rows, carrying the roof halves' last roof rows along,
    // and changes the end-view height of the scale shown. The roof rows carried, or
    // nothing when the shift does not fit the end views.
    std::optional<int> ShiftEndViews(int count, int roof, bool up) override;

    QWidget* View(int view) const override;
    const VehicleLayout& Layout() const { return layout_; }
    // The vehicle as view `view` shows it now, as PaintView draws it.
    QImage RenderView(int view);
    PreviewPane* Preview() const { return preview_; }
    TracePicture* Trace() const { return trace_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape ends placing a steam point; the window sees keys its controls leave.
    // Space held: the left button pans the views.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void endSpacePan();

private:
    friend class ViewBox;
    friend class ViewArea;

    void buildMenus();
    // The keys of the tools, the day/night level, the fit zoom and the selection moves.
    void buildKeys();
    void buildClipboardMenu();
    void applyClipboardTexts();
    void buildPngMenu();
    void applyPngTexts();
    // The selection; without one in a single view the user is told so.
    std::optional<CellRect> selectionOrHint();
    // A picture file from the file dialog, starting in the folder used last.
    std::optional<QString> askPictureFile(int titleText, bool forSaving);
    void reportPictureError(int text, const std::string& error);
    void buildPropsPanel();
    void tabChanged(int index);
    // Ctrl + wheel over the views: the panel's zoom steps around the pointer.
    bool wheelZoom(QWheelEvent* event);
    void placeInfoButtons();

    // Draws view `view` into the off-screen buffer; returns its size in screen pixels.
    QSize paintIntoBuffer(int view);
    // The middle button, or the left one with Space held, drags the views along; true
    // when the event belongs to such a pan.
    bool panMouse(QMouseEvent* event);
    void mouseDown(int view, QMouseEvent* event);
    void mouseMove(int view, QMouseEvent* event);
    void mouseUp(int view, QMouseEvent* event);
    void runTool(int view, ToolAction tool, bool left, int x, int y);
    // Undo or Redo brought back what a step changed: the controls, tabs, caption and views
    // show it, and it counts as an edit.
    void historyRestored();
    // The Edit menu names the step the next Undo and Redo take.
    void applyUndoTexts();
    void changeCorner(bool first, int view, CellPoint point);
    // The panel, the status bar and the other windows learn of a new selection.
    void selectionChanged();
    // The plane cell under a paint box point, when the point lies on the view.
    std::optional<CellPoint> cellAt(int view, QPoint at) const;
    // The pointer moved within view (or left the views: -1).
    void pointerAt(int view, QPoint at);
    // The status bar's second section: the view, cell and pixel under the pointer, and
    // the selection size.
    void updateStatusInfo();

    VehicleOwner* owner_;
    VehicleRec* record_;
    VehicleTools* tools_;

    int zoom_ = 4;
    bool zoom2Tab_ = false;
    bool buttonDown_ = false;
    bool strokeActive_ = false;
    CellPoint penLast_;  // the previous position of a pen drag
    bool spaceHeld_ = false;
    // Space released while the keyboard was elsewhere never reaches the window: the
    // hold ends when the focus leaves it.
    QMetaObject::Connection focusWatch_;
    Qt::MouseButton panButton_ = Qt::NoButton;
    QPoint panFrom_;  // global position of the last pan step
    bool placingSteam_ = false;
    int steamSlot_ = -1;
    int hoverView_ = -1;  // the view under the pointer, -1 for none
    CellPoint hoverCell_;
    int wheelRest_ = 0;  // wheel turn not yet used up by a zoom step
    VehicleSelection selection_;
    CellPoint shapeStart_;
    CellPoint shapeEnd_;
    PixelValue shapeColor_ = kTransparent;
    UndoHistory history_;
    VehicleLayout layout_;
    QImage buffer_;  // shared off-screen bitmap of the views

    QTabBar* tabs_ = nullptr;
    QScrollArea* scrollBox_ = nullptr;
    PreviewPane* preview_ = nullptr;  // beside the scroll box
    TracePicture* trace_ = nullptr;   // its settings bar above the scroll box
    QWidget* area_ = nullptr;
    std::array<QWidget*, kViewCount> views_{};
    QWidget* showStrip_ = nullptr;
    QPushButton* showButton_ = nullptr;
    QWidget* propsPanel_ = nullptr;
    QTabWidget* pageControl_ = nullptr;
    QWidget* infoPanel_ = nullptr;
    QLabel* infoLabel_ = nullptr;
    QToolButton* hideButton_ = nullptr;
    QToolButton* menuButton_ = nullptr;
    QMenu* layoutMenu_ = nullptr;
    QAction* layout1_ = nullptr;
    QAction* layout2_ = nullptr;
    QAction* gridAction_ = nullptr;  // iGrid
    QAction* joinAction_ = nullptr;  // iJoin
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    VehicleControls* controls_ = nullptr;  // size, property and info controls
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* exportSelectionAction_ = nullptr;
    QAction* exportViewsAction_ = nullptr;
    QAction* importPictureAction_ = nullptr;
    QAction* steamAction_ = nullptr;  // iSteam
    QAction* shiftAction_ = nullptr;  // iShift
};

}  // namespace rvk
