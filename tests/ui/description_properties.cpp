#include "tests/ui/description_properties.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace description {

namespace {

using ui::ControlKind;
using ui::ControlSpec;

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};

bool Overlap(const ControlSpec& a, const ControlSpec& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The room a parent gives its controls: the window's client area, a group's box, or for a
// page the box of its page control.
Box RoomIn(const ui::FormSpec& form, const std::string& parent) {
    if (parent.empty()) {
        return {0, 0, form.clientWidth, form.clientHeight};
    }
    const ControlSpec& holder = form.Control(parent);
    if (holder.kind == ControlKind::TabSheet) {
        return RoomIn(form, holder.parent);
    }
    return {0, 0, holder.width, holder.height};
}

// The containers whose tab stops Tab walks from: the window and each page.
std::vector<std::string> TabRoots(const ui::FormSpec& form) {
    std::vector<std::string> roots = {""};
    for (const ControlSpec& control : form.controls) {
        if (control.kind == ControlKind::TabSheet) {
            roots.push_back(control.name);
        }
    }
    return roots;
}

} // namespace

TEST_P(DescriptionProperties, TheWindowHasTheFiguresOfItsTable) {
    const Figures& figures = GetParam().figures;
    EXPECT_EQ(Form().name, figures.name);
    EXPECT_EQ(Form().caption, figures.caption);
    EXPECT_EQ(Form().clientWidth, figures.clientWidth);
    EXPECT_EQ(Form().clientHeight, figures.clientHeight);
    EXPECT_EQ(Form().frame, figures.frame);
    EXPECT_EQ(Form().fontFamily, figures.fontFamily);
    EXPECT_EQ(Form().fontHeight, figures.fontHeight);
    EXPECT_TRUE(Form().centred);
    std::vector<std::string> disabled;
    for (const ControlSpec& control : Form().controls) {
        if (!control.enabled) {
            disabled.push_back(control.name);
        }
    }
    EXPECT_EQ(disabled, figures.disabled);
}

TEST_P(DescriptionProperties, NamesAreUniqueAndParentsCanHoldControls) {
    std::set<std::string> names;
    for (const ControlSpec& control : Form().controls) {
        EXPECT_FALSE(control.name.empty());
        EXPECT_TRUE(names.insert(control.name).second) << control.name << " twice";
    }
    for (const ControlSpec& control : Form().controls) {
        SCOPED_TRACE(control.name);
        if (control.kind == ControlKind::TabSheet) {
            EXPECT_EQ(Form().Control(control.parent).kind, ControlKind::PageControl);
        } else if (!control.parent.empty()) {
            const ControlKind holder = Form().Control(control.parent).kind;
            EXPECT_TRUE(holder == ControlKind::GroupBox || holder == ControlKind::TabSheet);
        }
    }
}

TEST_P(DescriptionProperties, EveryControlLiesInsideItsParentAndClearOfItsSiblings) {
    for (const ControlSpec& control : Form().controls) {
        if (control.kind == ControlKind::TabSheet) {
            continue; // its page control places it
        }
        SCOPED_TRACE(control.name);
        const Box room = RoomIn(Form(), control.parent);
        EXPECT_GE(control.left, 0);
        EXPECT_GE(control.top, 0);
        EXPECT_GT(control.width, 0);
        EXPECT_GT(control.height, 0);
        EXPECT_LE(control.left + control.width, room.width);
        EXPECT_LE(control.top + control.height, room.height);
        // Only what is written onto a picture lies on another control, and it is listed after
        // the picture so that it is drawn over it.
        bool passedIt = false;
        for (const ControlSpec& other : Form().controls) {
            passedIt = passedIt || &other == &control;
            if (&other == &control || other.parent != control.parent ||
                other.kind == ControlKind::TabSheet || !Overlap(control, other)) {
                continue;
            }
            EXPECT_TRUE(other.kind == ControlKind::Picture || control.kind == ControlKind::Picture)
                << "overlaps " << other.name;
            if (other.kind == ControlKind::Picture) {
                EXPECT_FALSE(passedIt) << "listed before " << other.name << ", so drawn under it";
            }
        }
    }
}

