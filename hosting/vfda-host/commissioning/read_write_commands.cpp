// vfda-host read and write: one station's words, once, without a tag file.
#include "cli/arguments.h"
#include "commands.h"
#include "console_output.h"
#include "interrupt.h"
#include "line_watch.h"
#include "parameter_commands.h"
#include "station_diagnosis.h"
#include "text_output.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <thread>

namespace vfdahost {
namespace {

using Clock = std::chrono::steady_clock;
// A wait between rounds looks for a signal this often.
constexpr std::chrono::milliseconds kWaitSlice{50};
constexpr std::chrono::milliseconds kShortestInterval{100};
constexpr std::chrono::milliseconds kLongestInterval{3600 * 1000};
constexpr long kMostRounds = 1000000;

struct WordWrite {
    WordAddress address;
    WordValue asked;
};

// ADDRESS=VALUE with a value its word takes; false with `why` set otherwise.
bool ParseWordWrite(const std::string& text, WordWrite& write, std::string& why) {
    const size_t equals = text.find('=');
    const std::optional<WordAddress> address =
        equals == std::string::npos ? std::nullopt : ParseWordAddress(text.substr(0, equals));
    if (!address) {
        why = "it is not Pn=VALUE, D0=VALUE or D3=VALUE";
        return false;
    }
    const std::optional<WordValue> value =
        ParseWordValue(*address, std::string_view(text).substr(equals + 1), why);
    if (!value) {
        return false;
    }
    write.address = *address;
    write.asked = *value;
    return true;
}

// One address of one station (`name` as typed): true when it did what was asked.
using Step = std::function<bool(ParameterSession& session, const CStationInfo& station,
                                const std::string& name, size_t index)>;

// How often the addresses are gone through: once, or `count` rounds on a steady beat.
struct Rounds {
    long count = 1;
    std::chrono::milliseconds every{0};
};

// Waits until `when` in short slices, printing the module's log as it comes; false when a
// signal came first.
bool WaitUntil(ParameterSession& session, Clock::time_point when) {
    while (!Interrupted()) {
        session.PrintLog();
        const Clock::time_point now = Clock::now();
        if (now >= when) {
            return true;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(when - now, kWaitSlice));
    }
    return false;
}

// Both commands work on the stations named after the configuration (read may list several:
// PUMP1,PUMP2), their status polled, one address a step, station after station, in
// `rounds`. A signal ends the work before the next step, naming the addresses of the round
// left (`undone`: "not-read" or "not-written"); `beforeEnd` is called last, before the end is
// printed. kExitOk, kExitNotDone when a step failed, or the exit code of the start or of the
// signal.
int OnTheStations(const ParameterCommandLine& line, EventPrinter& printer, bool namesMayList,
                  const std::vector<WordAddress>& addresses, const char* undone, const Step& step,
                  const Rounds& rounds = {}, const std::function<void()>& beforeEnd = {}) {
    StationWork work;
    work.namesMayList = namesMayList;
    int exitCode = StartStationWork(line, {line.positional[1]}, Polling::StatusWords, work);
    if (exitCode != kExitOk) {
        return exitCode;
    }
    const Clock::time_point start = Clock::now();
    std::map<std::string, std::vector<std::string>> left; // station -> addresses not done
    for (long round = 0; round < rounds.count && left.empty(); ++round) {
        if (round > 0 && !WaitUntil(work.session, start + round * rounds.every)) {
            break;
        }
        for (size_t s = 0; s < work.stations.size(); ++s) {
            for (size_t i = 0; i < addresses.size(); ++i) {
                if (Interrupted()) {
                    left[work.names[s]].push_back(addresses[i].Text());
                    continue;
                }
                const bool done = step(work.session, *work.stations[s], work.names[s], i);
                exitCode = done ? exitCode : kExitNotDone;
            }
        }
    }
    if (beforeEnd) {
        beforeEnd();
    }
    if (!Interrupted()) {
        return exitCode;
    }
    size_t notDone = 0;
    for (const std::string& name : work.names) {
        ReportNotDone(printer, name, undone, left[name]);
        notDone += left[name].size();
    }
    return PrintInterruptEnd(printer, notDone, std::string(undone).replace(3, 1, " "));
}

// "500ms", "2s", "1.5s": a whole or decimal number and its unit.
std::optional<std::chrono::milliseconds> ParseInterval(const std::string& text) {
    const bool millis = text.size() > 2 && text.compare(text.size() - 2, 2, "ms") == 0;
    const bool seconds = !millis && text.size() > 1 && text.back() == 's';
    if (!millis && !seconds) {
        return std::nullopt;
    }
    const std::optional<double> number =
        ParsePlainDecimal(std::string_view(text).substr(0, text.size() - (millis ? 2 : 1)));
    if (!number) {
        return std::nullopt;
    }
    const double ms = *number * (millis ? 1.0 : 1000.0);
    if (ms < static_cast<double>(kShortestInterval.count()) ||
        ms > static_cast<double>(kLongestInterval.count())) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(static_cast<long long>(ms));
}

// --every and --count: one round without them; with --every alone, rounds until a signal.
bool ParseRounds(const ParameterCommandLine& line, Rounds& rounds, std::string& wrong) {
    const auto every = line.values.find("--every");
    const auto count = line.values.find("--count");
    if (every != line.values.end()) {
        const std::optional<std::chrono::milliseconds> interval = ParseInterval(every->second);
        if (!interval) {
            wrong = "--every takes an interval from 100ms to 3600s, such as 500ms or 2s";
            return false;
        }
        rounds.every = *interval;
        rounds.count = std::numeric_limits<long>::max();
    }
    if (count != line.values.end()) {
        const std::optional<long> number = cli::ParseInteger(count->second);
        if (!number || *number < 1 || *number > kMostRounds) {
            wrong = "--count takes a whole number from 1 to " + std::to_string(kMostRounds);
            return false;
        }
        rounds.count = *number;
    }
    return true;
}

// What a repeated read did: reads, failures and how long each read took.
class ReadTally {
public:
    void Count(bool read, Clock::duration took) {
        ++reads_;
        failures_ += read ? 0 : 1;
        if (read) {
            times_.push_back(std::chrono::duration<double, std::milli>(took).count());
        }
    }
    void Print(EventPrinter& printer, const std::string& station) const {
        JsonFields fields;
        fields.Text("station", station).Integer("reads", reads_).Integer("failures", failures_);
        std::string text = "summary " + station + ": " + std::to_string(reads_) + " reads, " +
                           std::to_string(failures_) + " failed";
        if (const std::optional<ResponseTimes> times = SummariseTimes(times_)) {
            fields.Number("read_min_ms", Rounded(times->minMs))
                .Number("read_median_ms", Rounded(times->medianMs))
                .Number("read_max_ms", Rounded(times->maxMs));
            text += "; read ms min " + NumberText(Rounded(times->minMs)) + ", median " +
                    NumberText(Rounded(times->medianMs)) + ", max " +
                    NumberText(Rounded(times->maxMs));
        } else {
            fields.Null("read_min_ms").Null("read_median_ms").Null("read_max_ms");
        }
        printer.Print("summary", fields, text);
    }

private:
    static double Rounded(double ms) { return std::round(ms); }

