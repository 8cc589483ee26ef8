// A window's event table against its description: the faults the check finds, and the
// dispatcher that takes each reported event to its handler and refuses one bound to nothing.

#include "ui/event_dispatcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using ui::BoundEvent;
using ui::ControlKind;
using ui::FormEvent;

// One control of each kind that raises an event, and two that raise none.
ui::FormSpec Sample() {
    ui::FormSpec form;
    form.name = "Sample";
    form.controls = {
        {.name = "Go", .kind = ControlKind::Button},
        {.name = "List", .kind = ControlKind::ComboBox},
        {.name = "Pages", .kind = ControlKind::PageControl},
        {.name = "Page", .kind = ControlKind::TabSheet, .parent = "Pages"},
        {.name = "Caption", .kind = ControlKind::Label},
    };
    return form;
}

struct Logic {
    std::vector<std::string> calls;
    bool allowPageChange = false;
    void FormShow() { calls.push_back("FormShow"); }
    void FormClose() { calls.push_back("FormClose"); }
    void GoClick() { calls.push_back("GoClick"); }
    void ListChange() { calls.push_back("ListChange"); }
    bool PagesChanging() {
        calls.push_back("PagesChanging");
        return allowPageChange;
    }
};

std::span<const ui::EventBinding<Logic>> Table() {
    static const ui::EventBinding<Logic> table[] = {
        {{}, FormEvent::Show, &Logic::FormShow},
        {{}, FormEvent::Close, &Logic::FormClose},
        {"Go", FormEvent::Click, &Logic::GoClick},
        {"List", FormEvent::Change, &Logic::ListChange},
        {"Pages", FormEvent::Changing, &Logic::PagesChanging},
    };
    return table;
}

TEST(EventDispatcher, EachEventReachesItsHandlerAndAnUnboundOneIsAnError) {
    Logic logic;
    ui::EventDispatcher events;
    EXPECT_THROW(events.Raise("Go", FormEvent::Click), std::logic_error); // not bound yet
    events.Bind(Sample(), Table(), logic);
    EXPECT_TRUE(events.Raise({}, FormEvent::Show));
    EXPECT_TRUE(events.Raise("Go", FormEvent::Click));
    EXPECT_TRUE(events.Raise("List", FormEvent::Change));
    EXPECT_FALSE(events.Raise("Pages", FormEvent::Changing));
    logic.allowPageChange = true;
    EXPECT_TRUE(events.Raise("Pages", FormEvent::Changing));
    EXPECT_TRUE(events.Raise({}, FormEvent::Close));
    EXPECT_EQ(logic.calls,
              (std::vector<std::string>{"FormShow", "GoClick", "ListChange", "PagesChanging",
                                        "PagesChanging", "FormClose"}));
    // A window without a timer binds none; a label raises nothing.
    EXPECT_THROW(events.Raise({}, FormEvent::Timer), std::logic_error);
    EXPECT_THROW(events.Raise("Caption", FormEvent::Click), std::logic_error);
    EXPECT_EQ(logic.calls.size(), 6u);
}

TEST(EventDispatcher, ATableThatDoesNotFitItsWindowIsNotBound) {
    Logic logic;
    ui::EventDispatcher events;
    static const ui::EventBinding<Logic> misnamed[] = {
        {{}, FormEvent::Show, &Logic::FormShow},
        {{}, FormEvent::Close, &Logic::FormClose},
        {"Goo", FormEvent::Click, &Logic::GoClick},
        {"List", FormEvent::Change, &Logic::ListChange},
        {"Pages", FormEvent::Changing, &Logic::PagesChanging},
    };
    try {
        events.Bind(Sample(), std::span<const ui::EventBinding<Logic>>(misnamed), logic);
        FAIL() << "bound a table naming a control the window does not have";
    } catch (const std::logic_error& error) {
        EXPECT_THAT(error.what(), testing::HasSubstr("Sample: Goo Click: the description has no"));
        EXPECT_THAT(error.what(), testing::HasSubstr("Sample: Go Click: nothing handles it"));
    }
    EXPECT_THROW(events.Raise("List", FormEvent::Change), std::logic_error);
}

struct FaultRow {
    const char* what;
    std::function<void(std::vector<BoundEvent>&)> change;
    std::vector<std::string> faults;
};

TEST(BindingFaults, EachFaultOfATableIsNamed) {
    const std::vector<FaultRow> rows = {
        {"the complete table", [](auto&) {}, {}},
        {"with the window's timer",
         [](auto& t) {
             t.push_back({{}, FormEvent::Timer});
         },
         {}},
        {"a control the window lacks",
         [](auto& t) {
             t.push_back({"Missing", FormEvent::Click});
         },
         {"Sample: Missing Click: the description has no such control"}},
        {"an event a label does not raise",
         [](auto& t) {
             t.push_back({"Caption", FormEvent::Click});
         },
         {"Sample: Caption Click: a control of its kind raises no such event"}},
        {"a window's event given to a button",
         [](auto& t) {
             t.push_back({"Go", FormEvent::Timer});
         },
         {"Sample: Go Timer: a control of its kind raises no such event"}},
        {"a control's event given to the window",
         [](auto& t) {
             t.push_back({{}, FormEvent::Click});
         },
         {"Sample: the window Click: raised by controls, not by the window"}},
        {"an event bound twice",
         [](auto& t) {
             t.push_back({"Go", FormEvent::Click});
         },
         {"Sample: Go Click: bound twice"}},
        {"a page guard that does not answer",
         [](auto& t) { t[4].answers = false; },
         {"Sample: Pages Changing: its handler must answer whether to change"}},
        {"a click handler that answers",
         [](auto& t) { t[2].answers = true; },
         {"Sample: Go Click: its handler answers, as only a Changing one may"}},
        {"a button nothing handles",
         [](auto& t) { t.erase(t.begin() + 2); },
         {"Sample: Go Click: nothing handles it"}},
        {"the window's showing unhandled",
         [](auto& t) { t.erase(t.begin()); },
         {"Sample: the window Show: nothing handles it"}},
    };
    const ui::FormSpec form = Sample();
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<BoundEvent> table = ui::BoundEvents(Table());
        row.change(table);
        EXPECT_EQ(ui::BindingFaults(form, table), row.faults);
    }
}

} // namespace
