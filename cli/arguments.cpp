#include "arguments.h"

#include <cerrno>
#include <cstdlib>

namespace cli {
namespace {

const Option* FindOption(const Command& command, std::string_view word) {
    for (const Option& option : command.options) {
        if (option.name == word || (!option.shortName.empty() && option.shortName == word)) {
            return &option;
        }
    }
    return nullptr;
}

bool IsHelp(std::string_view word) {
    return word == "--help" || word == "-h";
}

// "-x" is an option; "-" alone and "-5" are operands.
bool LooksLikeOption(std::string_view word) {
    return word.size() > 1 && word[0] == '-' && (word[1] < '0' || word[1] > '9');
}

} // namespace

std::string Shown(std::string_view word) {
    std::string shown(word.substr(0, 64));
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            c = '?';
        }
    }
    return shown;
}

Arguments::Arguments(const std::vector<std::string>& words, const Command& command) {
    bool optionsEnded = false;
    for (size_t at = 0; at < words.size();) {
        const std::string& word = words[at];
        if (optionsEnded || !LooksLikeOption(word)) {
            positional_.push_back(word);
            ++at;
        } else if (word == "--") {
            optionsEnded = true;
            ++at;
        } else {
            at += TakeOption(words, at, command);
        }
    }
}

size_t Arguments::TakeOption(const std::vector<std::string>& words, size_t at,
                             const Command& command) {
    const std::string& word = words[at];
    const size_t equals = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
    const std::string name = word.substr(0, equals);
    if (IsHelp(name) && equals == std::string::npos) {
        helpAsked_ = true;
        return 1;
    }
    const Option* option = FindOption(command, name);
    if (option == nullptr) {
        Fail("unknown option " + Shown(name));
        return 1;
    }
    const std::string key(option->name);
    if (option->value.empty()) {
        if (equals != std::string::npos) {
            Fail(key + " takes no value");
        } else {
            values_.emplace(key, "");
        }
        return 1;
    }
    if (equals != std::string::npos) {
        values_.emplace(key, word.substr(equals + 1));
        return 1;
    }
    if (at + 1 >= words.size()) {
        Fail(key + " needs a value (" + std::string(option->value) + ")");
        return 1;
    }
    values_.emplace(key, words[at + 1]);
    return 2;
}

void Arguments::Fail(std::string message) {
    if (error_.empty()) {
        error_ = std::move(message);
    }
}

bool Arguments::Has(std::string_view option) const {
    return values_.find(option) != values_.end();
}

std::optional<std::string> Arguments::Value(std::string_view option) const {
    const auto [first, last] = values_.equal_range(option);
    if (first == last) {
        return std::nullopt;
    }
    return std::prev(last)->second;
}

std::vector<std::string> Arguments::Values(std::string_view option) const {
    std::vector<std::string> values;
    const auto [first, last] = values_.equal_range(option);
    for (auto it = first; it != last; ++it) {
        values.push_back(it->second);
    }
    return values;
}

std::optional<long> ParseInteger(const std::string& text) {
    // Digits, with a minus sign at most: no blanks, no plus sign.
    if (text.empty() || (text[0] != '-' && (text[0] < '0' || text[0] > '9'))) {
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

} // namespace cli
