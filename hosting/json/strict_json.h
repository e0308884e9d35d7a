// A strict JSON reader (RFC 8259): one value, nothing but white space around it; no trailing
// commas, leading zeros, numbers beyond a double's range, raw control characters, lone
// surrogates, duplicate keys, bytes that are not UTF-8 or nesting deeper than kMaxJsonDepth.
// Every escape is read, surrogate pairs included; strings come back as UTF-8. Backup files
// come from disks and people, so nothing here trusts the text: every read is bounded by it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vfdajson {

// Arrays and objects nested deeper than this are refused rather than followed.
constexpr int kMaxJsonDepth = 64;

struct JsonValue {
    // Made where JsonValue is complete, so the members' containers of it can be.
    JsonValue();
    ~JsonValue();
    JsonValue(const JsonValue& other);
    JsonValue(JsonValue&& other) noexcept;
    JsonValue& operator=(const JsonValue& other);
    JsonValue& operator=(JsonValue&& other) noexcept;

    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text; // a string's characters, UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members; // in the text's order

    // The member named `key` of an object; null when there is none.
    const JsonValue* Find(std::string_view key) const;
    bool operator==(const JsonValue& other) const;
};

// The value of a JSON text; nothing when the text is not JSON, with `error` saying what and
// at which byte.
std::optional<JsonValue> ParseJson(std::string_view text, std::string* error = nullptr);

} // namespace vfdajson
