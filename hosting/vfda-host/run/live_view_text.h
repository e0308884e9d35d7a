// The texts of a live view's table, one station a row: its link state, response times,
// failures by cause and tag values, each cut to its column by the drawing.
#pragma once

#include "host_session.h"

#include <string>

namespace vfdahost {

// "good", "failing", "lost", "backed off", "disabled", or "-" for a station never asked.
std::string LinkStateText(const HostSession::StationView& station);
// Milliseconds as a whole number, or "-" without a figure.
std::string MillisecondsText(const std::optional<double>& ms);
// The failures by cause, only those that happened: "t5 g1" (t time-out, r refused,
// s another station, p another parameter, g garbled, e echo); "0" without any.
std::string FailuresText(const StationDiagnosis& diagnosis);
// "FREQ1=12.3 RUN1=1", a tag with no value yet as "FREQ1=?".
std::string ValuesText(const HostSession::StationView& station);

} // namespace vfdahost
