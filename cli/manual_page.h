// A tool's manual page (man(7) macros), made from the same description as its --help.
#pragma once

#include "tool_description.h"

#include <string>

namespace cli {

// section is the manual's section ("1"); date and version go into the page's footer.
std::string ManualPage(const Tool& tool, std::string_view version, std::string_view date);

} // namespace cli
