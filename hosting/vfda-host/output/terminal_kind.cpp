#include "terminal_kind.h"

#include <cstdlib>
#include <string_view>

namespace vfdahost {

std::optional<std::string> TermCannotDraw() {
    const char* term = std::getenv("TERM");
    if (term == nullptr || *term == '\0') {
        return "not set";
    }
    if (std::string_view(term) == "dumb") {
        return "dumb";
    }
    return std::nullopt;
}

} // namespace vfdahost
