#include "ui/qt/status_bar.h"

#include <QLabel>

namespace ui::qt {

StatusBar::StatusBar(const QList<PanelSpec>& panels, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int i = 0; i < panels.size(); ++i) {
        auto* label = new QLabel(panels.at(i).text, this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        const bool last = i == panels.size() - 1;
        if (last) {
            label->setMinimumWidth(panels.at(i).width);
            addWidget(label, 1);
        } else {
            label->setFixedWidth(panels.at(i).width);
            addWidget(label);
        }
        panels_.append(label);
    }
}

QString StatusBar::PanelText(int index) const {
    return index >= 0 && index < PanelCount() ? panels_.at(index)->text() : QString();
}

void StatusBar::SetPanelText(int index, const QString& text) {
    if (index >= 0 && index < PanelCount()) {
        panels_.at(index)->setText(text);
    }
}

} // namespace ui::qt
