// HostSession: the parameter tags read through the module's range read, a chunk at a time
// between the poll schedule's passes.
#include "host_session.h"

namespace vfdahost {

namespace {

constexpr int kRangeWords = 3; // C0 starts the read, C1 its first parameter, C2 its count

} // namespace

void HostSession::RegisterRangeWords() {
    uint32_t id = kRangeWordIds;
    for (const CStationInfo* station : module_.Document().Stations()) {
        if (ParameterTags(station->m_name).empty()) {
            continue;
        }
        std::vector<int32_t>& handles = rangeWords_[station->m_name];
        for (int word = 0; word < kRangeWords; ++word) {
            const std::string address = "C" + std::to_string(word);
            module_.Host().SetTagName(id, station->m_name + "." + address);
            handles.push_back(module_.RegisterTag(station->m_name, address, kAnalogTagType, id));
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
    const auto failures = [this](const std::string& station) {
        return module_.CountersOf(station).readFailures;
    };
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
    return module_.WriteTag(found->second[static_cast<size_t>(word)], value) == 0;
}

std::map<std::string, int32_t> HostSession::PolledRequests() const {
    std::map<std::string, int32_t> requests;
    for (const auto& [station, groups] : pollGroups_) {
        requests[station] = module_.CountersOf(station).reads;
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

} // namespace vfdahost
