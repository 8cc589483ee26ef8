#pragma once
// What one transaction of a command does, for the live lines of a run over several ports
// ("запись 3/5"), for the stages of a record and for the message after an interruption, which
// tells the technician which of the transaction's commands the transducer took and which never
// went out. Each phase's texts stand in its row here and nowhere else.

#include "cli/cli_texts.h"

#include <span>

namespace cli {

// One command of a transaction: the start of its text as the status bar shows it ("$7",
// "$A0D0") and what it sets or asks, in words ("диапазон датчика").
struct PhaseCommand {
    const char* code;
    const char* what;
};

struct Phase {
    // On the live line of its port: "запись".
    const char* name;
    // The commands in the order they go out: one step each.
    std::span<const PhaseCommand> commands;
    // The stage of a record that this transaction is (and the heading a calibration shows on
    // the terminal); null for a transaction that is never one.
    const char* title = nullptr;
    // Heading of the commands the transducer answered: what it now holds, for a write.
    const char* doneHeading = texts::InterruptDone;
    // Whether Ctrl+C stops the transaction after the step under way. The output calibration
    // handles it at its own prompts instead, since it must end with "$B" (and, once the gain
    // has gone out, with the offset that belongs to it).
    bool stoppable = true;

    int Steps() const { return static_cast<int>(commands.size()); }
};

namespace phases {

inline constexpr PhaseCommand ReadCommands[] = {{"$8", "диапазон датчика"},
                                                {"$H", "верхнее значение диапазона"},
                                                {"#9", "уровень сигнала обрыв"},
                                                {"$4", "нижнее значение диапазона"},
                                                {"#K", "тип выхода"}};
// The write sets what the read asks, in an order of its own.
inline constexpr PhaseCommand WriteCommands[] = {{"$7", ReadCommands[0].what},
                                                 {"$3", ReadCommands[3].what},
                                                 {"$G", ReadCommands[2].what},
                                                 {"$9", ReadCommands[1].what},
                                                 {"$K", ReadCommands[4].what}};
inline constexpr PhaseCommand MeasureCommands[] = {{"#0", "измеренное значение"}};
inline constexpr PhaseCommand StatusCommand = {"$0", "запрос состояния ($0)"};
inline constexpr PhaseCommand ResetCommands[] = {{"$F", "восстановление заводских настроек ($F)"},
                                                 StatusCommand};
inline constexpr PhaseCommand ZeroCommands[] = {{"$1", "калибровка нуля ($1)"}, StatusCommand};
inline constexpr PhaseCommand GainCommands[] = {{"$2", "калибровка усиления ($2)"}, StatusCommand};
inline constexpr PhaseCommand OutputCommands[] = {{"$A0D0", "выход на тестовом коде 0D0"},
                                                  {"$ACD0", "выход на тестовом коде CD0"},
                                                  {"$C", "коэффициент усиления ($C)"},
                                                  {"$D", "смещение ($D)"},
                                                  {"$B", "завершение калибровки ($B)"}};

inline constexpr Phase Read{"чтение", ReadCommands};
inline constexpr Phase Write{"запись", WriteCommands, "Запись конфигурации",
                             texts::InterruptWriteDone};
inline constexpr Phase Verify{"проверка", ReadCommands, "Проверка записанного"};
inline constexpr Phase Measure{"измерение", MeasureCommands};
inline constexpr Phase Reset{"сброс", ResetCommands};
inline constexpr Phase Zero{"калибровка нуля", ZeroCommands, "Калибровка нуля"};
inline constexpr Phase Gain{"калибровка усиления", GainCommands, "Калибровка усиления"};
inline constexpr Phase Output{"калибровка выхода", OutputCommands, "Калибровка выхода",
                              texts::InterruptDone, false};

} // namespace phases
} // namespace cli
