// The fields of one JSON object, written in the order they are added. Keys are fixed names
// of this program; every text value is escaped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vfdahost {

class JsonFields {
public:
    JsonFields& Text(std::string_view key, std::string_view utf8);
    // A text, or null when there is none.
    JsonFields& TextOrNull(std::string_view key, const std::optional<std::string>& utf8);
    JsonFields& Integer(std::string_view key, long long value);
    // The shortest form that reads back as the same double; null for NaN and infinities.
    JsonFields& Number(std::string_view key, double value);
    JsonFields& Null(std::string_view key);
    // A number, or null when there is none.
    JsonFields& NumberOrNull(std::string_view key, const std::optional<double>& value);
    JsonFields& IntegerOrNull(std::string_view key, const std::optional<long long>& value);
    JsonFields& Boolean(std::string_view key, bool value);
    // An object holding the fields of `inner`.
    JsonFields& Object(std::string_view key, const JsonFields& inner);
    // The fields of `more`, after these.
    JsonFields& Append(const JsonFields& more);

    // "key":value pairs separated by commas, without braces.
    const std::string& Body() const { return body_; }

private:
    void Key(std::string_view key);

    std::string body_;
};

// A number as JSON and people read it: 12.3, 50, -1.5.
std::string NumberText(double value);

} // namespace vfdahost
