#pragma once
// The contract between the shared bookkeeping of interrupt requests (interrupt.cpp) and each
// platform's way of hearing them (interrupt_posix.cpp: signal handlers; interrupt_win32.cpp: a
// console control handler). Nothing here takes a lock or allocates, so a signal handler may
// call it.

namespace cli::interrupt_platform {

// Called by the platform's handler. A request to stop: the first asks the command to stop after
// the step under way, the second to end at once; returns how many there have been. `cause` is
// the platform's number for what asked (a signal, a console event), kept from the first.
int Request(int cause);
// A request that nothing is worth waiting for (a terminal that is gone): end at once.
void RequestAbandon(int cause);

// Provided by each platform: installed when the first scope opens, removed when the last closes.
void Install();
void Remove();
// What asked, in words, by the platform's number; 0 is Ctrl+C on both.
const char* CauseText(int cause);

} // namespace cli::interrupt_platform
