#include "parameter_session.h"

#include "comm/scaled_parameters.h"
#include "comm/tag_address.h"
#include "console_output.h"
#include "host/vemor_sub.h"
#include "interrupt.h"
#include "message_meaning.h"
#include "port_failure.h"
#include "range_read_end.h"
#include "tag_file.h"
#include "text_output.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace vfdahost {
namespace {

using Clock = std::chrono::steady_clock;

// Tag ids: 100 a station, P0..P80 from 1, then C0..C2, then D0..D6.
constexpr uint32_t kIdsPerStation = 100;
constexpr int kParameters = comm::kParameterCount;
constexpr uint32_t kFirstC = 1 + kParameters;
constexpr uint32_t kFirstD = kFirstC + comm::kAreaMaximum[comm::kAreaC] + 1;
constexpr int kMonitorWords = comm::kAreaMaximum[comm::kAreaD] + 1;

// A wait ends once nothing has moved on the line for this long.
constexpr std::chrono::milliseconds kStall = RangeReadEnd::kStall;
constexpr std::chrono::milliseconds kLook(10);

uint32_t Offset(char area, int number) {
    const uint32_t n = static_cast<uint32_t>(number);
    return area == 'P' ? 1 + n : area == 'C' ? kFirstC + n : kFirstD + n;
}

} // namespace

ParameterSession::ParameterSession() {
    hostkit::HostLibraries& host = module_.Host();
    host.onTagValue = [this](const hostkit::TagValue& update) { ReceiveValue(update); };
    host.onEventLog = [this](const hostkit::EventLogLine& line) {
        std::lock_guard guard(logLock_);
        logLines_.push_back(line.text);
    };
}

ParameterSession::~ParameterSession() {
    if (module_.CommunicationInitialised()) {
        module_.Stop(); // before any member goes: the delivery thread reports into them
    }
    beforeLogLine_ = nullptr; // whatever it erased may be gone already
    PrintLog();
}

void ParameterSession::PrintLog() {
    std::vector<std::string> lines;
    {
        std::lock_guard guard(logLock_);
        lines.swap(logLines_);
    }
    if (!lines.empty() && beforeLogLine_) {
        beforeLogLine_();
    }
    for (const std::string& line : lines) {
        OutputFormatted(stderr, "%s\n", TextForPeople(ShownMessage(line)).c_str());
    }
}

bool ParameterSession::Open(const std::string& configPath, std::string& error) {
    const ModuleSession::Opened opened = module_.Open(configPath);
    error = ModuleSession::WhyNotOpened(opened, configPath);
    return opened == ModuleSession::Opened::Yes;
}

bool ParameterSession::Start(const std::vector<const CStationInfo*>& stations,
                             const std::vector<PortMapping>& mapped, std::string& error) {
    stations_ = stations;
    if (module_.InitComm() != 0) {
        error = PortFailureText(module_.Document().SerialPort().m_portIndex + 1, mapped);
        return false;
    }
    for (const CStationInfo* station : stations_) {
        const auto add = [&](char area, int number) {
            const uint32_t id = TagId(*station, area, number);
            const std::string address = area + std::to_string(number);
            handles_[id] = module_.RegisterTag(station->m_name, address, kAnalogTagType, id);
        };
        for (int p = 0; p < kParameters; ++p) {
            add('P', p);
        }
        for (int c = 0; c <= comm::kAreaMaximum[comm::kAreaC]; ++c) {
            add('C', c);
        }
        for (int d = 0; d < kMonitorWords && statusPolled_; ++d) {
            add('D', d);
        }
    }
    module_.BuildPollMasks();
    module_.Enable(nullptr, 1);
    return true;
}

uint32_t ParameterSession::TagId(const CStationInfo& station, char area, int number) const {
    uint32_t index = 0;
    while (index < stations_.size() && stations_[index] != &station) {
        ++index;
    }
    return index * kIdsPerStation + Offset(area, number);
}

void ParameterSession::ReceiveValue(const hostkit::TagValue& update) {
    std::lock_guard guard(valuesLock_);
    values_[update.tagId] = update.value;
}

std::optional<double> ParameterSession::Value(uint32_t tagId) const {
    std::lock_guard guard(valuesLock_);
    const auto found = values_.find(tagId);
    return found != values_.end() ? std::optional<double>(found->second) : std::nullopt;
}

void ParameterSession::Forget(uint32_t tagId) {
    std::lock_guard guard(valuesLock_);
    values_.erase(tagId);
}

