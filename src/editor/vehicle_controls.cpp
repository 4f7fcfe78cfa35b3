#include "editor/vehicle_controls.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <cstdint>

#include "editor/controls_target.h"
#include "editor/qt_support.h"
#include "editor/step_names.h"
#include "editor/up_down.h"
#include "editor/vehicle_owner.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"

namespace rvk {

namespace {

constexpr int kMaxInfoLength = static_cast<int>(kInfoCapacity) - 1;
// One vehicle pixel at normal scale, in millimetres.
constexpr int kPixelMillimetres = 467;
constexpr int kInfoTop = 20;
constexpr int kInfoPitch = 23;
constexpr int kInfoHeight = 21;
constexpr int kInfoLeft = 4;
constexpr int kInfoMargin = 7;

struct SizeRange {
    int minimum;
    int maximum;
    int increment;
};
// ud0..ud3 at normal and at Zoom2 scale.
constexpr std::array<SizeRange, 4> kNormalRanges = {
    {{8, 256, 2}, {2, 14, 1}, {4, 16, 2}, {2, 14, 1}}};
constexpr std::array<SizeRange, 4> kZoom2Ranges = {
    {{16, 512, 2}, {4, 28, 1}, {8, 32, 2}, {4, 28, 1}}};

// The record fields ud0..ud3 edit; the Zoom2 length is derived, never edited.
std::array<std::uint16_t*, 4> SizeFields(VehicleRec& r, bool zoom2) {
    if (zoom2) return {nullptr, &r.Zoom2HeightS, &r.Zoom2Width, &r.Zoom2HeightF};
    return {&r.Length, &r.HeightS, &r.Width, &r.HeightF};
}

}  // namespace

VehicleControls::VehicleControls(ControlsTarget& form, LangTexts& texts, QWidget* sizeSheet,
                                 QWidget* propsSheet, QWidget* infoPanel)
    : QObject(form.targetWidget()), form_(form), texts_(texts), infoPanel_(infoPanel) {
    buildSizeSheet(sizeSheet);
    buildPropsSheet(propsSheet);
    buildInfoPanel(infoPanel);
}

void VehicleControls::buildSizeSheet(QWidget* sheet) {
    static constexpr const char* kUpDownNames[] = {"ud0", "ud1", "ud2", "ud3"};
    static constexpr const char* kLabelNames[] = {"labLength", "labHeightS", "labWidth",
                                                  "labHeightF"};
    auto* grid = new QGridLayout(sheet);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto* upDown = new UpDown(sheet);
        upDown->setObjectName(QLatin1String(kUpDownNames[i]));
        auto* label = new QLabel(sheet);
        label->setObjectName(QLatin1String(kLabelNames[i]));
        grid->addWidget(upDown, i, 0);
        grid->addWidget(label, i, 1);
        upDowns_[static_cast<std::size_t>(i)] = upDown;
        sizeLabels_[static_cast<std::size_t>(i)] = label;
        connect(upDown, &UpDown::stepped, this, [this, upDown, i] {
            form_.BeginStep(step::kFirstSize + i);
            upDownClick(upDown);
        });
        // The steps of one press, and the steam points the new length fixes, are one
        // undo step.
        connect(upDown, &UpDown::released, this, [this, i] {
            if (i == 0) steamCheck();
            form_.EndStep();
        });
    }
    grid->setColumnStretch(1, 1);
}

void VehicleControls::buildPropsSheet(QWidget* sheet) {
    auto* grid = new QGridLayout(sheet);
    grid->setContentsMargins(6, 4, 6, 4);
    const auto add = [&](const char* name, int row, int column, int stepName) {
        auto* box = new QCheckBox(sheet);
        box->setObjectName(QLatin1String(name));
        grid->addWidget(box, row, column);
        if (stepName != 0)
            connect(box, &QCheckBox::clicked, this, [this, stepName] { propsClick(stepName); });
        return box;
    };
    cbSE_ = add("cbSE", 0, 0, step::kSingleEnded);
    cbMotor_ = add("cbMotor", 1, 0, step::kMotorized);
    cbZoom2_ = add("cbZoom2", 2, 0, 0);
    cbRev_ = add("cbRev", 0, 1, step::kRev);
    cbLwx_ = add("cbLwx", 1, 1, step::kLwx);
    cbExtra_ = add("cbExtra", 2, 1, step::kExtraViews);
    grid->setRowStretch(3, 1);
    connect(cbZoom2_, &QCheckBox::clicked, this, &VehicleControls::zoom2Click);
}

void VehicleControls::buildInfoPanel(QWidget* panel) {
    for (int i = 0; i < 5; ++i) {
        auto* edit = new QLineEdit(panel);
        edit->setObjectName(QStringLiteral("Info%1").arg(i));
        edit->setMaxLength(kMaxInfoLength);
        edit->move(kInfoLeft, kInfoTop + i * kInfoPitch);
        edit->resize(edit->width(), kInfoHeight);
        infos_[static_cast<std::size_t>(i)] = edit;
        connect(edit, &QLineEdit::textChanged, this, &VehicleControls::infoChange);
        // One undo step per finished edit of a field, not per key.
        connect(edit, &QLineEdit::editingFinished, this, [this] { form_.EndStep(); });
    }
    panel->installEventFilter(this);
}

