#include "driver_module.h"

namespace hostkit {

DriverModule::~DriverModule() {
    Unload();
}

bool DriverModule::Load() {
    library_ = platform::LoadLibraryByName(kFileName);
    if (library_ == nullptr) {
        return false;
    }
    table_ = static_cast<const drv::Entry*>(platform::FindExport(library_, drv::kExportName));
    if (table_ == nullptr) {
        Unload();
        return false;
    }
    return true;
}

void DriverModule::Unload() {
    table_ = nullptr;
    platform::FreeLibraryHandle(library_);
    library_ = nullptr;
}

int32_t DriverModule::GetVersion() const {
    return Slot<drv::GetVersionFn>(drv::kGetVersion)();
}

const char* DriverModule::GetName() const {
    return Slot<drv::GetNameFn>(drv::kGetName)();
}

int32_t DriverModule::Open(const char* path) const {
    return Slot<drv::OpenFn>(drv::kOpen)(path);
}

int32_t DriverModule::EditConfig(const char* path) const {
    return Slot<drv::EditConfigFn>(drv::kEditConfig)(path);
}

int32_t DriverModule::InitComm(int32_t instance) const {
    return Slot<drv::InstanceFn>(drv::kInitComm)(instance);
}

int32_t DriverModule::BuildPollMasks(int32_t instance) const {
    return Slot<drv::InstanceFn>(drv::kBuildPollMasks)(instance);
}

int32_t DriverModule::Stop(int32_t instance) const {
    return Slot<drv::InstanceFn>(drv::kStop)(instance);
}

int32_t DriverModule::RegisterTag(int32_t instance, const char* device, const char* address,
                                  uint16_t tagType, uint16_t subAttribute, uint32_t tagId) const {
    return Slot<drv::RegisterTagFn>(drv::kRegisterTag)(instance, device, address, tagType,
                                                       subAttribute, tagId);
}

int32_t DriverModule::WriteTag(int32_t instance, uint32_t handle, CTagVal* value) const {
    return Slot<drv::WriteTagFn>(drv::kWriteTag)(instance, handle, value);
}

void DriverModule::Enable(int32_t instance, const char* station, int32_t flag) const {
    Slot<drv::EnableFn>(drv::kEnable)(instance, station, flag);
}

void DriverModule::ResetStatistics(int32_t instance, const char* station) const {
    Slot<drv::ResetStatisticsFn>(drv::kResetStatistics)(instance, station);
}

int32_t DriverModule::GetStatistics(int32_t instance, const char* station,
                                    int32_t counters[4]) const {
    return Slot<drv::GetStatisticsFn>(drv::kGetStatistics)(
        instance, station, &counters[0], &counters[1], &counters[2], &counters[3]);
}

void DriverModule::GetStationInfo(int32_t instance, const char* station, std::string& numberText,
                                  std::string& description) const {
    Slot<drv::GetStationInfoFn>(drv::kGetStationInfo)(instance, station, &numberText, &description);
}

} // namespace hostkit