TEST_P(DescriptionProperties, TabReachesEveryTabStopOnce) {
    std::set<std::string> places;
    std::multiset<std::string> reached;
    for (const std::string& root : TabRoots(Form())) {
        for (const ControlSpec* control : Form().TabChain(root)) {
            reached.insert(control->name);
        }
    }
    for (const ControlSpec& control : Form().controls) {
        SCOPED_TRACE(control.name);
        if (control.tabOrder < 0) {
            EXPECT_EQ(reached.count(control.name), 0U);
            continue;
        }
        EXPECT_TRUE(places.insert(control.parent + "#" + std::to_string(control.tabOrder)).second)
            << "shares its tab order with a sibling";
        // A group is passed through to the stops inside it.
        EXPECT_EQ(reached.count(control.name), control.kind == ControlKind::GroupBox ? 0U : 1U);
    }
}

TEST_P(DescriptionProperties, LabelsAndUpDownsNameTheirControls) {
    for (const ControlSpec& control : Form().controls) {
        SCOPED_TRACE(control.name);
        for (const std::string& label : control.labelledBy) {
            EXPECT_EQ(Form().Control(label).kind, ControlKind::Label) << label;
        }
        if (control.kind != ControlKind::UpDown) {
            EXPECT_TRUE(control.associate.empty());
            continue;
        }
        // Attached to the right of its edit box, as high as it.
        const ControlSpec& edit = Form().Control(control.associate);
        EXPECT_EQ(edit.kind, ControlKind::Edit);
        EXPECT_EQ(edit.parent, control.parent);
        EXPECT_EQ(control.left, edit.left + edit.width);
        EXPECT_EQ(control.top, edit.top);
        EXPECT_EQ(control.height, edit.height);
        EXPECT_LE(control.minimum, control.position);
        EXPECT_LE(control.position, control.maximum);
        EXPECT_EQ(edit.text, std::to_string(control.position));
    }
}

TEST_P(DescriptionProperties, SelectionsLieWithinTheirItems) {
    for (const ControlSpec& control : Form().controls) {
        SCOPED_TRACE(control.name);
        if (control.kind == ControlKind::PageControl) {
            const auto pages = static_cast<int>(Form().Children(control.name).size());
            EXPECT_GT(pages, 0);
            EXPECT_GE(control.itemIndex, 0);
            EXPECT_LT(control.itemIndex, pages);
        } else if (control.itemIndex >= 0) {
            EXPECT_LT(control.itemIndex, static_cast<int>(control.items.size()));
        }
        if (control.kind == ControlKind::ComboBox) {
            EXPECT_GT(control.dropDownRows, 0);
        }
    }
}

TEST_P(DescriptionProperties, TheStatusBarIsDockedAtTheBottomAndItsPanelsFit) {
    for (const ControlSpec& control : Form().controls) {
        if (control.kind != ControlKind::StatusBar) {
            continue;
        }
        EXPECT_TRUE(control.parent.empty());
        EXPECT_EQ(control.left, 0);
        EXPECT_EQ(control.width, Form().clientWidth);
        EXPECT_EQ(control.top + control.height, Form().clientHeight);
        const int panels = std::accumulate(
            control.panels.begin(), control.panels.end(), 0,
            [](int sum, const ui::StatusPanel& panel) { return sum + panel.width; });
        EXPECT_LE(panels, control.width);
    }
}

TEST_P(DescriptionProperties, PicturesAreThePrograms) {
    for (const ControlSpec& control : Form().controls) {
        if (control.kind == ControlKind::Picture) {
            EXPECT_TRUE(GetParam().pictureExists(control.picture)) << control.name;
        } else {
            EXPECT_TRUE(control.picture.empty()) << control.name;
        }
    }
}

} // namespace description
