// A COM port's name as every command line takes it: "COM" in any case, then its number
// 1..36 (COM36 is the last port a configuration can name).
#pragma once

#include <optional>
#include <string_view>

namespace vfdahost {

// The port's number, or nothing for anything else ("COM0", "COM37", "COM+3", "LPT1").
std::optional<int> ParseComName(std::string_view text);

} // namespace vfdahost
