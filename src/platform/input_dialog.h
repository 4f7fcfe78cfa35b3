// The small name-input dialog that Prompts::nameInput shows (for fleet and vehicle names). It
// is laid out in dialog units of its font so it scales with the system font like the others.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace rvk {

class TInputDialog : public QDialog {
    Q_OBJECT
public:
    TInputDialog(QWidget* parent, const QString& caption, const QString& prompt,
                 const QString& initial, const QString& cancelText, int maxLength);

    QString text() const;
    QLineEdit* edit() const { return edit_; }
    QLabel* promptLabel() const { return label_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QLabel* label_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace rvk
