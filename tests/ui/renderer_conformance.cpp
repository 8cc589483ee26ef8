#include "tests/ui/renderer_conformance.h"

#include "ui/window_scale.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

namespace conformance {

namespace {

using ui::ControlKind;
using ui::ControlSpec;

bool HasFont(ControlKind kind) {
    return kind != ControlKind::Picture && kind != ControlKind::UpDown &&
           kind != ControlKind::TabSheet;
}

bool Overlap(const ControlSpec& a, const ControlSpec& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The tab stops Tab must visit in `container`, in order: those on screen that take input.
std::vector<std::string> ExpectedStops(const RenderedWindow& window, const std::string& container) {
    std::vector<std::string> stops;
    for (const ControlSpec* control : window.Design().TabChain(container)) {
        if (window.Enabled(control->name) && window.OnScreen(control->name)) {
            stops.push_back(control->name);
        }
    }
    return stops;
}

} // namespace

std::string CaseName(const testing::TestParamInfo<WindowCase>& info) {
    return info.param.name;
}

void RendererConformance::SetUp() {
    window = GetParam().open();
    ASSERT_NE(window, nullptr);
}

void RendererConformance::ExpectShortOfItsRightNeighbours(const ControlSpec& label) {
    const Box at = window->Place(label.name);
    for (const ControlSpec* other : window->Design().Children(label.parent)) {
        if (other->name == label.name || other->kind == ControlKind::Picture ||
            !window->OnScreen(other->name)) {
            continue;
        }
        const Box beside = window->Place(other->name);
        const bool sameLine = beside.top < at.Bottom() && at.top < beside.Bottom();
        if (sameLine && beside.left > at.left) {
            EXPECT_LE(at.Right(), beside.left) << label.name << " runs into " << other->name;
        }
    }
}

void RendererConformance::OnEveryPage(const std::function<void()>& check) {
    bool paged = false;
    for (const ControlSpec& control : window->Design().controls) {
        if (control.kind != ControlKind::PageControl) {
            continue;
        }
        const auto pages = window->Design().Children(control.name);
        for (int page = 0; page < static_cast<int>(pages.size()); ++page) {
            SCOPED_TRACE(pages[static_cast<std::size_t>(page)]->name);
            window->ShowPage(control.name, page);
            check();
        }
        paged = true;
    }
    if (!paged) {
        check();
    }
}

TEST_P(RendererConformance, TheFrameIsTheDescriptions) {
    const ui::FormSpec& design = window->Design();
    const int dpi = window->LayoutDpi();
    EXPECT_EQ(window->Caption(), design.caption);
    const Box client = window->Client();
    EXPECT_EQ(client.width, ui::ScaleLength(design.clientWidth, dpi));
    EXPECT_EQ(client.height, ui::ScaleLength(design.clientHeight, dpi));
    const FrameButtons buttons = window->Buttons();
    EXPECT_EQ(buttons.closeBox, design.frame == ui::FrameKind::FixedDialogWithCloseBox);
    EXPECT_FALSE(buttons.minimiseBox);
    EXPECT_FALSE(buttons.maximiseBox);
    EXPECT_FALSE(buttons.resizable);
    const Face face = window->WindowFace();
    EXPECT_EQ(face.height, ui::ScaleFontHeight(design.fontHeight, dpi));
    // The described face where the system has it; elsewhere one the system has, named directly.
    if (window->HasFace(design.fontFamily)) {
        EXPECT_EQ(face.family, design.fontFamily);
    } else {
        EXPECT_TRUE(window->HasFace(face.family)) << face.family;
    }
}

// Before the first showing, when no logic has replaced anything yet.
TEST_P(RendererConformance, EveryControlIsBuiltAsDescribed) {
    const ui::FormSpec& design = window->Design();
    const int dpi = window->LayoutDpi();
    const auto scaled = [dpi](int length) { return ui::ScaleLength(length, dpi); };
    const std::string family = window->WindowFace().family;
    for (const ControlSpec& control : design.controls) {
        SCOPED_TRACE(control.name);
        ASSERT_TRUE(window->Exists(control.name));
        EXPECT_EQ(window->Kind(control.name), control.kind);
        EXPECT_EQ(window->Parent(control.name), control.parent);
        EXPECT_EQ(window->Text(control.name), control.text);
        EXPECT_EQ(window->Enabled(control.name), control.enabled);
        if (control.kind == ControlKind::TabSheet) {
            continue; // its page control shows it and gives it its place
        }
        EXPECT_EQ(window->Visible(control.name), control.visible);
        if (control.kind == ControlKind::ComboBox || control.kind == ControlKind::RadioGroup) {
            EXPECT_EQ(window->Items(control.name), control.items);
        }
        if (control.kind == ControlKind::StatusBar) {
            std::vector<std::string> panels;
            for (const ui::StatusPanel& panel : control.panels) {
                panels.push_back(panel.text);
            }
            EXPECT_EQ(window->Items(control.name), panels);
        }
        if (control.kind == ControlKind::UpDown) {
            EXPECT_EQ(window->SelectedItem(control.name), control.position);
        } else if (control.itemIndex >= 0) {
            EXPECT_EQ(window->SelectedItem(control.name), control.itemIndex);
        }
        if (HasFont(control.kind)) {
            const Face face = window->FaceOf(control.name);
            const int height = ui::ScaleFontHeight(
                control.fontHeight > 0 ? control.fontHeight : design.fontHeight, dpi);
            if (control.kind == ControlKind::Label && !control.autoSize) {
                EXPECT_LE(face.height, height) << "a fixed label only shrinks its font";
            } else {
                EXPECT_EQ(face.height, height);
            }
            EXPECT_EQ(face.family, family);
        }
        const Box at = window->Place(control.name);
        EXPECT_EQ(at.left, scaled(control.left));
        EXPECT_EQ(at.top, scaled(control.top));
        if (control.kind == ControlKind::Label && control.autoSize) {
            // A label that sizes itself may only be larger than its layout box.
            EXPECT_GE(at.width, scaled(control.width));
            EXPECT_GE(at.height, scaled(control.height));
        } else if (control.kind == ControlKind::ComboBox) {
            // A closed list is as tall as its edit field's face needs: a few pixels more than
            // the layout's at the larger faces.
            EXPECT_EQ(at.width, scaled(control.width));
            EXPECT_GE(at.height, scaled(control.height));
            EXPECT_LE(at.height, scaled(control.height) + 4);
        } else {
            EXPECT_EQ(at.width, scaled(control.width));
            EXPECT_EQ(at.height, scaled(control.height));
        }
    }
    // What the description lists after a picture and lies on it is drawn over it.
    for (const ControlSpec& picture : design.controls) {
        if (picture.kind != ControlKind::Picture) {
            continue;
        }
        bool after = false;
        for (const ControlSpec& control : design.controls) {
            if (after && control.parent == picture.parent && Overlap(control, picture)) {
                EXPECT_TRUE(window->Above(control.name, picture.name))
                    << control.name << " under " << picture.name;
            }
            after = after || &control == &picture;
        }
    }
}

TEST_P(RendererConformance, ShownWhollyInsideTheWorkAreaAndCentred) {
    window->Show();
    const Box outer = window->Outer();
    const Box work = window->WorkArea();
    SCOPED_TRACE(testing::Message()
                 << "window " << outer.left << "," << outer.top << " " << outer.width << " x "
                 << outer.height << ", work area " << work.left << "," << work.top << " "
                 << work.width << " x " << work.height);
    EXPECT_GE(outer.left, work.left);
    EXPECT_GE(outer.top, work.top);
    EXPECT_LE(outer.Right(), work.Right());
    EXPECT_LE(outer.Bottom(), work.Bottom());
    EXPECT_LE(std::abs((outer.left + outer.Right()) - (work.left + work.Right())), 2);
    if (outer.height < work.height) {
        EXPECT_LE(std::abs((outer.top + outer.Bottom()) - (work.top + work.Bottom())), 2);
    }
}

TEST_P(RendererConformance, TabFollowsTheDescriptionFromTheFirstStop) {
    window->Show();
    const std::vector<std::string> first = ExpectedStops(*window, "");
    if (!first.empty()) {
        EXPECT_EQ(window->Focused(), first.front());
    }
    OnEveryPage([this] {
        const std::vector<std::string> walk = window->TabWalk();
        // Each container's stops come in its own order; the toolkit decides how the containers
        // (the window, the open page) follow one another.
        std::set<std::string> containers = {""};
        for (const ControlSpec& control : window->Design().controls) {
            // Where the toolkit's walk does not enter the pages, the window's own stops are
            // still checked.
            if (control.kind == ControlKind::TabSheet && window->OnScreen(control.name) &&
                window->TabWalkEntersPages()) {
                containers.insert(control.name);
            }
        }
        for (const std::string& container : containers) {
            const std::vector<std::string> expected = ExpectedStops(*window, container);
            std::vector<std::string> visited;
            for (const std::string& name : walk) {
                if (std::find(expected.begin(), expected.end(), name) != expected.end()) {
                    visited.push_back(name);
                }
            }
            EXPECT_EQ(visited, expected) << "in " << (container.empty() ? "the window" : container);
        }
    });
}

TEST_P(RendererConformance, EveryCaptionFitsInEveryState) {
    window->Show();
    std::vector<CaptionState> states = {{"as shown", [] {}}};
    for (CaptionState& state : window->CaptionStates()) {
        states.push_back(std::move(state));
    }
    for (const CaptionState& state : states) {
        SCOPED_TRACE(state.name);
        state.enter();
        OnEveryPage([this] {
            for (const Caption& caption : window->Captions()) {
                EXPECT_LE(caption.need, caption.room)
                    << caption.control << " \"" << caption.text << "\"";
            }
            for (const ControlSpec& control : window->Design().controls) {
                if (control.kind != ControlKind::Label || !window->OnScreen(control.name)) {
                    continue;
                }
                const Box at = window->Place(control.name);
                const Box room = window->Inside(control.parent);
                EXPECT_LE(at.Right(), room.width) << control.name << " leaves its parent";
                EXPECT_LE(at.Bottom(), room.height) << control.name << " leaves its parent";
                if (control.autoSize) {
                    ExpectShortOfItsRightNeighbours(control);
                }
            }
        });
    }
}

TEST_P(RendererConformance, PicturesAreDrawnAtTheirControlsSize) {
    window->Show();
    OnEveryPage([this] {
        for (const ControlSpec& control : window->Design().controls) {
            if (control.kind != ControlKind::Picture || !window->OnScreen(control.name)) {
                continue;
            }
            const Box picture = window->PictureSize(control.name);
            const Box at = window->Place(control.name);
            EXPECT_EQ(picture.width, at.width) << control.name;
            EXPECT_EQ(picture.height, at.height) << control.name;
        }
    });
}

} // namespace conformance
