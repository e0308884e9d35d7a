// One driver instance opened for commissioning work on a few stations: their parameters
// read through the module's range read, queued whole and followed a chunk at a time, and
// single writes that count only
// once the drive has answered them. Everything goes through the module's entry table.
#pragma once

#include "module_session.h"
#include "run_options.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

class ParameterSession {
public:
    // Parameters a read follows at a time: its progress, and how many reads without a
    // single answer give up the rest.
    static constexpr int kChunk = 8;

    ParameterSession();
    ~ParameterSession();
    ParameterSession(const ParameterSession&) = delete;
    ParameterSession& operator=(const ParameterSession&) = delete;

    // Loads the module and opens the configuration; false with `error` set.
    bool Open(const std::string& configPath, std::string& error);
    const CVfdaDrvDoc& Document() const { return module_.Document(); }
    // The configured station of that name (UTF-8, case ignored), or null.
    const CStationInfo* FindStation(const std::string& utf8) const {
        return module_.FindStation(utf8);
    }
    // For work that only reads parameters (backup, compare), before Start: the status words
    // are not registered, so the line carries the reads and nothing else. ReadMonitor then
    // reads nothing and Write confirms nothing.
    void LeaveStatusUnpolled() { statusPolled_ = false; }
    // Registers every P, C and D word of the stations and starts communication; false with
    // `error` set when the port does not open (`mapped`: the --port mappings, for the reason).
    bool Start(const std::vector<const CStationInfo*>& stations,
               const std::vector<PortMapping>& mapped, std::string& error);

    // Called after each chunk of a read: how many of the parameters asked have been read.
    using ReadProgress = std::function<void(const CStationInfo& station, int done, int total)>;
    void SetReadProgress(ReadProgress progress) { readProgress_ = std::move(progress); }
    // Called before a line of the module's event log is printed (a progress bar erases itself).
    void SetBeforeLogLine(std::function<void()> before) { beforeLogLine_ = std::move(before); }
    // Prints the module's event-log lines that came since, on stderr as UTF-8 (standard
    // output stays the command's own, also with --json). The waits of the reads and writes
    // print them as they go.
    void PrintLog();

    // Parameters first .. first+count-1; nothing for one the drive did not return.
    std::vector<std::optional<double>> ReadParameters(const CStationInfo& station, int first,
                                                      int count);
    // A monitor word D0..D6, as the module polls it.
    std::optional<double> ReadMonitor(const CStationInfo& station, int number);
    // Writes P or D (letter 'P'/'D'); true once the drive has answered it without refusal.
    bool Write(const CStationInfo& station, char area, int number, double value);

private:
    uint32_t TagId(const CStationInfo& station, char area, int number) const;
    bool WriteWord(uint32_t tagId, double value);
    // Queues the module's range read of P first .. first+count-1, their old values forgotten.
    void QueueRangeRead(const CStationInfo& station, int first, int count);
    // Ends the requests still queued in the module (a range read no longer wanted).
    void DropQueuedRequests();
    // How many of P first .. end-1 have a value.
    int Arrived(const CStationInfo& station, int first, int end) const;
    void Forget(uint32_t tagId);
    std::optional<double> Value(uint32_t tagId) const;
    void ReceiveValue(const hostkit::TagValue& update);

    ModuleSession module_;
    bool statusPolled_ = true;
    std::vector<const CStationInfo*> stations_;
    ReadProgress readProgress_;
    std::function<void()> beforeLogLine_;
    mutable std::mutex logLock_;          // the module's threads log, the host's thread prints
    std::vector<std::string> logLines_;   // CP949
    std::map<uint32_t, int32_t> handles_; // tag id -> handle
    mutable std::mutex valuesLock_;       // the delivery thread records, the host reads
    std::map<uint32_t, double> values_;
};

} // namespace vfdahost
