// vfda-host config CONFIG init|set|add-station|edit-station|delete-station: changes a
// configuration file through the document, with the station dialog's checks. A refused
// change leaves the file as it was. The file's writer lock is held from the load to the
// save, so commands run at the same time change the file one after the other.
#include "cli/arguments.h"
#include "com_name.h"
#include "comm/line_rates.h"
#include "commands.h"
#include "config/vfda_drv_doc.h"
#include "config_edit.h"
#include "console_output.h"
#include "platform/text_codec.h"
#include "resources/texts.h"
#include "text_output.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>

namespace vfdahost {
namespace {

constexpr long kModelCount = 23;

// The station dialog's own words (Korean) with the check's number.
Refusal CheckFailed(int code) {
    const char* text = resources::StringTableText(static_cast<uint32_t>(code));
    return {kExitRefused, "vfda-host: refused (" + std::to_string(code) +
                              "): " + (text != nullptr ? ToUtf8(text) : "check failed")};
}

Refusal Usage(const std::string& message) {
    return {kExitRefused, "vfda-host: " + message};
}

std::string Trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) {
        --last;
    }
    return text.substr(first, last - first);
}

// The CP949 form of a command-line text.
std::optional<Refusal> ToCp949(const std::string& utf8, const char* what, std::string& cp949) {
    if (!platform::Utf8ToCp949(utf8, cp949)) {
        return Usage(std::string(what) + " \"" + utf8 + "\" has characters that CP949 cannot hold");
    }
    return std::nullopt;
}

std::optional<Refusal> ParseNumber(const std::string& text, const char* what, long low, long high,
                                   int32_t& value) {
    const auto number = cli::ParseInteger(text);
    if (!number || *number < low || *number > high) {
        return Usage(std::string(what) + " must be a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high));
    }
    value = static_cast<int32_t>(*number);
    return std::nullopt;
}

std::optional<Refusal> ApplySet(CVfdaDrvDoc& document, const cli::Arguments& arguments) {
    CSerialPort& port = document.SerialPort();
    if (const auto name = arguments.Value("--port")) {
        const std::optional<int> number = ParseComName(*name);
        if (!number) {
            return Usage("--port must name COM1 to COM36");
        }
        port.m_portIndex = *number - 1;
    }
    if (const auto baud = arguments.Value("--baud")) {
        std::optional<int32_t> index;
        if (const std::optional<long> rate = cli::ParseInteger(*baud); rate && *rate > 0) {
            index = comm::BaudIndexOf(static_cast<uint32_t>(*rate));
        }
        if (!index) {
            return Usage("--baud must be 1200, 2400 or 4800");
        }
        port.m_baudIndex = *index;
    }
    if (const auto rtsCts = arguments.Value("--rtscts")) {
        if (*rtsCts != "on" && *rtsCts != "off") {
            return Usage("--rtscts must be on or off");
        }
        port.m_options = *rtsCts == "on" ? (port.m_options | CSerialPort::kOptionRtsCts)
                                         : (port.m_options & ~CSerialPort::kOptionRtsCts);
    }
    return std::nullopt;
}

// Applies the station options to `station` after the station dialog's checks, in its order:
// the name (empty, taken), then the number (range, taken).
std::optional<Refusal> ApplyStation(const CVfdaDrvDoc& document, const cli::Arguments& arguments,
                                    const std::string& utf8Name, CStationInfo& station,
                                    const CStationInfo* self) {
    std::string name;
    if (auto refused = ToCp949(Trimmed(utf8Name), "the name", name)) {
        return refused;
    }
    if (name.empty()) {
        return CheckFailed(resources::kStationNameMissing);
    }
    if (const int code = document.ValidateStationName(name, self)) {
        return CheckFailed(code);
    }
    int32_t number = station.m_stationNumber;
    if (const auto text = arguments.Value("--number")) {
        const auto parsed = cli::ParseInteger(*text);
        if (!parsed) {
            return Usage("--number must be a whole number");
        }
        number = *parsed < -1 || *parsed > 99 ? -1 : static_cast<int32_t>(*parsed);
    }
    if (const int code = document.ValidateStationNumber(number, self)) {
        return CheckFailed(code);
    }
    int32_t model = station.m_modelIndex;
    if (const auto text = arguments.Value("--model")) {
        if (auto refused = ParseNumber(*text, "--model", 0, kModelCount - 1, model)) {
            return refused;
        }
    }
    std::string description = station.m_description;
    if (const auto text = arguments.Value("--description")) {
        if (auto refused = ToCp949(*text, "the description", description)) {
            return refused;
        }
    }
    station.m_name = name;
    station.m_stationNumber = number;
    station.m_modelIndex = model;
    station.m_description = description;
    return std::nullopt;
}

CStationInfo* FindByName(const CVfdaDrvDoc& document, const std::string& utf8Name) {
    std::string name;
    if (!platform::Utf8ToCp949(Trimmed(utf8Name), name)) {
        return nullptr;
    }
    return document.FindStation(name.c_str());
}

std::optional<Refusal> Apply(const std::string& action, CVfdaDrvDoc& document,
                             const cli::Arguments& arguments) {
    const auto& words = arguments.Positional();
    if (action == "init") {
        return std::nullopt;
    }
    if (action == "set") {
        return ApplySet(document, arguments);
    }
    if (words.size() != 3) {
        return Usage("usage: vfda-host config CONFIG " + action + " NAME [options]");
    }
    if (action == "add-station") {
        if (!arguments.Has("--number")) {
            return Usage("add-station needs --number N");
        }
        auto station = std::make_unique<CStationInfo>();
        if (auto refused = ApplyStation(document, arguments, words[2], *station, nullptr)) {
            return refused;
        }
        document.AddStation(std::move(station));
        return std::nullopt;
    }
    CStationInfo* station = FindByName(document, words[2]);
    if (station == nullptr) {
        return Usage("no station named " + words[2]);
    }
    if (action == "edit-station") {
        const std::string name = arguments.Value("--name").value_or(ToUtf8(station->m_name));
        return ApplyStation(document, arguments, name, *station, station);
    }
    document.RemoveStation(station);
    return std::nullopt;
}

} // namespace

namespace {

bool KnownAction(const std::string& action) {
    return action == "init" || action == "set" || action == "add-station" ||
           action == "edit-station" || action == "delete-station";
}

} // namespace

int ConfigCommand(const std::vector<std::string>& words) {
    const cli::Arguments arguments(words, HostCommand("config"));
    const auto& positional = arguments.Positional();
    if (!arguments.Ok() || positional.size() < 2 || !KnownAction(positional[1])) {
        const std::string error = !arguments.Ok() ? arguments.Error()
                                  : positional.size() < 2
                                      ? "config needs CONFIG and an action"
                                      : "unknown action \"" + cli::Shown(positional[1]) + "\"";
        OutputFormatted(stderr, "vfda-host: %s\n%s", error.c_str(), HostUsage("config").c_str());
        return kExitRefused;
    }
    const std::string& path = positional[0];
    const std::string& action = positional[1];
    uint32_t waitMs = 0;
    if (const std::optional<std::string> wrong = ParseLockWait(arguments, waitMs)) {
        OutputFormatted(stderr, "vfda-host: %s\n", wrong->c_str());
        return kExitRefused;
    }
    const StartFrom start = action == "init" ? StartFrom::NewDocument : StartFrom::File;
    return EditConfiguration(path, waitMs, start, [&](CVfdaDrvDoc& document) {
        return Apply(action, document, arguments);
    });
}

} // namespace vfdahost
