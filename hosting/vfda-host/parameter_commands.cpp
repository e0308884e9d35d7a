#include "parameter_commands.h"

#include "arguments.h"
#include "commands.h"

#include <cctype>
#include <cstdio>

namespace vfdahost {

bool ParseParameterCommandLine(const std::vector<std::string>& words, const char* usage,
                               size_t minimumPositional, ParameterCommandLine& line) {
    const Arguments arguments(words, {"--port"}, {"--json"});
    std::string error = arguments.Error();
    if (error.empty() && arguments.Positional().size() < minimumPositional) {
        error = "missing arguments";
    }
    for (const std::string& text : arguments.Values("--port")) {
        PortMapping mapping;
        if (error.empty() && !ParsePortMapping(text, mapping, error)) {
            break;
        }
        line.ports.push_back(mapping);
    }
    if (!error.empty()) {
        std::fprintf(stderr, "vfda-host: %s\n%s", error.c_str(), usage);
        return false;
    }
    line.positional = arguments.Positional();
    line.json = arguments.Has("--json");
    return true;
}

int OpenSession(const ParameterCommandLine& line, const std::string& configPath, PortFolder& ports,
                ParameterSession& session) {
    std::string error;
    if (!ports.Create(line.ports, error) || !session.Open(configPath, error)) {
        std::fprintf(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

std::optional<WordAddress> ParseWordAddress(const std::string& text) {
    if (text.size() < 2 || text.size() > 3) {
        return std::nullopt;
    }
    WordAddress address;
    address.area = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const std::optional<long> number = ParseInteger(text.substr(1));
    const long last = address.area == 'P' ? 80 : address.area == 'D' ? 6 : -1;
    if (!number || !std::isdigit(static_cast<unsigned char>(text[1])) || *number < 0 ||
        *number > last) {
        return std::nullopt;
    }
    address.number = static_cast<int>(*number);
    return address;
}

} // namespace vfdahost
