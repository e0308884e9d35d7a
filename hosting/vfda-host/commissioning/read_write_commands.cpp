// vfda-host read and write: one station's words, once, without a tag file.
#include "commands.h"
#include "console_output.h"
#include "interrupt.h"
#include "line_watch.h"
#include "parameter_commands.h"
#include "text_output.h"

#include <cstdio>
#include <functional>

namespace vfdahost {
namespace {

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

// The session started on the command line's CONFIG and STATION; `station` stays null when
// that fails, and the exit code says why.
// What one step did: true when it did what was asked.
using Step =
    std::function<bool(ParameterSession& session, const CStationInfo& station, size_t index)>;

// Both commands work on the station named after the configuration, its status polled, one
// address a step. A signal ends the work before the next step, naming the addresses left
// (`undone`: "not-read" or "not-written"). kExitOk, kExitNotDone when a step failed, or the
// exit code of the start or of the signal.
int OnTheStation(const ParameterCommandLine& line, EventPrinter& printer,
                 const std::vector<WordAddress>& addresses, const char* undone, const Step& step) {
    StationWork work;
    int exitCode = StartStationWork(line, {line.positional[1]}, Polling::StatusWords, work);
    if (exitCode != kExitOk) {
        return exitCode;
    }
    const std::string& name = line.positional[1];
    for (size_t i = 0; i < addresses.size(); ++i) {
        if (Interrupted()) {
            std::vector<std::string> left;
            for (size_t rest = i; rest < addresses.size(); ++rest) {
                left.push_back(addresses[rest].Text());
            }
            return EndInterrupted(printer, name, undone, left);
        }
        exitCode = step(work.session, *work.stations[0], i) ? exitCode : kExitNotDone;
    }
    return Interrupted() ? EndInterrupted(printer, name, undone, {}) : exitCode;
}

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
        const std::optional<WordAddress> address = ParseWordAddress(line.positional[i]);
        if (!address) {
            OutputFormatted(stderr, "vfda-host: %s is not P0..P80 or D0..D6\n%s",
                            TextForPeople(line.positional[i]).c_str(), HostUsage("read").c_str());
            return kExitRefused;
        }
        addresses.push_back(*address);
    }
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text, line.stamps);
    const std::string& name = line.positional[1];
    const auto read = [&](ParameterSession& session, const CStationInfo& station, size_t i) {
        const WordAddress& address = addresses[i];
        const std::optional<double> value =
            address.area == 'P' ? session.ReadParameters(station, address.number, 1)[0]
                                : session.ReadMonitor(station, address.number);
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
    return OnTheStation(line, printer, addresses, "not-read", read);
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
    const std::string& name = line.positional[1];
    std::vector<WordAddress> addresses;
    for (const WordWrite& write : writes) {
        addresses.push_back(write.address);
    }
    const auto writeOne = [&](ParameterSession& session, const CStationInfo& station, size_t i) {
        const WordWrite& write = writes[i];
        const WriteResult result = WriteAndReadBack(session, station, write);
        const char* outcome = Outcome(write, result);
        const bool ok = std::string(outcome) == "written" || std::string(outcome) == "sent";
        JsonFields fields;
        fields.Text("station", name).Text("address", write.address.Text());
        if (result.readBack) {
            NumberOrNull(fields, "value", result.valueAfter);
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
    return OnTheStation(line, printer, addresses, "not-written", writeOne);
}

} // namespace vfdahost
