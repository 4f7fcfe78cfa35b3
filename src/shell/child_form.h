// Base of every child window of the main frame. The main window and the dialogs tell
// the kind of a child by its tag, merge its Edit menu into the frame's menu bar while
// it is active, and re-apply its texts after a language change.
#pragma once

#include <QWidget>

class QMenu;

namespace rvk {

struct VehicleRec;

class TChildForm : public QWidget {
    Q_OBJECT
public:
    // Document windows carry their index in the document list at creation instead.
    static constexpr int kFleetKind = -1;
    static constexpr int kVehicleKind = -2;

    explicit TChildForm(int kindTag, QWidget* parent = nullptr);

    int kindTag() const { return kindTag_; }
    // mEdit: shown in the frame's menu bar between File and Options while active.
    QMenu* editMenu() const { return editMenu_; }

    // The document window this window belongs to (itself for a document window).
    virtual TChildForm* documentWindow() = 0;
    // Sets the captions from the current language texts.
    virtual void applyTexts() = 0;
    // The vehicle this window edits; only vehicle windows have one.
    virtual const VehicleRec* editedVehicle() const { return nullptr; }

    // Closes the frame's child window holding this one; false when the close was refused.
    bool closeWindow();

signals:
    // What the window has to say in the frame's status bar beside the document count
    // (the pointer's cell and pixel, the selection); empty for nothing.
    void statusInfo(const QString& text);

private:
    int kindTag_;
    QMenu* editMenu_;
};

}  // namespace rvk
