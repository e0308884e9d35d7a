#include "console_commands.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>
#include <vector>

namespace vfdahost {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// A finite decimal number that is the whole word.
std::optional<double> ParseValue(const std::string& word) {
    double value = 0;
    const char* end = word.data() + word.size();
    const auto parsed = std::from_chars(word.data(), end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The optional station of stats and reset.
std::optional<std::string> StationWord(const std::vector<std::string>& words) {
    return words.size() == 2 ? std::optional<std::string>(words[1]) : std::nullopt;
}

// Checks the number of words after the command; false (reported) when it is wrong.
bool Takes(const std::vector<std::string>& words, size_t least, size_t most, RunEvents& events,
           const char* usage) {
    if (words.size() >= least + 1 && words.size() <= most + 1) {
        return true;
    }
    events.Error(std::string("usage: ") + usage);
    return false;
}

void Write(const std::vector<std::string>& words, HostSession& session, RunEvents& events) {
    if (!Takes(words, 2, 2, events, "write TAG VALUE")) {
        return;
    }
    const auto value = ParseValue(words[2]);
    if (!value) {
        events.Error("write: \"" + words[2] + "\" is not a number");
        return;
    }
    session.Write(words[1], *value);
}

void Enable(const std::vector<std::string>& words, HostSession& session, RunEvents& events) {
    if (!Takes(words, 2, 2, events, "enable STATION 0|1")) {
        return;
    }
    if (words[2] != "0" && words[2] != "1") {
        events.Error("enable: the flag is 0 or 1, not \"" + words[2] + "\"");
        return;
    }
    session.EnableStation(words[1], words[2] == "1" ? 1 : 0);
}

} // namespace

CommandOutcome ExecuteCommand(const std::string& line, HostSession& session, RunEvents& events) {
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0].front() == '#') {
        return CommandOutcome::Continue;
    }
    const std::string& command = words[0];
    if (command == "quit") {
        return CommandOutcome::Quit;
    }
    if (command == "write") {
        Write(words, session, events);
    } else if (command == "enable") {
        Enable(words, session, events);
    } else if (command == "stats") {
        if (Takes(words, 0, 1, events, "stats [STATION]")) {
            session.PrintStatistics(StationWord(words));
        }
    } else if (command == "reset") {
        if (Takes(words, 0, 1, events, "reset [STATION]")) {
            session.ResetStatistics(StationWord(words));
        }
    } else if (command == "info") {
        if (Takes(words, 1, 1, events, "info STATION")) {
            session.PrintInfo(words[1]);
        }
    } else if (command == "read") {
        if (Takes(words, 1, 1, events, "read TAG|STATION")) {
            session.ReadParameters(words[1]);
        }
    } else if (command == "stop") {
        session.StopCommunication();
    } else if (command == "start") {
        session.StartCommunication();
    } else {
        events.Error("unknown command \"" + command +
                     "\" (write, read, enable, stats, reset, info, stop, start, quit)");
    }
    return CommandOutcome::Continue;
}

} // namespace vfdahost
