#include "printed_run_events.h"

#include "diagnosis_fields.h"
#include "host_link/message_log.h"
#include "message_meaning.h"
#include "message_number.h"
#include "text_output.h"

namespace vfdahost {
namespace {

// A command name padded to the width of the other events' labels ("value  ").
std::string Label(const std::string& command) {
    constexpr size_t kWidth = 7;
    return command + std::string(command.size() < kWidth ? kWidth - command.size() : 1, ' ');
}

std::string TagText(const TagDefinition* tag, uint32_t id) {
    const std::string number = "(" + std::to_string(id) + ")";
    return tag != nullptr ? tag->name + " " + number : "tag " + number;
}

std::string HandleText(int32_t handle) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(handle));
    return text;
}

const char* StationStatusText(int32_t status) {
    switch (status) {
    case -1:
        return "disabled";
    case 0:
        return "link good";
    default:
        return "last transaction failed";
    }
}

const char* InstanceStatusText(int32_t status) {
    switch (status) {
    case -1:
        return "not running or no station enabled";
    case 0:
        return "running, all links good";
    default:
        return "a station is failing (or the port is not open)";
    }
}

} // namespace

void PrintedRunEvents::Settings(const LineSettings& settings) {
    std::string stations;
    std::string names;
    for (const StationSettings& station : settings.stations) {
        const std::string number = StationNumberText(station.number);
        stations += (stations.empty() ? "" : ", ") + station.name + " (" + number + ")";
        names += (names.empty() ? "" : ",") + station.name + "=" + std::to_string(station.number);
    }
    JsonFields fields;
    fields.Text("port", settings.port)
        .TextOrNull("device", settings.device)
        .Integer("baud", settings.baud)
        .Text("framing", settings.framing)
        .Text("rts_cts", settings.rtsCts ? "on" : "off")
        .Integer("station_count", static_cast<long long>(settings.stations.size()))
        .Text("stations", names)
        .Integer("refresh_ms", settings.refreshMs);
    printer_.Print("settings", fields,
                   "line   " + settings.port + " (" + settings.device.value_or("system port") +
                       "), " + std::to_string(settings.baud) + " baud " + settings.framing +
                       ", RTS/CTS " + (settings.rtsCts ? "on" : "off") + ", stations " +
                       (stations.empty() ? "none" : stations) + ", values refresh every " +
                       std::to_string(settings.refreshMs) + " ms");
}

void PrintedRunEvents::HintLine(const Hint& hint) {
    JsonFields fields;
    fields.TextOrNull("station", hint.station).Text("text", hint.text);
    printer_.Print("hint", fields, "hint   " + hint.text);
}

void PrintedRunEvents::Value(const TagDefinition* tag, uint32_t id, double value) {
    JsonFields fields;
    fields.TextOrNull("tag", tag != nullptr ? std::optional<std::string>(tag->name) : std::nullopt)
        .Integer("id", id)
        .Number("value", value);
    printer_.Print("value", fields, "value  " + TagText(tag, id) + " = " + NumberText(value));
}

void PrintedRunEvents::Log(uint32_t flags, const std::string& cp949) {
    const std::optional<int> number = MessageNumber(cp949);
    if (quiet_ && number && flags == driver::kStateChange) {
        return;
    }
    JsonFields fields;
    fields.Integer("flags", flags).Text("text", ToUtf8(cp949));
    if (number) {
        fields.Integer("number", *number).Text("meaning", EnglishMeaning(cp949).value_or(""));
    }
    printer_.Print("log", fields, "log    " + ShownMessage(cp949));
}

void PrintedRunEvents::Frame(LineDirection direction, const uint8_t* bytes, size_t count) {
    const bool sent = direction == LineDirection::Sent;
    const bool skipped = direction == LineDirection::Skipped;
    const std::string hex = HexBytes(bytes, count);
    JsonFields fields;
    fields.Text("direction", sent ? "sent" : skipped ? "skipped" : "received").Text("hex", hex);
    printer_.Print("frame", fields, (sent ? "sent   " : skipped ? "skip   " : "recv   ") + hex);
}

void PrintedRunEvents::Tag(const TagDefinition& tag, int32_t handle) {
    JsonFields fields;
    fields.Text("tag", tag.name)
        .Integer("id", tag.id)
        .Integer("handle", handle)
        .Text("device", tag.device)
        .Text("address", tag.address)
        .Text("type", tag.type == kDigitalTagType ? "digital" : "analog");
    if (quiet_ && handle >= 0) {
        return;
    }
    const std::string where = TagText(&tag, tag.id) + " at " + tag.device + " " + tag.address;
    printer_.Print("tag", fields,
                   handle >= 0 ? "tag    " + where + ": handle " + HandleText(handle)
                               : "tag    " + where + ": refused by the module");
}

void PrintedRunEvents::PortOpened(int32_t result, const std::string& why) {
    JsonFields fields;
    fields.Integer("result", result);
    if (!why.empty()) {
        fields.Text("error", why);
    }
    printer_.Print("port", fields,
                   result == 0 ? "port   open"
                               : "port   not open (" + std::to_string(result) +
                                     "): " + (why.empty() ? "" : why + "; ") +
                                     "the run goes on without the line");
}

