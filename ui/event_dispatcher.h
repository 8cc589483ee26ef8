#pragma once
// A window's event table and the dispatcher that serves it. The table is the one list of the
// handlers a window's logic offers: each row names a control of the window's description (none
// for the window's own events), the event, and the logic's handler. The table is checked
// against the description when it is bound, so a row naming a control the window lacks, or an
// event of a control that no row handles, stops the window from being built instead of a click
// being silently lost; afterwards each renderer's report reaches its handler.

#include "ui/form_events.h"
#include "ui/form_spec.h"

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace ui {

template <class Logic> struct EventBinding {
    std::string_view control; // the description's name; empty: the window itself
    FormEvent event = FormEvent::Click;
    // A Changing handler answers whether the page may change; the others answer nothing.
    std::variant<void (Logic::*)(), bool (Logic::*)()> handler;
};

// A row of a window's table as the check sees it, whatever the logic.
struct BoundEvent {
    std::string_view control;
    FormEvent event = FormEvent::Click;
    bool answers = false; // the handler returns whether the change may happen
};

template <class Logic>
std::vector<BoundEvent> BoundEvents(std::span<const EventBinding<Logic>> table) {
    std::vector<BoundEvent> bound;
    for (const EventBinding<Logic>& row : table) {
        bound.push_back({row.control, row.event, row.handler.index() == 1});
    }
    return bound;
}

// What is wrong with a window's table, one text a fault; empty when nothing is. The faults: a
// control the description does not have; an event the control's kind does not raise, or a
// window's event given to a control; an event bound twice; a Changing handler that does not
// answer, or another that does; an event a control raises, or the window's Show or Close, that
// no row handles. The window's Timer is bound only by windows that have a timer.
std::vector<std::string> BindingFaults(const FormSpec& form, std::span<const BoundEvent> table);

class EventDispatcher final : public EventSink {
public:
    // Throws std::logic_error naming every fault of `table` (BindingFaults); afterwards each
    // event reaches its handler on `logic`, which must outlive the dispatcher's use.
    template <class Logic>
    void Bind(const FormSpec& form, std::span<const EventBinding<Logic>> table, Logic& logic) {
        const std::vector<BoundEvent> bound = BoundEvents(table);
        Check(form, bound);
        for (const EventBinding<Logic>& row : table) {
            handlers_[{std::string(row.control), row.event}] = std::visit(
                [&logic](auto handler) -> std::function<bool()> {
                    if constexpr (std::is_same_v<decltype(handler), bool (Logic::*)()>) {
                        return [&logic, handler] { return (logic.*handler)(); };
                    } else {
                        return [&logic, handler] {
                            (logic.*handler)();
                            return true;
                        };
                    }
                },
                row.handler);
        }
    }

    // An event that no row handles (every event before Bind) is a programming error: throws
    // std::logic_error.
    bool Raise(const std::string& control, FormEvent event) override;

private:
    void Check(const FormSpec& form, const std::vector<BoundEvent>& bound);

    std::string formName_;
    std::map<std::pair<std::string, FormEvent>, std::function<bool()>> handlers_;
};

} // namespace ui
