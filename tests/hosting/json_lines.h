// The JSON lines of vfda-host as a script reads them: each line parsed by a strict JSON reader,
// fields compared as values, never as substrings.
#pragma once

#include "json_value.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Field names and their expected values, each written as JSON ("\"PUMP1\"", "12.3", "null").
using Fields = std::vector<std::pair<std::string, std::string>>;

std::vector<std::string> SplitLines(const std::string& text);
// Success when every line is one JSON object; otherwise names the first line that is not.
::testing::AssertionResult AllJsonObjects(const std::vector<std::string>& lines);
// True when the line is a JSON object with "event":EVENT and every one of the fields.
bool IsEvent(const std::string& line, const std::string& event, const Fields& fields);
// The events named EVENT among the lines of `out`, each parsed; a line that is not JSON fails
// the test.
std::vector<JsonValue> EventsNamed(const std::string& out, const std::string& event);
// A string as JSON text.
std::string Quoted(const std::string& text);

} // namespace testing_support
