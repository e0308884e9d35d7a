// The events of a run as vfda-host reports them. The JSON names and fields are a contract
// that scripts rely on: fields may be added, never renamed.
#pragma once

#include "event_printer.h"
#include "line_settings.h"
#include "station_counters.h"
#include "station_diagnosis.h"
#include "tag_file.h"
#include "toolkit/line_trace.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vfdahost {

class RunEvents {
public:
    explicit RunEvents(EventPrinter& printer) : printer_(printer) {}
    // Leaves out the set-up lines: tags registered, the module's state changes.
    void BeQuiet() { quiet_ = true; }

    // A value change; `tag` is null for an id the tag file does not have.
    void Value(const TagDefinition* tag, uint32_t id, double value);
    // An event-log line of the module (CP949).
    void Log(uint32_t flags, const std::string& cp949);
    void Frame(LineDirection direction, const uint8_t* bytes, size_t count);
    // A registration: the handle, or -1 when the module refused the tag.
    void Tag(const TagDefinition& tag, int32_t handle);
    // The result of opening the configuration's COM port.
    // `why`: the port's failure for people, when it did not open.
    void PortOpened(int32_t result, const std::string& why = "");
    // Statistics of one station (UTF-8 name), or of the whole instance without one.
    // A station's statistics also carry what the line trace says about it (`diagnosis`).
    void Stats(const std::optional<std::string>& station, int32_t status,
               const StationCounters& counters, const StationDiagnosis* diagnosis = nullptr);
    // The settings of the line, once at the start.
    void Settings(const LineSettings& settings);
    // What to check for a trouble the statistics make clear.
    void HintLine(const Hint& hint);
    // Statistics asked for a station the configuration does not have: the counters are
    // null, since the module filled in nothing.
    void NoStationStats(const std::string& station, int32_t status);
    // A station's number and description; both absent when no station has the name.
    void Info(const std::string& station, const std::optional<std::string>& number,
              const std::optional<std::string>& description);
    // What a command did: `fields` name its object (tag, station...), `what` says it in text.
    void Result(const std::string& command, const JsonFields& fields, const std::string& what,
                int32_t result);
    void Error(const std::string& text);
    // Writes still queued when communication stopped, which never reached the line: an
    // error with the count in "writes_not_sent".
    void WritesNotSent(int32_t count);
    // A remark for the reader (the demo's narration), also as {"event":"note"}.
    void Note(const std::string& text);
    // The run ends: "quit", "end of input", "seconds" or "interrupt".
    void End(const std::string& reason);

private:
    EventPrinter& printer_;
    bool quiet_ = false;
};

} // namespace vfdahost
