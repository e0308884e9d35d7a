// Windows: the console is not drawn in place; the run prints its lines.
#include "live_view.h"

namespace vfdahost {

bool LiveViewAvailable(std::string& why) {
    why = "the live view is drawn on POSIX terminals only";
    return false;
}

std::string RunLiveView(HostSession&, RunEvents&, const LiveViewEvents&, const std::string&,
                        std::optional<long>) {
    return "end of input";
}

} // namespace vfdahost
