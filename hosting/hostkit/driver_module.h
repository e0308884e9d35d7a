// The driver module as a host sees it: loaded by file name, used through DrvFuncTable only.
#pragma once

#include "driver/entry_table.h"
#include "platform/dynamic_library.h"

#include <cstdint>
#include <string>

class CTagVal;

namespace hostkit {

class DriverModule {
public:
    static constexpr const char* kFileName = "VfdaDrv.dll";

    DriverModule() = default;
    ~DriverModule();
    DriverModule(const DriverModule&) = delete;
    DriverModule& operator=(const DriverModule&) = delete;

    // Loads the module and finds its table; false when either is missing.
    bool Load();
    void Unload();
    const drv::Entry* Table() const { return table_; }

    int32_t GetVersion() const;
    const char* GetName() const;
    int32_t Open(const char* path) const;
    int32_t EditConfig(const char* path) const;
    int32_t InitComm(int32_t instance) const;
    int32_t BuildPollMasks(int32_t instance) const;
    int32_t Stop(int32_t instance) const;
    int32_t RegisterTag(int32_t instance, const char* device, const char* address, uint16_t tagType,
                        uint16_t subAttribute, uint32_t tagId) const;
    int32_t WriteTag(int32_t instance, uint32_t handle, CTagVal* value) const;
    void Enable(int32_t instance, const char* station, int32_t flag) const;
    void ResetStatistics(int32_t instance, const char* station) const;
    int32_t GetStatistics(int32_t instance, const char* station, int32_t counters[4]) const;
    void GetStationInfo(int32_t instance, const char* station, std::string& numberText,
                        std::string& description) const;

private:
    template <typename Fn> Fn Slot(drv::Slot slot) const { return drv::SlotAs<Fn>(table_, slot); }

    platform::LibraryHandle library_ = nullptr;
    const drv::Entry* table_ = nullptr;
};

} // namespace hostkit
