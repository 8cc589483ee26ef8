// The main window's description against its control table: every control with its kind,
// parent, place, size, text, tab order, initial state and font, and the window's frame.

#include "app/main_window_description.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using ui::ControlKind;

struct Row {
    const char* name;
    ControlKind kind;
    const char* parent;
    int left, top, width, height;
    const char* text;
    int tab; // -1: not a tab stop
    bool enabled;
};

// The control table of the main window, as the layout gives it.
const Row kTable[] = {
    {"Label1", ControlKind::Label, "", 32, 24, 68, 13, "Тип  датчика:", -1, true},
    {"Label2", ControlKind::Label, "", 32, 64, 139, 13, "Диапазон датчика (град. С)", -1, true},
    {"Label3", ControlKind::Label, "", 32, 144, 185, 13, "Уровень сигнала \"Обрыв\" (0 -120%):", -1,
     true},
    {"Label4", ControlKind::Label, "", 32, 104, 138, 13, "Рабочий диапазон (град. С)", -1, true},
    {"Label6", ControlKind::Label, "", 184, 104, 16, 13, "min", -1, true},
    {"Label7", ControlKind::Label, "", 304, 104, 19, 13, "max", -1, true},
    {"Button1", ControlKind::Button, "", 360, 360, 75, 25, "Выход", 0, true},
    {"TipComboBox", ControlKind::ComboBox, "", 184, 22, 161, 21, "", 1, true},
    {"DiapazonComboBox", ControlKind::ComboBox, "", 184, 62, 161, 21, "", 2, true},
    {"OutEdit", ControlKind::Edit, "", 240, 142, 97, 21, "0", 3, true},
    {"NullEdit", ControlKind::Edit, "", 208, 102, 73, 21, "10", 4, true},
    {"GroupBox2", ControlKind::GroupBox, "", 32, 344, 169, 57, " Настройка подключения ", 5, true},
    {"Label5", ControlKind::Label, "GroupBox2", 16, 24, 53, 13, "СОМ порт:", -1, true},
    {"PortEdit", ControlKind::Edit, "GroupBox2", 80, 24, 49, 21, "1", 0, true},
    {"UpDown", ControlKind::UpDown, "GroupBox2", 129, 24, 16, 21, "", 1, true},
    {"StatusBar", ControlKind::StatusBar, "", 0, 417, 541, 25, "", -1, true},
    {"GroupBox3", ControlKind::GroupBox, "", 264, 232, 249, 97, " Измеренния ", 7, true},
    {"LabelTemp", ControlKind::Label, "GroupBox3", 24, 24, 130, 13, "Температура (град. С): 20", -1,
     true},
    {"ButtonTemp", ControlKind::Button, "GroupBox3", 88, 56, 75, 25, "Считать", 0, false},
    {"GroupBox4", ControlKind::GroupBox, "", 32, 176, 217, 153, " Конфигурация ", 8, true},
    {"ButtonRead", ControlKind::Button, "GroupBox4", 56, 24, 97, 25, "Считать", 0, true},
    {"ButtonWrite", ControlKind::Button, "GroupBox4", 56, 68, 97, 25, "Записать", 1, true},
    {"ButtonZ", ControlKind::Button, "GroupBox4", 8, 112, 201, 25,
     "Восстановить заводские настройки", 2, true},
    {"UpEdit", ControlKind::Edit, "", 328, 102, 73, 21, "100", 9, true},
    {"TipOut", ControlKind::RadioGroup, "", 424, 18, 89, 145, " Тип выхода ", 10, true},
    {"Button2", ControlKind::Button, "", 312, 184, 153, 25, "Калибровка", 11, false},
};

TEST(MainWindowDescription, EveryControlAsTheTableGivesIt) {
    const ui::FormSpec& form = app::MainWindowDescription();
    ASSERT_EQ(form.controls.size(), std::size(kTable));
    for (const Row& row : kTable) {
        SCOPED_TRACE(row.name);
        const ui::ControlSpec& control = form.Control(row.name);
        EXPECT_EQ(control.kind, row.kind);
        EXPECT_EQ(control.parent, row.parent);
        EXPECT_EQ(control.left, row.left);
        EXPECT_EQ(control.top, row.top);
        EXPECT_EQ(control.width, row.width);
        EXPECT_EQ(control.height, row.height);
        EXPECT_EQ(control.text, row.text);
        EXPECT_EQ(control.tabOrder, row.tab);
        EXPECT_EQ(control.enabled, row.enabled);
        EXPECT_TRUE(control.visible);
        EXPECT_EQ(control.fontHeight, 0) << "the window's own font";
        if (control.kind == ControlKind::Label) {
            EXPECT_TRUE(control.autoSize) << "the main window's labels size themselves";
        }
    }
}

