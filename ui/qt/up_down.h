#pragma once
// A vertical up-down control that sits beside a read-only edit box and shows its position in
// it, like the classic Windows up-down with an attached buddy: two arrow buttons, the arrow
// keys step the position (also while the edit box has the focus), the position stays within
// its range and never wraps around.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace ui::qt {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    int Position() const { return position_; }
    // Clamps to the range; the attached edit box shows the result.
    void SetPosition(int position);
    // Moves by `steps` increments, stopping at the ends.
    void StepBy(int steps);

    // The edit box that shows the position; its Up and Down keys step the control.
    void SetAssociate(QLineEdit* edit);
    QLineEdit* Associate() const { return associate_; }

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

Q_SIGNALS:
    void PositionChanged(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPosition();
    void UpdateButtons();

    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* associate_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};

} // namespace ui::qt