    long long reads_ = 0;
    long long failures_ = 0;
    std::vector<double> times_;
};

// What became of one write: the drive's answer to it, then a read of the parameter back.
// D0 and D3 are not read back: the drive reports its state in them, not the command.
struct WriteResult {
    bool acknowledged = false;
    bool readBack = false;            // a read-back was made
    std::optional<double> valueAfter; // what it gave
};

const char* Outcome(const WordWrite& write, const WriteResult& result) {
    if (!result.readBack) {
        return result.acknowledged ? "sent" : "not answered";
    }
    if (!result.valueAfter) {
        return result.acknowledged ? "not read back" : "not answered";
    }
    if (!result.acknowledged) {
        return "refused";
    }
    return *result.valueAfter == write.asked.value ? "written" : "kept another value";
}

std::string OutcomeText(const char* outcome, const WriteResult& result) {
    const std::string said(outcome);
    if (said == "written" || said == "sent") {
        return said;
    }
    if (said == "refused") {
        return "not written: the drive refused it";
    }
    if (said == "kept another value") {
        return "not written: the drive kept " + ValueText(result.valueAfter);
    }
    if (said == "not read back") {
        return "not known: the drive took it but did not answer the read-back";
    }
    return "not written: the drive did not answer";
}

WriteResult WriteAndReadBack(ParameterSession& session, const CStationInfo& station,
                             const WordWrite& write) {
    WriteResult result;
    result.acknowledged =
        session.Write(station, write.address.area, write.address.number, write.asked.value);
    if (write.address.area == 'P') {
        result.readBack = true;
        result.valueAfter = session.ReadParameters(station, write.address.number, 1)[0];
    }
    return result;
}

} // namespace

int ReadCommand(const std::vector<std::string>& words) {
    CatchInterrupt();
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, "read", 3, line)) {
        return kExitRefused;
    }
    std::vector<WordAddress> addresses;
    for (size_t i = 2; i < line.positional.size(); ++i) {
        const auto named = ParseWordAddresses(line.positional[i]);
        if (!named) {
            OutputFormatted(stderr,
                            "vfda-host: %s is not P0..P80 or D0..D6, nor a range such as "
                            "P10-P15\n%s",
                            TextForPeople(line.positional[i]).c_str(), HostUsage("read").c_str());
            return kExitRefused;
        }
        addresses.insert(addresses.end(), named->begin(), named->end());
    }
    Rounds rounds;
    std::string wrong;
    if (!ParseRounds(line, rounds, wrong)) {
        OutputFormatted(stderr, "vfda-host: %s\n%s", wrong.c_str(), HostUsage("read").c_str());
        return kExitRefused;
    }
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text, line.stamps);
    std::vector<std::string> order;           // the stations in the order read
    std::map<std::string, ReadTally> tallies; // by station
    const auto read = [&](ParameterSession& session, const CStationInfo& station,
                          const std::string& name, size_t i) {
        if (tallies.count(name) == 0) {
            order.push_back(name);
        }
        ReadTally& tally = tallies[name];
        const WordAddress& address = addresses[i];
        const Clock::time_point asked = Clock::now();
        const std::optional<double> value =
            address.area == 'P' ? session.ReadParameters(station, address.number, 1)[0]
                                : session.ReadMonitor(station, address.number);
        tally.Count(value.has_value(), Clock::now() - asked);
        JsonFields fields;
        fields.Text("station", name).Text("address", address.Text());
        if (!value) {
            fields.Null("value").Text("error", "not read");
            printer.Print("value", fields, name + " " + address.Text() + ": not read");
            return false;
        }
        fields.Number("value", *value);
        printer.Print("value", fields, name + " " + address.Text() + " = " + NumberText(*value));
        return true;
    };
    const bool repeated = line.values.count("--every") != 0 || line.values.count("--count") != 0;
    const auto summary = [&] {
        if (!repeated) {
            return;
        }
        for (const std::string& name : order) {
            tallies[name].Print(printer, name);
        }
    };
    return OnTheStations(line, printer, true, addresses, "not-read", read, rounds, summary);
}

