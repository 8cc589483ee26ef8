// Looking controls up in a window description and the order Tab visits them in.

#include "ui/form_spec.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using ui::ControlKind;

std::vector<std::string> Names(const std::vector<const ui::ControlSpec*>& controls) {
    std::vector<std::string> names;
    for (const ui::ControlSpec* control : controls) {
        names.push_back(control->name);
    }
    return names;
}

// Tab stops in an order other than the definition's, a group inside a group, a label without
// a tab stop, and a control of the same tab order as another (the earlier one goes first).
ui::FormSpec Sample() {
    ui::FormSpec form;
    form.name = "Sample";
    form.controls = {
        {.name = "Last", .kind = ControlKind::Button, .tabOrder = 9},
        {.name = "Caption", .kind = ControlKind::Label},
        {.name = "Outer", .kind = ControlKind::GroupBox, .tabOrder = 2},
        {.name = "InnerB", .kind = ControlKind::Edit, .parent = "Outer", .tabOrder = 1},
        {.name = "Inner", .kind = ControlKind::GroupBox, .parent = "Outer", .tabOrder = 0},
        {.name = "Deep", .kind = ControlKind::Button, .parent = "Inner", .tabOrder = 0},
        {.name = "First", .kind = ControlKind::Edit, .tabOrder = 0},
        {.name = "Radio", .kind = ControlKind::RadioGroup, .tabOrder = 2},
    };
    return form;
}

TEST(FormSpec, TabOrderAndTabChain) {
    const ui::FormSpec form = Sample();
    EXPECT_EQ(Names(form.TabOrder("")),
              (std::vector<std::string>{"First", "Outer", "Radio", "Last"}));
    EXPECT_EQ(Names(form.TabChain("")),
              (std::vector<std::string>{"First", "Deep", "InnerB", "Radio", "Last"}));
    EXPECT_EQ(Names(form.TabChain("Outer")), (std::vector<std::string>{"Deep", "InnerB"}));
    EXPECT_TRUE(form.TabChain("Deep").empty());
    EXPECT_EQ(Names(form.Children("Outer")), (std::vector<std::string>{"InnerB", "Inner"}));
}

TEST(FormSpec, ControlByName) {
    const ui::FormSpec form = Sample();
    EXPECT_EQ(form.Control("Deep").parent, "Inner");
    EXPECT_THROW(form.Control("Missing"), std::out_of_range);
}

} // namespace
