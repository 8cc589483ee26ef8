#pragma once
// A tab widget whose pages the user can change only with its owner's consent. The owner's
// changing handler is asked before a click, a key or the mouse wheel would switch the page; a
// refused change leaves the page untouched, so nothing of the other page is shown and no
// change signal is emitted. Changes made from code (setCurrentIndex) are not asked about.

#include <QTabBar>
#include <QTabWidget>

#include <functional>

namespace ui::qt {

class PageControl : public QTabWidget {
    Q_OBJECT
public:
    // Returns true to allow the change of page.
    using ChangingHandler = std::function<bool()>;

    explicit PageControl(QWidget* parent = nullptr);

    void SetOnChanging(ChangingHandler handler) { onChanging_ = std::move(handler); }

    // Asks the handler whether the page may change to `index`; a change to the page that is
    // already shown is no change and is always allowed.
    bool MayChangeTo(int index) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ChangingHandler onChanging_;
};

// The tab bar of PageControl: it consults the page control before it acts on the user.
class GuardedTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit GuardedTabBar(PageControl* owner);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
#if QT_CONFIG(wheelevent)
    void wheelEvent(QWheelEvent* event) override;
#endif

private:
    PageControl* owner_;
};

} // namespace ui::qt
