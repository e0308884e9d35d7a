// Turning the module's CP949 texts, and whatever else reaches a run's output (names typed on
// standard input, names in the configuration), into something a person or a script can read.
#pragma once

#include <string>
#include <string_view>

namespace vfdahost {

// UTF-8 for a CP949 text; each byte that does not start a CP949 character shows as U+FFFD.
std::string ToUtf8(std::string_view cp949);
// A JSON string literal (with its quotes) for a text meant to be UTF-8. The result is always
// valid JSON and valid UTF-8: quotes, backslashes and control characters (C0, DEL, C1) are
// escaped as \uXXXX (or \n, \r, \t, \", \\), and each byte that is not part of a well-formed
// UTF-8 character becomes U+FFFD.
std::string JsonString(std::string_view utf8);
// A text for a terminal: control characters (C0, DEL, C1) and bytes that are not part of a
// well-formed UTF-8 character are shown as \xNN (the bytes), never passed raw; a backslash
// stays as it is.
std::string TextForPeople(std::string_view utf8);

} // namespace vfdahost
