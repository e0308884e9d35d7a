// Whole numbers typed by the operator, on the command line or at the console.
#pragma once

#include <cstdint>
#include <string_view>

namespace sim {

// A decimal number of digits only, at most `maximum`; false for anything else.
bool ParseUnsigned(std::string_view text, uint32_t maximum, uint32_t& number);

} // namespace sim
