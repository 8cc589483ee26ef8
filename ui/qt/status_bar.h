#pragma once
// The window's status bar with a fixed number of text panels. Every panel but the last has a
// fixed width; the last one starts at its nominal width and takes the rest of the bar, so the
// whole of a long text stays readable.

#include <QList>
#include <QStatusBar>

class QLabel;

namespace ui::qt {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    struct PanelSpec {
        QString text;
        int width;
    };

    StatusBar(const QList<PanelSpec>& panels, QWidget* parent = nullptr);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    QLabel* Panel(int index) const { return panels_.at(index); }
    QString PanelText(int index) const;
    // An index without a panel is ignored.
    void SetPanelText(int index, const QString& text);

private:
    QList<QLabel*> panels_;
};

} // namespace ui::qt
