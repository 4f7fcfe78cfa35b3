#include "app/tool_panel.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>

#include "app/color_swatches.h"
#include "editor/qt_support.h"
#include "editor/vehicle_form.h"
#include "platform/prompts.h"
#include "records/color_count.h"
#include "shell/frame.h"

// The images live in this static library; the resource must be registered explicitly.
static void InitPanelResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(panel_images);
        return true;
    }();
    (void)done;
}

namespace rvk {

namespace {

constexpr int kLeft = 8;
constexpr int kInnerWidth = 193;
constexpr int kBottomPanelHeight = 145;
constexpr int kFirstTypeText = 131;
constexpr int kToolButtonSize = 23;
// The free space between SelLabel and Panel2 holds the typed colours, the recent
// colours and the palette.
constexpr int kPaletteTop = 330;
constexpr int kLabelHeight = 13;

QPixmap Image(const char* name) {
    InitPanelResources();
    return QPixmap(QStringLiteral(":/rvk/images/%1.xpm").arg(QLatin1String(name)));
}

}  // namespace

VehicleForm* VehicleFormOf(QMdiSubWindow* sub) {
    if (!sub) return nullptr;
    auto* child = qobject_cast<TChildForm*>(sub->widget());
    return child && child->kindTag() == TChildForm::kVehicleKind ? static_cast<VehicleForm*>(child)
                                                                 : nullptr;
}

ToolPanel::ToolPanel(LangTexts& texts, QWidget* parent) : QWidget(parent), texts_(texts) {
    setObjectName(QStringLiteral("ToolPanel"));
    setFixedWidth(kWidth);
    // The panel's places are laid out for a small font: captions such as
    // "RGB = 255, 255, 255" must fit beside the rectangles.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    buildColorGroup();
    buildToolBar();

    singleSel_ = new QCheckBox(QStringLiteral("Single selection"), this);
    singleSel_->setObjectName(QStringLiteral("cbSingleSel"));
    singleSel_->setGeometry(kLeft, 183, kInnerWidth, 20);
    connect(singleSel_, &QCheckBox::toggled, this, &ToolPanel::singleSelectionToggled);

    buildDaylightGroup();

    selLabel_ = new QLabel(this);
    selLabel_->setObjectName(QStringLiteral("SelLabel"));
    selLabel_->setGeometry(kLeft, 312, kInnerWidth, 13);

    buildPalette();
    buildBottomPanel();

    SetMouseColor(0, mouseColors_[0], true);
    SetMouseColor(1, mouseColors_[1], true);
    toolChanged();
    UpdateSelectionInfo();
    UpdateZoomButtons();
}

void ToolPanel::buildColorGroup() {
    colorGroup_ = new QGroupBox(QStringLiteral(" Mouse colors "), this);
    colorGroup_->setObjectName(QStringLiteral("ColorGroup"));
    colorGroup_->setGeometry(kLeft, -1, kInnerWidth, 146);

    const char* swatchNames[] = {"sFG", "sBG"};
    const char* labelNames[] = {"FGLabel", "BGLabel"};
    const char* boxNames[] = {"bFG", "bBG"};
    const QRect swatchPlaces[] = {{8, 21, 49, 25}, {136, 85, 49, 25}};
    // BGLabel is right-aligned and ends just left of sBG.
    const QRect labelPlaces[] = {{65, 26, 126, 16}, {8, 92, 122, 16}};
    const int boxTops[] = {51, 115};
    for (int b = 0; b < 2; ++b) {
        auto* swatch = new QWidget(colorGroup_);
        swatch->setObjectName(QLatin1String(swatchNames[b]));
        swatch->setGeometry(swatchPlaces[b]);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
        swatches_[b] = swatch;

        auto* label = new QLabel(colorGroup_);
        label->setObjectName(QLatin1String(labelNames[b]));
        label->setGeometry(labelPlaces[b]);
        if (b == 1) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        colorLabels_[b] = label;

        auto* box = new QComboBox(colorGroup_);
        box->setObjectName(QLatin1String(boxNames[b]));
        box->setGeometry(8, boxTops[b], 177, 22);
        box->setMaxVisibleItems(kColorTypeCount);
        static const char* const defaults[kColorTypeCount] = {"Normal",
                                                              "Transparent",
                                                              "Halftransparent",
                                                              "Light (shining at night)",
                                                              "Lamp (white at night)",
                                                              "Lamp (red at night)",
                                                              "Window0 (yellow at night)",
                                                              "Window1 (yellow at night)",
                                                              "Window2 (yellow at night)",
                                                              "Window0 (neon at night)",
                                                              "Window1 (neon at night)",
                                                              "Window2 (neon at night)"};
        for (const char* item : defaults) box->addItem(QLatin1String(item));
        // Only a choice by the user changes the colour; SetMouseColor selects silently.
        connect(box, &QComboBox::activated, this,
                [this, b](int item) { colorTypeChanged(b, item); });
        typeBoxes_[b] = box;
    }
}

void ToolPanel::buildToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setGeometry(kLeft, 152, kInnerWidth, 27);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setStyleSheet(QStringLiteral("QToolBar { border: 0px; }"));

    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    struct ToolDef {
        const char* name;
        const char* image;
        const char* hint;
    };
    // PanelTool order: pen, line, rectangle, fill, selection, colour picker.
    static const ToolDef tools[] = {
        {"tbPen", "tool_pen", "Pen"},          {"tbLine", "tool_line", "Line"},
        {"tbRect", "tool_rect", "Rectangle"},  {"tbFill", "tool_fill", "Fill"},
        {"tbSelect", "tool_select", "Select"}, {"tbColor", "tool_color", "Pick color"}};
    for (std::size_t i = 0; i < std::size(tools); ++i) {
        QAction* a = toolBar_->addAction(QIcon(Image(tools[i].image)), QString());
        a->setObjectName(QLatin1String(tools[i].name));
        a->setToolTip(QLatin1String(tools[i].hint));
        a->setCheckable(true);
        group->addAction(a);
        toolActions_[i] = a;
    }
    toolActions_[0]->setChecked(true);
    connect(group, &QActionGroup::triggered, this, &ToolPanel::toolChanged);

