// The small controls the main window is built from: the up-down with its edit box, the radio
// group and the status bar.

#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class ControlsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void upDownClampsToItsRange_data();
    void upDownClampsToItsRange();
    void upDownStopsAtTheEnds();
    void upDownArrowKeysStepInTheEditBoxToo();
    void upDownArrowButtonsStep();
    void radioGroupSelection();
    void statusBarPanels();
};

void ControlsTest::upDownClampsToItsRange_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("shown");
    QTest::newRow("inside") << 7 << 7;
    QTest::newRow("lowest") << 1 << 1;
    QTest::newRow("highest") << 100 << 100;
    QTest::newRow("below") << 0 << 1;
    QTest::newRow("negative") << -5 << 1;
    QTest::newRow("above") << 101 << 100;
    QTest::newRow("far above") << 70000 << 100;
}

void ControlsTest::upDownClampsToItsRange() {
    QFETCH(int, requested);
    QFETCH(int, shown);
    QWidget parent;
    QLineEdit edit(&parent);
    ui::qt::UpDown upDown(&parent);
    upDown.SetAssociate(&edit);
    upDown.SetRange(1, 100);
    upDown.SetPosition(requested);
    QCOMPARE(upDown.Position(), shown);
    QCOMPARE(edit.text(), QString::number(shown));
}

void ControlsTest::upDownStopsAtTheEnds() {
    QLineEdit edit;
    ui::qt::UpDown upDown;
    upDown.SetAssociate(&edit);
    upDown.SetRange(1, 100);
    upDown.SetPosition(1);
    QSignalSpy changes(&upDown, &ui::qt::UpDown::PositionChanged);
    upDown.StepBy(-1);
    QCOMPARE(upDown.Position(), 1); // no wrap-around to 100
    QCOMPARE(changes.count(), 0);
    upDown.SetPosition(100);
    upDown.StepBy(1);
    QCOMPARE(upDown.Position(), 100); // no wrap-around to 1
    upDown.StepBy(-2);
    QCOMPARE(upDown.Position(), 98);
    QCOMPARE(edit.text(), QStringLiteral("98"));
    upDown.StepBy(1000000000);
    QCOMPARE(upDown.Position(), 100);
}

void ControlsTest::upDownArrowKeysStepInTheEditBoxToo() {
    QWidget parent;
    auto* edit = new QLineEdit(&parent);
    edit->setReadOnly(true);
    auto* upDown = new ui::qt::UpDown(&parent);
    upDown->SetAssociate(edit);
    upDown->SetRange(1, 100);
    upDown->SetPosition(5);
    QTest::keyClick(upDown, Qt::Key_Up);
    QCOMPARE(upDown->Position(), 6);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(upDown->Position(), 4);
    QCOMPARE(edit->text(), QStringLiteral("4"));
    // Typing does not change a read-only box, so the arrows are the only way.
    QTest::keyClicks(edit, QStringLiteral("9"));
    QCOMPARE(edit->text(), QStringLiteral("4"));
    QCOMPARE(upDown->Position(), 4);
}

void ControlsTest::upDownArrowButtonsStep() {
    QWidget parent;
    auto* edit = new QLineEdit(&parent);
    auto* upDown = new ui::qt::UpDown(&parent);
    upDown->SetAssociate(edit);
    upDown->SetRange(1, 100);
    upDown->SetPosition(1);
    upDown->resize(16, 21);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QVERIFY(!upDown->DownButton()->isEnabled());
    QTest::mouseClick(upDown->UpButton(), Qt::LeftButton);
    QTest::mouseClick(upDown->UpButton(), Qt::LeftButton);
    QCOMPARE(upDown->Position(), 3);
    QVERIFY(upDown->DownButton()->isEnabled());
    QTest::mouseClick(upDown->DownButton(), Qt::LeftButton);
    QCOMPARE(edit->text(), QStringLiteral("2"));
    // Both halves of the control are arrows: the upper one up, the lower one down.
    QVERIFY(upDown->UpButton()->geometry().bottom() < upDown->DownButton()->geometry().top());
    QCOMPARE(upDown->UpButton()->height() + upDown->DownButton()->height(), 21);
}

void ControlsTest::radioGroupSelection() {
    ui::qt::RadioGroup group(QStringLiteral(" Тип выхода "),
                             {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    group.resize(89, 145);
    group.show();
    QVERIFY(QTest::qWaitForWindowExposed(&group));
    QCOMPARE(group.Count(), 3);
    QCOMPARE(group.ItemIndex(), -1);
    group.SetItemIndex(2);
    QCOMPARE(group.ItemIndex(), 2);
    QVERIFY(group.Button(2)->isChecked());
    group.Button(0)->click();
    QCOMPARE(group.ItemIndex(), 0);
    QVERIFY(!group.Button(2)->isChecked());
    group.SetItemIndex(3);
    QCOMPARE(group.ItemIndex(), -1);
    group.SetItemIndex(1);
    QCOMPARE(group.ItemIndex(), 1);
    // One column, top to bottom, each item inside the frame.
    for (int i = 0; i < group.Count(); ++i) {
        const QRect item = group.Button(i)->geometry();
        QVERIFY(QRect(QPoint(0, 0), group.size()).contains(item));
        if (i > 0) {
            QCOMPARE(item.left(), group.Button(i - 1)->geometry().left());
            QVERIFY(item.top() > group.Button(i - 1)->geometry().bottom());
        }
    }
}

void ControlsTest::statusBarPanels() {
    QWidget window;
    window.resize(541, 442);
    auto* bar = new ui::qt::StatusBar(
        {{QStringLiteral("Передано:"), 170}, {QStringLiteral("Принято:"), 50}}, &window);
    bar->setGeometry(0, 417, 541, 25);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(bar->PanelCount(), 2);
    QCOMPARE(bar->PanelText(0), QStringLiteral("Передано:"));
    QCOMPARE(bar->PanelText(1), QStringLiteral("Принято:"));
    QCOMPARE(bar->Panel(0)->width(), 170);
    // The last panel has at least its nominal width and reaches the end of the bar, so a long
    // reply stays readable.
    QVERIFY(bar->Panel(1)->width() >= 50);
    QVERIFY(bar->Panel(1)->geometry().left() > bar->Panel(0)->geometry().right());
    QVERIFY(bar->Panel(1)->geometry().right() >= bar->width() - 8);
    bar->SetPanelText(1, QStringLiteral("Принято: !0A"));
    QCOMPARE(bar->PanelText(1), QStringLiteral("Принято: !0A"));
    bar->SetPanelText(2, QStringLiteral("ignored"));
    QCOMPARE(bar->PanelText(2), QString());
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
