#include "ui/qt/page_control.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace ui::qt {

PageControl::PageControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new GuardedTabBar(this));
}

bool PageControl::MayChangeTo(int index) const {
    if (index == currentIndex()) {
        return true;
    }
    return !onChanging_ || onChanging_();
}

void PageControl::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab and Ctrl+Shift+Tab step through the pages.
    const bool stepsPage = (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
                           (event->modifiers() & Qt::ControlModifier) && count() > 1;
    if (stepsPage && !MayChangeTo(-1)) {
        event->accept();
        return;
    }
    QTabWidget::keyPressEvent(event);
}

GuardedTabBar::GuardedTabBar(PageControl* owner) : QTabBar(owner), owner_(owner) {}

void GuardedTabBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int index = tabAt(event->position().toPoint());
        if (index >= 0 && !owner_->MayChangeTo(index)) {
            event->accept();
            return;
        }
    }
    QTabBar::mousePressEvent(event);
}

void GuardedTabBar::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = tabAt(event->position().toPoint());
    if (index >= 0 && !owner_->MayChangeTo(index)) {
        event->accept();
        return;
    }
    QTabBar::mouseDoubleClickEvent(event);
}

void GuardedTabBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!owner_->MayChangeTo(-1)) {
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QTabBar::keyPressEvent(event);
}

#if QT_CONFIG(wheelevent)
void GuardedTabBar::wheelEvent(QWheelEvent* event) {
    if (!owner_->MayChangeTo(-1)) {
        event->accept();
        return;
    }
    QTabBar::wheelEvent(event);
}
#endif

} // namespace ui::qt
