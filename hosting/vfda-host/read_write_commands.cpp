// vfda-host read and write: one station's words, once, without a tag file.
#include "commands.h"
#include "parameter_commands.h"
#include "text_output.h"

#include <cstdio>
#include <cstdlib>

namespace vfdahost {
namespace {

const char* const kReadUsage =
    "usage: vfda-host read CONFIG STATION ADDRESS... [--port COMn=PATH]... [--json]\n";
const char* const kWriteUsage =
    "usage: vfda-host write CONFIG STATION ADDRESS=VALUE... [--port COMn=PATH]... [--json]\n";

struct WordWrite {
    WordAddress address;
    double value = 0;
};

// P0..P80, D0 and D3 take writes; the other D words are the drive's own.
bool ParseWordWrite(const std::string& text, WordWrite& write) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    const std::optional<WordAddress> address = ParseWordAddress(text.substr(0, equals));
    const std::string value = text.substr(equals + 1);
    char* end = nullptr;
    write.value = std::strtod(value.c_str(), &end);
    if (!address || value.empty() || *end != '\0' ||
        (address->area == 'D' && address->number != 0 && address->number != 3)) {
        return false;
    }
    write.address = *address;
    return true;
}

// The session started on the command line's CONFIG and STATION; `station` stays null when
// that fails, and the exit code says why.
int OpenOnStation(const ParameterCommandLine& line, PortFolder& ports, ParameterSession& session,
                  const CStationInfo*& station) {
    std::vector<const CStationInfo*> stations;
    const int exitCode =
        StartOnStations(line, line.positional[0], {line.positional[1]}, ports, session, stations);
    station = exitCode == kExitOk ? stations[0] : nullptr;
    return exitCode;
}

} // namespace

int ReadCommand(const std::vector<std::string>& words) {
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, kReadUsage, 3, line)) {
        return kExitRefused;
    }
    std::vector<WordAddress> addresses;
    for (size_t i = 2; i < line.positional.size(); ++i) {
        const std::optional<WordAddress> address = ParseWordAddress(line.positional[i]);
        if (!address) {
            std::fprintf(stderr, "vfda-host: %s is not P0..P80 or D0..D6\n%s",
                         line.positional[i].c_str(), kReadUsage);
            return kExitRefused;
        }
        addresses.push_back(*address);
    }
    PortFolder ports;
    ParameterSession session;
    const CStationInfo* station = nullptr;
    int exitCode = OpenOnStation(line, ports, session, station);
    if (station == nullptr) {
        return exitCode;
    }
    const std::string& name = line.positional[1];
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text);
    for (const WordAddress& address : addresses) {
        const std::optional<double> value =
            address.area == 'P' ? session.ReadParameters(*station, address.number, 1)[0]
                                : session.ReadMonitor(*station, address.number);
        JsonFields fields;
        fields.Text("station", name).Text("address", address.Text());
        if (value) {
            fields.Number("value", *value);
            printer.Print("value", fields,
                          name + " " + address.Text() + " = " + NumberText(*value));
        } else {
            fields.Null("value").Text("error", "not read");
            printer.Print("value", fields, name + " " + address.Text() + ": not read");
            exitCode = kExitDrivesFailed;
        }
    }
    return exitCode;
}

int WriteCommand(const std::vector<std::string>& words) {
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, kWriteUsage, 3, line)) {
        return kExitRefused;
    }
    std::vector<WordWrite> writes;
    for (size_t i = 2; i < line.positional.size(); ++i) {
        WordWrite write;
        if (!ParseWordWrite(line.positional[i], write)) {
            std::fprintf(stderr, "vfda-host: %s is not Pn=VALUE, D0=VALUE or D3=VALUE\n%s",
                         line.positional[i].c_str(), kWriteUsage);
            return kExitRefused;
        }
        writes.push_back(write);
    }
    PortFolder ports;
    ParameterSession session;
    const CStationInfo* station = nullptr;
    int exitCode = OpenOnStation(line, ports, session, station);
    if (station == nullptr) {
        return exitCode;
    }
    const std::string& name = line.positional[1];
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text);
    for (const WordWrite& write : writes) {
        const bool ok =
            session.Write(*station, write.address.area, write.address.number, write.value);
        JsonFields fields;
        fields.Text("station", name)
            .Text("address", write.address.Text())
            .Number("value", write.value)
            .Boolean("ok", ok);
        printer.Print("written", fields,
                      name + " " + write.address.Text() + " = " + NumberText(write.value) +
                          (ok ? " written" : " not accepted"));
        exitCode = ok ? exitCode : kExitDrivesFailed;
    }
    return exitCode;
}

} // namespace vfdahost