    auto* gap = new QWidget(toolBar_);
    gap->setFixedWidth(8);
    toolBar_->addWidget(gap);

    zoomIn_ = toolBar_->addAction(QIcon(Image("tool_zoomin")), QString());
    zoomIn_->setObjectName(QStringLiteral("tbZoomIn"));
    zoomIn_->setToolTip(QStringLiteral("Zoom in"));
    // Ctrl+Plus also as Ctrl+= , where plus needs Shift.
    zoomIn_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(zoomIn_, &QAction::triggered, this, &ToolPanel::ZoomIn);
    zoomOut_ = toolBar_->addAction(QIcon(Image("tool_zoomout")), QString());
    zoomOut_->setObjectName(QStringLiteral("tbZoomOut"));
    zoomOut_->setToolTip(QStringLiteral("Zoom out"));
    zoomOut_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(zoomOut_, &QAction::triggered, this, &ToolPanel::ZoomOut);

    // Eight buttons and the gap must fit the bar's 193 pixels, or some would end up in
    // an overflow menu.
    toolBar_->layout()->setSpacing(0);
    toolBar_->layout()->setContentsMargins(0, 0, 0, 0);
    for (QAction* a : toolBar_->actions())
        if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(a)))
            button->setFixedSize(kToolButtonSize, kToolButtonSize);
}

void ToolPanel::buildDaylightGroup() {
    daylightGroup_ = new QGroupBox(QStringLiteral(" Day-Night "), this);
    daylightGroup_->setObjectName(QStringLiteral("DaylightGroup"));
    daylightGroup_->setGeometry(kLeft, 208, kInnerWidth, 97);
    auto* group = new QButtonGroup(this);
    static const char* const names[] = {"rbDaylight", "rbNight012", "rbNight01", "rbNight0"};
    static const char* const captions[] = {"Daylight", "Night 0+1+2", "Night 0+1", "Night 0"};
    for (int i = 0; i < 4; ++i) {
        auto* rb = new QRadioButton(QLatin1String(captions[i]), daylightGroup_);
        rb->setObjectName(QLatin1String(names[i]));
        rb->setGeometry(11, 21 + 17 * i, 175, 17);
        group->addButton(rb, i);
        nightButtons_[i] = rb;
    }
    nightButtons_[0]->setChecked(true);
    connect(group, &QButtonGroup::buttonClicked, this, &ToolPanel::nightLevelChanged);
}

