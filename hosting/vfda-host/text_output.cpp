#include "text_output.h"

#include "platform/text_codec.h"

#include <cstdio>

namespace vfdahost {

std::string ToUtf8(std::string_view cp949) {
    std::string utf8;
    if (platform::Cp949ToUtf8(cp949, utf8)) {
        return utf8;
    }
    // Convert what can be converted, one character at a time.
    utf8.clear();
    for (size_t i = 0; i < cp949.size();) {
        const bool lead = static_cast<unsigned char>(cp949[i]) >= 0x81 && i + 1 < cp949.size();
        const size_t width = lead ? 2 : 1;
        std::string piece;
        if (platform::Cp949ToUtf8(cp949.substr(i, width), piece)) {
            utf8 += piece;
        } else {
            utf8 += "\xEF\xBF\xBD";
        }
        i += width;
    }
    return utf8;
}

std::string JsonString(std::string_view utf8) {
    std::string json = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(c));
                json += escaped;
            } else {
                json += c;
            }
        }
    }
    return json + "\"";
}

} // namespace vfdahost
