#pragma once
// What every window description must hold, written once for all of them: names unique, parents
// that exist and can hold controls, every control inside its parent and clear of its siblings
// (but for what is written onto a picture, which comes after it), tab orders unique among
// siblings and every tab stop reached by Tab, labels and up-downs that name the controls they
// belong to, selections within their items, a status bar docked at the bottom whose panels fit,
// pictures the program has. The window's own figures, which the control tables fix, are one row
// per window:
//
//   INSTANTIATE_TEST_SUITE_P(Form1, DescriptionProperties, testing::Values(DescriptionCase{...}));

#include "ui/form_spec.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace description {

// The window's figures as its control table gives them.
struct Figures {
    std::string name;
    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    ui::FrameKind frame = ui::FrameKind::FixedDialogNoButtons;
    std::string fontFamily;
    int fontHeight = 0;
    // The controls that start disabled; all others start enabled.
    std::vector<std::string> disabled;
};

struct DescriptionCase {
    const ui::FormSpec* form = nullptr;
    Figures figures;
    // Whether the program has the image a picture names.
    std::function<bool(const std::string& picture)> pictureExists = [](const std::string&) {
        return false;
    };
};

class DescriptionProperties : public testing::TestWithParam<DescriptionCase> {
protected:
    const ui::FormSpec& Form() const { return *GetParam().form; }
};

} // namespace description
