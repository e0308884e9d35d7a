#include "json_lines.h"

namespace testing_support {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::vector<JsonValue> EventsNamed(const std::string& out, const std::string& event) {
    std::vector<JsonValue> found;
    for (const std::string& line : SplitLines(out)) {
        std::string error;
        const std::optional<JsonValue> value = ParseJson(line, &error);
        EXPECT_TRUE(value) << error << " in " << line;
        if (value && value->Find("event") && value->Find("event")->text == event) {
            found.push_back(*value);
        }
    }
    return found;
}

::testing::AssertionResult AllJsonObjects(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string error;
        const auto value = ParseJson(lines[i], &error);
        if (!value || value->kind != JsonValue::Kind::Object) {
            return ::testing::AssertionFailure()
                   << "line " << i + 1 << " is not a JSON object ("
                   << (value ? "another value" : error) << "): " << lines[i];
        }
    }
    return ::testing::AssertionSuccess() << lines.size() << " JSON lines";
}

bool IsEvent(const std::string& line, const std::string& event, const Fields& fields) {
    const auto object = ParseJson(line);
    if (!object || object->kind != JsonValue::Kind::Object) {
        return false;
    }
    const JsonValue* name = object->Find("event");
    if (name == nullptr || name->kind != JsonValue::Kind::String || name->text != event) {
        return false;
    }
    for (const auto& [key, expected] : fields) {
        const JsonValue* actual = object->Find(key);
        const auto wanted = ParseJson(expected);
        if (actual == nullptr || !wanted || !(*actual == *wanted)) {
            return false;
        }
    }
    return true;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace testing_support
