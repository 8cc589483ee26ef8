#pragma once
// Close while Close is under way, run against each dispatcher of the user-interface thread: the
// plain one here, Qt's in tests/app. A Close waits for the event thread and meanwhile serves
// the requests whose sender waits (smThreadSync deliveries) but not posted work (smWindowSync
// events); whatever runs inside it and closes the port again must change nothing.

#include "serial/com_types.h"
#include "serial/sync_dispatcher.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace lirat_test {

// A user-interface thread's dispatcher and its usual work loop; the calling thread is that
// user-interface thread.
class DispatcherKit {
public:
    virtual ~DispatcherKit() = default;
    virtual std::shared_ptr<serial::TSyncDispatcher> Dispatcher() = 0;
    // Runs the thread's usual work, posted items included, for about `ms` milliseconds.
    virtual void Pump(int ms) = 0;
};

enum class InnerClose {
    FromBeforeCloseHook,   // OnBeforeClose closes the port again
    FromEventDuringTheWait // a byte arrived just before Close: its handler closes the port
};

struct ReentryRow {
    const char* name;
    serial::TSyncMethod method;
    InnerClose source;
    bool handlerRunsInsideClose; // the delivery is served by Close's wait
};

// Every method with the hook; the two methods that deliver on the user-interface thread with
// an event. (With smNone the handler runs on the event thread, beside the Close, and the port
// takes no locks.)
std::vector<ReentryRow> ReentryRows();

// A worker posts one item, then synchronises another; ServeUntil runs only the second, and the
// posted one runs afterwards in the usual loop.
void CheckServeUntilLeavesPostedWork(DispatcherKit& kit);

// Opens a port on a fresh far end, closes it as the row says and checks the outcome: hooks
// once each, the port closed, a later Open and delivery working. Skips without a far end or,
// for event rows, where the platform reports no line events on it.
void CheckCloseReentry(DispatcherKit& kit, const ReentryRow& row);

std::string RowName(const ReentryRow& row);
inline void PrintTo(const ReentryRow& row, std::ostream* out) {
    *out << row.name;
}

} // namespace lirat_test
