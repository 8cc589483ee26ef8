// The calibration window's logic without any toolkit: what every showing resets, the two stages
// of the input calibration, the page guard, the output page's unit, the output-mode message and
// the warning when an unfinished output calibration is closed. The controls are plain fields
// built from the window's description; the calibrations run in a real exchange engine over a
// scripted transducer.

#include "calibration/kalibr_form_description.h"
#include "calibration/kalibr_form_logic.h"
#include "tests/calibration/linked_engine.h"
#include "tests/support/fake_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;
using testing_support::FakeControl;

class KalibrFormLogicTest : public ::testing::Test, protected calibration_test::LinkedEngine {
protected:
    KalibrFormLogicTest() {
        view.link = &logic;
        AnswerOnce();
    }

    FakeControl& operator[](const std::string& name) { return controls[name]; }
    void Show() { logic.FormShow(); }

    testing_support::FakeControlSet controls{calibration::KalibrFormDescription()};
    int closeRequests = 0;
    int modalShows = 0;
    calibration::KalibrFormLogic logic{
        engine, view, ui, controls,
        calibration::KalibrFormWindow{.close = [this] { ++closeRequests; },
                                      .showModal = [this] { ++modalShows; }}};
};

TEST_F(KalibrFormLogicTest, ShowingResetsEveryStage) {
    struct Row {
        int outputType;
        const char* unit;
        int left;
    };
    for (const Row row : {Row{0, "V", 212}, Row{1, "mA", 204}, Row{2, "mA", 204}}) {
        SCOPED_TRACE(row.outputType);
        // Leave every piece of state that showing resets in its other value.
        view.ShowRange(24);
        logic.Button2Click();
        logic.CalibrationUnfinished = true;
        (*this)["PageControl1"].index = 1;
        (*this)["Label5"].text = "?";
        (*this)["Label5"].left = 0;
        (*this)["Button2"].enabled = false;
        ASSERT_EQ(logic.InputStage, 1);

        view.outputType = row.outputType;
        Show();
        EXPECT_EQ(logic.InputStage, 0);
        EXPECT_TRUE((*this)["Button2"].visible);
        EXPECT_EQ((*this)["ButtonExit"].text, "Отмена");
        EXPECT_EQ((*this)["Label1"].text, "Калибровка нуля");
        EXPECT_EQ((*this)["Label3"].text, "R = 0,0 Om");
        EXPECT_FALSE(logic.CalibrationUnfinished);
        EXPECT_EQ((*this)["Label5"].text, row.unit);
        EXPECT_EQ((*this)["Label5"].left, row.left);
        EXPECT_EQ((*this)["PageControl1"].index, 0);
        EXPECT_FALSE((*this)["Button2"].enabled) << "only the engine enables the buttons";
    }
}

// "Продолжить" switches to the gain stage with the resistance standard of the selected range,
// and starts nothing.
TEST_F(KalibrFormLogicTest, ContinueShowsTheResistanceOfTheSelectedRange) {
    struct Row {
        int range;
        const char* resistance;
    };
    for (const Row row : {Row{0, "R=50,0 Om"}, Row{7, "R=250,0 Om"}, Row{20, "R=500,0 Om"},
                          Row{24, "R=2,5 kOm"}, Row{25, "R=5,0 kOm"}}) {
        SCOPED_TRACE(row.range);
        view.ShowRange(row.range);
        Show();
        logic.Button2Click();
        EXPECT_EQ((*this)["Label1"].text, "Калибровка усиления");
        EXPECT_EQ((*this)["Label3"].text, row.resistance);
        EXPECT_FALSE((*this)["Button2"].visible);
        EXPECT_EQ((*this)["ButtonExit"].text, "Выход");
        EXPECT_EQ(logic.InputStage, 1);
        // Pressed again at the gain stage, it changes nothing more.
        view.ShowRange(0);
        logic.Button2Click();
        EXPECT_EQ((*this)["Label3"].text, row.resistance);
    }
    EXPECT_TRUE(port.written.empty());
    EXPECT_FALSE(port.open);
}

TEST_F(KalibrFormLogicTest, ContinueWithoutASelectedRangeStaysAtTheZeroStage) {
    view.ShowRange(7);
    Show();
    view.rangeItem.reset(); // text typed into the main window's range list
    logic.Button2Click();
    EXPECT_EQ(ui.Messages(), Strings{"Не выбран тип или диапазон датчика!"});
    EXPECT_EQ(logic.InputStage, 0);
    EXPECT_EQ((*this)["Label3"].text, "R = 0,0 Om");
    EXPECT_TRUE((*this)["Button2"].visible);
}

