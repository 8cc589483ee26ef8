// The calibration window's event table fits its description: every row names a control the
// window has and an event of its kind, and every event its controls raise (the page guard
// among them) and its showing and closing are handled. Every handler the logic offers its front
// ends is in the table, so none is left without the event that calls it.

#include "calibration/kalibr_form_description.h"
#include "calibration/kalibr_form_logic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

namespace {

using Logic = calibration::KalibrFormLogic;

TEST(KalibrFormEvents, FitTheDescription) {
    EXPECT_THAT(ui::BindingFaults(calibration::KalibrFormDescription(),
                                  ui::BoundEvents(calibration::KalibrFormEvents())),
                testing::IsEmpty());
}

// The handlers of the logic's "Event handlers" section.
TEST(KalibrFormEvents, BindEveryHandlerOfTheLogic) {
    using Handler = void (Logic::*)();
    const auto table = calibration::KalibrFormEvents();
    const auto bound = [&table](auto handler) {
        return std::any_of(table.begin(), table.end(), [handler](const auto& row) {
            const auto* held = std::get_if<decltype(handler)>(&row.handler);
            return held != nullptr && *held == handler;
        });
    };
    for (const Handler handler :
         {&Logic::FormShow, &Logic::FormClose, &Logic::Button1Click, &Logic::Button2Click,
          &Logic::Button3Click, &Logic::ButtonExitClick}) {
        EXPECT_TRUE(bound(handler));
    }
    EXPECT_TRUE(bound(&Logic::PageControl1Changing));
}

} // namespace