void PrintedRunEvents::Stats(const std::optional<std::string>& station, int32_t status,
                             const StationCounters& counters, const StationDiagnosis* diagnosis) {
    JsonFields fields;
    fields.TextOrNull("station", station)
        .Integer("status", status)
        .Integer("reads", counters.reads)
        .Integer("read_failures", counters.readFailures)
        .Integer("writes", counters.writes)
        .Integer("write_failures", counters.writeFailures);
    const std::string who = station ? *station : "all stations";
    const char* state = station ? StationStatusText(status) : InstanceStatusText(status);
    std::string text = "stats  " + who + ": " + state + " (" + std::to_string(status) +
                       "), reads " + std::to_string(counters.reads) + " (" +
                       std::to_string(counters.readFailures) + " failed), writes " +
                       std::to_string(counters.writes) + " (" +
                       std::to_string(counters.writeFailures) + " failed)";
    if (diagnosis != nullptr) {
        AddDiagnosis(*diagnosis, fields, text);
    }
    printer_.Print("stats", fields, text);
}

void PrintedRunEvents::NoStationStats(const std::string& station, int32_t status) {
    JsonFields fields;
    fields.Text("station", station)
        .Integer("status", status)
        .Null("reads")
        .Null("read_failures")
        .Null("writes")
        .Null("write_failures");
    printer_.Print("stats", fields, "stats  " + station + ": no such station");
}

void PrintedRunEvents::Info(const std::string& station, const std::optional<std::string>& number,
                            const std::optional<std::string>& description) {
    JsonFields fields;
    fields.Text("station", station)
        .TextOrNull("number", number)
        .TextOrNull("description", description);
    printer_.Print("info", fields,
                   number ? "info   " + station + ": number " + *number + ", description \"" +
                                description.value_or("") + "\""
                          : "info   " + station + ": no such station");
}

void PrintedRunEvents::Result(const std::string& command, const JsonFields& fields,
                              const std::string& what, int32_t result) {
    JsonFields all;
    all.Text("command", command).Append(fields).Integer("result", result);
    const std::string outcome = result == 0 ? "" : " (result " + std::to_string(result) + ")";
    printer_.Print("result", all, Label(command) + what + outcome);
}

void PrintedRunEvents::Error(const std::string& text) {
    JsonFields fields;
    fields.Text("text", text);
    printer_.Print("error", fields, "error  " + text);
}

void PrintedRunEvents::WritesNotSent(int32_t count) {
    const std::string text =
        std::to_string(count) + (count == 1 ? " write" : " writes") + " not sent before the stop";
    JsonFields fields;
    fields.Text("text", text).Integer("writes_not_sent", count);
    printer_.Print("error", fields, "error  " + text);
}

void PrintedRunEvents::BackOff(BackOffNews news, const std::string& station,
                               const BackOffFigures& figures) {
    const auto seconds = [](std::chrono::milliseconds wait) {
        return NumberText(static_cast<double>(wait.count()) / 1000.0);
    };
    std::optional<double> nextVisit;
    if (figures.nextVisitIn) {
        nextVisit = static_cast<double>(figures.nextVisitIn->count()) / 1000.0;
    }
    JsonFields fields;
    fields.Text("station", station)
        .Boolean("backed_off", figures.backedOff)
        .NumberOrNull("next_visit_s", nextVisit)
        .Integer("back_offs", figures.backOffs)
        .Integer("visits", figures.visits)
        .Integer("restored", figures.restored);
    const std::string counts = std::to_string(figures.backOffs) + " back-offs, " +
                               std::to_string(figures.visits) + " visits, " +
                               std::to_string(figures.restored) + " restored";
    switch (news) {
    case BackOffNews::BackedOff:
        printer_.Print("backed-off", fields,
                       "link   " + station + " taken off the line; next visit in " +
                           (figures.nextVisitIn ? seconds(*figures.nextVisitIn) : "?") + " s (" +
                           counts + ")");
        return;
    case BackOffNews::Restored:
        printer_.Print("restored", fields,
                       "link   " + station + " answers again: polled as before (" + counts + ")");
        return;
    case BackOffNews::Figures:
        printer_.Print("back-off", fields,
                       "stats  " + station + ": " +
                           (figures.backedOff
                                ? "backed off" + (figures.nextVisitIn
                                                      ? ", next visit in " +
                                                            seconds(*figures.nextVisitIn) + " s"
                                                      : std::string(", on a visit"))
                                : std::string("on the line")) +
                           "; " + counts);
        return;
    }
}

void PrintedRunEvents::Note(const std::string& text) {
    JsonFields fields;
    fields.Text("text", text);
    printer_.Print("note", fields, "-----  " + text);
}

void PrintedRunEvents::End(const std::string& reason) {
    JsonFields fields;
    fields.Text("reason", reason);
    printer_.Print("end", fields, "end    " + reason);
}

} // namespace vfdahost
