#include "text_output.h"

#include "platform/text_codec.h"

#include <cstdint>
#include <cstdio>

namespace vfdahost {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD"; // U+FFFD

uint8_t Byte(std::string_view text, size_t at) {
    return static_cast<uint8_t>(text[at]);
}

bool Continuation(std::string_view text, size_t at) {
    return at < text.size() && (Byte(text, at) & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character at `at` (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when the byte there does not start one.
size_t CharacterLength(std::string_view text, size_t at) {
    const uint8_t lead = Byte(text, at);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    uint8_t secondLow = 0x80; // the range the second byte must lie in
    uint8_t secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;  // overlong below U+0800
        secondHigh = lead == 0xED ? 0x9F : 0xBF; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;  // overlong below U+10000
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF; // above U+10FFFF
    } else {
        return 0;
    }
    if (at + 1 >= text.size() || Byte(text, at + 1) < secondLow ||
        Byte(text, at + 1) > secondHigh) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (!Continuation(text, at + i)) {
            return 0;
        }
    }
    return length;
}

// The code point of a well-formed character of `length` bytes at `at`.
uint32_t CodePoint(std::string_view text, size_t at, size_t length) {
    static const uint8_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    uint32_t point = Byte(text, at) & kLeadMask[length];
    for (size_t i = 1; i < length; ++i) {
        point = (point << 6) | (Byte(text, at + i) & 0x3F);
    }
    return point;
}

// C0 controls, DEL and the C1 controls U+0080-U+009F: what a terminal may act on.
bool ControlCharacter(uint32_t point) {
    return point < 0x20 || (point >= 0x7F && point <= 0x9F);
}

std::string Escaped(const char* format, unsigned value) {
    char text[8];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string JsonEscape(uint32_t point) {
    switch (point) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        return Escaped("\\u%04x", point);
    }
}

} // namespace

std::string ToUtf8(std::string_view cp949) {
    std::string utf8;
    if (platform::Cp949ToUtf8(cp949, utf8)) {
        return utf8;
    }
    // Convert what can be converted, one character at a time; a byte that starts no
    // character is replaced alone, so the byte after it is read afresh.
    utf8.clear();
    for (size_t i = 0; i < cp949.size();) {
        const bool lead = Byte(cp949, i) >= 0x81 && i + 1 < cp949.size();
        std::string piece;
        if (lead && platform::Cp949ToUtf8(cp949.substr(i, 2), piece)) {
            i += 2;
        } else if (!lead && platform::Cp949ToUtf8(cp949.substr(i, 1), piece)) {
            i += 1;
        } else {
            piece = kReplacement;
            i += 1;
        }
        utf8 += piece;
    }
    return utf8;
}

std::string JsonString(std::string_view utf8) {
    std::string json = "\"";
    for (size_t i = 0; i < utf8.size();) {
        const size_t length = CharacterLength(utf8, i);
        if (length == 0) {
            json += kReplacement;
            i += 1;
            continue;
        }
        const uint32_t point = CodePoint(utf8, i, length);
        if (ControlCharacter(point) || point == '"' || point == '\\') {
            json += JsonEscape(point);
        } else {
            json.append(utf8, i, length);
        }
        i += length;
    }
    return json + "\"";
}

std::string TextForPeople(std::string_view utf8) {
    std::string text;
    for (size_t i = 0; i < utf8.size();) {
        const size_t length = CharacterLength(utf8, i);
        const bool shown = length != 0 && !ControlCharacter(CodePoint(utf8, i, length));
        const size_t width = length != 0 ? length : 1;
        if (shown) {
            text.append(utf8, i, width);
        } else {
            for (size_t b = 0; b < width; ++b) {
                text += Escaped("\\x%02x", Byte(utf8, i + b));
            }
        }
        i += width;
    }
    return text;
}

} // namespace vfdahost
