#include "message_number.h"

#include "resources/texts.h"

#include <cstring>
#include <string_view>

namespace vfdahost {
namespace {

// True when `text` is `format` with each %s replaced by some text.
bool Matches(std::string_view format, std::string_view text) {
    const size_t hole = format.find("%s");
    if (hole == std::string_view::npos) {
        return format == text;
    }
    if (text.substr(0, hole) != format.substr(0, hole)) {
        return false;
    }
    const std::string_view rest = format.substr(hole + 2);
    for (size_t end = hole; end <= text.size(); ++end) {
        if (Matches(rest, text.substr(end))) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<int> MessageNumber(const std::string& cp949) {
    const std::string_view prefix = resources::kMessagePrefix;
    std::string_view text = cp949;
    if (text.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    text.remove_prefix(prefix.size());
    for (int number = 1; number < resources::kMessageCount; ++number) {
        if (Matches(resources::MessageFormat(number), text)) {
            return number;
        }
    }
    return std::nullopt;
}

} // namespace vfdahost
