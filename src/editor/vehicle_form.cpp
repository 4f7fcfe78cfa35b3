#include "editor/vehicle_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "editor/move_form.h"
#include "editor/preview_pane.h"
#include "editor/trace_picture.h"
#include "editor/qt_support.h"
#include "editor/steam_form.h"
#include "editor/step_names.h"
#include "editor/tool_cursors.h"
#include "editor/vehicle_controls.h"
#include "editor/vehicle_owner.h"
#include "editor/vehicle_tools.h"
#include "records/end_view_shift.h"
#include "records/image_clip.h"
#include "records/render.h"
#include "records/vehicle_picture.h"
#include "shell/frame.h"

namespace rvk {

namespace {

constexpr RgbColor kRed = MakeRgb(0xFF, 0x00, 0x00);
constexpr RgbColor kGreen = MakeRgb(0x00, 0xFF, 0x00);
constexpr RgbColor kWhite = MakeRgb(0xFF, 0xFF, 0xFF);
constexpr int kPropsPanelHeight = 139;
constexpr int kShowStripHeight = 15;
constexpr int kInfoButtonSize = 15;
// The info strings stay readable in a narrow (tiled) window; the views' scroll box gives
// way instead.
constexpr int kInfoPanelMinWidth = 180;

// Cut, not rounded: with a fractional screen scale the pointer's position has
// fractions, and the cell under it is the one its integer part lies in.
QPoint PointerPosition(const QSinglePointEvent* event) {
    const QPointF at = event->position();
    return {static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
}

// The zoom step after z: 1, 2, 4, 6, ..., 16 at normal scale, by 1 with the Zoom2 graphics.
int NextZoom(int z, bool zoom2, bool in) {
    if (in) return z + (z == 1 || zoom2 ? 1 : 2);
    return z - (z == 2 || zoom2 ? 1 : 2);
}

}  // namespace

// One paint box: paints its view from the record and hands the mouse to the window.
class ViewBox : public QWidget {
public:
    ViewBox(VehicleForm* form, int tag, QWidget* parent) : QWidget(parent), form_(form), tag_(tag) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setObjectName(QStringLiteral("view%1").arg(tag));
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const QSize size = form_->paintIntoBuffer(tag_);
        QPainter p(this);
        p.drawImage(QPoint(0, 0), form_->buffer_, QRect(QPoint(0, 0), size));
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (form_->panMouse(e)) return;
        // A press comes without a move before it when the views changed under a resting
        // pointer (another scale tab, other sizes): the cell under it is taken anew.
        form_->pointerAt(tag_, PointerPosition(e));
        form_->mouseDown(tag_, e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (form_->panMouse(e)) return;
        form_->pointerAt(tag_, PointerPosition(e));
        form_->mouseMove(tag_, e);
    }
    void leaveEvent(QEvent*) override { form_->pointerAt(-1, {}); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!form_->panMouse(e)) form_->mouseUp(tag_, e);
    }

private:
    VehicleForm* form_;
    int tag_;
};

// The scrolled area: the framed panels with their arrow images behind the views.
class ViewArea : public QWidget {
public:
    ViewArea(VehicleForm* form, QWidget* parent) : QWidget(parent), form_(form) {
        setObjectName(QStringLiteral("ViewArea"));
    }

protected:
    // Drawn as the exported picture draws it, only the part asked for.
    void paintEvent(QPaintEvent* event) override {
        const QRect r = event->rect();
        QImage part(r.size(), QImage::Format_RGB32);
        Canvas canvas{reinterpret_cast<std::uint32_t*>(part.bits()), part.width(), part.height(),
                      static_cast<int>(part.bytesPerLine() / 4)};
        DrawViewBackdrop(canvas, form_->layout_, r.x(), r.y());
        QPainter(this).drawImage(r.topLeft(), part);
    }

private:
    VehicleForm* form_;
};

VehicleForm::VehicleForm(VehicleOwner* owner, VehicleRec* record, VehicleTools* tools)
    : TChildForm(kVehicleKind),
      owner_(owner),
      record_(record),
      tools_(tools),
      history_(tools->UndoSteps()) {
    setObjectName(QStringLiteral("VehicleForm"));
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (spaceHeld_ && (!now || !isAncestorOf(now))) endSpacePan();
    });
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("Tabs"));
    tabs_->addTab(QStringLiteral("Normal scale"));
    tabs_->setExpanding(false);
    column->addWidget(tabs_);
    trace_ = new TracePicture(*this, tools_->texts(), this);
    column->addWidget(trace_);

    scrollBox_ = new QScrollArea(this);
    scrollBox_->setObjectName(QStringLiteral("ScrollBox"));
    scrollBox_->setWidgetResizable(false);
    QPalette navy = scrollBox_->palette();
    navy.setColor(QPalette::Window, ScreenColor(kScrollAreaColor));
    scrollBox_->setPalette(navy);
    scrollBox_->setBackgroundRole(QPalette::Window);
    scrollBox_->horizontalScrollBar()->setTracking(true);
    scrollBox_->verticalScrollBar()->setTracking(true);
    area_ = new ViewArea(this, nullptr);
    for (int v = 0; v < kViewCount; ++v) {
        auto* box = new ViewBox(this, v, area_);
        box->setCursor(ToolCursor(tools_->CurrentTool()));
        views_[v] = box;
    }
    scrollBox_->setWidget(area_);
    scrollBox_->viewport()->installEventFilter(this);
    auto* split = new QSplitter(this);
    split->setObjectName(QStringLiteral("PreviewSplit"));
    split->addWidget(scrollBox_);
    preview_ = new PreviewPane(*this, split);
    column->addWidget(split, 1);

    showStrip_ = new QWidget(this);
    showStrip_->setObjectName(QStringLiteral("pShow"));
    showStrip_->setFixedHeight(kShowStripHeight);
    auto* stripLayout = new QHBoxLayout(showStrip_);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    showButton_ = new QPushButton(QStringLiteral("Vehicle parameters"), showStrip_);
    showButton_->setObjectName(QStringLiteral("bShow"));
    showButton_->setFlat(true);
    showButton_->setFixedHeight(kShowStripHeight);
    stripLayout->addWidget(showButton_);
    showStrip_->hide();
    column->addWidget(showStrip_);

    buildPropsPanel();
    column->addWidget(propsPanel_);
    buildMenus();
    buildKeys();

    connect(tabs_, &QTabBar::currentChanged, this, &VehicleForm::tabChanged);
    connect(showButton_, &QPushButton::clicked, this, [this] {
        propsPanel_->show();
        showStrip_->hide();
    });

    history_.ClearHistory();
    ApplyTexts();
    UpdateTabs();
    trace_->Restore();
}

