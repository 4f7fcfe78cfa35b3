#include "editor/steam_form.h"

#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>
#include <optional>

#include "editor/qt_support.h"
#include "editor/steam_target.h"
#include "editor/step_names.h"
#include "platform/prompts.h"
#include "records/vehicle.h"

namespace rvk {

namespace {

constexpr int kMaxSteamPoints = 3;
constexpr int kNumberIndent = 2;
constexpr int kLowestY = 4;
constexpr int kHighestY = 13;

// Points in use; a count beyond the three slots never reaches past them.
int SteamCountOf(const VehicleRec& rec) {
    return std::min<int>(rec.SteamCount, kMaxSteamPoints);
}

// Paints a slot line from the dialog's line items, in the list's fixed-pitch font.
class SteamLineDelegate : public QStyledItemDelegate {
public:
    explicit SteamLineDelegate(TSteamForm* form) : QStyledItemDelegate(form), form_(form) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(option.rect,
                    option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        p->setFont(form_->steamList()->font());
        for (const auto& [offset, text] : form_->lineItems(index.row())) {
            const QRect r = option.rect.adjusted(offset, 0, 0, 0);
            p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
        }
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {0, TSteamForm::kLineHeight};
    }

private:
    TSteamForm* form_;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, 8);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int y) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(8, y, TSteamForm::kClientSize.width() - 16, 25);
    return button;
}

}  // namespace

TSteamForm::TSteamForm(LangTexts& texts, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      texts_(texts) {
    setObjectName(QStringLiteral("SteamForm"));
    setFixedSize(kClientSize);
    // The captions are taken once; removing them frees texts no one asks for again.
    const auto caption = [&texts](int number) { return LookupQText(texts, number, true); };
    setWindowTitle(caption(720));

    label1_ = MakeLabel(this, "Label1", caption(726), 8);
    label2_ = MakeLabel(this, "Label2", QStringLiteral("X"), 40);
    label3_ = MakeLabel(this, "Label3", QStringLiteral("Y"), 80);
    label4_ = MakeLabel(this, "Label4", caption(721), 120);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("SteamList"));
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setItemDelegate(new SteamLineDelegate(this));
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int i = 0; i < kMaxSteamPoints; ++i) list_->addItem(QString());
    list_->setGeometry(label1_->x(), 26, kClientSize.width() - 16,
                       kMaxSteamPoints * kLineHeight + 2 * list_->frameWidth());
    connect(list_, &QListWidget::itemSelectionChanged, this, &TSteamForm::updateButtons);

    bMove_ = MakeButton(this, "bMove", caption(723), 88);
    bEditLen_ = MakeButton(this, "bEditLen", caption(724), 118);
    bRemove_ = MakeButton(this, "bRemove", caption(725), 148);
    closeBtn_ = MakeButton(this, "CloseBtn", caption(522), 192);
    closeBtn_->setDefault(true);
    connect(bMove_, &QPushButton::clicked, this, &TSteamForm::moveClick);
    connect(bEditLen_, &QPushButton::clicked, this, &TSteamForm::editLenClick);
    connect(bRemove_, &QPushButton::clicked, this, &TSteamForm::removeClick);
    connect(closeBtn_, &QPushButton::clicked, this, &QDialog::accept);
}

TSteamForm* TSteamForm::Of(const QWidget* widget) {
    return widget->window()->findChild<TSteamForm*>(QString(), Qt::FindDirectChildrenOnly);
}

void TSteamForm::ShowFor(SteamTarget* form) {
    target_ = form;
    targetWidget_ = form->targetWidget();
    list_->viewport()->update();
    updateButtons();
    exec();
}

SteamTarget* TSteamForm::vehicleWindow() const {
    return targetWidget_ ? target_ : nullptr;
}

int TSteamForm::steamCount() const {
    const SteamTarget* form = vehicleWindow();
    return form ? SteamCountOf(*form->Record()) : 0;
}

int TSteamForm::selectedSlot() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

std::vector<std::pair<int, QString>> TSteamForm::lineItems(int slot) const {
    std::vector<std::pair<int, QString>> items{
        {kNumberIndent, QStringLiteral("%1:").arg(slot + 1)}};
    const int left = label1_->x();
    if (slot < steamCount()) {
        const auto& steam = vehicleWindow()->Record()->Steam;
        const QLabel* columns[] = {label2_, label3_, label4_};
        for (int k = 0; k < 3; ++k)
            items.emplace_back(columns[k]->x() - left, QString::number(steam[3 * slot + k]));
    } else {
        items.emplace_back(label2_->x() - left, LookupQText(texts_, 722));
    }
    return items;
}

void TSteamForm::updateButtons() {
    const int slot = selectedSlot();
    const int count = steamCount();
    const bool pointSelected = slot >= 0 && slot < count;
    bEditLen_->setEnabled(pointSelected);
    bRemove_->setEnabled(pointSelected);
    bMove_->setEnabled(vehicleWindow() && (slot >= 0 || count < kMaxSteamPoints));
}

