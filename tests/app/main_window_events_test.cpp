// The main window's event table fits its description: every row names a control the window has
// and an event of its kind, every event its controls raise and its showing and closing are
// handled, and so is its timer, which drives the exchange engine.

#include "app/main_window_description.h"
#include "app/main_window_logic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(MainWindowEvents, FitTheDescription) {
    const auto table = ui::BoundEvents(app::MainWindowEvents());
    EXPECT_THAT(ui::BindingFaults(app::MainWindowDescription(), table), testing::IsEmpty());
    EXPECT_TRUE(std::any_of(table.begin(), table.end(), [](const ui::BoundEvent& row) {
        return row.control.empty() && row.event == ui::FormEvent::Timer;
    }));
}

} // namespace