VehicleForm::~VehicleForm() {
    // Cut before the children go: their going moves the focus.
    QObject::disconnect(focusWatch_);
    if (panButton_ != Qt::NoButton) QApplication::restoreOverrideCursor();
}

void VehicleForm::buildPropsPanel() {
    propsPanel_ = new QWidget(this);
    propsPanel_->setObjectName(QStringLiteral("PropsPanel"));
    propsPanel_->setFixedHeight(kPropsPanelHeight);
    auto* row = new QHBoxLayout(propsPanel_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);

    pageControl_ = new QTabWidget(propsPanel_);
    pageControl_->setObjectName(QStringLiteral("PageControl"));
    auto* sizeSheet = new QWidget;
    sizeSheet->setObjectName(QStringLiteral("SizeSheet"));
    auto* propsSheet = new QWidget;
    propsSheet->setObjectName(QStringLiteral("PropsSheet"));
    pageControl_->addTab(sizeSheet, QStringLiteral("Vehicle size"));
    pageControl_->addTab(propsSheet, QStringLiteral("Vehicle properties"));
    pageControl_->setFixedWidth(345);
    row->addWidget(pageControl_);

    infoPanel_ = new QWidget(propsPanel_);
    infoPanel_->setObjectName(QStringLiteral("InfoPanel"));
    infoPanel_->setMinimumWidth(kInfoPanelMinWidth);
    infoLabel_ = new QLabel(QStringLiteral("Vehicle info strings:"), infoPanel_);
    infoLabel_->setObjectName(QStringLiteral("Label1"));
    infoLabel_->move(4, 4);
    hideButton_ = new QToolButton(infoPanel_);
    hideButton_->setObjectName(QStringLiteral("bHide"));
    hideButton_->setIcon(QIcon(EditorImage("glyph_hide")));
    hideButton_->setAutoRaise(true);
    menuButton_ = new QToolButton(infoPanel_);
    menuButton_->setObjectName(QStringLiteral("bMenu"));
    menuButton_->setIcon(QIcon(EditorImage("glyph_menu")));
    menuButton_->setAutoRaise(true);
    for (QToolButton* b : {hideButton_, menuButton_})
        b->setFixedSize(kInfoButtonSize, kInfoButtonSize);
    infoPanel_->installEventFilter(this);
    row->addWidget(infoPanel_, 1);
    controls_ = new VehicleControls(*this, tools_->texts(), sizeSheet, propsSheet, infoPanel_);

    connect(hideButton_, &QToolButton::clicked, this, [this] {
        propsPanel_->hide();
        showStrip_->show();
    });
    connect(menuButton_, &QToolButton::clicked, this, [this] {
        layoutMenu_->popup(menuButton_->mapToGlobal(QPoint(menuButton_->width(), 0)));
    });
}

