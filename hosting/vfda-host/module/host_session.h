// One driver instance run the way a SCADA host runs it: open, init communication, register
// the tags, build the poll masks, start; then writes and station operations on request, and
// a stop at the end. Everything the module reports goes to the run's events.
#pragma once

#include "line_settings.h"
#include "module_session.h"
#include "parameter_reads.h"
#include "queued_writes.h"
#include "run_events.h"
#include "run_options.h"
#include "station_back_off.h"
#include "station_diagnosis.h"
#include "tag_file.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vfdahost {

class HostSession {
public:
    explicit HostSession(RunEvents& events);
    // Stops communication if it runs; the module is unloaded after that.
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Loads the module and opens the configuration; false with `error` set when either
    // fails (the module's own message is on the event log).
    bool Open(const std::string& configPath, std::string& error);
    // Reports every frame on the line from now on.
    void TraceFrames();
    // Takes a station the module declares lost off the line and visits it again on a
    // growing interval (see station_back_off.h). Before Start.
    void BackOffLostStations(BackOffLimits limits);
    // Does what the back-off asks now: called on every turn of the run.
    void AdvanceBackOff();
    // The line's settings and refresh time, from the configuration and the registered tags.
    LineSettings Settings(const std::vector<PortMapping>& ports) const;
    // True when the port opened and every station that was asked something answered.
    bool EveryStationAnswered() const;
    // DrvInitComm, reported as a "port" event (with why the port did not open; `ports`: the
    // --port mappings).
    int32_t InitComm(const std::vector<PortMapping>& ports = {});
    // Registers every tag in order and names them for the module's messages.
    void RegisterTags(std::vector<TagDefinition> tags);
    // Builds the poll masks and starts communication, then reads the parameter tags.
    void Start();

    // The commands of a run; each reports its outcome.
    // A write says "not sent" when communication is stopped, the station disabled or the
    // port not open: the module then drops it.
    void Write(const std::string& tagName, double value);
    void EnableStation(const std::string& station, int32_t flag);
    // One station's statistics, or every station's and then the instance's.
    void PrintStatistics(const std::optional<std::string>& station);
    void ResetStatistics(const std::optional<std::string>& station);
    void PrintInfo(const std::string& station);
    // Reads the parameter tag so named, or every parameter tag of the station so named; the
    // values come as value events, changed or not.
    void ReadParameters(const std::string& tagOrStation);
    // Moves the parameter reads on: called on every turn of the run.
    void AdvanceParameterReads();
    // A `read` asked for is still waiting or on the line.
    bool ParameterReadsPending() const { return !parameterReads_.Idle(); }
    // Waits for the queued writes to reach the line, then stops communication.
    void StopCommunication();
    void StartCommunication();
    // The end of a run: waits for the queued writes to reach the line (reporting those that
    // did not), stops communication (DrvStop) and prints the final statistics.
    void Finish();

    // A station's link status and counters, without reporting them.
    struct StationReport {
        int32_t status = -1;
        StationCounters counters;
    };
    StationReport Statistics(const std::string& station);

    // What a live view shows of a station.
    struct StationView {
        std::string name; // UTF-8
        int number = 0;
        int32_t status = -1;    // the module's link status: -1 disabled, 0 good, 1 failing
        bool lost = false;      // the module declared the link lost (message 14)
        bool backedOff = false; // taken off the line by --back-off
        StationDiagnosis diagnosis;
        std::vector<std::pair<std::string, std::optional<double>>> values; // tag, latest
    };
    // Every configured station, in the configuration's order.
    std::vector<StationView> Overview();

    // The last value delivered for a tag id, if any.
    std::optional<double> LatestValue(uint32_t tagId) const;
    const TagDefinition* FindTag(std::string_view name) const;
    // The configured station names (UTF-8), in the configuration's order.
    std::vector<std::string> StationNames() const;
    // Drops what the host libraries keep of the run, so a long run does not grow.
    void ForgetHistory() { module_.Host().Clear(); }

private:
    static void ReceiveFrame(void* context, LineDirection direction, const uint8_t* bytes,
                             size_t count);
    void ReceiveValue(const hostkit::TagValue& update);
    void ReceiveLog(const hostkit::EventLogLine& line);
    void TakeBackOffStep(const BackOffStep& step);
    // The CP949 form of a station name typed by the user; false (reported) when it has none.
    bool StationText(const std::string& utf8, std::string& cp949);
    bool KnownStation(const std::string& cp949) const;
    void PrintStationStatistics(const std::string& utf8, const std::string& cp949);
    // The name (CP949) the configuration gives the station named so, ignoring case.
    std::optional<std::string> ConfiguredName(const std::string& cp949) const;
    // The configured name (CP949) of the station a tag is bound to.
    std::string StationOfTag(const TagDefinition& tag) const;
    // Why a write to the tag would be dropped by the module; empty when it would not.
    std::string WhyNotSent(const std::string& station) const;
    int32_t WriteCounter(const std::string& station) const {
        return module_.CountersOf(station).writes;
    }
    QueuedWrites::CounterReader WriteCounters() const;
    // Waits, bounded, for the queued writes to reach the line; reports those that did not.
    void SendQueuedWrites();

    // The stations as the trace knows them: configured names with their numbers.
    std::vector<NamedStation> NumberedStations() const;
    void PrintHints();

    // The range read words C0-C2 of every station with a parameter tag, registered after the
    // tags (the module takes no registration once communication runs); their ids start at
    // kRangeWordIds, so their values are never shown.
    void RegisterRangeWords();
    std::vector<ParameterTag> ParameterTags(const std::string& stationCp949) const;
    bool WriteRangeWord(const std::string& station, int word, double value);
    // Requests started for each station that the schedule polls; a pass is done once each
    // has had as many more as its polled groups.
    std::map<std::string, int32_t> PolledRequests() const;
    bool PollPassDone() const;

    // Ids of the range read words the host registers for itself, far above the tag file's.
    static constexpr uint32_t kRangeWordIds = 0x40000000;
    // The longest wait between two parameter reads for the poll schedule's pass.
    static constexpr std::chrono::milliseconds kLongestPause{3000};

    RunEvents& events_;
    StationDiagnoses diagnoses_; // fed by the trace sink on the poll thread
    ModuleSession module_;
    std::atomic<bool> tracing_{false}; // the frames are printed too
    bool portOpen_ = false;
    bool running_ = false;
    std::set<std::string> disabledStations_; // configured names (CP949)
    QueuedWrites queuedWrites_;
    std::unique_ptr<StationBackOff> backOff_; // set before communication starts
    mutable std::mutex lostLock_;             // the module's threads report, the host thread reads
    std::set<std::string> lostStations_;      // configured names (CP949) declared lost

    std::vector<TagDefinition> tags_;   // index id - 1; fixed once communication starts
    std::vector<int32_t> handles_;      // the same order; -1 for a refused tag
    mutable std::mutex valuesLock_;     // the delivery thread records, the host thread reads
    std::map<uint32_t, double> latest_; // tag id -> last value

    ParameterReads parameterReads_;
    std::map<std::string, std::vector<int32_t>> rangeWords_; // station (CP949) -> C0-C2 handles
    std::map<std::string, int> pollGroups_;                  // station (CP949) -> groups polled
    std::map<std::string, int32_t> requestsAtPassStart_;
};

} // namespace vfdahost
