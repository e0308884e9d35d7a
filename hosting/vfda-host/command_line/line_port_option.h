// The line a command listens to or asks on, as --port and --baud name it.
#pragma once

#include "run_options.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vfdahost {

// COMn, or COMn=PATH for a device standing for it: the number, and the mapping when given.
bool ParseLinePort(const std::string& text, int& number, std::optional<PortMapping>& mapping,
                   std::string& error);
// One of the line's rates (1200, 2400, 4800); nothing for any other text.
std::optional<uint32_t> ParseLineRate(const std::string& text);

} // namespace vfdahost
