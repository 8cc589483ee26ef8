#include "ui/qt/up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace ui::qt {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAccessibleName(QStringLiteral("+"));
    down_->setAccessibleName(QStringLiteral("-"));
    setFocusPolicy(Qt::StrongFocus);
    connect(up_, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { StepBy(-1); });
    UpdateButtons();
}

void UpDown::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    SetPosition(position_);
}

void UpDown::SetPosition(int position) {
    const int clamped = std::clamp(position, minimum_, maximum_);
    const bool changed = clamped != position_;
    position_ = clamped;
    ShowPosition();
    UpdateButtons();
    if (changed) {
        Q_EMIT PositionChanged(position_);
    }
}

void UpDown::StepBy(int steps) {
    // Widened so that a large step cannot overflow before the clamp.
    const long long target = static_cast<long long>(position_) + steps;
    SetPosition(static_cast<int>(std::clamp<long long>(target, minimum_, maximum_)));
}

void UpDown::SetAssociate(QLineEdit* edit) {
    if (associate_ != nullptr) {
        associate_->removeEventFilter(this);
    }
    associate_ = edit;
    if (associate_ != nullptr) {
        associate_->installEventFilter(this);
    }
    ShowPosition();
}

void UpDown::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        StepBy(1);
    } else if (event->key() == Qt::Key_Down) {
        StepBy(-1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void UpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int upperHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upperHeight);
    down_->setGeometry(0, upperHeight, width(), height() - upperHeight);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == associate_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            StepBy(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::ShowPosition() {
    if (associate_ != nullptr) {
        associate_->setText(QString::number(position_));
    }
}

void UpDown::UpdateButtons() {
    up_->setEnabled(position_ < maximum_);
    down_->setEnabled(position_ > minimum_);
}

} // namespace ui::qt