int WriteCommand(const std::vector<std::string>& words) {
    CatchInterrupt();
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, "write", 3, line)) {
        return kExitRefused;
    }
    std::vector<WordWrite> writes;
    for (size_t i = 2; i < line.positional.size(); ++i) {
        WordWrite write;
        std::string why;
        if (!ParseWordWrite(line.positional[i], write, why)) {
            OutputFormatted(stderr, "vfda-host: %s: %s; nothing written\n%s",
                            TextForPeople(line.positional[i]).c_str(), TextForPeople(why).c_str(),
                            HostUsage("write").c_str());
            return kExitRefused;
        }
        writes.push_back(write);
    }
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text, line.stamps);
    LineWatch watch;
    std::vector<WordAddress> addresses;
    for (const WordWrite& write : writes) {
        addresses.push_back(write.address);
    }
    const auto writeOne = [&](ParameterSession& session, const CStationInfo& station,
                              const std::string& name, size_t i) {
        const WordWrite& write = writes[i];
        const WriteResult result = WriteAndReadBack(session, station, write);
        const char* outcome = Outcome(write, result);
        const bool ok = std::string(outcome) == "written" || std::string(outcome) == "sent";
        JsonFields fields;
        fields.Text("station", name).Text("address", write.address.Text());
        if (result.readBack) {
            fields.NumberOrNull("value", result.valueAfter);
        } else {
            fields.Number("value", write.asked.value);
        }
        fields.Boolean("ok", ok)
            .Number("asked", write.asked.value)
            .Integer("raw", write.asked.raw)
            .Boolean("acknowledged", result.acknowledged)
            .Text("outcome", outcome);
        // What the line shows when the drive did not take it: an echoing adapter, say.
        const std::string diagnosis = ok ? "" : watch.Diagnosis(name, station.m_stationNumber);
        if (!diagnosis.empty()) {
            fields.Text("diagnosis", diagnosis.substr(2));
        }
        printer.Print("written", fields,
                      name + " " + write.address.Text() + " = " + NumberText(write.asked.value) +
                          " " + OutcomeText(outcome, result) + diagnosis);
        return ok;
    };
    return OnTheStations(line, printer, false, addresses, "not-written", writeOne);
}

} // namespace vfdahost
