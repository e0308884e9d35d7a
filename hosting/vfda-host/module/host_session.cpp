// HostSession: the module's instance opened, the tags registered, communication started
// and stopped, and the values the module delivers.
#include "host_session.h"

#include "comm/line_rates.h"
#include "host/vemor_sub.h"
#include "message_number.h"
#include "platform/text_codec.h"
#include "port_failure.h"
#include "text_output.h"

namespace vfdahost {

HostSession::HostSession(RunEvents& events) : events_(events) {
    hostkit::HostLibraries& host = module_.Host();
    host.onEventLog = [this](const hostkit::EventLogLine& line) { ReceiveLog(line); };
    host.onTagValue = [this](const hostkit::TagValue& update) { ReceiveValue(update); };
    host.onMessageBox = [this](const hostkit::MessageBox& box) {
        events_.Error(ToUtf8(box.message));
    };
}

// Communication stops before any member goes: the delivery thread reports into them.
HostSession::~HostSession() {
    if (module_.CommunicationInitialised()) {
        module_.Stop();
    }
    SetLineTraceSink(nullptr, nullptr);
}

bool HostSession::Open(const std::string& configPath, std::string& error) {
    const ModuleSession::Opened opened = module_.Open(configPath);
    if (opened != ModuleSession::Opened::Yes) {
        error = ModuleSession::WhyNotOpened(opened, configPath);
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
    const CSerialPort& serial = module_.Document().SerialPort();
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
    for (const CStationInfo* station : module_.Document().Stations()) {
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

int32_t HostSession::InitComm(const std::vector<PortMapping>& ports) {
    const int32_t result = module_.InitComm();
    portOpen_ = result == 0;
    events_.PortOpened(
        result,
        portOpen_ ? "" : PortFailureText(module_.Document().SerialPort().m_portIndex + 1, ports));
    return result;
}

void HostSession::RegisterTags(std::vector<TagDefinition> tags) {
    tags_ = std::move(tags);
    for (const TagDefinition& tag : tags_) {
        module_.Host().SetTagName(tag.id, tag.nameCp949);
    }
    for (const TagDefinition& tag : tags_) {
        const int32_t handle =
            module_.RegisterTag(tag.deviceCp949, tag.addressCp949, tag.type, tag.id);
        handles_.push_back(handle);
        events_.Tag(tag, handle);
    }
    RegisterRangeWords();
}

void HostSession::Start() {
    module_.BuildPollMasks();
    module_.Enable(nullptr, 1);
    running_ = true;
    const LineSettings settings = Settings({});
    const auto stations = module_.Document().Stations();
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
    for (const CStationInfo* station : module_.Document().Stations()) {
        names.push_back(ToUtf8(station->m_name));
    }
    return names;
}

std::string HostSession::StationOfTag(const TagDefinition& tag) const {
    const std::string name = StationOfDevice(tag.deviceCp949);
    return ConfiguredName(name).value_or(name);
}

std::optional<std::string> HostSession::ConfiguredName(const std::string& cp949) const {
    const CStationInfo* configured = module_.Document().FindStation(cp949.c_str());
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
    if (backOff_ && backOff_->IsBackedOff(station)) {
        return "station " + ToUtf8(station) + " is backed off (lost; visited again later)";
    }
    return "";
}

void HostSession::StopCommunication() {
    SendQueuedWrites();
    parameterReads_.Clear();
    running_ = false;
    events_.Result("stop", JsonFields(), "communication stopped", module_.Stop());
}

void HostSession::Finish() {
    parameterReads_.Clear();
    if (module_.CommunicationInitialised()) {
        SendQueuedWrites();
        module_.Stop();
    }
    running_ = false;
    PrintStatistics(std::nullopt);
}

void HostSession::StartCommunication() {
    module_.Enable(nullptr, 1);
    running_ = true;
    events_.Result("start", JsonFields(), "communication started", 0);
}

} // namespace vfdahost
