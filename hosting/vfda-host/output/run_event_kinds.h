// Two helpers for kinds of a run's events: a base that takes no event (a kind overrides the
// ones it shows), and a fan-out that hands every event to several kinds in turn.
#pragma once

#include "run_events.h"

#include <vector>

namespace vfdahost {

class IgnoringRunEvents : public RunEvents {
public:
    void Value(const TagDefinition*, uint32_t, double) override {}
    void Log(uint32_t, const std::string&) override {}
    void Frame(LineDirection, const uint8_t*, size_t) override {}
    void Tag(const TagDefinition&, int32_t) override {}
    void PortOpened(int32_t, const std::string&) override {}
    void Stats(const std::optional<std::string>&, int32_t, const StationCounters&,
               const StationDiagnosis*) override {}
    void Settings(const LineSettings&) override {}
    void HintLine(const Hint&) override {}
    void NoStationStats(const std::string&, int32_t) override {}
    void Info(const std::string&, const std::optional<std::string>&,
              const std::optional<std::string>&) override {}
    void Result(const std::string&, const JsonFields&, const std::string&, int32_t) override {}
    void Error(const std::string&) override {}
    void WritesNotSent(int32_t) override {}
    void BackOff(BackOffNews, const std::string&, const BackOffFigures&) override {}
    void Note(const std::string&) override {}
    void End(const std::string&) override {}
};

class RunEventFanOut final : public RunEvents {
public:
    // The kinds, in the order each event reaches them; they outlive the fan-out.
    explicit RunEventFanOut(std::vector<RunEvents*> kinds) : kinds_(std::move(kinds)) {}

    void Value(const TagDefinition* tag, uint32_t id, double value) override {
        Each([&](RunEvents& kind) { kind.Value(tag, id, value); });
    }
    void Log(uint32_t flags, const std::string& cp949) override {
        Each([&](RunEvents& kind) { kind.Log(flags, cp949); });
    }
    void Frame(LineDirection direction, const uint8_t* bytes, size_t count) override {
        Each([&](RunEvents& kind) { kind.Frame(direction, bytes, count); });
    }
    void Tag(const TagDefinition& tag, int32_t handle) override {
        Each([&](RunEvents& kind) { kind.Tag(tag, handle); });
    }
    void PortOpened(int32_t result, const std::string& why) override {
        Each([&](RunEvents& kind) { kind.PortOpened(result, why); });
    }
    void Stats(const std::optional<std::string>& station, int32_t status,
               const StationCounters& counters, const StationDiagnosis* diagnosis) override {
        Each([&](RunEvents& kind) { kind.Stats(station, status, counters, diagnosis); });
    }
    void Settings(const LineSettings& settings) override {
        Each([&](RunEvents& kind) { kind.Settings(settings); });
    }
    void HintLine(const Hint& hint) override {
        Each([&](RunEvents& kind) { kind.HintLine(hint); });
    }
    void NoStationStats(const std::string& station, int32_t status) override {
        Each([&](RunEvents& kind) { kind.NoStationStats(station, status); });
    }
    void Info(const std::string& station, const std::optional<std::string>& number,
              const std::optional<std::string>& description) override {
        Each([&](RunEvents& kind) { kind.Info(station, number, description); });
    }
    void Result(const std::string& command, const JsonFields& fields, const std::string& what,
                int32_t result) override {
        Each([&](RunEvents& kind) { kind.Result(command, fields, what, result); });
    }
    void Error(const std::string& text) override {
        Each([&](RunEvents& kind) { kind.Error(text); });
    }
    void WritesNotSent(int32_t count) override {
        Each([&](RunEvents& kind) { kind.WritesNotSent(count); });
    }
    void BackOff(BackOffNews news, const std::string& station,
                 const BackOffFigures& figures) override {
        Each([&](RunEvents& kind) { kind.BackOff(news, station, figures); });
    }
    void Note(const std::string& text) override {
        Each([&](RunEvents& kind) { kind.Note(text); });
    }
    void End(const std::string& reason) override {
        Each([&](RunEvents& kind) { kind.End(reason); });
    }

private:
    template <typename Call> void Each(const Call& call) {
        for (RunEvents* kind : kinds_) {
            call(*kind);
        }
    }

    std::vector<RunEvents*> kinds_;
};

} // namespace vfdahost
