#include "cli/interruption.h"

#include <algorithm>

namespace cli {
namespace {

std::string Joined(const std::vector<const char*>& items) {
    std::string text;
    for (const char* item : items) {
        text += (text.empty() ? "" : ", ") + std::string(item);
    }
    return text;
}

} // namespace

std::string InterruptionText(const Phase& phase,
                             const std::vector<CliEngineView::Exchange>& exchanges,
                             const char* cause) {
    std::string text = std::string(texts::Interrupted) + cause;
    if (exchanges.empty()) {
        return text + texts::InterruptBeforePhase + phase.name + texts::InterruptNothingSent;
    }
    text += texts::InterruptAtPhase + std::string(phase.name) + texts::InterruptStep +
            std::to_string(std::min<int>(static_cast<int>(exchanges.size()), phase.Steps())) +
            " из " + std::to_string(phase.Steps()) + ".";
    std::vector<const char*> answered;
    std::vector<const char*> unanswered;
    std::vector<const char*> notSent;
    for (const PhaseCommand& command : phase.commands) {
        const auto sent = std::find_if(exchanges.begin(), exchanges.end(), [&](const auto& e) {
            return e.sent.starts_with(command.code);
        });
        (sent == exchanges.end()  ? notSent
         : sent->received.empty() ? unanswered
                                  : answered)
            .push_back(command.what);
    }
    for (const auto& [heading, items] :
         {std::pair{phase.doneHeading, answered}, std::pair{texts::InterruptUnanswered, unanswered},
          std::pair{texts::InterruptNotSent, notSent}}) {
        if (!items.empty()) {
            text += "\n" + std::string(heading) + Joined(items) + ".";
        }
    }
    return text;
}

} // namespace cli
