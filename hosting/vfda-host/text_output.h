// Turning the module's CP949 texts into something a person or a script can read.
#pragma once

#include <string>
#include <string_view>

namespace vfdahost {

// UTF-8 for a CP949 text; bytes that are not CP949 show as U+FFFD.
std::string ToUtf8(std::string_view cp949);
// A JSON string literal (with its quotes) for a UTF-8 text.
std::string JsonString(std::string_view utf8);

} // namespace vfdahost
