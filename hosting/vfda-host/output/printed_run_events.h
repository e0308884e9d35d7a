// The printed kind of a run's events: one line an event on standard output, as JSON objects
// or as text for people (the printer's form). The JSON names and fields are a contract that
// scripts rely on: fields may be added, never renamed.
#pragma once

#include "event_printer.h"
#include "run_events.h"

namespace vfdahost {

class PrintedRunEvents final : public RunEvents {
public:
    explicit PrintedRunEvents(EventPrinter& printer) : printer_(printer) {}
    // Leaves out the set-up lines: tags registered, the module's state changes.
    void BeQuiet() { quiet_ = true; }

    void Value(const TagDefinition* tag, uint32_t id, double value) override;
    void Log(uint32_t flags, const std::string& cp949) override;
    void Frame(LineDirection direction, const uint8_t* bytes, size_t count) override;
    void Tag(const TagDefinition& tag, int32_t handle) override;
    void PortOpened(int32_t result, const std::string& why = "") override;
    void Stats(const std::optional<std::string>& station, int32_t status,
               const StationCounters& counters,
               const StationDiagnosis* diagnosis = nullptr) override;
    void Settings(const LineSettings& settings) override;
    void HintLine(const Hint& hint) override;
    void NoStationStats(const std::string& station, int32_t status) override;
    void Info(const std::string& station, const std::optional<std::string>& number,
              const std::optional<std::string>& description) override;
    void Result(const std::string& command, const JsonFields& fields, const std::string& what,
                int32_t result) override;
    void Error(const std::string& text) override;
    void WritesNotSent(int32_t count) override;
    void BackOff(BackOffNews news, const std::string& station,
                 const BackOffFigures& figures) override;
    void Note(const std::string& text) override;
    void End(const std::string& reason) override;

private:
    EventPrinter& printer_;
    bool quiet_ = false;
};

} // namespace vfdahost
