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
    void messageBoxHasOneOkAndNoIcon();
    void exceptionBox_data();
    void exceptionBox();
    void inputBoxReturnsTheEditOnOk();
    void inputBoxReturnsTheDefaultOnCancel();
    void hourglassIsOneOverrideCursor();
};

void QtUiServicesTest::messageBoxHasOneOkAndNoIcon() {
    ui::qt::QtUiServices ui(QStringLiteral("Конфигуратор ЛИРАТ-5"));
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::Critical;
    int buttons = 0;
    WhenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    ui.ShowMessage("Верхнее значение диапазона \nвне допустимого диапазона датчика!");
    QCOMPARE(text,
             QStringLiteral("Верхнее значение диапазона \nвне допустимого диапазона датчика!"));
    QCOMPARE(title, QStringLiteral("Конфигуратор ЛИРАТ-5"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, 1);
}

void QtUiServicesTest::exceptionBox_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter gets a full stop") << "Failed to load settings"
                                             << "Failed to load settings.";
    QTest::newRow("cyrillic gets a full stop") << "Ошибка"
                                               << "Ошибка.";
    QTest::newRow("full stop kept") << "Done."
                                    << "Done.";
    QTest::newRow("exclamation kept") << "Нет связи с прибором!"
                                      << "Нет связи с прибором!";
    QTest::newRow("conversion error") << "'x' is not a valid integer value"
                                      << "'x' is not a valid integer value.";
    QTest::newRow("empty") << ""
                           << "";
}

void QtUiServicesTest::exceptionBox() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    ui::qt::QtUiServices ui(QStringLiteral("Конфигуратор ЛИРАТ-5"));
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    ui.ShowException(message.toStdString());
    QCOMPARE(text, shown);
    QCOMPARE(title, QStringLiteral("Конфигуратор ЛИРАТ-5"));
    QCOMPARE(icon, QMessageBox::Critical);
}

void QtUiServicesTest::inputBoxReturnsTheEditOnOk() {
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
        dialog->accept();
    });
    const std::string answer = ui.InputBox("Калибровка минимума выходного сигнала",
                                           "Введите измеренное значение выхода", "0");
    QCOMPARE(QString::fromStdString(answer), QStringLiteral("4,05"));
    QCOMPARE(title, QStringLiteral("Калибровка минимума выходного сигнала"));
    QCOMPARE(label, QStringLiteral("Введите измеренное значение выхода"));
    QCOMPARE(initial, QStringLiteral("0"));
}

void QtUiServicesTest::inputBoxReturnsTheDefaultOnCancel() {
    ui::qt::QtUiServices ui(QStringLiteral("Конфигуратор ЛИРАТ-5"));
    WhenModalShown([](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->setTextValue(QStringLiteral("typed but cancelled"));
        dialog->reject();
    });
    QCOMPARE(ui.InputBox("c", "p", "20"), std::string("20"));
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
