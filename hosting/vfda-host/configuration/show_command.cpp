// vfda-host show CONFIG [--json]: opens CONFIG through the module as a host would, then
// prints its serial settings and stations.
#include "cli/arguments.h"
#include "comm/line_rates.h"
#include "commands.h"
#include "config/vfda_drv_doc.h"
#include "console_output.h"
#include "message_meaning.h"
#include "module_session.h"
#include "text_output.h"

#include <cstdio>
#include <string>

namespace vfdahost {
namespace {

std::string PortName(int32_t portIndex) {
    return "COM" + std::to_string(portIndex + 1);
}

// The rate the line runs at; an index the editor does not offer says so.
std::string BaudText(int32_t baudIndex) {
    const std::string rate = std::to_string(comm::LineBaudRate(baudIndex));
    return comm::IsOfferedBaudIndex(baudIndex)
               ? rate
               : rate + " (the file holds baud index " + std::to_string(baudIndex) +
                     ", which the editor does not offer; the line runs at " + rate + ")";
}

void PrintJson(const CVfdaDrvDoc& document) {
    const CSerialPort& port = document.SerialPort();
    std::string json = "{\"port\":" + JsonString(PortName(port.m_portIndex)) +
                       ",\"baud\":" + std::to_string(comm::LineBaudRate(port.m_baudIndex)) +
                       ",\"baud_index\":" + std::to_string(port.m_baudIndex) +
                       ",\"parity\":" + std::to_string(port.m_parityIndex) +
                       ",\"data_bits\":" + std::to_string(port.m_dataBitsIndex) +
                       ",\"stop_bits\":" + std::to_string(port.m_stopBitsIndex) +
                       ",\"options\":" + std::to_string(port.m_options) + ",\"stations\":[";
    const char* separator = "";
    for (const CStationInfo* station : document.Stations()) {
        json += separator;
        json += "{\"name\":" + JsonString(ToUtf8(station->m_name)) +
                ",\"description\":" + JsonString(ToUtf8(station->m_description)) +
                ",\"model\":" + std::to_string(station->m_modelIndex) +
                ",\"number\":" + std::to_string(station->m_stationNumber) + "}";
        separator = ",";
    }
    json += "]}";
    OutputFormatted(stdout, "%s\n", json.c_str());
}

const char* Choice(int32_t index, std::initializer_list<const char*> names) {
    if (index < 0 || static_cast<size_t>(index) >= names.size()) {
        return "unknown";
    }
    return names.begin()[index];
}

void PrintText(const CVfdaDrvDoc& document) {
    const CSerialPort& port = document.SerialPort();
    OutputFormatted(stdout, "port       %s\n", PortName(port.m_portIndex).c_str());
    OutputFormatted(stdout, "baud       %s\n", BaudText(port.m_baudIndex).c_str());
    OutputFormatted(stdout, "parity     %d (%s)\n", port.m_parityIndex,
                    Choice(port.m_parityIndex, {"none", "even", "odd"}));
    OutputFormatted(stdout, "data bits  %d (%s)\n", port.m_dataBitsIndex,
                    Choice(port.m_dataBitsIndex, {"7 bits", "8 bits"}));
    OutputFormatted(stdout, "stop bits  %d (%s)\n", port.m_stopBitsIndex,
                    Choice(port.m_stopBitsIndex, {"1 stop bit", "2 stop bits"}));
    OutputFormatted(stdout, "options    %d (checksum %s, RTS/CTS %s)\n", port.m_options,
                    (port.m_options & CSerialPort::kOptionChecksum) != 0 ? "on" : "off",
                    (port.m_options & CSerialPort::kOptionRtsCts) != 0 ? "on" : "off");
    OutputFormatted(stdout, "stations   %zu\n", document.Stations().size());
    for (const CStationInfo* station : document.Stations()) {
        OutputFormatted(stdout, "  %s  model %d\n",
                        TextForPeople(ToUtf8(station->FormatDisplayText())).c_str(),
                        station->m_modelIndex);
    }
}

// One name a line, as UTF-8, for scripts and the shell's completion.
void PrintNames(const CVfdaDrvDoc& document) {
    for (const CStationInfo* station : document.Stations()) {
        OutputFormatted(stdout, "%s\n", TextForPeople(ToUtf8(station->m_name)).c_str());
    }
}

} // namespace

int ShowCommand(const std::vector<std::string>& words) {
    const cli::Arguments arguments(words, HostCommand("show"));
    if (!arguments.Ok() || arguments.Positional().size() != 1) {
        const std::string error =
            arguments.Ok() ? "show takes one configuration file" : arguments.Error();
        OutputFormatted(stderr, "vfda-host: %s\n%s", error.c_str(), HostUsage("show").c_str());
        return kExitRefused;
    }
    const std::string& path = arguments.Positional()[0];

    ModuleSession session;
    session.Host().onEventLog = [](const hostkit::EventLogLine& line) {
        OutputFormatted(stderr, "%s\n", TextForPeople(ShownMessage(line.text)).c_str());
    };
    const ModuleSession::Opened opened = session.Open(path);
    if (opened == ModuleSession::Opened::Refused && session.Host().HasEventLog()) {
        return kExitFailed; // the module's message 5 said why
    }
    if (opened != ModuleSession::Opened::Yes) {
        const bool unsaid = opened == ModuleSession::Opened::Refused;
        OutputFormatted(stderr, "vfda-host: %s%s\n",
                        ModuleSession::WhyNotOpened(opened, path).c_str(),
                        unsaid ? " (no event log to say more)" : "");
        return kExitFailed;
    }
    const CVfdaDrvDoc& document = session.Document();
    if (arguments.Has("--names")) {
        PrintNames(document);
    } else if (arguments.Has("--json")) {
        PrintJson(document);
    } else {
        PrintText(document);
    }
    return kExitOk;
}

} // namespace vfdahost
