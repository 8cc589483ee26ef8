#pragma once
// The window's timer as the window's logic sees it, over a QTimer that ticks on the GUI thread
// through Qt's event loop.

#include "ui/control.h"

#include <QTimer>

namespace ui::qt {

class QtTimer final : public Timer {
public:
    // The QTimer belongs to `owner` (the window) and dies with it.
    explicit QtTimer(QObject* owner) : timer_(new QTimer(owner)) {}

    QTimer* Get() const { return timer_; }

    void SetEnabled(bool enabled) override {
        if (enabled) {
            timer_->start();
        } else {
            timer_->stop();
        }
    }
    bool Enabled() const override { return timer_->isActive(); }
    void SetInterval(int milliseconds) override { timer_->setInterval(milliseconds); }
    int Interval() const override { return timer_->interval(); }

private:
    QTimer* timer_;
};

} // namespace ui::qt
