// The Qt user-interface services: what each modal box looks like and returns, and the cursor.

#include "ui/qt/qt_ui_services.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `inspect` on the modal box once it is up (the box's own event loop is running then),
// so the test can look at it and close it.
void WhenModalShown(std::function<void(QWidget*)> inspect) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inspect] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            inspect(modal);
        }
    });
    poll->start();
}

} // namespace

class QtUiServicesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boxes_data();
    void boxes();
    void inputBox_data();
    void inputBox();
    void hourglassIsOneOverrideCursor();
};

void QtUiServicesTest::boxes_data() {
    QTest::addColumn<bool>("exception"); // the exception box, or the message box
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("icon");
    const int none = QMessageBox::NoIcon;
    const int error = QMessageBox::Critical;
    QTest::newRow("message, line feed kept")
        << false << "Верхнее значение диапазона \nвне допустимого диапазона датчика!"
        << "Верхнее значение диапазона \nвне допустимого диапазона датчика!" << none;
    QTest::newRow("message, no full stop added") << false << "Ошибка"
                                                 << "Ошибка" << none;
    QTest::newRow("exception, letter gets a full stop") << true << "Failed to load settings"
                                                        << "Failed to load settings." << error;
    QTest::newRow("exception, cyrillic gets a full stop") << true << "Ошибка"
                                                          << "Ошибка." << error;
    QTest::newRow("exception, full stop kept") << true << "Done."
                                               << "Done." << error;
    QTest::newRow("exception, exclamation kept") << true << "Нет связи с прибором!"
                                                 << "Нет связи с прибором!" << error;
    QTest::newRow("exception, conversion error") << true << "'x' is not a valid integer value"
                                                 << "'x' is not a valid integer value." << error;
    QTest::newRow("exception, empty") << true << ""
                                      << "" << error;
}

// One OK button under the application's title; the exception box has the error icon and ends
// its text with a full stop, the message box shows its text as it is, without an icon.
void QtUiServicesTest::boxes() {
    QFETCH(bool, exception);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(int, icon);
    ui::qt::QtUiServices ui(QStringLiteral("Конфигуратор ЛИРАТ-5"));
    QString text;
    QString title;
    int seenIcon = -1;
    int buttons = 0;
    WhenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        text = box->text();
        title = box->windowTitle();
        seenIcon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    if (exception) {
        ui.ShowException(message.toStdString());
    } else {
        ui.ShowMessage(message.toStdString());
    }
    QCOMPARE(text, shown);
    QCOMPARE(title, QStringLiteral("Конфигуратор ЛИРАТ-5"));
    QCOMPARE(seenIcon, icon);
    QCOMPARE(buttons, 1);
}

void QtUiServicesTest::inputBox_data() {
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("answer");
    QTest::newRow("OK returns the edit") << true << "4,05";
    QTest::newRow("Cancel returns the default") << false << "0";
}

void QtUiServicesTest::inputBox() {
    QFETCH(bool, ok);
    QFETCH(QString, answer);
    ui::qt::QtUiServices ui(QStringLiteral("Конфигуратор ЛИРАТ-5"));
    QString title;
    QString label;
    QString initial;
    WhenModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        QVERIFY(dialog != nullptr);
        title = dialog->windowTitle();
        label = dialog->labelText();
        initial = dialog->textValue();
        dialog->setTextValue(QStringLiteral("4,05"));
        if (ok) {
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    QCOMPARE(QString::fromStdString(ui.InputBox("Калибровка минимума выходного сигнала",
                                                "Введите измеренное значение выхода", "0")),
             answer);
    QCOMPARE(title, QStringLiteral("Калибровка минимума выходного сигнала"));
    QCOMPARE(label, QStringLiteral("Введите измеренное значение выхода"));
    QCOMPARE(initial, QStringLiteral("0"));
}

void QtUiServicesTest::hourglassIsOneOverrideCursor() {
    {
        ui::qt::QtUiServices ui(QStringLiteral("Конфигуратор ЛИРАТ-5"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        ui.SetCursor(protocol::CursorShape::Hourglass);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui.SetCursor(protocol::CursorShape::Hourglass); // again: still one entry
        ui.SetCursor(protocol::CursorShape::Default);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        ui.SetCursor(protocol::CursorShape::Default); // again: nothing to undo
        QVERIFY(QApplication::overrideCursor() == nullptr);
        ui.SetCursor(protocol::CursorShape::Hourglass);
    }
    // The services restore the cursor when they go away with the hourglass still up.
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

QTEST_MAIN(QtUiServicesTest)
#include "qt_ui_services_test.moc"
