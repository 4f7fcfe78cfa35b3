// The list of fleet or vehicle names in the document and fleet windows: one selected
// line at most and a fixed line height. A left click below the last line clears the
// selection (single-selection lists do that), so that New and Paste then add at the end.
// The right button leaves the selection as it is: the popup it opens acts on that.
#pragma once

#include <QListWidget>

class QMenu;

namespace rvk {

class NameListBox : public QListWidget {
    Q_OBJECT
public:
    // popup: shown on a right click (after its enabling is computed on opening).
    NameListBox(int lineHeight, QMenu* popup, QWidget* parent);

    void insertLine(int row, const QString& text);
    // The selected line, -1 for none.
    int selectedRow() const;
    // Selects the line; -1 clears the selection.
    void selectRow(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int lineHeight_;
};

}  // namespace rvk
