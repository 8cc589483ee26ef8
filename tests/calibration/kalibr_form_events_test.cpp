// The calibration window's event table fits its description: every row names a control the
// window has and an event of its kind, and every event its controls raise (the page guard
// among them) and its showing and closing are handled.

#include "calibration/kalibr_form_description.h"
#include "calibration/kalibr_form_logic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

TEST(KalibrFormEvents, FitTheDescription) {
    EXPECT_THAT(ui::BindingFaults(calibration::KalibrFormDescription(),
                                  ui::BoundEvents(calibration::KalibrFormEvents())),
                testing::IsEmpty());
}

} // namespace
