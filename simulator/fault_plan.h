#pragma once
// The list of faults still to be played, in the order they were added. Not thread-safe: the
// simulator serialises access to it.

#include "simulator/fault.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace sim {

class FaultPlan {
public:
    void Add(FaultRule rule);
    void Clear() { rules_.clear(); }
    // Rules that can still fire.
    std::size_t Size() const { return rules_.size(); }

    // The fault for a received command with this code (the first two characters of the line),
    // if a rule applies; the first matching rule wins and uses up one of its count.
    std::optional<Fault> Take(std::string_view code);

private:
    std::vector<FaultRule> rules_;
};

} // namespace sim