// Each stage sends its command after 3000 ms, then "$0" after 500 ms; the page stays while it
// runs, and a bad status leaves "Продолжить" disabled across showings until a good one.
TEST_F(KalibrFormLogicTest, StagesRunInTheEngineAndGuardThePage) {
    struct Row {
        bool gain;
        const char* command;
        const char* status;
        const char* message;
    };
    const Row rows[] = {
        {false, "$1", "!00\r", "Калибровка завершена успешно!"},
        {true, "$2", "!00\r", "Калибровка завершена успешно!"},
        {false, "$1", "!01\r", "Ошибка калибровки нуля!"},
        {true, "$2", "!7F\r", "Ошибка калибровки усиления!"},
        {false, "$1", "!00\r", "Калибровка завершена успешно!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.command) + " " + row.status);
        port.written.clear();
        ui.shown.clear();
        Show();
        if (row.gain) {
            logic.Button2Click();
        }
        EXPECT_TRUE(logic.PageControl1Changing());
        logic.Button1Click();
        EXPECT_EQ(ui.Messages(), Strings{"Установите аналог датчика согласно рисунку!"});
        EXPECT_EQ(view.timerInterval, 3000);
        EXPECT_FALSE((*this)["Button1"].enabled);
        EXPECT_FALSE((*this)["Button2"].enabled);
        EXPECT_FALSE(logic.PageControl1Changing());
        Tick("!\r");
        EXPECT_EQ(view.timerInterval, 500);
        EXPECT_FALSE(logic.PageControl1Changing());
        Tick(row.status);
        EXPECT_EQ(port.Commands(), (Strings{row.command, "$0"}));
        EXPECT_EQ(ui.Messages().back(), row.message);
        EXPECT_TRUE((*this)["Button1"].enabled);
        const bool good = std::string(row.status) == "!00\r";
        EXPECT_EQ((*this)["Button2"].enabled, good);
        EXPECT_TRUE(logic.PageControl1Changing());
        logic.FormClose();
        Show();
        EXPECT_EQ((*this)["Button2"].enabled, good) << "showing again keeps it";
    }
}

TEST_F(KalibrFormLogicTest, OutputModeMessageNamesTheOutputType) {
    const char* head = "Прооверьте, что переключатель на приборе задает\nрежим выхода:";
    struct Row {
        int outputType;
        const char* mode; // "B" of the voltage output is the Latin letter
    };
    for (const Row row : {Row{0, "0 - 10B"}, Row{1, "0 - 5 mA"}, Row{2, "0 - 20 mA"}}) {
        SCOPED_TRACE(row.outputType);
        ui.shown.clear();
        port.written.clear();
        view.outputType = row.outputType;
        Show();
        const int interval = view.timerInterval;
        logic.Button3Click();
        EXPECT_EQ(ui.Messages(), Strings{std::string(head) + row.mode});
        EXPECT_EQ(port.Commands(), Strings{"$A0D0"});
        EXPECT_TRUE(logic.CalibrationUnfinished);
        EXPECT_EQ(view.timerInterval, interval) << "the output calibration keeps the interval";
        engine.AbandonTransaction();
    }
}

// Closing sets 500 ms and warns about an output calibration that has not ended; the
// transaction goes on, and nothing is sent on closing.
TEST_F(KalibrFormLogicTest, ClosingWarnsOnlyAboutAnUnfinishedOutputCalibration) {
    const std::string warning =
        "Калибровка не завершена!\nДля правильной работы прибора\nперевключите его питание.";
    Show();
    logic.FormClose();
    EXPECT_EQ(view.timerInterval, 500);
    EXPECT_TRUE(ui.Messages().empty());

    Show();
    view.outputType = 1;
    logic.Button3Click();
    logic.ButtonExitClick();
    EXPECT_EQ(closeRequests, 1);
    logic.FormClose();
    EXPECT_EQ(ui.Messages().back(), warning);
    EXPECT_EQ(port.Commands(), Strings{"$A0D0"});
    EXPECT_TRUE(port.open);
    EXPECT_TRUE(view.timerEnabled);

    // Run to its end: then closing warns nothing.
    Show();
    logic.Button3Click();
    ui.inputAnswers = {std::string("0.35"), std::string("5.35")};
    for (int step = 0; step < 5; ++step) {
        Tick("!\r");
    }
    EXPECT_FALSE(logic.CalibrationUnfinished);
    const std::size_t shown = ui.Messages().size();
    logic.FormClose();
    EXPECT_EQ(ui.Messages().size(), shown);
}

TEST_F(KalibrFormLogicTest, ShowModalAndFailuresGoThroughTheWindow) {
    logic.ShowModal();
    EXPECT_EQ(modalShows, 1);
    Show();
    port.openError = "Unable to open com port";
    logic.Button1Click();
    EXPECT_EQ(ui.Exceptions(), Strings{"Unable to open com port"});
    EXPECT_TRUE((*this)["Button1"].enabled);
    EXPECT_TRUE(engine.ControlsEnabled());
    port.openError.clear();
    port.connectOnOpen = false;
    logic.Button3Click();
    EXPECT_EQ(ui.Messages().back(), "Неверно задан номер СОM-порта");
    EXPECT_TRUE(port.written.empty());
    EXPECT_FALSE(logic.CalibrationUnfinished);
}

} // namespace