void ToolPanel::buildBottomPanel() {
    bottomPanel_ = new QWidget(this);
    bottomPanel_->setObjectName(QStringLiteral("Panel2"));

    copyButton_ = new QPushButton(QStringLiteral("To Clipboard"), bottomPanel_);
    copyButton_->setObjectName(QStringLiteral("bCopy"));
    copyButton_->setGeometry(kLeft, 3, kInnerWidth, 25);
    pasteButton_ = new QPushButton(QStringLiteral("From Clipboard"), bottomPanel_);
    pasteButton_->setObjectName(QStringLiteral("bPaste"));
    pasteButton_->setGeometry(kLeft, 31, kInnerWidth, 25);

    mirrorHor_ = new QToolButton(bottomPanel_);
    mirrorHor_->setObjectName(QStringLiteral("bMirrorHor"));
    mirrorHor_->setIcon(QIcon(Image("mirror_hor")));
    mirrorHor_->setGeometry(kLeft, 72, 33, 25);
    mirrorVer_ = new QToolButton(bottomPanel_);
    mirrorVer_->setObjectName(QStringLiteral("bMirrorVer"));
    mirrorVer_->setIcon(QIcon(Image("mirror_ver")));
    mirrorVer_->setGeometry(48, 72, 33, 25);
    rotateButton_ = new QPushButton(QStringLiteral("Rotate"), bottomPanel_);
    rotateButton_->setObjectName(QStringLiteral("bRotate"));
    rotateButton_->setGeometry(88, 72, 113, 25);
    // The clipboard and transform buttons act on the active vehicle window, if any.
    const auto forward = [this](QAbstractButton* button, auto command) {
        connect(button, &QAbstractButton::clicked, this, [this, command] {
            if (VehicleForm* form = activeVehicleWindow()) command(*form);
        });
    };
    forward(copyButton_, [](VehicleForm& form) { form.CopySelection(); });
    forward(pasteButton_, [](VehicleForm& form) { form.PasteSelection(); });
    forward(mirrorHor_, [](VehicleForm& form) { form.Transform(TransformKind::MirrorLeftRight); });
    forward(mirrorVer_, [](VehicleForm& form) { form.Transform(TransformKind::MirrorTopBottom); });
    forward(rotateButton_, [](VehicleForm& form) { form.Transform(TransformKind::Rotate180); });

    saveButton_ = new QPushButton(QStringLiteral("Save"), bottomPanel_);
    saveButton_->setObjectName(QStringLiteral("bSave"));
    saveButton_->setGeometry(kLeft, 112, kInnerWidth, 25);
    saveButton_->setEnabled(false);
    connect(saveButton_, &QPushButton::clicked, this, &ToolPanel::saveRequested);
}

void ToolPanel::buildPalette() {
    const char* names[] = {"eFG", "eBG"};
    // Like sFG and sBG: the left colour on the left, the right one on the right.
    const int lefts[] = {kLeft, kLeft + kInnerWidth - 80};
    for (int b = 0; b < 2; ++b) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(names[b]));
        edit->setGeometry(lefts[b], kPaletteTop, 80, 20);
        edit->setPlaceholderText(QStringLiteral("#RRGGBB"));
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("#?[0-9A-Fa-f]{6}")), edit));
        // Enter takes a complete colour; leaving the field shows the button's colour again.
        connect(edit, &QLineEdit::returnPressed, this, [this, b, edit] {
            takeColor(b, QColor(QLatin1Char('#') + edit->text().remove(QLatin1Char('#'))));
        });
        edit->installEventFilter(this);
        typedColors_[b] = edit;
    }

    const int swatchWidth = ColorSwatches::kCell * (kInnerWidth / ColorSwatches::kCell - 1);
    recentLabel_ = new QLabel(QStringLiteral("Recent colours"), this);
    recentLabel_->setObjectName(QStringLiteral("RecentLabel"));
    recentLabel_->setGeometry(kLeft, kPaletteTop + 24, kInnerWidth, kLabelHeight);
    recent_ = new ColorSwatches(this);
    recent_->setObjectName(QStringLiteral("RecentColors"));
    recent_->setGeometry(kLeft, kPaletteTop + 38, swatchWidth, 2 * ColorSwatches::kCell);

    paletteLabel_ = new QLabel(QStringLiteral("Colours of the vehicle"), this);
    paletteLabel_->setObjectName(QStringLiteral("PaletteLabel"));
    paletteLabel_->setGeometry(kLeft, kPaletteTop + 73, kInnerWidth, kLabelHeight);
    paletteBox_ = new QScrollArea(this);
    paletteBox_->setObjectName(QStringLiteral("PaletteBox"));
    paletteBox_->setFrameShape(QFrame::NoFrame);
    paletteBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    palette_ = new ColorSwatches;
    palette_->setObjectName(QStringLiteral("Palette"));
    palette_->resize(swatchWidth, 0);
    paletteBox_->setWidget(palette_);

    for (ColorSwatches* swatches : {recent_, palette_}) {
        connect(swatches, &ColorSwatches::chosen, this,
                [this](int button, PixelValue value) { SetMouseColor(button, value, true); });
        swatches->setDescriber([this](const ColorUse& use) { return describeColor(use); });
    }
}

void ToolPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bottomPanel_->setGeometry(0, height() - kBottomPanelHeight, kWidth, kBottomPanelHeight);
    const int top = kPaletteTop + 87;
    paletteBox_->setGeometry(kLeft, top, kInnerWidth,
                             std::max(0, height() - kBottomPanelHeight - 4 - top));
}

bool ToolPanel::eventFilter(QObject* watched, QEvent* event) {
    for (int b = 0; b < 2; ++b) {
        if (watched == typedColors_[b] && event->type() == QEvent::FocusOut) showTypedColor(b);
        if (watched != swatches_[b]) continue;
        if (event->type() == QEvent::Paint) {
            QPainter p(swatches_[b]);
            p.fillRect(swatches_[b]->rect(), Qt::black);
            p.fillRect(swatches_[b]->rect().adjusted(1, 1, -1, -1),
                       ScreenColor(DisplayColor(mouseColors_[b], 0)));
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            chooseColor(b);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

ToolPanel::~ToolPanel() {
    // Destroying the children below moves the focus (an open colour-type list has it) and
    // may activate other windows; neither may reach this half-destroyed panel.
    for (const QMetaObject::Connection& c : watches_) disconnect(c);
}

void ToolPanel::setMdiArea(QMdiArea* area) {
    mdi_ = area;
    watches_ = {
        connect(area, &QMdiArea::subWindowActivated, this, &ToolPanel::activeWindowChanged),
        connect(qApp, &QApplication::focusChanged, this,
                [this] {
                    if (QApplication::activeWindow()) activeWindowChanged();
                }),
    };
    activeWindowChanged();
}

QList<VehicleForm*> ToolPanel::vehicleWindows() const {
    QList<VehicleForm*> forms;
    if (!mdi_) return forms;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (VehicleForm* form = VehicleFormOf(sub)) forms.append(form);
    return forms;
}

VehicleForm* ToolPanel::activeVehicleWindow() const {
    // The current child stays known while another application has the focus.
    return mdi_ ? VehicleFormOf(mdi_->currentSubWindow()) : nullptr;
}

PanelTool ToolPanel::PressedTool() const {
    for (std::size_t i = 0; i < toolActions_.size(); ++i)
        if (toolActions_[i]->isChecked()) return static_cast<PanelTool>(i);
    return PanelTool::Pen;
}

int ToolPanel::CurrentTool() const {
    switch (PressedTool()) {
        case PanelTool::Line:
            return kCursorLine;
        case PanelTool::Rect:
            return kCursorRect;
        case PanelTool::Fill:
            return kCursorFill;
        case PanelTool::Select:
            return kCursorSelect;
        case PanelTool::Pick:
            return kCursorColor;
        case PanelTool::Pen:
            break;
    }
    return kCursorPen;
}

void ToolPanel::PressTool(PanelTool tool) {
    toolActions_[static_cast<std::size_t>(tool)]->setChecked(true);
    toolChanged();
}

void ToolPanel::StepNightLevel() {
    for (std::size_t i = 0; i < nightButtons_.size(); ++i) {
        if (!nightButtons_[i]->isChecked()) continue;
        nightButtons_[(i + 1) % nightButtons_.size()]->setChecked(true);
        break;
    }
    nightLevelChanged();
}

NightLevel ToolPanel::CurrentNightLevel() const {
    if (nightButtons_[1]->isChecked()) return 3;
    if (nightButtons_[2]->isChecked()) return 2;
    if (nightButtons_[3]->isChecked()) return 1;
    return 0;
}

bool ToolPanel::SingleSelection() const {
    return singleSel_->isChecked();
}

void ToolPanel::setSingleSelection(bool on) {
    singleSel_->setChecked(on);
}

void ToolPanel::SetMouseColor(int button, PixelValue value, bool selectType) {
    if (selectType) typeBoxes_[button]->setCurrentIndex(ColorTypeOf(value));
    if (value != mouseColors_[button]) noteRecentColor(value);
    mouseColors_[button] = value;
    const RgbColor c = DisplayColor(value, 0);
    swatches_[button]->update();
    colorLabels_[button]->setText(
        QStringLiteral("RGB = %1, %2, %3").arg(RedOf(c)).arg(GreenOf(c)).arg(BlueOf(c)));
    showTypedColor(button);
}

void ToolPanel::chooseColor(int button) {
    const std::optional<QColor> chosen =
        prompts().chooseColor(this, ScreenColor(mouseColors_[button] & 0x00FFFFFFu));
    if (chosen) takeColor(button, *chosen);
}

void ToolPanel::takeColor(int button, const QColor& chosen) {
    PixelValue value = MakeRgb(static_cast<std::uint8_t>(chosen.red()),
                               static_cast<std::uint8_t>(chosen.green()),
                               static_cast<std::uint8_t>(chosen.blue()));
    const int shown = typeBoxes_[button]->currentIndex();
    if (shown != kTypeTransparent && shown != kTypeHalfTransparent)
        value |= mouseColors_[button] & 0xFF000000u;
    SetMouseColor(button, value, true);
}

void ToolPanel::showTypedColor(int button) {
    // A see-through colour has no colour of its own to show.
    const PixelValue value = mouseColors_[button];
    typedColors_[button]->setText(
        value & 0x80000000u ? QString()
                            : ScreenColor(value & 0x00FFFFFFu).name(QColor::HexRgb).toUpper());
}

void ToolPanel::noteRecentColor(PixelValue value) {
    std::erase(recentColors_, value);
    recentColors_.insert(recentColors_.begin(), value);
    if (recentColors_.size() > kRecentColorCount) recentColors_.resize(kRecentColorCount);
    std::vector<ColorUse> shown;
    for (PixelValue v : recentColors_) shown.push_back({v, 0});
    recent_->setColors(std::move(shown));
}

void ToolPanel::SetRecentColors(std::vector<PixelValue> colors) {
    recentColors_.clear();
    // Oldest first, so the first ends up in front.
    for (auto it = colors.rbegin(); it != colors.rend(); ++it) noteRecentColor(*it);
}

void ToolPanel::colorTypeChanged(int button, int item) {
    const PixelValue current = mouseColors_[button];
    if (item == kTypeTransparent || item == kTypeHalfTransparent) {
        if (!(current & 0x80000000u)) savedColors_[button] = current;
        SetMouseColor(button, item == kTypeTransparent ? kTransparent : kHalfTransparent, false);
        return;
    }
    // A see-through colour turns back into the last real one, with the chosen type.
    const PixelValue real = current & 0x80000000u ? savedColors_[button] : current;
    SetMouseColor(button, PixelOfType(item, real & 0x00FFFFFFu), false);
}

void ToolPanel::VehicleChanged(const VehicleForm* form) {
    if (form == activeVehicleWindow()) refreshPalette();
}

void ToolPanel::refreshPalette() {
    // A window being closed may already have lost its record.
    const VehicleForm* form = activeVehicleWindow();
    if (form && !form->isVisible()) form = nullptr;
    palette_->setColors(form ? CountColors(*form->Record(), form->ShowsZoom2())
                             : std::vector<ColorUse>{});
    palette_->resize(palette_->width(), palette_->neededHeight());
}

QString ToolPanel::describeColor(const ColorUse& use) const {
    const RgbColor day = DisplayColor(use.value, 0);
    QString text = FormatQText(LookupQText(texts_, 629),
                               {QStringLiteral("%1").arg(use.value, 8, 16, QLatin1Char('0')),
                                ColorTypeName(ColorTypeOf(use.value)), int{RedOf(day)},
                                int{GreenOf(day)}, int{BlueOf(day)}});
    if (use.count != 0)
        text += QLatin1Char('\n') + FormatQText(LookupQText(texts_, 161),
                                                {static_cast<qlonglong>(use.count)});
    return text;
}

void ToolPanel::toolChanged() {
    SetViewCursor(CurrentTool());
}

void ToolPanel::SetViewCursor(int cursor) {
    const QCursor c = ToolCursor(cursor);
    for (VehicleForm* form : vehicleWindows()) form->SetViewCursor(c);
}

void ToolPanel::nightLevelChanged() {
    for (VehicleForm* form : vehicleWindows()) form->PaintAllViews();
}

void ToolPanel::SetViewLayout(int layout) {
    if (layout == viewLayout_) return;
    viewLayout_ = layout;
    for (VehicleForm* form : vehicleWindows()) form->Relayout();
}

void ToolPanel::SetCellGrid(bool on) {
    cellGrid_ = on;
    for (VehicleForm* form : vehicleWindows()) form->PaintAllViews();
}

QString ToolPanel::ColorTypeName(ColorType type) const {
    return typeBoxes_[0]->itemText(type);
}

void ToolPanel::ZoomIn() {
    if (VehicleForm* form = activeVehicleWindow()) form->StepZoom(true);
}

void ToolPanel::ZoomOut() {
    if (VehicleForm* form = activeVehicleWindow()) form->StepZoom(false);
}

void ToolPanel::UpdateZoomButtons() {
    VehicleForm* form = activeVehicleWindow();
    zoomIn_->setEnabled(form && form->CanZoom(true));
    zoomOut_->setEnabled(form && form->CanZoom(false));
}

void ToolPanel::UpdateSelectionInfo() {
    QString text;
    if (VehicleForm* form = activeVehicleWindow()) {
        const VehicleSelection& s = form->Selection();
        if (s.SelView1 == s.SelView2)
            text = QStringLiteral("%1 %2 x %3")
                       .arg(LookupQText(texts_, 101))
                       .arg(std::abs(s.SelPoint2.x - s.SelPoint1.x) + 1)
                       .arg(std::abs(s.SelPoint2.y - s.SelPoint1.y) + 1);
    }
    selLabel_->setText(text);
    selLabel_->repaint();
    const bool enabled = !text.isEmpty();
    for (QWidget* w : std::initializer_list<QWidget*>{copyButton_, pasteButton_, mirrorHor_,
                                                      mirrorVer_, rotateButton_})
        w->setEnabled(enabled);
}

void ToolPanel::singleSelectionToggled(bool on) {
    if (!on) return;
    const QList<VehicleForm*> forms = vehicleWindows();
    if (forms.isEmpty()) return;
    SyncSelection(forms.first());
    // The active window may have taken over another window's selection.
    UpdateSelectionInfo();
}

void ToolPanel::SyncSelection(VehicleForm* source) {
    for (VehicleForm* form : vehicleWindows()) {
        if (form == source) continue;
        form->SetSelection(source->Selection());
        form->PaintAllViews();
    }
}

void ToolPanel::activeWindowChanged() {
    UpdateSelectionInfo();
    UpdateZoomButtons();
    refreshPalette();
}

void ToolPanel::setSaveEnabled(bool enabled) {
    saveButton_->setEnabled(enabled);
}

void ToolPanel::applyTexts() {
    auto text = [this](int number) { return LookupQText(texts_, number, true); };
    saveButton_->setText(text(110));
    copyButton_->setText(text(111));
    pasteButton_->setText(text(112));
    mirrorHor_->setToolTip(text(113));
    mirrorVer_->setToolTip(text(114));
    rotateButton_->setText(text(115));
    // The hints name the keys; the format is looked up once for all of them.
    const QString keyHint = text(691);
    const auto withKey = [&keyHint](const QString& hint, Qt::Key key) {
        return FormatQText(keyHint, {hint, QKeySequence(key).toString(QKeySequence::NativeText)});
    };
    for (std::size_t i = 0; i < toolActions_.size(); ++i)
        toolActions_[i]->setToolTip(withKey(text(120 + static_cast<int>(i)), kToolKeys[i]));
    zoomIn_->setToolTip(text(126));
    zoomOut_->setToolTip(text(127));
    colorGroup_->setTitle(QLatin1Char(' ') + text(130) + QLatin1Char(' '));
    for (int i = 0; i < kColorTypeCount; ++i) {
        const QString item = text(kFirstTypeText + i);
        typeBoxes_[0]->setItemText(i, item);
        typeBoxes_[1]->setItemText(i, item);
    }
    SetMouseColor(0, mouseColors_[0], true);
    SetMouseColor(1, mouseColors_[1], true);
    const QString dayNight = text(150);
    daylightGroup_->setTitle(QLatin1Char(' ') + dayNight + QLatin1Char(' '));
    daylightGroup_->setToolTip(withKey(dayNight, kNightLevelKey));
    for (int i = 0; i < 4; ++i) nightButtons_[i]->setText(text(151 + i));
    singleSel_->setText(text(100));
    const QStringList marks = text(160).split(QLatin1Char(','));
    recent_->setMarks(marks);
    palette_->setMarks(marks);
    typedColors_[0]->setToolTip(text(162));
    typedColors_[1]->setToolTip(text(163));
    recentLabel_->setText(text(164));
    paletteLabel_->setText(text(165));
}

}  // namespace rvk
