#pragma once
// Which captions of a window do not fit the box the layout gives them: push buttons whose text
// is wider than their contents, labels whose text is wider than the label or that reach out of
// their parent, group boxes and radio buttons whose text is cut. Only what is shown counts (a
// page control shows one page at a time). Qt tests only.

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>

namespace testing_support {

inline int TextWidth(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(text);
}

inline QStringList CaptionsThatDoNotFit(const QWidget& window) {
    QStringList cut;
    const auto report = [&cut](const QWidget* widget, const QString& text, int need, int room) {
        cut << QStringLiteral("%1 \"%2\": needs %3 px, has %4")
                   .arg(widget->objectName(), text)
                   .arg(need)
                   .arg(room);
    };
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        if (!button->isVisible()) {
            continue;
        }
        QStyleOptionButton option;
        option.initFrom(button);
        option.rect = button->rect();
        option.text = button->text();
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        if (TextWidth(button, button->text()) > contents.width()) {
            report(button, button->text(), TextWidth(button, button->text()), contents.width());
        }
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisible()) {
            continue; // a picture, or on a page not shown
        }
        const int room = label->contentsRect().width();
        if (TextWidth(label, label->text()) > room ||
            !label->parentWidget()->rect().contains(label->geometry())) {
            report(label, label->text(), TextWidth(label, label->text()), room);
        }
    }
    for (const QGroupBox* group : window.findChildren<QGroupBox*>()) {
        // The title sits in the frame with a few pixels of frame on either side.
        const int room = group->width() - 16;
        if (TextWidth(group, group->title()) > room) {
            report(group, group->title(), TextWidth(group, group->title()), room);
        }
    }
    for (const QRadioButton* radio : window.findChildren<QRadioButton*>()) {
        const int room = radio->width() - radio->style()->pixelMetric(QStyle::PM_IndicatorWidth) -
                         radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        if (TextWidth(radio, radio->text()) > room) {
            report(radio, radio->text(), TextWidth(radio, radio->text()), room);
        }
    }
    return cut;
}

} // namespace testing_support
