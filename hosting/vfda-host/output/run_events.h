// The events of a run: what the module and the host report, as typed events sent to a sink.
// The run knows only this interface; each kind of sink shows the events its own way
// (printed_run_events.h prints them as text or JSON lines; a live table or a log file is
// another kind). Sinks are called from the module's threads and from the host's own.
#pragma once

#include "json_fields.h"
#include "line_settings.h"
#include "station_back_off.h"
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
    virtual ~RunEvents() = default;
    // A value change; `tag` is null for an id the tag file does not have.
    virtual void Value(const TagDefinition* tag, uint32_t id, double value) = 0;
    // An event-log line of the module (CP949).
    virtual void Log(uint32_t flags, const std::string& cp949) = 0;
    virtual void Frame(LineDirection direction, const uint8_t* bytes, size_t count) = 0;
    // A registration: the handle, or -1 when the module refused the tag.
    virtual void Tag(const TagDefinition& tag, int32_t handle) = 0;
    // The result of opening the configuration's COM port.
    // `why`: the port's failure for people, when it did not open.
    virtual void PortOpened(int32_t result, const std::string& why = "") = 0;
    // Statistics of one station (UTF-8 name), or of the whole instance without one.
    // A station's statistics also carry what the line trace says about it (`diagnosis`).
    virtual void Stats(const std::optional<std::string>& station, int32_t status,
                       const StationCounters& counters,
                       const StationDiagnosis* diagnosis = nullptr) = 0;
    // The settings of the line, once at the start.
    virtual void Settings(const LineSettings& settings) = 0;
    // What to check for a trouble the statistics make clear.
    virtual void HintLine(const Hint& hint) = 0;
    // Statistics asked for a station the configuration does not have: the counters are
    // null, since the module filled in nothing.
    virtual void NoStationStats(const std::string& station, int32_t status) = 0;
    // A station's number and description; both absent when no station has the name.
    virtual void Info(const std::string& station, const std::optional<std::string>& number,
                      const std::optional<std::string>& description) = 0;
    // What a command did: `fields` name its object (tag, station...), `what` says it in text.
    virtual void Result(const std::string& command, const JsonFields& fields,
                        const std::string& what, int32_t result) = 0;
    virtual void Error(const std::string& text) = 0;
    // Writes still queued when communication stopped, which never reached the line: an
    // error with the count in "writes_not_sent".
    virtual void WritesNotSent(int32_t count) = 0;
    // The host's back-off took a station off the line (BackedOff, with the wait until its
    // next visit), had it answer again (Restored), or is asked for its figures (Figures).
    enum class BackOffNews { BackedOff, Restored, Figures };
    virtual void BackOff(BackOffNews news, const std::string& station,
                         const BackOffFigures& figures) = 0;
    // A remark for the reader (the demo's narration), also as {"event":"note"}.
    virtual void Note(const std::string& text) = 0;
    // The run ends: "quit", "end of input", "seconds" or "interrupt".
    virtual void End(const std::string& reason) = 0;
};

} // namespace vfdahost
