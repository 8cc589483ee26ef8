#include "ui/qt/radio_group.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QRadioButton>

namespace ui::qt {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    group_->setExclusive(true);
    SetItems(items);
}

void RadioGroup::SetItems(const QStringList& items) {
    for (QRadioButton* button : buttons_) {
        group_->removeButton(button);
        delete button;
    }
    buttons_.clear();
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), this);
        group_->addButton(button, i);
        buttons_.append(button);
        if (isVisible()) {
            button->show();
        }
    }
    ArrangeButtons();
}

int RadioGroup::ItemIndex() const {
    return group_->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) {
        buttons_.at(index)->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button, so lift the rule briefly.
    group_->setExclusive(false);
    for (QRadioButton* button : buttons_) {
        button->setChecked(false);
    }
    group_->setExclusive(true);
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    ArrangeButtons();
}

void RadioGroup::ArrangeButtons() {
    if (buttons_.isEmpty()) {
        return;
    }
    // The items share the area under the caption evenly, one row each, as the classic control
    // lays them out.
    const int topMargin = QFontMetrics(font()).height() + 1;
    const int rowHeight = (height() - topMargin - 4) / Count();
    for (int i = 0; i < Count(); ++i) {
        buttons_.at(i)->setGeometry(8, topMargin + i * rowHeight, width() - 16, rowHeight);
    }
}

} // namespace ui::qt
