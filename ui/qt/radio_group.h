#pragma once
// A captioned group of mutually exclusive radio buttons in one column, addressed by item index
// like the classic radio-group control: -1 means no item is selected.

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace ui::qt {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int Count() const { return static_cast<int>(buttons_.size()); }
    // Replaces the items; none is selected afterwards.
    void SetItems(const QStringList& items);
    QRadioButton* Button(int index) const { return buttons_.at(index); }

    int ItemIndex() const;
    // An index outside the items clears the selection.
    void SetItemIndex(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ArrangeButtons();

    QButtonGroup* group_;
    QList<QRadioButton*> buttons_;
};

} // namespace ui::qt
