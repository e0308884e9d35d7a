// A command line read against its command's description: operands, and options with or
// without a value. "--" ends the options; an option that takes a value takes the next word
// whatever it starts with ("--description -h" is a description); "--help" and "-h" are
// understood by every command.
#pragma once

#include "tool_description.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

class Arguments {
public:
    Arguments(const std::vector<std::string>& words, const Command& command);

    // The first thing wrong with the line ("unknown option --bogus"), empty when nothing is.
    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    // --help or -h was given as an option (not as an option's value, nor after "--").
    bool HelpAsked() const { return helpAsked_; }
    const std::vector<std::string>& Positional() const { return positional_; }
    bool Has(std::string_view option) const;
    // The value of an option given once; the last one when it is given again.
    std::optional<std::string> Value(std::string_view option) const;
    // Every value of a repeatable option, in command-line order.
    std::vector<std::string> Values(std::string_view option) const;

private:
    // Reads the option that starts at words[at]; returns how many words it took.
    size_t TakeOption(const std::vector<std::string>& words, size_t at, const Command& command);
    void Fail(std::string message);

    std::vector<std::string> positional_;
    std::multimap<std::string, std::string, std::less<>> values_;
    std::string error_;
    bool helpAsked_ = false;
};

// A word as an error message may show it: at most 64 bytes, control characters as '?'.
std::string Shown(std::string_view word);

// A whole decimal number, or nothing.
std::optional<long> ParseInteger(const std::string& text);

} // namespace cli
