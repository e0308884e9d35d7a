// A command line: positional words and --options with or without a value.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vfdahost {

class Arguments {
public:
    // valueOptions take the next word as their value, or the text after '=' in the same
    // word ("--port=COM1"); flagOptions take none. Any other word that starts with "--" is
    // an error.
    Arguments(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
              const std::set<std::string>& flagOptions);

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    const std::vector<std::string>& Positional() const { return positional_; }
    bool Has(const std::string& option) const { return values_.count(option) != 0; }
    // The value of an option given once; the last one when it is given again.
    std::optional<std::string> Value(const std::string& option) const;
    // Every value of an option that may be given several times, in command-line order.
    std::vector<std::string> Values(const std::string& option) const;

private:
    // "--option=value": false with the error set when the option takes no value.
    bool TakeJoinedValue(const std::string& option, const std::string& value,
                         const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flagOptions);

    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
    std::multimap<std::string, std::string> allValues_;
    std::string error_;
};

// A whole decimal number, or nothing.
std::optional<long> ParseInteger(const std::string& text);

} // namespace vfdahost
