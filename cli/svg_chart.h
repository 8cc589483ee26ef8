#pragma once
// A small line chart as inline SVG, for the pages lirat5-cli writes (the output calibration's
// record, a temperature series): axes with round ticks, a title on each, lines with or without
// point marks and their legend. Nothing outside the page is referred to.

#include <string>
#include <vector>

namespace cli {

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
    std::string label; // written beside the point when not empty
};

struct ChartSeries {
    std::string name;   // in the legend
    std::string colour; // an SVG colour, e.g. "#c0392b"
    bool dashed = false;
    bool marks = false; // a dot at every point
    std::vector<ChartPoint> points;
};

struct Chart {
    std::string xTitle;
    std::string yTitle;
    std::vector<ChartSeries> series;
    // Ticks on the x axis with texts of their own (e.g. the test codes), instead of numbers.
    std::vector<ChartPoint> xTicks;
};

// The chart as an <svg> element `width` by `height` user units that scales to its container.
std::string ChartSvg(const Chart& chart, int width, int height);

// Round tick values from `low` to `high`, about `count` of them (steps of 1, 2 or 5 times a
// power of ten), covering the range.
std::vector<double> Ticks(double low, double high, int count);

// Text for SVG and HTML: &, <, > and quotes as entities, bytes that are not UTF-8 replaced
// (ValidUtf8).
std::string HtmlEscape(std::string_view text);

} // namespace cli
