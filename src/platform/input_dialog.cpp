#include "platform/input_dialog.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace rvk {

namespace {

// Multiply-divide rounded to the nearest integer, as dialog units are converted.
int MulDiv(int value, int numerator, int denominator) {
    return (value * numerator + denominator / 2) / denominator;
}

}  // namespace

TInputDialog::TInputDialog(QWidget* parent, const QString& caption, const QString& prompt,
                           const QString& initial, const QString& cancelText, int maxLength)
    : QDialog(parent),
      label_(new QLabel(prompt, this)),
      edit_(new QLineEdit(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(cancelText, this)) {
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QFontMetrics fm(font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int a = fm.horizontalAdvance(letters) / 52;
    const int h = fm.boundingRect(letters).height();
    const auto ux = [a](int units) { return MulDiv(units, a, 4); };
    const auto uy = [h](int units) { return MulDiv(units, h, 8); };

    label_->setWordWrap(true);
    const int maxLabelWidth = ux(164);
    const QRect textRect =
        fm.boundingRect(QRect(0, 0, maxLabelWidth, 100000), Qt::TextWordWrap, prompt);
    label_->setGeometry(ux(8), uy(8), std::min(textRect.width(), maxLabelWidth), textRect.height());

    const int editTop = label_->geometry().bottom() + 1 + 5;
    edit_->setMaxLength(maxLength);
    edit_->setText(initial);
    edit_->selectAll();
    edit_->setGeometry(ux(8), editTop, ux(164), edit_->sizeHint().height());

    const int buttonTop = edit_->geometry().bottom() + 1 + 15;
    ok_->setGeometry(ux(38), buttonTop, ux(50), uy(14));
    cancel_->setGeometry(ux(92), buttonTop, ux(50), uy(14));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(ux(180), buttonTop + uy(14) + 13);
    edit_->setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

QString TInputDialog::text() const {
    return edit_->text();
}

}  // namespace rvk
