#include "simulator/fault_plan.h"

namespace sim {

void FaultPlan::Add(FaultRule rule) {
    if (rule.count != 0) {
        rules_.push_back(std::move(rule));
    }
}

std::optional<Fault> FaultPlan::Take(std::string_view code) {
    for (auto it = rules_.begin(); it != rules_.end(); ++it) {
        if (it->code && *it->code != code) {
            continue;
        }
        Fault fault = it->fault;
        if (it->count > 0 && --it->count == 0) {
            rules_.erase(it);
        }
        return fault;
    }
    return std::nullopt;
}

} // namespace sim
