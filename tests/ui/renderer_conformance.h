#pragma once
// The renderer conformance suite, written once for every toolkit: a window is built as its
// description says (places and sizes at the resolution it is drawn at, parents, kinds, captions,
// items, fonts, enabled state, pictures under the labels written onto them, the frame), shown
// inside its screen's work area, Tab visits its controls in the description's order, and every
// caption fits its control in every state the window's logic can put it in. A toolkit's test
// program instantiates it with one case per window:
//
//   INSTANTIATE_TEST_SUITE_P(Qt, RendererConformance, testing::Values(...), conformance::CaseName);

#include "tests/ui/rendered_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace conformance {

struct WindowCase {
    std::string name;
    // The window afresh: built, not yet shown.
    std::function<std::unique_ptr<RenderedWindow>()> open;
};

std::string CaseName(const testing::TestParamInfo<WindowCase>& info);

class RendererConformance : public testing::TestWithParam<WindowCase> {
protected:
    void SetUp() override;
    // Runs `check` once on each page of every page control, or once where there are none.
    void OnEveryPage(const std::function<void()>& check);
    // A label that sizes itself to a longer caption stays short of the controls to its right.
    void ExpectShortOfItsRightNeighbours(const ui::ControlSpec& label);

    std::unique_ptr<RenderedWindow> window;
};

} // namespace conformance
