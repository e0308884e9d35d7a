#include "arguments.h"

#include <cerrno>
#include <cstdlib>

namespace vfdahost {

Arguments::Arguments(const std::vector<std::string>& words,
                     const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const size_t equals = word.find('=');
        if (word.rfind("--", 0) != 0) {
            positional_.push_back(word);
        } else if (equals != std::string::npos) {
            if (!TakeJoinedValue(word.substr(0, equals), word.substr(equals + 1), valueOptions,
                                 flagOptions)) {
                return;
            }
        } else if (flagOptions.count(word) != 0) {
            values_[word] = "";
        } else if (valueOptions.count(word) != 0) {
            if (i + 1 >= words.size()) {
                error_ = word + " needs a value";
                return;
            }
            values_[word] = words[++i];
            allValues_.emplace(word, words[i]);
        } else {
            error_ = "unknown option " + word;
            return;
        }
    }
}

bool Arguments::TakeJoinedValue(const std::string& option, const std::string& value,
                                const std::set<std::string>& valueOptions,
                                const std::set<std::string>& flagOptions) {
    if (valueOptions.count(option) != 0) {
        values_[option] = value;
        allValues_.emplace(option, value);
        return true;
    }
    error_ =
        flagOptions.count(option) != 0 ? option + " takes no value" : "unknown option " + option;
    return false;
}

std::optional<std::string> Arguments::Value(const std::string& option) const {
    const auto found = values_.find(option);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<std::string> Arguments::Values(const std::string& option) const {
    std::vector<std::string> values;
    const auto [first, last] = allValues_.equal_range(option);
    for (auto it = first; it != last; ++it) {
        values.push_back(it->second);
    }
    return values;
}

std::optional<long> ParseInteger(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0') {
        return std::nullopt;
    }
    return value;
}

} // namespace vfdahost
