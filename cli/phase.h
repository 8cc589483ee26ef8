#pragma once
// What one transaction of a command does, for the live lines of a run over several ports
// ("запись 3/5") and for the message after an interruption, which tells the technician which
// of the transaction's commands the transducer took and which never went out.

#include "cli/cli_texts.h"

#include <cstddef>
#include <span>

namespace cli {

// One command of a transaction: the start of its text as the status bar shows it ("$7",
// "$A0D0") and what it sets or asks, in words ("диапазон датчика").
struct PhaseCommand {
    const char* code;
    const char* what;
};

struct Phase {
    const char* name;
    int steps;
    std::span<const PhaseCommand> commands;
    // Heading of the commands the transducer answered: what it now holds, for a write.
    const char* doneHeading = texts::InterruptDone;
    // Whether Ctrl+C stops the transaction after the step under way. The output calibration
    // handles it at its own prompts instead, since it must end with "$B" (and, once the gain
    // has gone out, with the offset that belongs to it).
    bool stoppable = true;
};

namespace phases {

inline constexpr PhaseCommand ReadCommands[] = {{"$8", texts::WhatRange},
                                                {"$H", texts::WhatUpper},
                                                {"#9", texts::WhatBreak},
                                                {"$4", texts::WhatLower},
                                                {"#K", texts::WhatOutput}};
inline constexpr PhaseCommand WriteCommands[] = {{"$7", texts::WhatRange},
                                                 {"$3", texts::WhatLower},
                                                 {"$G", texts::WhatBreak},
                                                 {"$9", texts::WhatUpper},
                                                 {"$K", texts::WhatOutput}};
inline constexpr PhaseCommand MeasureCommands[] = {{"#0", texts::WhatMeasured}};
inline constexpr PhaseCommand ResetCommands[] = {{"$F", texts::WhatReset},
                                                 {"$0", texts::WhatStatus}};
inline constexpr PhaseCommand ZeroCommands[] = {{"$1", texts::WhatZero}, {"$0", texts::WhatStatus}};
inline constexpr PhaseCommand GainCommands[] = {{"$2", texts::WhatGain}, {"$0", texts::WhatStatus}};
inline constexpr PhaseCommand OutputCommands[] = {{"$A0D0", texts::WhatLowCode},
                                                  {"$ACD0", texts::WhatHighCode},
                                                  {"$C", texts::WhatOutputGain},
                                                  {"$D", texts::WhatOutputOffset},
                                                  {"$B", texts::WhatOutputEnd}};

inline constexpr Phase Read{texts::PhaseRead, 5, ReadCommands};
inline constexpr Phase Write{texts::PhaseWrite, 5, WriteCommands, texts::InterruptWriteDone};
inline constexpr Phase Verify{texts::PhaseVerify, 5, ReadCommands};
inline constexpr Phase Measure{texts::PhaseMeasure, 1, MeasureCommands};
inline constexpr Phase Reset{texts::PhaseReset, 2, ResetCommands};
inline constexpr Phase Zero{texts::PhaseZero, 2, ZeroCommands};
inline constexpr Phase Gain{texts::PhaseGain, 2, GainCommands};
inline constexpr Phase Output{texts::PhaseOutput, 5, OutputCommands, texts::InterruptDone, false};

} // namespace phases
} // namespace cli
