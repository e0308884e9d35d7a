#include "strict_json.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace vfdajson {
namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool Document(JsonValue& value) {
        SkipSpace();
        if (!Value(value, 0)) {
            return false;
        }
        SkipSpace();
        return at_ == text_.size() || Fail("text after the value");
    }
    std::string Error() const { return error_ + " at byte " + std::to_string(at_); }

private:
    bool Fail(const char* what) {
        if (error_.empty()) {
            error_ = what;
        }
        return false;
    }
    bool More() const { return at_ < text_.size(); }
    char Peek() const { return More() ? text_[at_] : '\0'; }
    void SkipSpace() {
        while (More() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
            ++at_;
        }
    }
    bool Take(char c) {
        if (Peek() != c) {
            return false;
        }
        ++at_;
        return true;
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) {
            return Fail("unknown word");
        }
        at_ += word.size();
        return true;
    }

    bool Value(JsonValue& value, int depth) {
        if (depth > kMaxJsonDepth) {
            return Fail("nested too deep");
        }
        switch (Peek()) {
        case '{':
            return Object(value, depth);
        case '[':
            return Array(value, depth);
        case '"':
            value.kind = JsonValue::Kind::String;
            return String(value.text);
        case 't':
            value.kind = JsonValue::Kind::Boolean;
            value.boolean = true;
            return Word("true");
        case 'f':
            value.kind = JsonValue::Kind::Boolean;
            return Word("false");
        case 'n':
            value.kind = JsonValue::Kind::Null;
            return Word("null");
        default:
            value.kind = JsonValue::Kind::Number;
            return Number(value.number);
        }
    }

    bool Object(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Object;
        ++at_; // {
        SkipSpace();
        if (Take('}')) {
            return true;
        }
        for (;;) {
            SkipSpace();
            std::string key;
            if (Peek() != '"' || !String(key)) {
                return Fail("expected a key");
            }
            if (value.Find(key) != nullptr) {
                return Fail("duplicate key");
            }
            SkipSpace();
            if (!Take(':')) {
                return Fail("expected ':'");
            }
            SkipSpace();
            JsonValue member;
            if (!Value(member, depth + 1)) {
                return false;
            }
            value.members.emplace_back(std::move(key), std::move(member));
            SkipSpace();
            if (Take('}')) {
                return true;
            }
            if (!Take(',')) {
                return Fail("expected ',' or '}'");
            }
        }
    }

    bool Array(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Array;
        ++at_; // [
        SkipSpace();
        if (Take(']')) {
            return true;
        }
        for (;;) {
            SkipSpace();
            JsonValue item;
            if (!Value(item, depth + 1)) {
                return false;
            }
            value.items.push_back(std::move(item));
            SkipSpace();
            if (Take(']')) {
                return true;
            }
            if (!Take(',')) {
                return Fail("expected ',' or ']'");
            }
        }
    }

    bool Digits() {
        const size_t start = at_;
        while (Peek() >= '0' && Peek() <= '9') {
            ++at_;
        }
        return at_ > start;
    }

    bool Number(double& number) {
        const size_t start = at_;
        Take('-');
        if (Take('0')) {
            if (Peek() >= '0' && Peek() <= '9') {
                return Fail("leading zero");
            }
        } else if (!Digits()) {
            return Fail("expected a value");
        }
        if (Take('.') && !Digits()) {
            return Fail("no digits after '.'");
        }
        if (Take('e') || Take('E')) {
            if (!Take('+')) {
                Take('-');
            }
            if (!Digits()) {
                return Fail("no digits in the exponent");
            }
        }
        // from_chars reads the grammar checked above whatever the locale, and says when the
        // number is beyond a double's range.
        const char* first = text_.data() + start;
        const auto read = std::from_chars(first, text_.data() + at_, number);
        return (read.ec == std::errc() && std::isfinite(number)) || Fail("number out of range");
    }

    static void AppendUtf8(std::string& out, uint32_t point) {
        if (point < 0x80) {
            out += static_cast<char>(point);
        } else if (point < 0x800) {
            out += static_cast<char>(0xC0 | (point >> 6));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            out += static_cast<char>(0xE0 | (point >> 12));
            out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (point >> 18));
            out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        }
    }

    bool Hex4(uint32_t& unit) {
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = Peek();
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return Fail("bad \\u escape");
            }
            unit = unit * 16 + static_cast<uint32_t>(digit);
            ++at_;
        }
        return true;
    }

    // \uXXXX, with a low surrogate after a high one.
    bool UnicodeEscape(std::string& out) {
        uint32_t unit = 0;
        if (!Hex4(unit)) {
            return false;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return Fail("lone low surrogate");
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            uint32_t low = 0;
            if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                return Fail("lone high surrogate");
            }
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, unit);
        return true;
    }

    bool Escape(std::string& out) {
        const char c = Peek();
        ++at_;
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out += c;
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            return UnicodeEscape(out);
        default:
            return Fail("bad escape");
        }
    }

    // One UTF-8 character of the text, decoded and checked for its shortest form and range.
    bool Character(std::string& out) {
        const auto lead = static_cast<uint8_t>(Peek());
        const int length = lead < 0x80         ? 1
                           : lead >> 5 == 0x6  ? 2
                           : lead >> 4 == 0xE  ? 3
                           : lead >> 3 == 0x1E ? 4
                                               : 0;
        if (length == 0 || at_ + length > text_.size()) {
            return Fail("not UTF-8");
        }
        uint32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<uint8_t>(text_[at_ + i]);
            if ((next & 0xC0) != 0x80) {
                return Fail("not UTF-8");
            }
            point = (point << 6) | (next & 0x3F);
        }
        static const uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kShortest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return Fail("not UTF-8");
        }
        if (point < 0x20) {
            return Fail("raw control character in a string");
        }
        out.append(text_.substr(at_, length));
        at_ += length;
        return true;
    }

    bool String(std::string& out) {
        ++at_; // "
        for (;;) {
            if (!More()) {
                return Fail("unterminated string");
            }
            if (Take('"')) {
                return true;
            }
            if (Take('\\')) {
                if (!Escape(out)) {
                    return false;
                }
            } else if (!Character(out)) {
                return false;
            }
        }
    }

    std::string_view text_;
    size_t at_ = 0;
    std::string error_;
};

} // namespace

JsonValue::JsonValue() = default;
JsonValue::~JsonValue() = default;
JsonValue::JsonValue(const JsonValue& other) = default;
JsonValue::JsonValue(JsonValue&& other) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue& other) = default;
JsonValue& JsonValue::operator=(JsonValue&& other) noexcept = default;

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const auto& [name, value] : members) {
        if (name == key) {
            return &value;
        }
    }
    return nullptr;
}

bool JsonValue::operator==(const JsonValue& other) const {
    return kind == other.kind && boolean == other.boolean && number == other.number &&
           text == other.text && items == other.items && members == other.members;
}

std::optional<JsonValue> ParseJson(std::string_view text, std::string* error) {
    Reader reader(text);
    JsonValue value;
    if (!reader.Document(value)) {
        if (error != nullptr) {
            *error = reader.Error();
        }
        return std::nullopt;
    }
    return value;
}

} // namespace vfdajson