TEST(MainWindowDescription, FrameAndFont) {
    const ui::FormSpec& form = app::MainWindowDescription();
    EXPECT_EQ(form.name, "Form1");
    EXPECT_EQ(form.caption, "Конфигуратор ЛИРАТ-5");
    EXPECT_EQ(form.clientWidth, 541);
    EXPECT_EQ(form.clientHeight, 442);
    EXPECT_EQ(form.frame, ui::FrameKind::FixedDialogNoButtons);
    EXPECT_EQ(form.fontFamily, "MS Sans Serif");
    EXPECT_EQ(form.fontHeight, 11);
    EXPECT_TRUE(form.centred);
}

TEST(MainWindowDescription, ListsUpDownRadioGroupAndStatusBar) {
    const ui::FormSpec& form = app::MainWindowDescription();
    for (const char* name : {"TipComboBox", "DiapazonComboBox"}) {
        EXPECT_EQ(form.Control(name).dropDownRows, 8) << name;
    }
    EXPECT_TRUE(form.Control("PortEdit").readOnly);
    const ui::ControlSpec& upDown = form.Control("UpDown");
    EXPECT_EQ(upDown.minimum, 1);
    EXPECT_EQ(upDown.maximum, 100);
    EXPECT_EQ(upDown.position, 1);
    EXPECT_EQ(upDown.associate, "PortEdit");
    const ui::ControlSpec& tipOut = form.Control("TipOut");
    EXPECT_EQ(tipOut.items, (std::vector<std::string>{"0 - 10 В", "0 - 5 mA", "0 - 20 mA"}));
    EXPECT_EQ(tipOut.itemIndex, 0);
    const ui::ControlSpec& bar = form.Control("StatusBar");
    ASSERT_EQ(bar.panels.size(), 2U);
    EXPECT_EQ(bar.panels[0].text, "Передано:");
    EXPECT_EQ(bar.panels[0].width, 170);
    EXPECT_EQ(bar.panels[1].text, "Принято:");
    EXPECT_EQ(bar.panels[1].width, 50);
}

TEST(MainWindowDescription, TabGoesThroughTheGroupsInOrder) {
    std::vector<std::string> chain;
    for (const ui::ControlSpec* control : app::MainWindowDescription().TabChain("")) {
        chain.push_back(control->name);
    }
    EXPECT_EQ(chain, (std::vector<std::string>{"Button1", "TipComboBox", "DiapazonComboBox",
                                               "OutEdit", "NullEdit", "PortEdit", "UpDown",
                                               "ButtonTemp", "ButtonRead", "ButtonWrite", "ButtonZ",
                                               "UpEdit", "TipOut", "Button2"}));
}

TEST(MainWindowDescription, LabelsNameTheControlsBesideThem) {
    const ui::FormSpec& form = app::MainWindowDescription();
    EXPECT_EQ(form.Control("TipComboBox").labelledBy, std::vector<std::string>{"Label1"});
    EXPECT_EQ(form.Control("NullEdit").labelledBy, (std::vector<std::string>{"Label4", "Label6"}));
    EXPECT_EQ(form.Control("UpEdit").labelledBy, (std::vector<std::string>{"Label4", "Label7"}));
    // Every name refers to a label of the window, and parents exist.
    std::set<std::string> names;
    for (const ui::ControlSpec& control : form.controls) {
        EXPECT_TRUE(names.insert(control.name).second) << control.name << " twice";
    }
    for (const ui::ControlSpec& control : form.controls) {
        for (const std::string& label : control.labelledBy) {
            EXPECT_EQ(form.Control(label).kind, ControlKind::Label) << control.name;
        }
        if (!control.parent.empty()) {
            EXPECT_EQ(form.Control(control.parent).kind, ControlKind::GroupBox) << control.name;
        }
    }
}

} // namespace
