// An up-down spinner without a text field: two arrow buttons that step a position
// within a range, never wrapping around. The caller shows the value in a label.
#pragma once

#include <QWidget>

class QToolButton;

namespace rvk {

class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    int position() const { return position_; }
    // Clamped to the range; emits nothing.
    void setPosition(int position);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // The position is clamped into the new range.
    void setRange(int minimum, int maximum);
    void setIncrement(int increment) { increment_ = increment; }

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    // An arrow moved the position; holding an arrow down repeats the step.
    void stepped();
    // The left mouse button came up on either arrow, after its last step.
    void released();

private:
    void step(int direction);

    QToolButton* up_;
    QToolButton* down_;
    int position_ = 0;
    int minimum_ = 0;
    int maximum_ = 100;
    int increment_ = 1;
};

}  // namespace rvk