void VehicleForm::buildMenus() {
    layoutMenu_ = new QMenu(this);
    layoutMenu_->setObjectName(QStringLiteral("Menu"));
    auto* group = new QActionGroup(layoutMenu_);
    layout1_ = layoutMenu_->addAction(QStringLiteral("Layout 1"));
    layout1_->setObjectName(QStringLiteral("iLayout1"));
    layout2_ = layoutMenu_->addAction(QStringLiteral("Layout 2"));
    layout2_->setObjectName(QStringLiteral("iLayout2"));
    for (QAction* a : {layout1_, layout2_}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    layoutMenu_->addSeparator();
    gridAction_ = layoutMenu_->addAction(QStringLiteral("Cell grid"));
    gridAction_->setObjectName(QStringLiteral("iGrid"));
    gridAction_->setCheckable(true);
    connect(gridAction_, &QAction::triggered, this, [this](bool on) { tools_->SetCellGrid(on); });
    joinAction_ = layoutMenu_->addAction(QStringLiteral("Join pen strokes"));
    joinAction_->setObjectName(QStringLiteral("iJoin"));
    joinAction_->setCheckable(true);
    // From the setting, not the item's own state: another window may have changed it.
    connect(joinAction_, &QAction::triggered, this, [this] {
        tools_->SetJoinStrokes(!tools_->JoinStrokes());
        joinAction_->setChecked(tools_->JoinStrokes());
    });
    preview_->AddMenuItem(layoutMenu_);
    trace_->AddMenuItem(layoutMenu_);
    connect(layoutMenu_, &QMenu::aboutToShow, this, [this] {
        layout1_->setChecked(tools_->ViewLayout() == 0);
        layout2_->setChecked(tools_->ViewLayout() == 1);
        gridAction_->setChecked(tools_->CellGrid());
        joinAction_->setChecked(tools_->JoinStrokes());
    });
    for (int layout : {0, 1}) {
        connect(layout ? layout2_ : layout1_, &QAction::triggered, this, [this, layout] {
            tools_->SetViewLayout(layout);
            Relayout();
        });
    }

    editMenu()->setTitle(QStringLiteral("* Edit"));
    undoAction_ = editMenu()->addAction(QStringLiteral("* Undo"));
    undoAction_->setObjectName(QStringLiteral("iUndo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undoAction_, &QAction::triggered, this, &VehicleForm::Undo);
    redoAction_ = editMenu()->addAction(QStringLiteral("* Redo"));
    redoAction_->setObjectName(QStringLiteral("iRedo"));
    redoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    connect(redoAction_, &QAction::triggered, this, &VehicleForm::Redo);
    // Typing into an info field is one step until the field is left, or the menu opens.
    connect(editMenu(), &QMenu::aboutToShow, this, [this] {
        if (!buttonDown_) history_.Commit(*record_);
        applyUndoTexts();
    });
    buildClipboardMenu();
    buildPngMenu();

    editMenu()->addSeparator();
    steamAction_ = editMenu()->addAction(QStringLiteral("* Steam points..."));
    steamAction_->setObjectName(QStringLiteral("iSteam"));
    connect(steamAction_, &QAction::triggered, this, [this] {
        if (TSteamForm* dialog = TSteamForm::Of(this)) dialog->ShowFor(this);
    });
    shiftAction_ = editMenu()->addAction(QStringLiteral("* Move front/rear views..."));
    shiftAction_->setObjectName(QStringLiteral("iShift"));
    connect(shiftAction_, &QAction::triggered, this, [this] {
        // The frame's shift dialog, created once at start-up.
        if (auto* dialog = window()->findChild<TMoveForm*>(QString(), Qt::FindDirectChildrenOnly))
            dialog->ShowFor(this);
    });
}

void VehicleForm::buildKeys() {
    // Only while the focus is within this window: in an edit field the letters are typed,
    // and the arrows belong to the views alone.
    const auto key = [this](QWidget* scope, const QString& name, QKeySequence sequence,
                            auto command) {
        auto* action = new QAction(scope);
        action->setObjectName(name);
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        scope->addAction(action);
        connect(action, &QAction::triggered, this, command);
    };
    for (std::size_t i = 0; i < kToolKeys.size(); ++i)
        key(this, QStringLiteral("kTool%1").arg(i), kToolKeys[i],
            [this, i] { tools_->PressTool(static_cast<PanelTool>(i)); });
    key(this, QStringLiteral("kNight"), kNightLevelKey, [this] { tools_->StepNightLevel(); });
    key(this, QStringLiteral("kFit"), QKeySequence(Qt::CTRL | Qt::Key_0), [this] { FitZoom(); });
    key(this, QStringLiteral("kTrace"), TracePicture::kToggleKey, [this] { trace_->Toggle(); });
    const struct {
        Qt::Key key;
        int dx;
        int dy;
    } arrows[] = {
        {Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, -1}, {Qt::Key_Down, 0, 1}};
    for (const auto& a : arrows) {
        const QString name = QKeySequence(a.key).toString();
        key(scrollBox_, QStringLiteral("kMove") + name, a.key,
            [this, a] { MoveSelection(a.dx, a.dy, true); });
        key(scrollBox_, QStringLiteral("kFrame") + name, QKeySequence(Qt::SHIFT | a.key),
            [this, a] { MoveSelection(a.dx, a.dy, false); });
    }
}

bool VehicleForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == infoPanel_ && event->type() == QEvent::Resize) placeInfoButtons();
    if (watched == scrollBox_->viewport()) {
        if (event->type() == QEvent::Wheel) return wheelZoom(static_cast<QWheelEvent*>(event));
        // Presses beside the views reach the viewport.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
            event->type() == QEvent::MouseButtonRelease)
            return panMouse(static_cast<QMouseEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

bool VehicleForm::wheelZoom(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) return false;
    // One step per notch; a fine-grained wheel adds its turns up to a notch.
    constexpr int kNotch = 120;
    wheelRest_ += event->angleDelta().y();
    while (std::abs(wheelRest_) >= kNotch) {
        const bool in = wheelRest_ > 0;
        wheelRest_ += in ? -kNotch : kNotch;
        if (CanZoom(in)) StepZoom(in, PointerPosition(event));
    }
    event->accept();
    return true;
}

bool VehicleForm::CanZoom(bool in) const {
    const bool zoom2 = ShowsZoom2();
    return in ? zoom_ < (zoom2 ? 8 : 16) : zoom_ > (zoom2 ? 2 : 1);
}

void VehicleForm::FitZoom() {
    const bool zoom2 = ShowsZoom2();
    const QSize room = scrollBox_->maximumViewportSize();
    int fit = zoom2 ? 2 : 1;
    for (int z = NextZoom(fit, zoom2, true); z <= (zoom2 ? 8 : 16); z = NextZoom(z, zoom2, true)) {
        const VehicleLayout l = LayoutViews(*record_, zoom2, z, tools_->ViewLayout());
        if (l.extentWidth > room.width() || l.extentHeight > room.height()) break;
        fit = z;
    }
    zoom_ = fit;
    Relayout();
}

void VehicleForm::StepZoom(bool in, std::optional<QPoint> anchor) {
    const int z = zoom_;
    const bool zoom2 = ShowsZoom2();
    if (in ? z >= (zoom2 ? 8 : 16) : z <= 1) return;
    zoom_ = NextZoom(z, zoom2, in);
    // The spot under the anchor: a position in the cells of a view, or else in the area.
    QPoint spot;
    int view = -1;
    QPointF cells;
    if (anchor) {
        spot = area_->mapFrom(scrollBox_->viewport(), *anchor);
        for (int v = 0; v < kViewCount && view < 0; ++v) {
            if (layout_.shown[v] && views_[v]->geometry().contains(spot)) {
                view = v;
                cells = QPointF(spot - views_[v]->pos()) / z;
            }
        }
    }
    Relayout();
    if (!anchor) return;
    const QPointF target =
        view >= 0 ? QPointF(views_[view]->pos()) + cells * zoom_ : QPointF(spot) * zoom_ / z;
    scrollBox_->horizontalScrollBar()->setValue(static_cast<int>(std::lround(target.x())) -
                                                anchor->x());
    scrollBox_->verticalScrollBar()->setValue(static_cast<int>(std::lround(target.y())) -
                                              anchor->y());
}

void VehicleForm::placeInfoButtons() {
    const int right = infoPanel_->width();
    menuButton_->move(right - kInfoButtonSize, 0);
    hideButton_->move(right - 2 * kInfoButtonSize, 0);
}

TChildForm* VehicleForm::documentWindow() {
    return owner_->documentWindow();
}

void VehicleForm::closeEvent(QCloseEvent* event) {
    owner_->RemoveVehicleWindow(this);
    QWidget::closeEvent(event);
}

bool VehicleForm::ShowsZoom2() const {
    return zoom2Tab_ && record_->Zoom2Exists;
}

std::optional<CellRect> VehicleForm::SelectionRect() const {
    if (selection_.SelView1 != selection_.SelView2) return std::nullopt;
    const ConstPlaneRef plane =
        PlaneOf(static_cast<const VehicleRec*>(record_), selection_.SelView1, ShowsZoom2());
    return SelectionBounds(selection_.SelPoint1, selection_.SelPoint2, plane.width, plane.height);
}

void VehicleForm::BeginSteamPlacing(int slot) {
    placingSteam_ = true;
    steamSlot_ = slot;
    steamAction_->setEnabled(false);
    views_[1]->setCursor(ToolCursor(kCursorSteam));
    PaintView(1);
}

void VehicleForm::EndSteamPlacing(bool placed) {
    placingSteam_ = false;
    steamAction_->setEnabled(true);
    // Back to the cursor of the pressed tool, which the other views kept.
    views_[1]->setCursor(ToolCursor(tools_->CurrentTool()));
    PaintView(1);
    if (placed) {
        PaintView(0);
        NoteChange();
    }
    if (TSteamForm* dialog = TSteamForm::Of(this)) dialog->ShowFor(this);
}

void VehicleForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && placingSteam_) {
        EndSteamPlacing(false);
    } else if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat() && !spaceHeld_) {
            spaceHeld_ = true;
            SetViewCursor(Qt::OpenHandCursor);
        }
    } else {
        TChildForm::keyPressEvent(event);
    }
}