void TSteamForm::moveClick() {
    SteamTarget* form = vehicleWindow();
    if (!form) return;
    if (form->ShowsZoom2()) {
        if (prompts().message(this, LookupQText(texts_, 571), LookupQText(texts_, 540),
                              MsgIcon::Information, MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        form->ShowNormalTab();
    }
    prompts().message(this, LookupQText(texts_, 558), LookupQText(texts_, 540),
                      MsgIcon::Information, MsgButtons::Ok);
    // The target is settled now: the list may show another vehicle by the time of the
    // click.
    const int slot = selectedSlot();
    form->BeginSteamPlacing(slot < steamCount() ? slot : -1);
    accept();
}

void TSteamForm::PlacingClick(SteamTarget* form, int view, int X, int Y) {
    const QWidget* box = form->View(view);
    if (X < 0 || Y < 0 || X > box->width() || Y > box->height()) return;
    VehicleRec& rec = *form->Record();
    // Points are kept at normal scale; a click into the Zoom2 graphics counts for the
    // normal cell it covers. The height is counted from the plane's bottom row, where
    // the markers stand, also when the top rows of the view are hidden.
    const bool zoom2 = form->ShowsZoom2();
    const int scale = zoom2 ? 2 : 1;
    const int x = X / form->Zoom() / scale;
    const int row = (Y / form->Zoom() + RowOffset(rec, view, zoom2)) / scale;
    const int y = PlaneOf(&rec, view, false).height - 1 - row;
    // A point must start on the vehicle: column Length lies past its end.
    if (view == 1 && x < rec.Length && y >= kLowestY && y <= kHighestY) {
        int slot = form->SteamPlacingSlot();
        const bool added = slot < 0 || slot >= SteamCountOf(rec);
        // All three slots in use leave no room for a new point.
        if (added && SteamCountOf(rec) == kMaxSteamPoints) {
            form->EndSteamPlacing(false);
            return;
        }
        form->BeginStep(added ? step::kAddSteam : step::kMoveSteam);
        if (added) {
            slot = SteamCountOf(rec);
            rec.SteamCount = static_cast<std::uint8_t>(slot + 1);
        }
        std::uint16_t* point = &rec.Steam[static_cast<std::size_t>(3 * slot)];
        point[0] = static_cast<std::uint16_t>(x);
        point[1] = static_cast<std::uint16_t>(y);
        // The length carried over must not reach beyond the vehicle's end.
        point[2] =
            static_cast<std::uint16_t>(std::clamp<int>(point[2], 1, std::max(1, rec.Length - x)));
        form->EndStep();
        form->EndSteamPlacing(true);
        return;
    }
    if (prompts().message(form->targetWidget(), LookupQText(texts_, 559), LookupQText(texts_, 544),
                          MsgIcon::Error, MsgButtons::YesNo) != MsgAnswer::Yes)
        form->EndSteamPlacing(false);
}

void TSteamForm::editLenClick() {
    const int slot = selectedSlot();
    SteamTarget* form = vehicleWindow();
    if (!form || slot < 0 || slot >= steamCount()) return;
    std::uint16_t& length = form->Record()->Steam[static_cast<std::size_t>(3 * slot + 2)];
    const long long max = form->Record()->Length - form->Record()->Steam[3 * slot];
    const QString prompt = FromCp1252(FormatText(texts_.lookup(561), {max}));
    int value = 0;
    for (;;) {
        // A rejected entry is not offered again: the box comes back with the stored length.
        const std::optional<QString> entry =
            prompts().inputBox(this, LookupQText(texts_, 560), prompt, QString::number(length));
        if (!entry) return;
        bool ok = false;
        value = entry->trimmed().toInt(&ok, 10);
        if (ok && value > 0 && value <= max) break;
        prompts().message(this, FromCp1252(FormatText(texts_.lookup(562), {max})),
                          LookupQText(texts_, 544), MsgIcon::Error, MsgButtons::Ok);
    }
    form->BeginStep(step::kSteamLength);
    length = static_cast<std::uint16_t>(value);
    pointChanged();
    form->EndStep();
}

void TSteamForm::removeClick() {
    const int slot = selectedSlot();
    SteamTarget* form = vehicleWindow();
    if (!form || slot < 0 || slot >= steamCount()) return;
    VehicleRec& rec = *form->Record();
    form->BeginStep(step::kDeleteSteam);
    for (int i = slot; i < kMaxSteamPoints - 1; ++i)
        for (int k = 0; k < 3; ++k) rec.Steam[3 * i + k] = rec.Steam[3 * (i + 1) + k];
    for (int k = 0; k < 3; ++k) rec.Steam[3 * (kMaxSteamPoints - 1) + k] = 1;
    rec.SteamCount = static_cast<std::uint8_t>(steamCount() - 1);
    pointChanged();
    form->EndStep();
    updateButtons();
}

void TSteamForm::pointChanged() {
    list_->viewport()->update();
    SteamTarget* form = vehicleWindow();
    form->PaintAllViews();
    form->NoteChange();
}

}  // namespace rvk
