#include "message_number.h"

#include "resources/texts.h"

#include <cstring>
#include <string_view>
#include <utility>

namespace vfdahost {
namespace {

// True when `text` is `format` with each %s replaced by some text; those texts go to `holes`,
// in order.
bool Matches(std::string_view format, std::string_view text, std::vector<std::string>& holes) {
    const size_t hole = format.find("%s");
    if (hole == std::string_view::npos) {
        return format == text;
    }
    if (text.substr(0, hole) != format.substr(0, hole)) {
        return false;
    }
    const std::string_view rest = format.substr(hole + 2);
    for (size_t end = hole; end <= text.size(); ++end) {
        std::vector<std::string> later;
        if (Matches(rest, text.substr(end), later)) {
            holes.emplace_back(text.substr(hole, end - hole));
            holes.insert(holes.end(), later.begin(), later.end());
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<int> MessageNumber(const std::string& cp949, std::vector<std::string>* holes) {
    const std::string_view prefix = resources::kMessagePrefix;
    std::string_view text = cp949;
    if (text.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    text.remove_prefix(prefix.size());
    for (int number = 1; number < resources::kMessageCount; ++number) {
        std::vector<std::string> found;
        if (Matches(resources::MessageFormat(number), text, found)) {
            if (holes != nullptr) {
                *holes = std::move(found);
            }
            return number;
        }
    }
    return std::nullopt;
}

} // namespace vfdahost
