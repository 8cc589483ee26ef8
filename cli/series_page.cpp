#include "cli/series_page.h"

#include "cli/cli_texts.h"
#include "cli/configuration.h"
#include "cli/svg_chart.h"
#include "protocol/number_text.h"

#include <algorithm>

namespace cli {

std::string SeriesHtml(const std::string& port, const std::string& quantity,
                       const std::vector<SeriesSample>& samples) {
    Chart chart;
    chart.xTitle = texts::SeriesTime;
    chart.yTitle = quantity;
    ChartSeries line{quantity, "#1f5fa8", false, samples.size() <= 60, {}};
    std::vector<double> values;
    for (const SeriesSample& s : samples) {
        const double value = protocol::ParseNumber(s.value, '.').value_or(0.0);
        values.push_back(value);
        line.points.push_back(ChartPoint{s.seconds, value, {}});
    }
    chart.series.push_back(line);

    std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<title>" + HtmlEscape(std::string(texts::SeriesTitle) + ", " + port) + "</title>\n";
    html += "<style>body { font-family: \"DejaVu Sans\", Arial, sans-serif; font-size: 10pt; "
            "max-width: 190mm; margin: 8mm auto; } table { border-collapse: collapse; } "
            "td, th { border: 1px solid #bbb; padding: 0.5mm 2mm; text-align: left; } "
            "th { background: #eee; font-weight: normal; }</style>\n</head>\n<body>\n";
    html += "<h1>" + HtmlEscape(std::string(texts::SeriesTitle) + ", " + port) + "</h1>\n";
    if (!samples.empty()) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        html += "<p>" + HtmlEscape(quantity) + ": " + texts::SeriesLowest + " " + ValueText(*low) +
                ", " + texts::SeriesHighest + " " + ValueText(*high) + ", " + texts::SeriesLast +
                " " + HtmlEscape(samples.back().value) + "; " + texts::SeriesCount + " " +
                std::to_string(samples.size()) + ", " + HtmlEscape(samples.front().time) + " … " +
                HtmlEscape(samples.back().time) + ".</p>\n";
    }
    html += ChartSvg(chart, 700, 300);
    html += std::string("<table>\n<tr><th>") + texts::TimeHeading + "</th><th>" +
            texts::SeriesTime + "</th><th>" + HtmlEscape(quantity) + "</th></tr>\n";
    for (const SeriesSample& s : samples) {
        html += "<tr><td>" + HtmlEscape(s.time) + "</td><td>" + ValueText(s.seconds) + "</td><td>" +
                HtmlEscape(s.value) + "</td></tr>\n";
    }
    return html + "</table>\n</body>\n</html>\n";
}

} // namespace cli
