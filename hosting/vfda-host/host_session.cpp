#include "host_session.h"

#include "comm/line_rates.h"
#include "config_path.h"
#include "host/vemor_sub.h"
#include "interrupt.h"
#include "platform/text_codec.h"
#include "port_failure.h"
#include "text_output.h"

namespace vfdahost {
namespace {

// The module refuses nothing by value; "result" of the station commands says whether the
// configuration has the station (0) or not (-1), in which case the module did nothing.
constexpr int32_t kStationFound = 0;
constexpr int32_t kNoSuchStation = -1;

// Queued writes at a stop: the wait goes on while they keep reaching the line, up to
// kWriteStall for the next one and kWriteLimit in all.
constexpr std::chrono::milliseconds kWriteStall(3000);
constexpr std::chrono::milliseconds kWriteLimit(30000);
constexpr std::chrono::milliseconds kWriteLook(20);

std::string WriteOutcome(int32_t result, const std::string& whyNotSent, WriteEffect effect) {
    if (result != 0) {
        return "refused";
    }
    if (!whyNotSent.empty()) {
        return "not sent";
    }
    return effect == WriteEffect::Stored ? "stored" : "queued";
}

// Ids of the range read words the host registers for itself, far above the tag file's.
constexpr uint32_t kRangeWordIds = 0x40000000;
constexpr int kRangeWords = 3; // C0 starts the read, C1 its first parameter, C2 its count
// The longest wait between two parameter reads for the poll schedule's pass.
constexpr std::chrono::milliseconds kLongestPause(3000);

StationCounters Counters(const int32_t raw[4]) {
    return {raw[0], raw[1], raw[2], raw[3]};
}

} // namespace

HostSession::HostSession(RunEvents& events) : events_(events) {
    host_.onEventLog = [this](const hostkit::EventLogLine& line) {
        events_.Log(line.flags, line.text);
    };
    host_.onTagValue = [this](const hostkit::TagValue& update) { ReceiveValue(update); };
    host_.onMessageBox = [this](const hostkit::MessageBox& box) {
        events_.Error(ToUtf8(box.message));
    };
}

HostSession::~HostSession() {
    if (communicationInitialised_) {
        module_.Stop(instance_);
    }
    SetLineTraceSink(nullptr, nullptr);
}

bool HostSession::Open(const std::string& configPath, std::string& error) {
    host_.Attach();
    if (!module_.Load()) {
        error = std::string("cannot load ") + hostkit::DriverModule::kFileName;
        return false;
    }
    instance_ = module_.Open(configPath.c_str());
    if (instance_ < 0) {
        error = CannotOpenConfiguration(configPath);
        return false;
    }
    // The table cannot list an instance's stations, so the host reads the file itself.
    if (!document_.LoadFile(configPath)) {
        error = configPath + " changed while it was read";
        return false;
    }
    // The trace feeds the statistics of every run; --trace prints the frames as well.
    SetLineTraceSink(&HostSession::ReceiveFrame, this);
    return true;
}

void HostSession::TraceFrames() {
    tracing_ = true;
}

void HostSession::ReceiveFrame(void* context, LineDirection direction, const uint8_t* bytes,
                               size_t count) {
    HostSession& session = *static_cast<HostSession*>(context);
    const std::span<const uint8_t> frame(bytes, count);
    const auto now = StationDiagnoses::Clock::now();
    if (direction == LineDirection::Sent) {
        session.diagnoses_.Sent(frame, now);
    } else if (direction == LineDirection::Skipped) {
        session.diagnoses_.Skipped(frame);
    } else {
        session.diagnoses_.Received(frame, now);
    }
    if (session.tracing_) {
        session.events_.Frame(direction, bytes, count);
    }
}

LineSettings HostSession::Settings(const std::vector<PortMapping>& ports) const {
    const CSerialPort& serial = document_.SerialPort();
    LineSettings settings;
    const int portNumber = serial.m_portIndex + 1;
    settings.port = "COM" + std::to_string(portNumber);
    for (const PortMapping& mapping : ports) {
        if (mapping.number == portNumber) {
            settings.device = mapping.path;
        }
    }
    settings.baud = comm::LineBaudRate(serial.m_baudIndex);
    settings.framing = FramingText(serial);
    settings.rtsCts = (serial.m_options & CSerialPort::kOptionRtsCts) != 0;
    for (const CStationInfo* station : document_.Stations()) {
        std::set<int> groups;
        for (size_t i = 0; i < tags_.size(); ++i) {
            const std::optional<int> group = PolledGroup(tags_[i].address);
            if (handles_[i] >= 0 && group && StationOfTag(tags_[i]) == station->m_name) {
                groups.insert(*group);
            }
        }
        settings.stations.push_back(
            {ToUtf8(station->m_name), station->m_stationNumber, static_cast<int>(groups.size())});
    }
    settings.refreshMs = PassMs(settings.baud, CharacterBits(serial), settings.stations);
    return settings;
}

std::vector<NamedStation> HostSession::NumberedStations() const {
    std::vector<NamedStation> stations;
    for (const CStationInfo* station : document_.Stations()) {
        stations.push_back({ToUtf8(station->m_name), station->m_stationNumber});
    }
    return stations;
}

bool HostSession::EveryStationAnswered() const {
    if (!portOpen_) {
        return false;
    }
    for (const NamedStation& station : NumberedStations()) {
        const StationDiagnosis figures = diagnoses_.Of(station.number);
        if (figures.requests > 0 && figures.Count(AnswerCause::Answered) == 0) {
            return false;
        }
    }
    return true;
}

void HostSession::PrintHints() {
    for (const Hint& hint : HintsFor(NumberedStations(), diagnoses_)) {
        events_.HintLine(hint);
    }
}

int32_t HostSession::InitComm(const std::vector<PortMapping>& ports) {
    const int32_t result = module_.InitComm(instance_);
    communicationInitialised_ = true;
    portOpen_ = result == 0;
    events_.PortOpened(
        result, portOpen_ ? "" : PortFailureText(document_.SerialPort().m_portIndex + 1, ports));
    return result;
}

void HostSession::RegisterTags(std::vector<TagDefinition> tags) {
    tags_ = std::move(tags);
    for (const TagDefinition& tag : tags_) {
        host_.SetTagName(tag.id, tag.nameCp949);
    }
    for (const TagDefinition& tag : tags_) {
        const int32_t handle = module_.RegisterTag(instance_, tag.deviceCp949.c_str(),
                                                   tag.addressCp949.c_str(), tag.type, 0, tag.id);
        handles_.push_back(handle);
        events_.Tag(tag, handle);
    }
    RegisterRangeWords();
}

void HostSession::RegisterRangeWords() {
    uint32_t id = kRangeWordIds;
    for (const CStationInfo* station : document_.Stations()) {
        if (ParameterTags(station->m_name).empty()) {
            continue;
        }
        std::vector<int32_t>& handles = rangeWords_[station->m_name];
        for (int word = 0; word < kRangeWords; ++word) {
            const std::string address = "C" + std::to_string(word);
            host_.SetTagName(id, station->m_name + "." + address);
            handles.push_back(
                module_.RegisterTag(instance_, station->m_name.c_str(), address.c_str(), 1, 0, id));
            ++id;
        }
    }
}

std::vector<ParameterTag> HostSession::ParameterTags(const std::string& stationCp949) const {
    std::vector<ParameterTag> found;
    for (size_t i = 0; i < tags_.size(); ++i) {
        const std::optional<int> number = ParameterNumber(tags_[i].address);
        const std::string station = StationOfTag(tags_[i]);
        if (handles_[i] >= 0 && tags_[i].type == kAnalogTagType && number &&
            (stationCp949.empty() || station == stationCp949)) {
            found.push_back({station, *number, tags_[i].id});
        }
    }
    return found;
}

void HostSession::Start() {
    module_.BuildPollMasks(instance_);
    module_.Enable(instance_, nullptr, 1);
    running_ = true;
    const LineSettings settings = Settings({});
    const auto stations = document_.Stations();
    for (size_t i = 0; i < stations.size() && i < settings.stations.size(); ++i) {
        if (settings.stations[i].groupsPolled > 0) {
            pollGroups_[stations[i]->m_name] = settings.stations[i].groupsPolled;
        }
    }
    parameterReads_.SetLongestPause(kLongestPause);
    if (portOpen_) {
        parameterReads_.Queue(PlanParameterReads(ParameterTags("")));
    }
}

void HostSession::ReadParameters(const std::string& tagOrStation) {
    std::vector<ParameterTag> tags;
    if (const TagDefinition* tag = FindTag(tagOrStation)) {
        const std::optional<int> number = ParameterNumber(tag->address);
        if (!number || tag->type != kAnalogTagType || handles_[tag->id - 1] < 0) {
            events_.Error("read: " + tagOrStation + " is not a registered parameter tag");
            return;
        }
        tags.push_back({StationOfTag(*tag), *number, tag->id});
    } else {
        std::string name;
        if (!StationText(tagOrStation, name)) {
            return;
        }
        const std::optional<std::string> station = ConfiguredName(name);
        if (!station) {
            events_.Error("read: no tag or station named " + tagOrStation);
            return;
        }
        tags = ParameterTags(*station);
        if (tags.empty()) {
            events_.Error("read: station " + tagOrStation + " has no parameter tags");
            return;
        }
    }
    if (const std::string whyNot = WhyNotSent(tags.front().station); !whyNot.empty()) {
        events_.Error("read: not sent: " + whyNot);
        return;
    }
    parameterReads_.Queue(PlanParameterReads(tags));
    AdvanceParameterReads();
}

void HostSession::AdvanceParameterReads() {
    const auto failures = [this](const std::string& station) { return ReadFailures(station); };
    const ParameterReads::Turn turn =
        parameterReads_.Advance(failures, PollPassDone(), ParameterReads::Clock::now());
    if (turn.ended) {
        requestsAtPassStart_ = PolledRequests();
    }
    for (const uint32_t id : turn.missed) {
        events_.Error("read: " + tags_[id - 1].name + " not read (no answer from the drive)");
    }
    if (const std::optional<ParameterChunk>& chunk = turn.start) {
        WriteRangeWord(chunk->station, 1, chunk->first);
        WriteRangeWord(chunk->station, 2, chunk->count);
        WriteRangeWord(chunk->station, 0, 1);
    }
}

bool HostSession::WriteRangeWord(const std::string& station, int word, double value) {
    const auto found = rangeWords_.find(station);
    if (found == rangeWords_.end() || found->second[static_cast<size_t>(word)] < 0) {
        return false;
    }
    CTagVal written(value);
    const uint32_t handle = static_cast<uint32_t>(found->second[static_cast<size_t>(word)]);
    return module_.WriteTag(instance_, handle, &written) == 0;
}

std::map<std::string, int32_t> HostSession::PolledRequests() const {
    std::map<std::string, int32_t> requests;
    for (const auto& [station, groups] : pollGroups_) {
        int32_t counters[4] = {};
        module_.GetStatistics(instance_, station.c_str(), counters);
        requests[station] = counters[0];
    }
    return requests;
}

bool HostSession::PollPassDone() const {
    const std::map<std::string, int32_t> now = PolledRequests();
    for (const auto& [station, groups] : pollGroups_) {
        const auto before = requestsAtPassStart_.find(station);
        if (before != requestsAtPassStart_.end() && now.at(station) - before->second < groups) {
            return false;
        }
    }
    return true;
}

int32_t HostSession::ReadFailures(const std::string& station) const {
    int32_t counters[4] = {};
    module_.GetStatistics(instance_, station.c_str(), counters);
    return counters[1];
}

// The module hands over every reading; a host's tag database acts on changes only.
void HostSession::ReceiveValue(const hostkit::TagValue& update) {
    if (update.tagId >= kRangeWordIds) {
        return; // the host's own range read words
    }
    const bool askedFor = parameterReads_.Answered(update.tagId);
    {
        std::lock_guard guard(valuesLock_);
        const auto [previous, first] = latest_.try_emplace(update.tagId, update.value);
        if (!first && previous->second == update.value && !askedFor) {
            return;
        }
        previous->second = update.value;
    }
    const bool known = update.tagId >= 1 && update.tagId <= tags_.size();
    events_.Value(known ? &tags_[update.tagId - 1] : nullptr, update.tagId, update.value);
}

std::optional<double> HostSession::LatestValue(uint32_t tagId) const {
    std::lock_guard guard(valuesLock_);
    const auto found = latest_.find(tagId);
    return found != latest_.end() ? std::optional<double>(found->second) : std::nullopt;
}

const TagDefinition* HostSession::FindTag(std::string_view name) const {
    for (const TagDefinition& tag : tags_) {
        if (tag.name == name) {
            return &tag;
        }
    }
    return nullptr;
}

std::vector<std::string> HostSession::StationNames() const {
    std::vector<std::string> names;
    for (const CStationInfo* station : document_.Stations()) {
        names.push_back(ToUtf8(station->m_name));
    }
    return names;
}

void HostSession::Write(const std::string& tagName, double value) {
    const TagDefinition* tag = FindTag(tagName);
    if (tag == nullptr) {
        events_.Error("write: no tag named " + tagName);
        return;
    }
    const int32_t handle = handles_[tag->id - 1];
    if (handle < 0) {
        events_.Error("write: the module refused tag " + tagName + " at registration");
        return;
    }
    const std::string station = StationOfTag(*tag);
    const std::string whyNotSent = WhyNotSent(station);
    const int32_t counter = WriteCounter(station); // read before the write can be sent
    CTagVal written(value);
    const int32_t result = module_.WriteTag(instance_, static_cast<uint32_t>(handle), &written);
    const WriteEffect effect = EffectOfWrite(*tag);
    const std::string outcome = WriteOutcome(result, whyNotSent, effect);
    if (outcome == "queued" && effect == WriteEffect::Frame) {
        queuedWrites_.Queued(station, counter);
    }
    JsonFields fields;
    fields.Text("tag", tag->name)
        .Integer("id", tag->id)
        .Number("value", value)
        .Text("outcome", outcome);
    const std::string because = outcome == "not sent" ? ": " + whyNotSent : "";
    events_.Result("write", fields, tag->name + " = " + NumberText(value) + " " + outcome + because,
                   result);
}

std::string HostSession::StationOfTag(const TagDefinition& tag) const {
    const size_t dot = tag.deviceCp949.find('.');
    const std::string name =
        dot == std::string::npos ? tag.deviceCp949 : tag.deviceCp949.substr(dot + 1);
    return ConfiguredName(name).value_or(name);
}

std::optional<std::string> HostSession::ConfiguredName(const std::string& cp949) const {
    const CStationInfo* configured = document_.FindStation(cp949.c_str());
    return configured != nullptr ? std::optional<std::string>(configured->m_name) : std::nullopt;
}

std::string HostSession::WhyNotSent(const std::string& station) const {
    if (!portOpen_) {
        return "the port is not open";
    }
    if (!running_) {
        return "communication is stopped";
    }
    if (disabledStations_.count(station) != 0) {
        return "station " + ToUtf8(station) + " is disabled";
    }
    return "";
}

int32_t HostSession::WriteCounter(const std::string& station) const {
    int32_t counters[4] = {};
    module_.GetStatistics(instance_, station.c_str(), counters);
    return counters[2];
}

QueuedWrites::CounterReader HostSession::WriteCounters() const {
    return [this](const std::string& station) { return WriteCounter(station); };
}

// A run ended by a signal says what it still waits for; a second signal ends the wait.
void HostSession::SendQueuedWrites() {
    const int32_t queued = queuedWrites_.AllOutstanding(WriteCounters());
    if (queued > 0 && Interrupted()) {
        events_.Note("waiting for " + std::to_string(queued) +
                     (queued == 1 ? " queued write" : " queued writes") +
                     " to reach the line (at most " + std::to_string(kWriteLimit.count() / 1000) +
                     " s; Ctrl-C again to stop now)");
    }
    const int32_t unsent = queuedWrites_.WaitUntilSent(WriteCounters(), kWriteStall, kWriteLimit,
                                                       kWriteLook, &InterruptedAgain);
    if (unsent > 0) {
        events_.WritesNotSent(unsent);
    }
}

bool HostSession::StationText(const std::string& utf8, std::string& cp949) {
    if (platform::Utf8ToCp949(utf8, cp949)) {
        return true;
    }
    events_.Error("the station name \"" + utf8 + "\" has characters that CP949 cannot hold");
    return false;
}

bool HostSession::KnownStation(const std::string& cp949) const {
    return document_.FindStation(cp949.c_str()) != nullptr;
}

void HostSession::EnableStation(const std::string& station, int32_t flag) {
    std::string name;
    if (!StationText(station, name)) {
        return;
    }
    module_.Enable(instance_, name.c_str(), flag);
    JsonFields fields;
    fields.Text("station", station).Integer("flag", flag);
    const std::optional<std::string> configured = ConfiguredName(name);
    const bool known = configured.has_value();
    if (known && flag != 0) {
        disabledStations_.erase(*configured);
    } else if (known) {
        disabledStations_.insert(*configured);
    }
    events_.Result("enable", fields,
                   known ? station + (flag != 0 ? " enabled" : " disabled")
                         : "no station named " + station,
                   known ? kStationFound : kNoSuchStation);
}

HostSession::StationReport HostSession::Statistics(const std::string& station) {
    std::string name;
    StationReport report;
    if (platform::Utf8ToCp949(station, name)) {
        int32_t counters[4] = {};
        report.status = module_.GetStatistics(instance_, name.c_str(), counters);
        report.counters = Counters(counters);
    }
    return report;
}

void HostSession::PrintStationStatistics(const std::string& utf8, const std::string& cp949) {
    int32_t counters[4] = {};
    const int32_t status = module_.GetStatistics(instance_, cp949.c_str(), counters);
    if (!KnownStation(cp949)) {
        events_.NoStationStats(utf8, status); // the module filled in nothing
        return;
    }
    const CStationInfo* station = document_.FindStation(cp949.c_str());
    const StationDiagnosis diagnosis = diagnoses_.Of(station->m_stationNumber);
    events_.Stats(utf8, status, Counters(counters), &diagnosis);
}

void HostSession::PrintStatistics(const std::optional<std::string>& station) {
    diagnoses_.Settle(running_ ? std::optional(StationDiagnoses::Clock::now()) : std::nullopt);
    if (station) {
        std::string name;
        if (StationText(*station, name)) {
            PrintStationStatistics(*station, name);
        }
        return;
    }
    for (const CStationInfo* configured : document_.Stations()) {
        PrintStationStatistics(ToUtf8(configured->m_name), configured->m_name);
    }
    int32_t counters[4] = {}; // the instance-wide query adds onto these
    const int32_t status = module_.GetStatistics(instance_, nullptr, counters);
    events_.Stats(std::nullopt, status, Counters(counters));
    PrintHints();
}

void HostSession::ResetStatistics(const std::optional<std::string>& station) {
    JsonFields fields;
    if (!station) {
        queuedWrites_.ClearingAll(WriteCounters());
        module_.ResetStatistics(instance_, nullptr);
        diagnoses_.Clear();
        fields.Null("station");
        events_.Result("reset", fields, "statistics of all stations cleared", kStationFound);
        return;
    }
    std::string name;
    if (!StationText(*station, name)) {
        return;
    }
    if (const std::optional<std::string> configured = ConfiguredName(name)) {
        queuedWrites_.Clearing(*configured, WriteCounter(*configured));
    }
    module_.ResetStatistics(instance_, name.c_str());
    if (const CStationInfo* configured = document_.FindStation(name.c_str())) {
        diagnoses_.Clear(configured->m_stationNumber);
    }
    fields.Text("station", *station);
    const bool known = KnownStation(name);
    events_.Result("reset", fields,
                   known ? "statistics of " + *station + " cleared"
                         : "no station named " + *station,
                   known ? kStationFound : kNoSuchStation);
}

void HostSession::PrintInfo(const std::string& station) {
    std::string name;
    if (!StationText(station, name)) {
        return;
    }
    std::string number;
    std::string description;
    module_.GetStationInfo(instance_, name.c_str(), number, description);
    if (!KnownStation(name)) {
        events_.Info(station, std::nullopt, std::nullopt);
        return;
    }
    events_.Info(station, ToUtf8(number), ToUtf8(description));
}

void HostSession::StopCommunication() {
    SendQueuedWrites();
    parameterReads_.Clear();
    running_ = false;
    events_.Result("stop", JsonFields(), "communication stopped", module_.Stop(instance_));
}

void HostSession::Finish() {
    parameterReads_.Clear();
    if (communicationInitialised_) {
        SendQueuedWrites();
        module_.Stop(instance_);
    }
    running_ = false;
    PrintStatistics(std::nullopt);
}

void HostSession::StartCommunication() {
    module_.Enable(instance_, nullptr, 1);
    running_ = true;
    events_.Result("start", JsonFields(), "communication started", 0);
}

} // namespace vfdahost
