// The record as a printable page: A4, one page, Russian, everything inline (style and chart),
// so it opens in any browser and prints as it is.
#include "catalogue/sensor_catalogue.h"
#include "catalogue/sensor_selection.h"
#include "cli/cli_texts.h"
#include "cli/record.h"
#include "cli/svg_chart.h"
#include "protocol/output_calibration_math.h"

#include <cstddef>

namespace cli {
namespace {

constexpr const char* Style = R"(
@page { size: A4; margin: 12mm 14mm 12mm 16mm; }
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 9pt; color: #111;
       width: 180mm; margin: 0 auto; }
@media screen { body { margin: 8mm auto; } }
h1 { font-size: 14pt; margin: 0 0 2mm; }
h2 { font-size: 10.5pt; margin: 3.5mm 0 1.5mm; border-bottom: 1px solid #555; }
h3 { font-size: 9.5pt; margin: 2mm 0 1mm; }
table { border-collapse: collapse; width: 100%; }
td, th { border: 1px solid #bbb; padding: 0.6mm 1.5mm; text-align: left; vertical-align: top; }
th { background: #eee; font-weight: normal; color: #333; width: 22%; }
table.meta td, table.meta th { border: none; background: none; padding: 0.3mm 1.5mm 0.3mm 0; }
.done { color: #1e6b30; } .failed, .interrupted { color: #a52a1a; } .notReached { color: #777; }
.exchanges { font-family: "DejaVu Sans Mono", "Courier New", monospace; font-size: 7.5pt; }
.result { font-size: 10.5pt; font-weight: bold; padding: 2mm 3mm; border: 1.5px solid; }
.sign { display: flex; justify-content: space-between; margin-top: 9mm; }
.sign span { border-top: 1px solid #333; padding-top: 0.8mm; width: 75mm; font-size: 8pt; }
svg { display: block; max-height: 68mm; margin-top: 1.5mm; }
)";

std::string Cell(std::string_view text) {
    return "<td>" + HtmlEscape(text) + "</td>";
}

std::string Head(std::string_view text) {
    return "<th>" + HtmlEscape(text) + "</th>";
}

const char* StateClass(StageState state) {
    switch (state) {
    case StageState::Done:
        return "done";
    case StageState::Failed:
        return "failed";
    case StageState::NotReached:
        return "notReached";
    case StageState::Interrupted:
        return "interrupted";
    }
    return "";
}

std::string SnapshotSection(const char* heading, const Snapshot& s) {
    std::string html = std::string("<h2>") + heading + "</h2>\n";
    if (!s.attempted) {
        return html + "<p class=\"notReached\">" +
               (s.failure.empty() ? std::string(texts::RecordNotRead) : HtmlEscape(s.failure)) +
               "</p>\n";
    }
    html += "<table>";
    if (s.configuration) {
        const Configuration& c = *s.configuration;
        const auto& range = catalogue::SensorRanges[static_cast<std::size_t>(c.rangeIndex)];
        const auto& type = catalogue::SensorTypes[static_cast<std::size_t>(range.TypeIndex)];
        const std::string unit = catalogue::IsResistanceType(range.TypeIndex) ? " Ом" : " °C";
        html += "<tr>" + Head(texts::SensorType) + Cell(type.Name) + Head(texts::SensorRange) +
                Cell(std::string(range.RangeText) + ", номер " + std::to_string(c.rangeIndex)) +
                "</tr>";
        html += "<tr>" + Head(texts::LowerValue) + Cell(ValueText(c.lower) + unit) +
                Head(texts::UpperValue) + Cell(ValueText(c.upper) + unit) + "</tr>";
        html += "<tr>" + Head(texts::BreakLevel) + Cell(BreakPercentText(c)) +
                Head(texts::OutputType) +
                Cell(std::to_string(c.outputType) + ": " + texts::OutputTypeNames[c.outputType]) +
                "</tr>";
    }
    if (s.measured) {
        const std::string& label = s.measured->label;
        html += "<tr>" + Head(label.substr(0, label.find_last_not_of(": ") + 1)) +
                "<td colspan=\"3\">" + HtmlEscape(s.measured->value) + "</td></tr>";
    }
    if (!s.failure.empty()) {
        html += "<tr>" + Head(texts::RecordReadFailed) + "<td colspan=\"3\" class=\"failed\">" +
                HtmlEscape(s.failure) + "</td></tr>";
    }
    return html + "</table>\n";
}

std::string StageSection(const Stage& stage) {
    static const char* const States[] = {texts::StageNotReached, texts::StageDone,
                                         texts::StageFailed, texts::StageInterrupted};
    std::string html = "<h3>" + HtmlEscape(stage.name) + ": <span class=\"" +
                       StateClass(stage.state) + "\">" + States[static_cast<int>(stage.state)] +
                       "</span></h3>\n";
    if (stage.facts.empty() && stage.exchanges.empty() && stage.messages.empty()) {
        return html;
    }
    html += "<table>";
    for (std::size_t i = 0; i < stage.facts.size(); i += 2) {
        html += "<tr>" + Head(stage.facts[i].name) + Cell(stage.facts[i].value);
        html += i + 1 < stage.facts.size()
                    ? Head(stage.facts[i + 1].name) + Cell(stage.facts[i + 1].value)
                    : "<td colspan=\"2\"></td>";
        html += "</tr>";
    }
    if (!stage.exchanges.empty()) {
        std::string line;
        for (const auto& e : stage.exchanges) {
            line += (line.empty() ? "" : " &nbsp; ") + HtmlEscape(e.sent) + " → " +
                    (e.received.empty() ? "—" : HtmlEscape(e.received));
        }
        html += "<tr>" + Head(texts::RecordExchanges) + "<td colspan=\"3\" class=\"exchanges\">" +
                line + "</td></tr>";
    }
    if (!stage.messages.empty()) {
        std::string text;
        for (const std::string& m : stage.messages) {
            text += (text.empty() ? "" : "<br>") + HtmlEscape(m);
        }
        html += "<tr>" + Head(texts::RecordMessages) + "<td colspan=\"3\">" + text + "</td></tr>";
    }
    return html + "</table>\n";
}

} // namespace

std::string OutputCalibrationSvg(const OutputChartData& d) {
    // With the sent gain and offset the transducer drives the code offset + gain x v for the
    // output fraction v; the measured line says what a code gives.
    const double perCode = (d.measuredMaximum - d.measuredMinimum) / protocol::TestCodeSpan;
    const auto corrected = [&](double fraction) {
        return d.measuredMinimum + (d.offset + d.gain * fraction - protocol::LowTestCode) * perCode;
    };
    Chart chart;
    chart.xTitle = std::string(texts::ChartNominal) + ", " + d.unit;
    chart.yTitle = std::string(texts::ChartOutput) + ", " + d.unit;
    chart.series.push_back(
        ChartSeries{texts::ChartMeasuredLine,
                    "#c0392b",
                    false,
                    true,
                    {{0.0, d.measuredMinimum, "0D0: " + ValueText(d.measuredMinimum)},
                     {d.fullScale, d.measuredMaximum, "CD0: " + ValueText(d.measuredMaximum)}}});
    chart.series.push_back(
        ChartSeries{texts::ChartCorrectedLine,
                    "#1e6b30",
                    false,
                    false,
                    {{0.0, corrected(0.0), {}}, {d.fullScale, corrected(1.0), {}}}});
    // The nominal line last: its dashes lie over the corrected line, which nearly covers it.
    chart.series.push_back(ChartSeries{texts::ChartNominalLine,
                                       "#777",
                                       true,
                                       false,
                                       {{0.0, 0.0, {}}, {d.fullScale, d.fullScale, {}}}});
    chart.xTicks = {{0.0, 0.0, "0 (0D0)"},
                    {d.fullScale / 2, 0.0, ValueText(d.fullScale / 2)},
                    {d.fullScale, 0.0, ValueText(d.fullScale) + " (CD0)"}};
    return ChartSvg(chart, 640, 250);
}

std::string RecordHtml(const Record& r) {
    const std::string title = KindTitle(r.kind);
    std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<title>" + HtmlEscape(title + (r.unit.empty() ? "" : ", " + r.unit)) + "</title>\n";
    html += std::string("<style>") + Style + "</style>\n</head>\n<body>\n";
    html += "<h1>" + HtmlEscape(title) + "</h1>\n<table class=\"meta\">";
    html += "<tr>" + Head(texts::RecordDevice) +
            Cell(std::string(texts::DeviceName) + (r.unit.empty() ? "" : ", № " + r.unit)) +
            Head(texts::RecordPort) + Cell(r.port) + "</tr>";
    html += "<tr>" + Head(texts::RecordStarted) + Cell(r.started.substr(0, 19)) +
            Head(texts::RecordFinished) + Cell(r.finished.substr(0, 19)) + "</tr>";
    html += "<tr>" + Head(texts::RecordOperator) + Cell(r.operatorName) + Head(texts::RecordTool) +
            Cell(std::string(texts::Program) + " " + r.version) + "</tr></table>\n";
    html += SnapshotSection(texts::RecordAsFound, r.asFound);
    html += std::string("<h2>") + texts::RecordProcedure + "</h2>\n";
    for (const Stage& stage : r.stages) {
        html += StageSection(stage);
    }
    if (r.chart) {
        html += OutputCalibrationSvg(*r.chart);
    }
    html += SnapshotSection(texts::RecordAsLeft, r.asLeft);
    html += std::string("<h2>") + texts::RecordResult + "</h2>\n<div class=\"result " +
            (r.exitStatus == 0 ? "done" : "failed") + "\">" + HtmlEscape(r.result) + "</div>\n";
    html += std::string("<div class=\"sign\"><span>") + texts::RecordSignOperator +
            "</span><span>" + texts::RecordSignCustomer + "</span></div>\n";
    return html + "</body>\n</html>\n";
}

} // namespace cli