void VehicleForm::endSpacePan() {
    spaceHeld_ = false;
    SetViewCursor(ToolCursor(tools_->CurrentTool()));
}

void VehicleForm::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && spaceHeld_) {
        endSpacePan();
    } else {
        TChildForm::keyReleaseEvent(event);
    }
}

bool VehicleForm::panMouse(QMouseEvent* event) {
    const QPoint at = event->globalPosition().toPoint();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (panButton_ != Qt::NoButton) return true;
            if (event->button() != Qt::MiddleButton &&
                !(event->button() == Qt::LeftButton && spaceHeld_))
                return false;
            panButton_ = event->button();
            panFrom_ = at;
            QApplication::setOverrideCursor(Qt::ClosedHandCursor);
            return true;
        case QEvent::MouseMove: {
            if (panButton_ == Qt::NoButton) return false;
            const QPoint by = at - panFrom_;
            panFrom_ = at;
            QScrollBar* h = scrollBox_->horizontalScrollBar();
            QScrollBar* v = scrollBox_->verticalScrollBar();
            h->setValue(h->value() - by.x());
            v->setValue(v->value() - by.y());
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (panButton_ == Qt::NoButton) return false;
            if (event->button() == panButton_) {
                panButton_ = Qt::NoButton;
                QApplication::restoreOverrideCursor();
            }
            return true;
        default:
            return false;
    }
}

