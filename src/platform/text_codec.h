// Conversion between the module's CP949 texts and UTF-8 for people and command lines.
#pragma once

#include "platform/export.h"

#include <string>
#include <string_view>

namespace platform {

// False when the input is not valid in its encoding or has no form in the other one.
TOOLKIT_API bool Cp949ToUtf8(std::string_view cp949, std::string& utf8);
TOOLKIT_API bool Utf8ToCp949(std::string_view utf8, std::string& cp949);

} // namespace platform
