#include "json_fields.h"

#include "text_output.h"

#include <charconv>
#include <cmath>

namespace vfdahost {

void JsonFields::Key(std::string_view key) {
    if (!body_.empty()) {
        body_ += ',';
    }
    body_ += JsonString(key);
    body_ += ':';
}

JsonFields& JsonFields::Text(std::string_view key, std::string_view utf8) {
    Key(key);
    body_ += JsonString(utf8);
    return *this;
}

JsonFields& JsonFields::TextOrNull(std::string_view key, const std::optional<std::string>& utf8) {
    return utf8 ? Text(key, *utf8) : Null(key);
}

JsonFields& JsonFields::NumberOrNull(std::string_view key, const std::optional<double>& value) {
    return value ? Number(key, *value) : Null(key);
}

JsonFields& JsonFields::IntegerOrNull(std::string_view key, const std::optional<long long>& value) {
    return value ? Integer(key, *value) : Null(key);
}

JsonFields& JsonFields::Object(std::string_view key, const JsonFields& inner) {
    Key(key);
    body_ += '{' + inner.Body() + '}';
    return *this;
}

JsonFields& JsonFields::Integer(std::string_view key, long long value) {
    Key(key);
    body_ += std::to_string(value);
    return *this;
}

JsonFields& JsonFields::Number(std::string_view key, double value) {
    if (!std::isfinite(value)) {
        return Null(key);
    }
    Key(key);
    body_ += NumberText(value);
    return *this;
}

JsonFields& JsonFields::Boolean(std::string_view key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
}

JsonFields& JsonFields::Null(std::string_view key) {
    Key(key);
    body_ += "null";
    return *this;
}

JsonFields& JsonFields::Append(const JsonFields& more) {
    if (!body_.empty() && !more.body_.empty()) {
        body_ += ',';
    }
    body_ += more.body_;
    return *this;
}

std::string NumberText(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof(digits), value);
    return std::string(digits, written.ptr);
}

} // namespace vfdahost
