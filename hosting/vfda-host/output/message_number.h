// Which of the module's numbered messages an event-log line is.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

// The message number of a CP949 event-log line, matched against the module's message texts
// (a %s stands for any text, which goes to `holes` in order); nullopt for a line that is
// none of them.
std::optional<int> MessageNumber(const std::string& cp949,
                                 std::vector<std::string>* holes = nullptr);

} // namespace vfdahost