QWidget* VehicleForm::View(int view) const {
    return views_[view];
}

void VehicleForm::PaintView(int view) {
    views_[view]->update();
}

void VehicleForm::PaintAllViews() {
    for (int v = 0; v < kViewCount; ++v) PaintView(v);
}

QSize VehicleForm::paintIntoBuffer(int view) {
    const bool zoom2 = ShowsZoom2();
    const int z = zoom_;
    const ConstPlaneRef plane = PlaneOf(static_cast<const VehicleRec*>(record_), view, zoom2);
    const ViewSize size = ViewGeometry(record_, view, zoom2);
    const QSize screen(size.width * z, size.height * z);
    if (buffer_.width() < screen.width() || buffer_.height() < screen.height())
        buffer_ = QImage(std::max(buffer_.width(), screen.width()),
                         std::max(buffer_.height(), screen.height()), QImage::Format_RGB32);
    Canvas canvas{reinterpret_cast<std::uint32_t*>(buffer_.bits()), screen.width(), screen.height(),
                  static_cast<int>(buffer_.bytesPerLine() / 4)};
    const NightLevel level = tools_->CurrentNightLevel();
    const int d = RowOffset(*record_, view, zoom2);

    PaintVehicleView(canvas, *record_, view, zoom2, z, level);
    trace_->Paint(buffer_, screen, view, z);
    if (tools_->CellGrid()) DrawCellGrid(canvas, z);

    if (shapeStart_.isSet() && shapeEnd_.isSet()) {
        const PanelTool tool = tools_->PressedTool();
        if (tool == PanelTool::Line) {
            for (const CellPoint p : LinePoints(shapeStart_, shapeEnd_))
                DrawPixelCell(canvas, shapeColor_, p.x, p.y - d, level, z);
        } else if (tool == PanelTool::Rect) {
            for (int y = std::min(shapeStart_.y, shapeEnd_.y);
                 y <= std::max(shapeStart_.y, shapeEnd_.y); ++y)
                for (int x = std::min(shapeStart_.x, shapeEnd_.x);
                     x <= std::max(shapeStart_.x, shapeEnd_.x); ++x)
                    DrawPixelCell(canvas, shapeColor_, x, y - d, level, z);
        }
    }

    if (IsSideView(view)) {
        for (int i = 0; i < std::min<int>(record_->SteamCount, 3); ++i) {
            const SteamMarker m = SteamMarkerOf(*record_, view, zoom2, i);
            DrawSelectionFrame(canvas, m.x0, m.y0, m.x0, m.y0, z, kRed);
            DrawSelectionFrame(canvas, m.x0, m.y0, m.x1, m.y1, z, kRed);
        }
    }
    if (placingSteam_ && view == 1)
        DrawSelectionFrame(canvas, 0, plane.height - 12 - d, record_->Length, plane.height - 4 - d,
                           z, kGreen);

    if (selection_.SelView1 == view) {
        if (const std::optional<CellRect> r = SelectionRect())
            DrawSelectionFrame(canvas, r->x1, r->y1 - d, r->x2, r->y2 - d, z, kWhite);
    }
    return screen;
}

