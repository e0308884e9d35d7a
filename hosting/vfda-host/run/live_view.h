// run --view: the line as a table drawn in place on the terminal, one row a station (link
// state, last and median response time, failures by cause, its tags' values), redrawn four
// times a second and when the terminal changes size; keys select a station, enable or
// disable it, read its parameters, and ':' takes any of the run's commands.
#pragma once

#include "host_session.h"
#include "live_view_events.h"

#include <optional>
#include <string>

namespace vfdahost {

// True when a live view can be drawn here; otherwise why not (not a terminal, TERM=dumb,
// Windows), so that the run prints its lines instead.
bool LiveViewAvailable(std::string& why);

// Runs the view until q, Ctrl-C, a signal, the end of `seconds` or of the input; the
// reason, as RunUntilEnd gives it. `title` heads the screen (the line's port and rate).
std::string RunLiveView(HostSession& session, RunEvents& events, const LiveViewEvents& news,
                        const std::string& title, std::optional<long> seconds);

} // namespace vfdahost
