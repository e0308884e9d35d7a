#include "sim/console.h"

#include "sim/number_text.h"

#include <charconv>
#include <vector>

namespace sim {
namespace {

constexpr size_t kMaxWords = 8;
constexpr size_t kMaxEchoedLength = 32; // of an operator's word quoted in an error

constexpr std::string_view kHelp =
    "commands:\n"
    "  fault STATION KIND [COUNT]  kinds: silent refused bad-byte1 wrong-station wrong-param\n"
    "                              bad-digits short noise-before late noise-stream echo\n"
    "  clear STATION|all\n"
    "  set STATION Pn|D0|D3|D6 VALUE\n"
    "  get STATION Pn|Dn\n"
    "  load STATION PERCENT\n"
    "  stats [STATION]\n"
    "  quit\n";

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size() && words.size() <= kMaxWords) {
        const size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos) {
            break;
        }
        const size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

// "P5", "d3": the area letter in either case and a decimal number.
bool ParseWordName(std::string_view text, Area& area, int& number) {
    if (text.size() < 2) {
        return false;
    }
    const char letter = static_cast<char>(text[0] & ~0x20);
    if (letter != 'P' && letter != 'D') {
        return false;
    }
    uint32_t parsed = 0;
    if (!ParseUnsigned(text.substr(1), 999, parsed)) {
        return false;
    }
    area = letter == 'P' ? Area::Parameter : Area::Monitor;
    number = static_cast<int>(parsed);
    return true;
}

Console::Result Error(std::string_view why, std::string_view word = {}) {
    std::string text = "error: " + std::string(why);
    if (!word.empty()) {
        text += " '" + std::string(word.substr(0, kMaxEchoedLength)) + "'";
    }
    return {text + "\n", false};
}

Console::Result Ok() {
    return {"ok\n", false};
}

std::string_view OutcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok:
        return "ok";
    case Outcome::UnknownNumber:
        return "no such word";
    case Outcome::OutOfRange:
        return "value out of range";
    case Outcome::ReadOnly:
        return "read-only";
    case Outcome::NotAllowed:
        return "not allowed";
    }
    return "failed";
}

} // namespace

Console::Result Console::Execute(std::string_view line) {
    if (line.size() > kMaxCommandLength) {
        return Error("line too long");
    }
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.empty() || words[0][0] == '#') {
        return {};
    }
    if (words.size() > kMaxWords) {
        return Error("too many words");
    }
    const std::string_view verb = words[0];
    if (verb == "fault") {
        return Fault(words);
    }
    if (verb == "clear") {
        return Clear(words);
    }
    if (verb == "set") {
        return Set(words);
    }
    if (verb == "get") {
        return Get(words);
    }
    if (verb == "load") {
        return Load(words);
    }
    if (verb == "stats") {
        return Stats(words);
    }
    if (verb == "help") {
        return {std::string(kHelp), false};
    }
    if (verb == "quit" || verb == "exit") {
        return {"", true};
    }
    return Error("unknown command", verb);
}

namespace {

// The station word of a command: a number of a station this simulator has.
bool ParseStation(const Simulator& simulator, std::string_view text, int& station) {
    uint32_t number = 0;
    if (!ParseUnsigned(text, kLastStation, number) ||
        !simulator.HasStation(static_cast<int>(number))) {
        return false;
    }
    station = static_cast<int>(number);
    return true;
}

} // namespace

Console::Result Console::Fault(const std::vector<std::string_view>& words) {
    if (words.size() < 3 || words.size() > 4) {
        return Error("usage: fault STATION KIND [COUNT]");
    }
    int station = 0;
    if (!ParseStation(simulator_, words[1], station)) {
        return Error("no such station", words[1]);
    }
    const std::optional<FaultKind> kind = ParseFaultKind(words[2]);
    if (!kind) {
        return Error("unknown fault kind", words[2]);
    }
    uint32_t count = 0;
    if (words.size() == 4 && (!ParseUnsigned(words[3], 1'000'000, count) || count == 0)) {
        return Error("bad count", words[3]);
    }
    simulator_.SetFault(station, *kind, count);
    return Ok();
}