QImage VehicleForm::RenderView(int view) {
    const QSize size = paintIntoBuffer(view);
    return buffer_.copy(QRect(QPoint(0, 0), size));
}

void VehicleForm::Relayout() {
    layout_ = LayoutViews(*record_, ShowsZoom2(), zoom_, tools_->ViewLayout());
    for (int v = 0; v < kViewCount; ++v) {
        const Rect& r = layout_.views[v];
        views_[v]->setGeometry(r.x, r.y, r.width, r.height);
        views_[v]->setVisible(layout_.shown[v]);
    }
    area_->resize(layout_.extentWidth, layout_.extentHeight);
    area_->update();
    PaintAllViews();
    preview_->Refresh();
    tools_->UpdateZoomButtons();
}

void VehicleForm::NoteChange() {
    if (ShowsZoom2()) record_->Zoom2Modified = true;
    preview_->Refresh();
    owner_->MarkModified();
    tools_->VehicleChanged(this);
}

void VehicleForm::UpdateCaption() {
    setWindowTitle(FromCp1252(record_->Info[0]));
}

void VehicleForm::ApplyTexts() {
    LangTexts& texts = tools_->texts();
    editMenu()->setTitle(LookupQText(texts, 6));
    applyUndoTexts();
    applyClipboardTexts();
    applyPngTexts();
    steamAction_->setText(LookupQText(texts, 74));
    shiftAction_->setText(LookupQText(texts, 75));
    tabs_->setTabText(0, LookupQText(texts, 200));
    if (tabs_->count() > 1) tabs_->setTabText(1, LookupQText(texts, 201));
    showButton_->setText(LookupQText(texts, 202));
    pageControl_->setTabText(0, LookupQText(texts, 203));
    pageControl_->setTabText(1, LookupQText(texts, 204));
    infoLabel_->setText(LookupQText(texts, 205));
    infoLabel_->adjustSize();
    layout1_->setText(LookupQText(texts, 207));
    layout2_->setText(LookupQText(texts, 208));
    gridAction_->setText(LookupQText(texts, 631));
    joinAction_->setText(LookupQText(texts, 690));
    preview_->ApplyTexts(texts);
    trace_->ApplyTexts(texts);
    controls_->ApplyTexts();
    UpdateCaption();
    controls_->FillControls();
}

void VehicleForm::UpdateTabs() {
    if (!record_->Zoom2Exists && tabs_->count() == 2)
        tabs_->removeTab(1);
    else if (record_->Zoom2Exists && tabs_->count() == 1)
        tabs_->addTab(LookupQText(tools_->texts(), 201));
}

void VehicleForm::tabChanged(int index) {
    const bool toZoom2 = index != 0;
    if (toZoom2 == zoom2Tab_) return;
    zoom2Tab_ = toZoom2;
    if (zoom2Tab_) {
        if (zoom_ > 1) zoom_ /= 2;
    } else if (zoom_ <= 8) {
        zoom_ *= 2;
    }
    controls_->FillControls();
    tools_->VehicleChanged(this);
}

void VehicleForm::ShowNormalTab() {
    tabs_->setCurrentIndex(0);
}

void VehicleForm::SetViewCursor(const QCursor& cursor) {
    // The left side view keeps the placing cursor until the steam point is placed.
    for (QWidget* view : views_)
        if (!(placingSteam_ && view == views_[1])) view->setCursor(cursor);
}

void VehicleForm::BeginStep(int name) {
    history_.Begin(*record_, name);
}

void VehicleForm::EndStep() {
    if (history_.Commit(*record_)) applyUndoTexts();
}