bool ParameterSession::WriteWord(uint32_t tagId, double value) {
    const auto handle = handles_.find(tagId);
    if (handle == handles_.end() || handle->second < 0) {
        return false;
    }
    return module_.WriteTag(handle->second, value) == 0;
}

void ParameterSession::QueueRangeRead(const CStationInfo& station, int first, int count) {
    for (int p = first; p < first + count; ++p) {
        Forget(TagId(station, 'P', p));
    }
    WriteWord(TagId(station, 'C', 1), first);
    WriteWord(TagId(station, 'C', 2), count);
    WriteWord(TagId(station, 'C', 0), 1);
}

int ParameterSession::Arrived(const CStationInfo& station, int first, int end) const {
    int arrived = 0;
    for (int p = first; p < end; ++p) {
        arrived += Value(TagId(station, 'P', p)) ? 1 : 0;
    }
    return arrived;
}

// The whole range is queued at once, so the drive's reads follow each other with nothing but
// the line's pause between them. The module sends them in order, so the reads up to a chunk's
// end are all answered once the values among them and every read failure since the range
// was queued cover them. A signal ends the wait once the chunk on the line is done; a chunk
// that brings no value at all (the drive does not answer) drops the reads still queued by
// starting communication afresh. The rest stays unread.
std::vector<std::optional<double>> ParameterSession::ReadParameters(const CStationInfo& station,
                                                                    int first, int count) {
    const int end = first + count;
    const int32_t failuresBefore = module_.CountersOf(station.m_name).readFailures;
    QueueRangeRead(station, first, count);
    int doneEnd = first;
    while (doneEnd < end) {
        const int chunkEnd = std::min(doneEnd + kChunk, end);
        // The reads from `first` to the chunk's end: the module sends them in order.
        RangeReadEnd reads;
        reads.Start(static_cast<size_t>(chunkEnd - first), failuresBefore, Clock::now());
        while (!reads.Ended(static_cast<size_t>(Arrived(station, first, chunkEnd)),
                            module_.CountersOf(station.m_name).readFailures, Clock::now())) {
            PrintLog();
            std::this_thread::sleep_for(kLook);
        }
        const bool answered = Arrived(station, doneEnd, chunkEnd) > 0;
        doneEnd = chunkEnd;
        if (readProgress_) {
            readProgress_(station, doneEnd - first, count);
        }
        if (doneEnd < end && (Interrupted() || !answered)) {
            DropQueuedRequests();
            break;
        }
    }
    std::vector<std::optional<double>> values;
    for (int p = first; p < doneEnd; ++p) {
        values.push_back(Value(TagId(station, 'P', p)));
    }
    values.resize(static_cast<size_t>(count));
    return values;
}

// A start drops what was queued; the transaction under way finishes first.
void ParameterSession::DropQueuedRequests() {
    module_.Enable(nullptr, 0);
    module_.Enable(nullptr, 1);
}

std::optional<double> ParameterSession::ReadMonitor(const CStationInfo& station, int number) {
    const uint32_t id = TagId(station, 'D', number);
    const int32_t failuresBefore = module_.CountersOf(station.m_name).readFailures;
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < kStall && !Interrupted()) {
        if (std::optional<double> value = Value(id)) {
            return value;
        }
        if (module_.CountersOf(station.m_name).readFailures - failuresBefore >= 3) {
            break; // the drive does not answer its status queries
        }
        PrintLog();
        std::this_thread::sleep_for(kLook);
    }
    return Value(id);
}

// A request is counted as it starts. The poll thread works one request at a time, and the
// session polls the drive's status words, so once a later read has started the write has
// been answered and any refusal counted.
bool ParameterSession::Write(const CStationInfo& station, char area, int number, double value) {
    const StationCounters before = module_.CountersOf(station.m_name);
    if (!WriteWord(TagId(station, area, number), value)) {
        return false;
    }
    std::optional<int32_t> readsAtWrite;
    StationCounters now = before;
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < kStall) {
        PrintLog();
        std::this_thread::sleep_for(kLook);
        now = module_.CountersOf(station.m_name);
        if (!readsAtWrite && now.writes > before.writes) {
            readsAtWrite = now.reads;
        } else if (readsAtWrite && now.reads > *readsAtWrite) {
            return now.writeFailures == before.writeFailures;
        }
    }
    return false;
}

} // namespace vfdahost
