#include "editor/move_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "editor/qt_support.h"
#include "editor/shift_target.h"
#include "platform/prompts.h"
#include "records/end_view_shift.h"

namespace rvk {

namespace {

constexpr QSize kClientSize{249, 139};

// The key filter of both edits lets through digits, "." and the editing keys.
bool AcceptedCharacter(QChar c) {
    return !c.isPrint() || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           c == QLatin1Char('.');
}

}  // namespace

TMoveForm::TMoveForm(LangTexts& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint),
      texts_(texts),
      runModal_([](QDialog& dialog) { dialog.exec(); }) {
    setObjectName(QStringLiteral("MoveForm"));
    setModal(true);
    setWindowTitle(LookupQText(texts, 800, true));

    label1_ = new QLabel(LookupQText(texts, 801, true), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    moveEdit_ = new QLineEdit(QStringLiteral("1"), this);
    moveEdit_->setObjectName(QStringLiteral("MoveEdit"));
    label2_ = new QLabel(LookupQText(texts, 802, true), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label3_ = new QLabel(LookupQText(texts, 803, true), this);
    label3_->setObjectName(QStringLiteral("Label3"));
    roofEdit_ = new QLineEdit(QStringLiteral("0"), this);
    roofEdit_->setObjectName(QStringLiteral("RoofEdit"));
    label4_ = new QLabel(label2_->text(), this);
    label4_->setObjectName(QStringLiteral("Label4"));
    upCheck_ = new QRadioButton(LookupQText(texts, 804, true), this);
    upCheck_->setObjectName(QStringLiteral("UpCheck"));
    downCheck_ = new QRadioButton(LookupQText(texts, 805, true), this);
    downCheck_->setObjectName(QStringLiteral("DownCheck"));
    downCheck_->setChecked(true);
    moveBtn_ = new QPushButton(LookupQText(texts, 806, true), this);
    moveBtn_->setObjectName(QStringLiteral("MoveBtn"));
    moveBtn_->setDefault(true);
    closeBtn_ = new QPushButton(LookupQText(texts, 522), this);
    closeBtn_->setObjectName(QStringLiteral("CloseBtn"));
    closeBtn_->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label1_, 0, 0);
    grid->addWidget(moveEdit_, 0, 1);
    grid->addWidget(label2_, 0, 2);
    grid->addWidget(label3_, 1, 0);
    grid->addWidget(roofEdit_, 1, 1);
    grid->addWidget(label4_, 1, 2);
    auto* directions = new QHBoxLayout;
    directions->addWidget(upCheck_);
    directions->addWidget(downCheck_);
    directions->addStretch(1);
    grid->addLayout(directions, 2, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(moveBtn_);
    buttons->addWidget(closeBtn_);
    grid->addLayout(buttons, 3, 0, 1, 3);
    setFixedSize(kClientSize);

    for (QLineEdit* edit : {moveEdit_, roofEdit_}) edit->installEventFilter(this);
    connect(moveEdit_, &QLineEdit::textChanged, this, &TMoveForm::updateMoveButton);
    for (QRadioButton* r : {upCheck_, downCheck_})
        connect(r, &QRadioButton::clicked, this, &TMoveForm::updateMoveButton);
    connect(moveBtn_, &QPushButton::clicked, this, &TMoveForm::moveClick);
    connect(closeBtn_, &QPushButton::clicked, this, &QDialog::reject);
}

TMoveForm::~TMoveForm() = default;

void TMoveForm::ShowFor(ShiftTarget* form) {
    form_ = form;
    formWidget_ = form ? form->targetWidget() : nullptr;
    updateMoveButton();
    runModal_(*this);
}

bool TMoveForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == moveEdit_ || watched == roofEdit_) && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() == 1 && !AcceptedCharacter(typed[0])) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TMoveForm::updateMoveButton() {
    bool ok = false;
    int n = moveEdit_->text().toInt(&ok, 10);
    if (!ok) n = 0;
    ShiftTarget* form = target();
    moveBtn_->setEnabled(
        form && CanShiftEndViews(*form->Record(), form->ShowsZoom2(), n, upCheck_->isChecked()));
}

std::optional<int> TMoveForm::numberOf(QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().toInt(&ok, 10);
    if (ok) return value;
    // Said plainly, instead of failing the whole command with a conversion error.
    prompts().message(
        this,
        FromCp1252(FormatText(texts_.lookup(807), {Utf8ToCp1252(edit->text().toStdString())})),
        LookupQText(texts_, 544), MsgIcon::Error, MsgButtons::Ok);
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

void TMoveForm::moveClick() {
    ShiftTarget* form = target();
    if (!form) return;
    const std::optional<int> roof = numberOf(roofEdit_);
    if (!roof) return;
    const std::optional<int> count = numberOf(moveEdit_);
    if (!count) return;
    // The roof part that fit is shown, so the edit tells what was carried along.
    if (const std::optional<int> carried =
            form->ShiftEndViews(*count, *roof, upCheck_->isChecked());
        carried && *carried != *roof)
        roofEdit_->setText(QString::number(*carried));
    updateMoveButton();
}

}  // namespace rvk
