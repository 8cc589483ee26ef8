#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/json_output.h"
#include "cli/record.h"

#include <cstddef>

namespace cli {
namespace {

std::string ConfigurationObject(const Configuration& c) {
    const auto& range = catalogue::SensorRanges[static_cast<std::size_t>(c.rangeIndex)];
    const auto& type = catalogue::SensorTypes[static_cast<std::size_t>(range.TypeIndex)];
    return "{\"rangeIndex\": " + std::to_string(c.rangeIndex) +
           ", \"sensorType\": " + JsonString(type.Name) +
           ", \"sensorRange\": " + JsonString(range.RangeText) +
           ", \"upper\": " + ValueText(c.upper) + ", \"lower\": " + ValueText(c.lower) +
           ", \"breakPercent\": " + BreakPercentText(c) +
           ", \"outputType\": " + std::to_string(c.outputType) +
           ", \"outputName\": " + JsonString(texts::OutputTypeNames[c.outputType]) + "}";
}

std::string SnapshotObject(const Snapshot& s) {
    std::string json = "{\"read\": " + std::string(s.configuration ? "true" : "false");
    json += ", \"configuration\": " +
            (s.configuration ? ConfigurationObject(*s.configuration) : std::string("null"));
    json +=
        ", \"measured\": " + (s.measured ? "{\"value\": " + s.measured->value +
                                               ", \"label\": " + JsonString(s.measured->label) + "}"
                                         : std::string("null"));
    return json + ", \"failure\": " + (s.failure.empty() ? "null" : JsonString(s.failure)) + "}";
}

std::string StageObject(const Stage& stage) {
    static const char* const States[] = {"notReached", "done", "failed", "interrupted"};
    std::string json = "    {\"name\": " + JsonString(stage.name) + ", \"state\": \"" +
                       States[static_cast<int>(stage.state)] + "\",\n     \"facts\": {";
    for (std::size_t i = 0; i < stage.facts.size(); ++i) {
        json += (i > 0 ? ", " : "") + JsonString(stage.facts[i].key) + ": " +
                JsonString(stage.facts[i].value);
    }
    json += "},\n     \"exchanges\": [";
    for (std::size_t i = 0; i < stage.exchanges.size(); ++i) {
        json += std::string(i > 0 ? ", " : "") +
                "{\"sent\": " + JsonString(stage.exchanges[i].sent) +
                ", \"received\": " + JsonString(stage.exchanges[i].received) + "}";
    }
    json += "],\n     \"messages\": [";
    for (std::size_t i = 0; i < stage.messages.size(); ++i) {
        json += (i > 0 ? ", " : "") + JsonString(stage.messages[i]);
    }
    return json + "]}";
}

} // namespace

std::string KindName(RecordKind kind) {
    switch (kind) {
    case RecordKind::Write:
        return "write";
    case RecordKind::InputCalibration:
        return "calibrate-input";
    case RecordKind::OutputCalibration:
        return "calibrate-output";
    }
    return {};
}

std::string KindTitle(RecordKind kind) {
    switch (kind) {
    case RecordKind::Write:
        return texts::RecordWriteTitle;
    case RecordKind::InputCalibration:
        return texts::RecordInputTitle;
    case RecordKind::OutputCalibration:
        return texts::RecordOutputTitle;
    }
    return {};
}

std::string RecordJson(const Record& r) {
    std::string json = "{\n";
    json += "  \"kind\": " + JsonString(KindName(r.kind)) + ",\n";
    json += "  \"started\": " + JsonString(r.started) + ",\n";
    json += "  \"finished\": " + JsonString(r.finished) + ",\n";
    json += "  \"port\": " + JsonString(r.port) + ",\n";
    json += "  \"unit\": " + JsonString(r.unit) + ",\n";
    json += "  \"operator\": " + JsonString(r.operatorName) + ",\n";
    json += "  \"tool\": " + JsonString(std::string(texts::Program) + " " + r.version) + ",\n";
    json += "  \"commandLine\": " + JsonString(r.commandLine) + ",\n";
    json += "  \"asFound\": " + SnapshotObject(r.asFound) + ",\n";
    json += "  \"procedure\": [\n";
    for (std::size_t i = 0; i < r.stages.size(); ++i) {
        json += StageObject(r.stages[i]) + (i + 1 < r.stages.size() ? ",\n" : "\n");
    }
    json += "  ],\n";
    json += "  \"asLeft\": " + SnapshotObject(r.asLeft) + ",\n";
    json += "  \"exitStatus\": " + std::to_string(r.exitStatus) + ",\n";
    json += "  \"succeeded\": " + std::string(r.exitStatus == 0 ? "true" : "false") + ",\n";
    json += "  \"result\": " + JsonString(r.result) + "\n";
    return json + "}\n";
}

} // namespace cli
