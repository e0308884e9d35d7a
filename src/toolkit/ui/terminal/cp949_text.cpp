#include "toolkit/ui/terminal/cp949_text.h"

#include "platform/text_codec.h"

namespace ui {
namespace {

bool IsLead(char byte) {
    return static_cast<unsigned char>(byte) >= 0x81;
}

} // namespace

size_t NextCharCp949(const std::string& text, size_t at) {
    if (at >= text.size()) {
        return text.size();
    }
    return IsLead(text[at]) && at + 1 < text.size() ? at + 2 : at + 1;
}

size_t CharStartCp949(const std::string& text, size_t at) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t next = NextCharCp949(text, start);
        if (next > at) {
            return start;
        }
        start = next;
    }
    return text.size();
}

size_t PreviousCharCp949(const std::string& text, size_t at) {
    return at == 0 ? 0 : CharStartCp949(text, at - 1);
}

std::string ShowCp949(const std::string& text) {
    std::string utf8;
    if (platform::Cp949ToUtf8(text, utf8)) {
        return utf8;
    }
    // Character by character, so one bad byte does not hide the rest.
    utf8.clear();
    for (size_t at = 0; at < text.size();) {
        const size_t next = NextCharCp949(text, at);
        std::string one;
        utf8 += platform::Cp949ToUtf8(text.substr(at, next - at), one)
                    ? one
                    : std::string(next - at, '?');
        at = next;
    }
    return utf8;
}

} // namespace ui