void VehicleForm::Undo() {
    // Not during a drag: its step is still being drawn.
    if (buttonDown_) return;
    if (history_.Undo(*record_)) historyRestored();
}

void VehicleForm::Redo() {
    if (buttonDown_) return;
    if (history_.Redo(*record_)) historyRestored();
}

void VehicleForm::historyRestored() {
    if (!record_->Zoom2Exists) ShowNormalTab();
    UpdateTabs();
    // Sizes, properties and strings may have come back too; filling lays out and repaints.
    controls_->FillControls();
    UpdateCaption();
    owner_->UpdateVehicleLine(record_);
    owner_->MarkModified();
    tools_->VehicleChanged(this);
    applyUndoTexts();
}

void VehicleForm::applyUndoTexts() {
    LangTexts& texts = tools_->texts();
    const auto itemText = [&](int name, int plain, int named) {
        return name == 0 ? LookupQText(texts, plain)
                         : FormatQText(LookupQText(texts, named), {LookupQText(texts, name)});
    };
    undoAction_->setText(itemText(history_.UndoName(), 70, step::kUndoItem));
    redoAction_->setText(itemText(history_.RedoName(), 71, step::kRedoItem));
}

std::optional<int> VehicleForm::ShiftEndViews(int count, int roof, bool up) {
    BeginStep(step::kShift);
    const std::optional<int> carried = rvk::ShiftEndViews(*record_, ShowsZoom2(), count, roof, up);
    if (carried) {
        // The new end-view height reaches its up-down, its label and the layout.
        controls_->FillControls();
        NoteChange();
    }
    EndStep();
    return carried;
}

void VehicleForm::mouseDown(int view, QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    if (placingSteam_) {
        if (TSteamForm* dialog = TSteamForm::Of(this)) {
            const QPoint at = PointerPosition(event);
            dialog->PlacingClick(this, view, at.x(), at.y());
        }
        return;
    }
    buttonDown_ = true;
    penLast_ = {};
    mouseMove(view, event);
}

void VehicleForm::mouseMove(int view, QMouseEvent* event) {
    const Qt::MouseButtons held = event->buttons();
    const bool left = held & Qt::LeftButton;
    if (!(left || (held & Qt::RightButton)) || !buttonDown_) return;
    const std::optional<CellPoint> cell = cellAt(view, PointerPosition(event));
    if (!cell) return;
    const Qt::KeyboardModifiers mods = event->modifiers();
    const ToolAction tool = ChooseTool(tools_->PressedTool(), mods & Qt::ControlModifier,
                                       mods & Qt::AltModifier, mods & Qt::ShiftModifier);
    runTool(view, tool, left, cell->x, cell->y);
    PaintView(view);
    updateStatusInfo();
}

std::optional<CellPoint> VehicleForm::cellAt(int view, QPoint at) const {
    const QWidget* box = views_[view];
    if (at.x() < 0 || at.y() < 0 || at.x() >= box->width() || at.y() >= box->height())
        return std::nullopt;
    const ViewSize size = ViewGeometry(record_, view, ShowsZoom2());
    const int x = at.x() / zoom_;
    const int y = at.y() / zoom_;
    if (x >= size.width || y >= size.height) return std::nullopt;
    return CellPoint{x, y + RowOffset(*record_, view, ShowsZoom2())};
}

void VehicleForm::pointerAt(int view, QPoint at) {
    const std::optional<CellPoint> cell = view >= 0 ? cellAt(view, at) : std::nullopt;
    hoverView_ = cell ? view : -1;
    if (cell) hoverCell_ = *cell;
    updateStatusInfo();
}

void VehicleForm::updateStatusInfo() {
    LangTexts& texts = tools_->texts();
    QStringList parts;
    if (hoverView_ >= 0) {
        const ConstPlaneRef plane =
            PlaneOf(static_cast<const VehicleRec*>(record_), hoverView_, ShowsZoom2());
        const PixelValue pixel = plane.plane->at(hoverCell_.x, hoverCell_.y);
        const RgbColor day = DisplayColor(pixel, 0);
        parts << LookupQText(texts, 620 + hoverView_)
              << FormatQText(LookupQText(texts, 628), {hoverCell_.x, hoverCell_.y})
              << FormatQText(LookupQText(texts, 629),
                             {QStringLiteral("%1").arg(pixel, 8, 16, QLatin1Char('0')),
                              tools_->ColorTypeName(ColorTypeOf(pixel)), int{RedOf(day)},
                              int{GreenOf(day)}, int{BlueOf(day)}});
    }
    if (const std::optional<CellRect> r = SelectionRect())
        parts << FormatQText(LookupQText(texts, 630), {r->x2 - r->x1 + 1, r->y2 - r->y1 + 1});
    emit statusInfo(parts.join(QStringLiteral("   ")));
}