Console::Result Console::Clear(const std::vector<std::string_view>& words) {
    if (words.size() != 2) {
        return Error("usage: clear STATION|all");
    }
    if (words[1] == "all") {
        simulator_.ClearAllFaults();
        return Ok();
    }
    int station = 0;
    if (!ParseStation(simulator_, words[1], station)) {
        return Error("no such station", words[1]);
    }
    simulator_.ClearFault(station);
    return Ok();
}

Console::Result Console::Set(const std::vector<std::string_view>& words) {
    if (words.size() != 4) {
        return Error("usage: set STATION WORD VALUE");
    }
    int station = 0;
    Area area{};
    int number = 0;
    uint32_t value = 0;
    if (!ParseStation(simulator_, words[1], station)) {
        return Error("no such station", words[1]);
    }
    if (!ParseWordName(words[2], area, number)) {
        return Error("bad word name", words[2]);
    }
    if (!ParseUnsigned(words[3], 65535, value)) {
        return Error("bad value", words[3]);
    }
    const Outcome outcome = simulator_.SetWord(station, area, number, value);
    return outcome == Outcome::Ok ? Ok() : Error(OutcomeText(outcome), words[2]);
}

Console::Result Console::Get(const std::vector<std::string_view>& words) {
    if (words.size() != 3) {
        return Error("usage: get STATION WORD");
    }
    int station = 0;
    Area area{};
    int number = 0;
    if (!ParseStation(simulator_, words[1], station)) {
        return Error("no such station", words[1]);
    }
    if (!ParseWordName(words[2], area, number)) {
        return Error("bad word name", words[2]);
    }
    uint16_t value = 0;
    const Outcome outcome = simulator_.GetWord(station, area, number, value);
    if (outcome != Outcome::Ok) {
        return Error(OutcomeText(outcome), words[2]);
    }
    return {std::to_string(value) + "\n", false};
}

Console::Result Console::Load(const std::vector<std::string_view>& words) {
    uint32_t percent = 0;
    int station = 0;
    if (words.size() != 3) {
        return Error("usage: load STATION PERCENT");
    }
    if (!ParseStation(simulator_, words[1], station)) {
        return Error("no such station", words[1]);
    }
    if (!ParseUnsigned(words[2], 200, percent)) {
        return Error("bad percent (0-200)", words[2]);
    }
    simulator_.SetLoad(station, static_cast<uint16_t>(percent));
    return Ok();
}

Console::Result Console::Stats(const std::vector<std::string_view>& words) {
    std::vector<int> stations;
    if (words.size() == 2) {
        int station = 0;
        if (!ParseStation(simulator_, words[1], station)) {
            return Error("no such station", words[1]);
        }
        stations.push_back(station);
    } else if (words.size() == 1) {
        stations = simulator_.Stations();
    } else {
        return Error("usage: stats [STATION]");
    }
    std::string text;
    for (int station : stations) {
        const StationCounters c = simulator_.Counters(station).value_or(StationCounters{});
        text += "station " + std::to_string(station) + " frames " +
                std::to_string(c.framesReceived) + " R " + std::to_string(c.reads) + " Q " +
                std::to_string(c.queries) + " P " + std::to_string(c.writes) + " C " +
                std::to_string(c.commands) + " answers " + std::to_string(c.answersSent) +
                " refusals " + std::to_string(c.refusals) + " faults " +
                std::to_string(c.faultsInjected) + "\n";
    }
    if (words.size() == 1) {
        text += "absent-station frames " + std::to_string(simulator_.FramesForAbsentStations());
        if (server_ != nullptr) {
            const LineCounters l = server_->Counters();
            text += " bytes-in " + std::to_string(l.bytesReceived) + " bytes-out " +
                    std::to_string(l.bytesSent) + " noise " + std::to_string(l.noiseBytesSent) +
                    " requests " + std::to_string(l.requests) + " skipped " +
                    std::to_string(l.skippedBytes) + " dropped " + std::to_string(l.droppedFrames) +
                    " wrong-baud " + std::to_string(l.wrongBaudFrames);
        }
        text += "\n";
    }
    return {text, false};
}

bool ReadCommandLine(std::istream& in, std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    bool readAny = false;
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        readAny = true;
        if (c == '\n') {
            return true;
        }
        if (line.size() < kMaxCommandLength) {
            line.push_back(static_cast<char>(c));
        } else {
            tooLong = true;
        }
    }
    return readAny;
}

} // namespace sim