bool VehicleControls::eventFilter(QObject* watched, QEvent* event) {
    if (watched == infoPanel_ && event->type() == QEvent::Resize)
        for (QLineEdit* edit : infos_) edit->resize(infoPanel_->width() - kInfoMargin, kInfoHeight);
    return QObject::eventFilter(watched, event);
}

void VehicleControls::ApplyTexts() {
    for (int i = 0; i < 4; ++i)
        sizeTexts_[static_cast<std::size_t>(i)] = LookupQText(texts_, 210 + i);
    cbSE_->setText(LookupQText(texts_, 215));
    cbMotor_->setText(LookupQText(texts_, 216));
    cbRev_->setText(LookupQText(texts_, 217));
    cbLwx_->setText(LookupQText(texts_, 218));
    cbExtra_->setText(LookupQText(texts_, 219));
    cbZoom2_->setText(LookupQText(texts_, 220));
}

void VehicleControls::FillControls() {
    filling_ = true;
    ApplyScaleLimits();
    const VehicleRec& r = *form_.Record();
    if (form_.ShowsZoom2()) {
        infos_[0]->setText(FromCp1252(r.Zoom2Info));
        upDowns_[0]->setPosition(2 * r.Length);
        upDowns_[1]->setPosition(r.Zoom2HeightS);
        upDowns_[2]->setPosition(r.Zoom2Width);
        upDowns_[3]->setPosition(r.Zoom2HeightF);
    } else {
        for (std::size_t i = 0; i < infos_.size(); ++i) infos_[i]->setText(FromCp1252(r.Info[i]));
        cbSE_->setChecked(r.Props & kSingleEnded);
        cbMotor_->setChecked(r.Props & kMotorized);
        cbRev_->setChecked(r.Props & kRev);
        cbLwx_->setChecked(r.Props & kLwx);
        cbExtra_->setChecked(r.Props & kExtraViews);
        upDowns_[0]->setPosition(r.Length);
        upDowns_[1]->setPosition(r.HeightS);
        upDowns_[2]->setPosition(r.Width);
        upDowns_[3]->setPosition(r.HeightF);
    }
    cbZoom2_->setChecked(r.Zoom2Exists);
    filling_ = false;
    ApplySizes(nullptr);
}

void VehicleControls::ApplyScaleLimits() {
    const bool zoom2 = form_.ShowsZoom2();
    const bool wasFilling = filling_;
    filling_ = true;
    for (std::size_t i = 1; i < infos_.size(); ++i) {
        QLineEdit* edit = infos_[i];
        edit->setEnabled(!zoom2);
        QPalette palette = infoPanel_->palette();
        if (zoom2) {
            for (QPalette::ColorGroup group :
                 {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Button));
            edit->clear();
        }
        edit->setPalette(palette);
    }
    filling_ = wasFilling;
    for (QCheckBox* box : {cbSE_, cbMotor_, cbRev_, cbLwx_, cbExtra_}) box->setEnabled(!zoom2);
    upDowns_[0]->setEnabled(!zoom2);
    const std::array<SizeRange, 4>& ranges = zoom2 ? kZoom2Ranges : kNormalRanges;
    for (std::size_t i = 0; i < upDowns_.size(); ++i) {
        upDowns_[i]->setRange(ranges[i].minimum, ranges[i].maximum);
        upDowns_[i]->setIncrement(ranges[i].increment);
    }
}

void VehicleControls::ApplySizes(const UpDown* changed) {
    const bool zoom2 = form_.ShowsZoom2();
    const std::array<std::uint16_t*, 4> fields = SizeFields(*form_.Record(), zoom2);
    const int scale = zoom2 ? 2 : 1;
    for (std::size_t i = 0; i < upDowns_.size(); ++i) {
        const int position = upDowns_[i]->position();
        if (upDowns_[i] == changed && fields[i]) {
            // The companion file records the length it was drawn for: a new length
            // has it written again, or the next opening would refuse it.
            if (fields[i] == &form_.Record()->Length && position != *fields[i])
                form_.Record()->Zoom2Modified = form_.Record()->Zoom2Exists;
            *fields[i] = static_cast<std::uint16_t>(position);
        }
        sizeLabels_[i]->setText(QStringLiteral("%1 = %2 (= %3 mm)")
                                    .arg(sizeTexts_[i])
                                    .arg(position)
                                    .arg(position * kPixelMillimetres / scale));
    }
    form_.Relayout();
}

void VehicleControls::upDownClick(const UpDown* upDown) {
    if (filling_) return;
    ApplySizes(upDown);
    form_.NoteChange();
}