void VehicleForm::runTool(int view, ToolAction tool, bool left, int x, int y) {
    const PlaneRef plane = PlaneOf(record_, view, ShowsZoom2());
    const int button = left ? 0 : 1;
    if (tool != ToolAction::Pen) penLast_ = {};
    switch (tool) {
        case ToolAction::Pick:
            tools_->SetMouseColor(button, plane.plane->at(x, y), true);
            return;
        case ToolAction::Select:
            changeCorner(left, view, {x, y});
            return;
        case ToolAction::Fill:
        case ToolAction::Replace: {
            if (!strokeActive_) BeginStep(tool == ToolAction::Fill ? step::kFill : step::kReplace);
            const PixelValue old = plane.plane->at(x, y);
            const PixelValue value = tools_->MouseColor(button);
            if (tool == ToolAction::Fill) {
                if (old != value)
                    FloodFill(plane.plane->mutableData(), plane.width, plane.height, x, y, value);
            } else {
                CellRect bounds{0, 0, plane.width - 1, plane.height - 1};
                if (view == selection_.SelView1)
                    if (const std::optional<CellRect> r = SelectionRect()) bounds = *r;
                ReplaceColor(plane, bounds, old, value);
            }
            break;
        }
        case ToolAction::Pen:
        case ToolAction::Line:
        case ToolAction::Rect:
            if (!strokeActive_)
                BeginStep(tool == ToolAction::Pen    ? step::kPen
                          : tool == ToolAction::Line ? step::kLine
                                                     : step::kRect);
            shapeColor_ = tools_->MouseColor(button);
            if (tool == ToolAction::Pen) {
                // A fast drag reports positions far apart: the line between them leaves
                // no holes.
                if (penLast_.isSet() && tools_->JoinStrokes())
                    DrawLine(plane, penLast_, {x, y}, shapeColor_);
                else
                    plane.plane->set(x, y, shapeColor_);
                penLast_ = {x, y};
            } else if (!strokeActive_)
                shapeStart_ = {x, y};
            else
                shapeEnd_ = {x, y};
            break;
    }
    NoteChange();
    strokeActive_ = true;
}

void VehicleForm::changeCorner(bool first, int view, CellPoint point) {
    int& selView = first ? selection_.SelView1 : selection_.SelView2;
    (first ? selection_.SelPoint1 : selection_.SelPoint2) = point;
    if (view != selView) {
        const int previous = selView;
        selView = view;
        PaintView(previous);
    }
    selectionChanged();
}

void VehicleForm::selectionChanged() {
    tools_->UpdateSelectionInfo();
    updateStatusInfo();
    if (tools_->SingleSelection()) tools_->SyncSelection(this);
}

void VehicleForm::MoveSelection(int dx, int dy, bool withPixels) {
    const std::optional<CellRect> r = SelectionRect();
    if (!r) return;
    const int view = selection_.SelView1;
    const PlaneRef plane = PlaneOf(record_, view, ShowsZoom2());
    const int x = r->x1 + dx;
    const int y = r->y1 + dy;
    if (x < 0 || x >= plane.width || y < RowOffset(*record_, view, ShowsZoom2()) ||
        y >= plane.height)
        return;
    if (withPixels) {
        BeginStep(step::kMovePixels);
        const ClipImage image = CopyImage({plane.plane, plane.width, plane.height}, *r);
        FillRect(plane, {r->x1, r->y1}, {r->x2, r->y2}, kTransparent);
        PasteImage(plane, x, y, image);
        NoteChange();
        EndStep();
    }
    for (CellPoint* p : {&selection_.SelPoint1, &selection_.SelPoint2}) {
        p->x += dx;
        p->y += dy;
    }
    PaintView(view);
    selectionChanged();
}

void VehicleForm::mouseUp(int view, QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    buttonDown_ = false;
    penLast_ = {};
    if (!strokeActive_) return;
    strokeActive_ = false;
    const PanelTool tool = tools_->PressedTool();
    if ((tool == PanelTool::Line || tool == PanelTool::Rect) && shapeEnd_.isSet()) {
        const PlaneRef plane = PlaneOf(record_, view, ShowsZoom2());
        if (tool == PanelTool::Line)
            DrawLine(plane, shapeStart_, shapeEnd_, shapeColor_);
        else
            FillRect(plane, shapeStart_, shapeEnd_, shapeColor_);
        shapeStart_ = shapeEnd_ = CellPoint{};
        PaintView(view);
        NoteChange();
    }
    EndStep();
}

}  // namespace rvk
