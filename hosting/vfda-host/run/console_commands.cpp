#include "console_commands.h"

#include "parameter_reads.h"
#include "word_value.h"

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

// A typed value for a tag: checked for the drive word the tag is on (P0..P80, D0, D3) as the
// write command checks it, so only the value asked for reaches the drive; for the module's
// own C words, and for tags it refuses anyway, a plain decimal number.
std::optional<double> ParseValue(const TagDefinition* tag, const std::string& word,
                                 std::string& why) {
    std::optional<WordAddress> address;
    if (tag != nullptr && tag->type != kDigitalTagType) {
        const std::optional<int> parameter = ParameterNumber(tag->address);
        address = parameter ? std::optional<WordAddress>({'P', *parameter})
                            : ParseWordAddress(tag->address);
    }
    if (address && FormatOf(*address).writable) {
        const std::optional<WordValue> checked = ParseWordValue(*address, word, why);
        return checked ? std::optional<double>(checked->value) : std::nullopt;
    }
    const std::optional<double> value = ParsePlainDecimal(word);
    if (!value) {
        why = "\"" + word + "\" is not a plain decimal number";
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
    std::string why;
    const auto value = ParseValue(session.FindTag(words[1]), words[2], why);
    if (!value) {
        events.Error("write: " + words[1] + ": " + why + "; not sent");
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