void VehicleControls::steamCheck() {
    if (filling_ || form_.ShowsZoom2()) return;
    VehicleRec& r = *form_.Record();
    for (std::size_t i = 0; i < std::min<std::size_t>(r.SteamCount, 3); ++i) {
        const int length = r.Length;
        const int x = r.Steam[3 * i];
        std::uint16_t& steamLength = r.Steam[3 * i + 2];
        const int end = x + steamLength;
        if (x < length && end <= length) continue;
        if (x < length) {
            if (ask(564, 542, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes)
                steamLength = static_cast<std::uint16_t>(length - x);
            else
                lengthenTo(end);
        } else {
            ask(563, 543, MsgIcon::Warning, MsgButtons::Ok);
            lengthenTo(end);
        }
        // The release itself may have changed nothing, so the fix is noted on its own.
        form_.NoteChange();
        form_.PaintAllViews();
    }
}

void VehicleControls::lengthenTo(int end) {
    upDowns_[0]->setPosition(end);
    ApplySizes(upDowns_[0]);
}

void VehicleControls::propsClick(int stepName) {
    if (filling_ || form_.ShowsZoom2()) return;
    form_.BeginStep(stepName);
    VehicleRec& r = *form_.Record();
    const bool wasExtra = r.Props & kExtraViews;
    const bool rev = cbRev_->isChecked();
    const bool lwx = cbLwx_->isChecked();
    const bool extra = cbExtra_->isChecked();
    std::uint32_t props = kPixels32;
    if (cbSE_->isChecked()) props |= kSingleEnded;
    if (cbMotor_->isChecked()) props |= kMotorized;
    if (rev && !extra) props |= kRev;
    if (lwx && !extra) props |= kLwx;
    if (extra && !rev) props |= kExtraViews;
    r.Props = props;
    cbRev_->setEnabled(!extra);
    cbLwx_->setEnabled(!extra);
    cbExtra_->setEnabled(!rev && !lwx);
    // The stored bit decides: checking cbRev beside a checked cbExtra drops ExtraViews.
    if (((props & kExtraViews) != 0) != wasExtra) {
        form_.Relayout();
        // The companion file holds six or eight views as the bit says: it is written anew.
        if (r.Zoom2Exists) r.Zoom2Modified = true;
    }
    form_.NoteChange();
    form_.EndStep();
}

void VehicleControls::infoChange() {
    if (filling_) return;
    form_.BeginStep(step::kInfo);
    VehicleRec& r = *form_.Record();
    if (form_.ShowsZoom2()) {
        std::string text = ToCp1252(infos_[0]->text(), kInfoCapacity);
        if (text == r.Zoom2Info) return;
        form_.NoteChange();
        r.Zoom2Info = std::move(text);
        return;
    }
    std::array<std::string, 5> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = ToCp1252(infos_[i]->text(), kInfoCapacity);
    if (texts == r.Info) return;
    form_.NoteChange();
    r.Info = std::move(texts);
    form_.OwnerFleetWindow()->UpdateVehicleLine(&r);
    form_.UpdateCaption();
}

void VehicleControls::zoom2Click() {
    if (filling_) return;
    VehicleRec& r = *form_.Record();
    if (r.Zoom2Exists) {
        if (ask(569, 543, MsgIcon::Warning, MsgButtons::YesNo) != MsgAnswer::Yes) {
            setCheckedQuietly(cbZoom2_, true);
            return;
        }
        form_.BeginStep(step::kZoom2Off);
        r.Zoom2Exists = false;
        form_.ShowNormalTab();
        FillControls();
        form_.UpdateTabs();
        // The companion file goes at the next save, so the document must be saved.
        form_.NoteChange();
        form_.EndStep();
        return;
    }
    const std::string name = form_.OwnerFleetWindow()->CompanionFileName(&r);
    if (!name.empty() && FileExists(name)) {
        form_.BeginStep(step::kZoom2Read);
        ReadZoom2File(r, name);
        // An unreadable file leaves the vehicle without Zoom2 graphics, and the box says so.
        setCheckedQuietly(cbZoom2_, r.Zoom2Exists);
        form_.UpdateTabs();
        // The vehicle in memory changed, as with switching off or deriving: an autosave
        // taken while the graphics were off must be followed by one that has them.
        if (r.Zoom2Exists) form_.NoteChange();
        form_.EndStep();
        return;
    }
    if (ask(568, 542, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes) {
        setCheckedQuietly(cbZoom2_, false);
        return;
    }
    form_.BeginStep(step::kZoom2Derive);
    DeriveZoom2(r, texts_.lookup(506));
    FillControls();
    form_.UpdateTabs();
    form_.NoteChange();
    form_.EndStep();
}

void VehicleControls::setCheckedQuietly(QCheckBox* box, bool checked) {
    filling_ = true;
    box->setChecked(checked);
    filling_ = false;
}

MsgAnswer VehicleControls::ask(int text, int caption, MsgIcon icon, MsgButtons buttons) {
    return prompts().message(form_.targetWidget(), LookupQText(texts_, text),
                             LookupQText(texts_, caption), icon, buttons);
}

}  // namespace rvk
