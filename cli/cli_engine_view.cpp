#include "cli/cli_engine_view.h"

#include "catalogue/sensor_selection.h"
#include "protocol/engine_texts.h"
#include "protocol/number_text.h"

#include <string_view>

namespace cli {

void CliEngineView::SetStatusText(int panel, const std::string& text) {
    const std::string_view prefix = panel == 0 ? protocol::texts::Sent : protocol::texts::Received;
    const std::string bare = text.starts_with(prefix) ? text.substr(prefix.size()) : text;
    if (panel == 0) {
        exchanges_.push_back(Exchange{bare, {}});
    } else if (!exchanges_.empty()) {
        exchanges_.back().received = bare;
    }
}

std::vector<CliEngineView::Exchange> CliEngineView::TakeExchanges() {
    std::vector<Exchange> taken;
    taken.swap(exchanges_);
    return taken;
}

void CliEngineView::ForgetLastSent() {
    if (!exchanges_.empty() && exchanges_.back().received.empty()) {
        exchanges_.pop_back();
    }
}

void CliEngineView::SetTimerEnabled(bool enabled) {
    timerEnabled_ = enabled;
    if (enabled) {
        armedAt_ = Clock::now();
    }
}

std::optional<int> CliEngineView::SelectedTypeIndex() const {
    return rangeIndex_ ? catalogue::TypeOfRange(*rangeIndex_) : std::nullopt;
}

void CliEngineView::SelectRangeByIndex(int rangeIndex) {
    const catalogue::SensorRange* range = catalogue::FindSensorRange(rangeIndex);
    if (range == nullptr) {
        return;
    }
    rangeIndex_ = rangeIndex;
    // As the window does: the working range starts from the range's limits.
    const char separator = protocol::SystemDecimalSeparator();
    lower_ = protocol::FormatNumber(range->Min, "###0.0", separator);
    upper_ = protocol::FormatNumber(range->Max, "###0.0", separator);
}

} // namespace cli
