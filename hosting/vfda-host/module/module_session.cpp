#include "module_session.h"

#include "config_path.h"
#include "host/vemor_sub.h"
#include "platform/text_codec.h"
#include "text_output.h"

namespace vfdahost {

ModuleSession::~ModuleSession() {
    if (communicationInitialised_) {
        module_.Stop(instance_);
    }
}

bool ModuleSession::Load() {
    host_.Attach();
    return module_.Table() != nullptr || module_.Load();
}

ModuleSession::Opened ModuleSession::Open(const std::string& configPath) {
    if (!Load()) {
        return Opened::NoModule;
    }
    instance_ = module_.Open(configPath.c_str());
    if (instance_ < 0) {
        return Opened::Refused;
    }
    return document_.LoadFile(configPath) ? Opened::Yes : Opened::ChangedOnDisk;
}

std::string ModuleSession::WhyNotOpened(Opened outcome, const std::string& configPath) {
    switch (outcome) {
    case Opened::Yes:
        return "";
    case Opened::NoModule:
        return std::string("cannot load ") + hostkit::DriverModule::kFileName;
    case Opened::Refused:
        return CannotOpenConfiguration(configPath);
    case Opened::ChangedOnDisk:
        break;
    }
    return TextForPeople(configPath) + " changed while it was read";
}

const CStationInfo* ModuleSession::FindStation(const std::string& utf8) const {
    std::string cp949;
    if (!platform::Utf8ToCp949(utf8, cp949)) {
        return nullptr;
    }
    return document_.FindStation(cp949.c_str());
}

int32_t ModuleSession::InitComm() {
    communicationInitialised_ = true;
    return module_.InitComm(instance_);
}

int32_t ModuleSession::RegisterTag(const std::string& station, const std::string& address,
                                   uint16_t type, uint32_t tagId) const {
    return module_.RegisterTag(instance_, station.c_str(), address.c_str(), type, 0, tagId);
}

int32_t ModuleSession::WriteTag(int32_t handle, double value) const {
    CTagVal written(value);
    return module_.WriteTag(instance_, static_cast<uint32_t>(handle), &written);
}

StationCounters ModuleSession::CountersOf(const std::string& station) const {
    StationCounters counters;
    Statistics(station.c_str(), counters);
    return counters;
}

int32_t ModuleSession::Statistics(const char* station, StationCounters& counters) const {
    int32_t raw[4] = {counters.reads, counters.readFailures, counters.writes,
                      counters.writeFailures};
    const int32_t status = module_.GetStatistics(instance_, station, raw);
    counters = {raw[0], raw[1], raw[2], raw[3]};
    return status;
}

} // namespace vfdahost
