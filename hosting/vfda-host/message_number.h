// Which of the module's numbered messages an event-log line is.
#pragma once

#include <optional>
#include <string>

namespace vfdahost {

// The message number of a CP949 event-log line, matched against the module's message texts
// (a %s stands for any text); nullopt for a line that is none of them.
std::optional<int> MessageNumber(const std::string& cp949);

} // namespace vfdahost
