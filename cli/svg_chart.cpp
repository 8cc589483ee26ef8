#include "cli/svg_chart.h"

#include "cli/utf8_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace cli {
namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// A tick's text: as few decimals as the step needs.
std::string TickText(double value, double step) {
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", std::min(decimals, 6),
                  std::fabs(value) < step / 1e6 ? 0.0 : value);
    return text;
}

struct Scale {
    double low, high;
    double from, to; // in user units
    double operator()(double v) const { return from + (v - low) / (high - low) * (to - from); }
};

} // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    for (char c : ValidUtf8(text)) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::vector<double> Ticks(double low, double high, int count) {
    if (!(high > low) || !std::isfinite(low) || !std::isfinite(high) || count < 1) {
        return {low};
    }
    const double rough = (high - low) / count;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= rough) {
            break;
        }
    }
    // A value a thousandth of a step beyond a round tick (a computed line that ends a hair
    // below zero) does not get a tick of its own.
    const double slack = step * 1e-3;
    std::vector<double> ticks;
    for (double t = std::floor((low + slack) / step) * step; t <= high + slack; t += step) {
        ticks.push_back(t);
    }
    if (ticks.back() < high - slack) {
        ticks.push_back(ticks.back() + step);
    }
    return ticks;
}

std::string ChartSvg(const Chart& chart, int width, int height) {
    double xLow = std::numeric_limits<double>::infinity(), xHigh = -xLow;
    double yLow = xLow, yHigh = -xLow;
    for (const ChartSeries& s : chart.series) {
        for (const ChartPoint& p : s.points) {
            xLow = std::min(xLow, p.x);
            xHigh = std::max(xHigh, p.x);
            yLow = std::min(yLow, p.y);
            yHigh = std::max(yHigh, p.y);
        }
    }
    if (!std::isfinite(xLow)) {
        xLow = yLow = 0.0;
        xHigh = yHigh = 1.0;
    }
    // A flat series still needs a span to be drawn in.
    if (xHigh - xLow < 1e-9) {
        xLow -= 0.5;
        xHigh += 0.5;
    }
    if (yHigh - yLow < 1e-9) {
        const double pad = std::max(std::fabs(yLow) * 0.01, 0.5);
        yLow -= pad;
        yHigh += pad;
    }
    const std::vector<double> yTicks = Ticks(yLow, yHigh, 5);
    const std::vector<double> xTicks = Ticks(xLow, xHigh, 6);
    const double yStep = yTicks.size() > 1 ? yTicks[1] - yTicks[0] : 1.0;
    const double xStep = xTicks.size() > 1 ? xTicks[1] - xTicks[0] : 1.0;
    const Scale x{chart.xTicks.empty() ? xTicks.front() : xLow,
                  chart.xTicks.empty() ? xTicks.back() : xHigh, 64.0, width - 40.0};
    // Above the plot the axis title and the legend, below it the ticks and the axis title.
    const Scale y{yTicks.front(), yTicks.back(), height - 44.0, 40.0};

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      std::to_string(width) + " " + std::to_string(height) +
                      "\" width=\"100%\" font-family=\"sans-serif\" font-size=\"11\">\n";
    svg += "<rect x=\"" + Number(x.from) + "\" y=\"" + Number(y.to) + "\" width=\"" +
           Number(x.to - x.from) + "\" height=\"" + Number(y.from - y.to) +
           "\" fill=\"none\" stroke=\"#888\"/>\n";
    for (double t : yTicks) {
        svg += "<line x1=\"" + Number(x.from) + "\" x2=\"" + Number(x.to) + "\" y1=\"" +
               Number(y(t)) + "\" y2=\"" + Number(y(t)) + "\" stroke=\"#ddd\"/>";
        svg += "<text x=\"" + Number(x.from - 4) + "\" y=\"" + Number(y(t) + 4) +
               "\" text-anchor=\"end\">" + TickText(t, yStep) + "</text>\n";
    }
    std::vector<ChartPoint> bottom = chart.xTicks;
    if (bottom.empty()) {
        for (double t : xTicks) {
            bottom.push_back(ChartPoint{t, 0.0, TickText(t, xStep)});
        }
    }
    for (const ChartPoint& t : bottom) {
        svg += "<line x1=\"" + Number(x(t.x)) + "\" x2=\"" + Number(x(t.x)) + "\" y1=\"" +
               Number(y.to) + "\" y2=\"" + Number(y.from) + "\" stroke=\"#ddd\"/>";
        svg += "<text x=\"" + Number(x(t.x)) + "\" y=\"" + Number(y.from + 14) +
               "\" text-anchor=\"middle\">" + HtmlEscape(t.label) + "</text>\n";
    }
    svg += "<text x=\"" + Number((x.from + x.to) / 2) + "\" y=\"" + Number(height - 6.0) +
           "\" text-anchor=\"middle\">" + HtmlEscape(chart.xTitle) + "</text>\n";
    svg += "<text x=\"" + Number(x.from - 40) + "\" y=\"12\">" + HtmlEscape(chart.yTitle) +
           "</text>\n";
    double legend = x.from;
    for (const ChartSeries& s : chart.series) {
        const std::string stroke = "stroke=\"" + s.colour + "\" stroke-width=\"2\"" +
                                   (s.dashed ? " stroke-dasharray=\"6 4\"" : "");
        std::string points;
        for (const ChartPoint& p : s.points) {
            points += Number(x(p.x)) + "," + Number(y(p.y)) + " ";
        }
        svg += "<polyline fill=\"none\" " + stroke + " points=\"" + points + "\"/>\n";
        for (const ChartPoint& p : s.points) {
            if (s.marks) {
                svg += "<circle cx=\"" + Number(x(p.x)) + "\" cy=\"" + Number(y(p.y)) +
                       "\" r=\"3.5\" fill=\"" + s.colour + "\"/>";
            }
            if (!p.label.empty()) {
                const bool right = x(p.x) < (x.from + x.to) / 2;
                svg += "<text x=\"" + Number(x(p.x) + (right ? 7 : -7)) + "\" y=\"" +
                       Number(y(p.y) + (right ? -6 : 14)) + "\" text-anchor=\"" +
                       (right ? "start" : "end") + "\" fill=\"" + s.colour + "\">" +
                       HtmlEscape(p.label) + "</text>";
            }
        }
        svg += "<line x1=\"" + Number(legend) + "\" x2=\"" + Number(legend + 22) + "\" y1=\"" +
               Number(y.to - 12) + "\" y2=\"" + Number(y.to - 12) + "\" " + stroke + "/>";
        svg += "<text x=\"" + Number(legend + 26) + "\" y=\"" + Number(y.to - 8) + "\">" +
               HtmlEscape(s.name) + "</text>\n";
        legend += 34 + 6.5 * static_cast<double>(s.name.size()) / 1.6;
    }
    return svg + "</svg>\n";
}

} // namespace cli
