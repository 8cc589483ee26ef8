#include "cli/cli_engine_view.h"

#include "catalogue/sensor_selection.h"
#include "protocol/number_text.h"

namespace cli {

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
