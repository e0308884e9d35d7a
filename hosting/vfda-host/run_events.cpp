#include "run_events.h"

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

std::string HexBytes(const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        if (i != 0) {
            hex += ' ';
        }
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0x0F];
    }
    return hex;
}

} // namespace

void RunEvents::Value(const TagDefinition* tag, uint32_t id, double value) {
    JsonFields fields;
    fields.TextOrNull("tag", tag != nullptr ? std::optional<std::string>(tag->name) : std::nullopt)
        .Integer("id", id)
        .Number("value", value);
    printer_.Print("value", fields, "value  " + TagText(tag, id) + " = " + NumberText(value));
}

void RunEvents::Log(uint32_t flags, const std::string& cp949) {
    const std::string text = ToUtf8(cp949);
    JsonFields fields;
    fields.Integer("flags", flags).Text("text", text);
    printer_.Print("log", fields, "log    " + text);
}

void RunEvents::Frame(LineDirection direction, const uint8_t* bytes, size_t count) {
    const bool sent = direction == LineDirection::Sent;
    const std::string hex = HexBytes(bytes, count);
    JsonFields fields;
    fields.Text("direction", sent ? "sent" : "received").Text("hex", hex);
    printer_.Print("frame", fields, (sent ? "sent   " : "recv   ") + hex);
}

void RunEvents::Tag(const TagDefinition& tag, int32_t handle) {
    JsonFields fields;
    fields.Text("tag", tag.name)
        .Integer("id", tag.id)
        .Integer("handle", handle)
        .Text("device", tag.device)
        .Text("address", tag.address)
        .Text("type", tag.type == kDigitalTagType ? "digital" : "analog");
    const std::string where = TagText(&tag, tag.id) + " at " + tag.device + " " + tag.address;
    printer_.Print("tag", fields,
                   handle >= 0 ? "tag    " + where + ": handle " + HandleText(handle)
                               : "tag    " + where + ": refused by the module");
}

void RunEvents::PortOpened(int32_t result) {
    JsonFields fields;
    fields.Integer("result", result);
    printer_.Print("port", fields,
                   result == 0 ? "port   open"
                               : "port   not open (" + std::to_string(result) +
                                     "): the run goes on without the line");
}

void RunEvents::Stats(const std::optional<std::string>& station, int32_t status,
                      const StationCounters& counters) {
    JsonFields fields;
    fields.TextOrNull("station", station)
        .Integer("status", status)
        .Integer("reads", counters.reads)
        .Integer("read_failures", counters.readFailures)
        .Integer("writes", counters.writes)
        .Integer("write_failures", counters.writeFailures);
    const std::string who = station ? *station : "all stations";
    const char* state = station ? StationStatusText(status) : InstanceStatusText(status);
    printer_.Print("stats", fields,
                   "stats  " + who + ": " + state + " (" + std::to_string(status) + "), reads " +
                       std::to_string(counters.reads) + " (" +
                       std::to_string(counters.readFailures) + " failed), writes " +
                       std::to_string(counters.writes) + " (" +
                       std::to_string(counters.writeFailures) + " failed)");
}

void RunEvents::NoStationStats(const std::string& station, int32_t status) {
    JsonFields fields;
    fields.Text("station", station)
        .Integer("status", status)
        .Null("reads")
        .Null("read_failures")
        .Null("writes")
        .Null("write_failures");
    printer_.Print("stats", fields, "stats  " + station + ": no such station");
}

void RunEvents::Info(const std::string& station, const std::optional<std::string>& number,
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

void RunEvents::Result(const std::string& command, const JsonFields& fields,
                       const std::string& what, int32_t result) {
    JsonFields all;
    all.Text("command", command).Append(fields).Integer("result", result);
    const std::string outcome = result == 0 ? "" : " (result " + std::to_string(result) + ")";
    printer_.Print("result", all, Label(command) + what + outcome);
}

void RunEvents::Error(const std::string& text) {
    JsonFields fields;
    fields.Text("text", text);
    printer_.Print("error", fields, "error  " + text);
}

void RunEvents::WritesNotSent(int32_t count) {
    const std::string text =
        std::to_string(count) + (count == 1 ? " write" : " writes") + " not sent before the stop";
    JsonFields fields;
    fields.Text("text", text).Integer("writes_not_sent", count);
    printer_.Print("error", fields, "error  " + text);
}

void RunEvents::Note(const std::string& text) {
    JsonFields fields;
    fields.Text("text", text);
    printer_.Print("note", fields, "-----  " + text);
}

void RunEvents::End(const std::string& reason) {
    JsonFields fields;
    fields.Text("reason", reason);
    printer_.Print("end", fields, "end    " + reason);
}

} // namespace vfdahost
