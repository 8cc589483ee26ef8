#pragma once
// The record of one unit's calibration or configuration run, as a technician hands it over:
// who, when, where and with what; the unit as found (configuration and measured value read
// before); the procedure stage by stage with what was typed, computed, sent and answered; the
// unit as left (read after); the result and how far the run got. Kept as a JSON file for
// programs and as a printable Russian HTML page (record_html.cpp) for people.

#include "cli/cli_engine_view.h"
#include "cli/configuration.h"
#include "cli/option_values.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

// The configuration and measured value read before or after the procedure.
struct Snapshot {
    bool attempted = false;
    std::optional<Configuration> configuration;
    std::optional<Reading> measured;
    std::string failure; // what stopped the reading, when something did
};

struct Fact {
    std::string name;  // "Измерено на коде 0D0, mA"
    std::string value; // "1.0"
    std::string key;   // its JSON key, "measuredMinimum"
};

enum class StageState { NotReached, Done, Failed, Interrupted };

struct Stage {
    std::string name;
    StageState state = StageState::NotReached;
    std::vector<Fact> facts;
    std::vector<CliEngineView::Exchange> exchanges;
    std::vector<std::string> messages;
};

// What the output calibration's chart draws.
struct OutputChartData {
    double fullScale = 0.0;
    std::string unit; // "mA" or "V"
    double measuredMinimum = 0.0;
    double measuredMaximum = 0.0;
    double gain = 0.0;
    int offset = 0;
};

enum class RecordKind { Write, InputCalibration, OutputCalibration };

struct Record {
    RecordKind kind = RecordKind::Write;
    std::string started; // "2026-12-08 06:49:33.823", local time
    std::string finished;
    std::string port;
    std::string unit;
    std::string operatorName;
    std::string version;
    std::string commandLine;
    Snapshot asFound;
    std::vector<Stage> stages;
    std::optional<OutputChartData> chart;
    Snapshot asLeft;
    int exitStatus = 0;
    std::string result; // one sentence, Russian
};

// "write", "calibrate-input", "calibrate-output": the kind in file names and JSON.
std::string KindName(RecordKind kind);
// "Протокол калибровки выхода" and so on.
std::string KindTitle(RecordKind kind);

std::string RecordJson(const Record& record);
std::string RecordHtml(const Record& record);
// The output calibration's chart: the nominal line, the measured output at the two test
// codes and the line the sent gain and offset make of it.
std::string OutputCalibrationSvg(const OutputChartData& data);

} // namespace cli
