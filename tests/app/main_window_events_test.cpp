// The main window's event table fits its description: every row names a control the window has
// and an event of its kind, every event its controls raise and its showing and closing are
// handled, and so is its timer, which drives the exchange engine. Every handler the logic
// offers its front ends is in the table, so none is left without the event that calls it.

#include "app/main_window_description.h"
#include "app/main_window_logic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

namespace {

using Logic = app::MainWindowLogic;

TEST(MainWindowEvents, FitTheDescription) {
    const auto table = ui::BoundEvents(app::MainWindowEvents());
    EXPECT_THAT(ui::BindingFaults(app::MainWindowDescription(), table), testing::IsEmpty());
    EXPECT_TRUE(std::any_of(table.begin(), table.end(), [](const ui::BoundEvent& row) {
        return row.control.empty() && row.event == ui::FormEvent::Timer;
    }));
}

// The handlers of the logic's "Event handlers" section.
TEST(MainWindowEvents, BindEveryHandlerOfTheLogic) {
    using Handler = void (Logic::*)();
    const auto table = app::MainWindowEvents();
    for (const Handler handler :
         {&Logic::FormShow, &Logic::FormClose, &Logic::Button1Click, &Logic::Button2Click,
          &Logic::TipComboBoxChange, &Logic::DiapazonComboBoxChange, &Logic::ButtonReadClick,
          &Logic::ButtonWriteClick, &Logic::ButtonTempClick, &Logic::ButtonZClick,
          &Logic::TimerTimer}) {
        EXPECT_TRUE(std::any_of(table.begin(), table.end(), [handler](const auto& row) {
            const Handler* held = std::get_if<Handler>(&row.handler);
            return held != nullptr && *held == handler;
        }));
    }
}

} // namespace
