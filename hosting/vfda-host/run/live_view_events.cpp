#include "live_view_events.h"

#include "message_meaning.h"

namespace vfdahost {

void LiveViewEvents::Say(const std::string& text) {
    std::lock_guard guard(lock_);
    latest_ = text;
}

void LiveViewEvents::Log(uint32_t, const std::string& cp949) {
    Say(ShownMessage(cp949));
}

void LiveViewEvents::Result(const std::string& command, const JsonFields&, const std::string& what,
                            int32_t result) {
    Say(command + ": " + what + (result == 0 ? "" : " (result " + std::to_string(result) + ")"));
}

void LiveViewEvents::Error(const std::string& text) {
    Say("error: " + text);
}

void LiveViewEvents::BackOff(BackOffNews news, const std::string& station, const BackOffFigures&) {
    if (news == BackOffNews::BackedOff) {
        Say(station + " taken off the line (back-off)");
    } else if (news == BackOffNews::Restored) {
        Say(station + " answers again");
    }
}

std::string LiveViewEvents::Latest() const {
    std::lock_guard guard(lock_);
    return latest_;
}

} // namespace vfdahost
