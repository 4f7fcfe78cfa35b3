// The steam points dialog: lists the three steam slots of one vehicle, adds or moves a
// point by a click into the vehicle window's left side view, edits a point's length and
// removes points. It is created once, as a child of the main window, and shown modally
// for one vehicle window at a time.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QSize>
#include <QString>
#include <utility>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace rvk {

class LangTexts;
class SteamTarget;

class TSteamForm : public QDialog {
    Q_OBJECT

public:
    static constexpr QSize kClientSize{217, 225};
    static constexpr int kLineHeight = 16;

    // Takes its captions from texts now, once; its messages follow later language changes.
    TSteamForm(LangTexts& texts, QWidget* mainWindow);

    // The dialog of the main window that holds widget, or nullptr when there is none.
    static TSteamForm* Of(const QWidget* widget);

    // iSteam: works for form from now on and is shown modally.
    void ShowFor(SteamTarget* form);
    // The vehicle window worked for, nullptr once it is gone.
    SteamTarget* vehicleWindow() const;
    // The click of a vehicle window waiting to place a point: (X, Y) in the paint box of
    // view, in screen pixels.
    void PlacingClick(SteamTarget* form, int view, int X, int Y);

    // The selected line, -1 when none.
    int selectedSlot() const;
    // What a list line shows: each text with its offset from the line's left edge.
    std::vector<std::pair<int, QString>> lineItems(int slot) const;

    QListWidget* steamList() const { return list_; }
    QPushButton* moveButton() const { return bMove_; }
    QPushButton* editLenButton() const { return bEditLen_; }
    QPushButton* removeButton() const { return bRemove_; }
    QPushButton* closeButton() const { return closeBtn_; }

private:
    int steamCount() const;
    void updateButtons();
    void moveClick();
    void editLenClick();
    void removeClick();
    void pointChanged();

    LangTexts& texts_;
    SteamTarget* target_ = nullptr;
    QPointer<QWidget> targetWidget_;  // guards target_
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* bMove_ = nullptr;
    QPushButton* bEditLen_ = nullptr;
    QPushButton* bRemove_ = nullptr;
    QPushButton* closeBtn_ = nullptr;
};

}  // namespace rvk
