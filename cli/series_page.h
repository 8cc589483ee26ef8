#pragma once
// temp --html: the series of measured values as an HTML page with an inline SVG chart of the
// value against the time since the first reading, for a technician who watches a reading
// settle; below it the lowest, highest and last value and every reading with its time.

#include <string>
#include <vector>

namespace cli {

struct SeriesSample {
    std::string time;   // local time, "2026-12-08 06:49:34.107"
    double seconds = 0; // since the first reading
    std::string value;  // as read, "23.4"
};

// `quantity` is the read-out's label without its colon: "Температура (град. С)".
std::string SeriesHtml(const std::string& port, const std::string& quantity,
                       const std::vector<SeriesSample>& samples);

} // namespace cli
