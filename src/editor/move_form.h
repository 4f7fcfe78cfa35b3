// The shift dialog: moves the end views of the vehicle window it was shown for up or
// down by whole rows. Created once at start-up beside the main window, it takes its
// texts then and is shown modally from the vehicle window's Edit menu.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rvk {

class LangTexts;
class ShiftTarget;

class TMoveForm : public QDialog {
    Q_OBJECT

public:
    // Runs the dialog modally; tests replace it so that nothing blocks.
    using ModalRunner = std::function<void(QDialog&)>;

    // The texts are looked up once, here; most of them are not needed again.
    TMoveForm(LangTexts& texts, QWidget* parent);
    ~TMoveForm() override;

    // The dialog for form, shown modally.
    void ShowFor(ShiftTarget* form);
    void setModalRunner(ModalRunner runner) { runModal_ = std::move(runner); }

    QLineEdit* moveEdit() const { return moveEdit_; }
    QLineEdit* roofEdit() const { return roofEdit_; }
    QRadioButton* upCheck() const { return upCheck_; }
    QRadioButton* downCheck() const { return downCheck_; }
    QPushButton* moveButton() const { return moveBtn_; }
    QPushButton* closeButton() const { return closeBtn_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateMoveButton();
    void moveClick();
    // The edit's text as a whole number; an error box when it is not one.
    std::optional<int> numberOf(QLineEdit* edit);
    // The window the dialog was shown for, while it lives.
    ShiftTarget* target() const { return formWidget_ ? form_ : nullptr; }

    LangTexts& texts_;
    ShiftTarget* form_ = nullptr;
    QPointer<QWidget> formWidget_;  // gone with the window
    ModalRunner runModal_;

    QLabel* label1_;
    QLineEdit* moveEdit_;
    QLabel* label2_;
    QLabel* label3_;
    QLineEdit* roofEdit_;
    QLabel* label4_;
    QRadioButton* upCheck_;
    QRadioButton* downCheck_;
    QPushButton* moveBtn_;
    QPushButton* closeBtn_;
};

}  // namespace rvk
