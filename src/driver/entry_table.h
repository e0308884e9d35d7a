// The module's one export, DrvFuncTable, as a host reads it: 32 slots, each the address of
// an entry function or null. Hosts cast a slot to the type given here for it.
#pragma once

#include <cstdint>
#include <string>

class CTagVal;

namespace drv {

using Entry = void (*)();
constexpr int kSlotCount = 32;
constexpr int kUsedSlots = 17;
constexpr int32_t kInterfaceVersion = 0x10000;
constexpr const char* kExportName = "DrvFuncTable";

enum Slot : int {
    kGetVersion = 0,
    kOpen = 1,
    kEditConfig = 2,
    kInitComm = 3,
    kBuildPollMasks = 4,
    kStop = 5,
    kRegisterTag = 6,
    kWriteTag = 7,
    kAnswerZero = 8,
    kAnswerOne = 9,
    kNoOperation10 = 10,
    kNoOperation11 = 11,
    kGetName = 12,
    kEnable = 13,
    kResetStatistics = 14,
    kGetStatistics = 15,
    kGetStationInfo = 16,
};

using GetVersionFn = int32_t (*)();
using OpenFn = int32_t (*)(const char* path);
using EditConfigFn = int32_t (*)(const char* path);
using InstanceFn = int32_t (*)(int32_t instance); // slots 3, 4, 5
using RegisterTagFn = int32_t (*)(int32_t instance, const char* device, const char* address,
                                  uint16_t tagType, uint16_t subAttribute, uint32_t tagId);
using WriteTagFn = int32_t (*)(int32_t instance, uint32_t handle, CTagVal* value);
using AnswerFn = int32_t (*)(); // slots 8, 9
using NothingFn = void (*)();   // slots 10, 11
using GetNameFn = const char* (*)();
using EnableFn = void (*)(int32_t instance, const char* station, int32_t flag);
using ResetStatisticsFn = void (*)(int32_t instance, const char* station);
using GetStatisticsFn = int32_t (*)(int32_t instance, const char* station, int32_t* readRequests,
                                    int32_t* readFailures, int32_t* writeRequests,
                                    int32_t* writeFailures);
using GetStationInfoFn = void (*)(int32_t instance, const char* station, std::string* numberText,
                                  std::string* description);

template <typename Fn> Fn SlotAs(const Entry* table, Slot slot) {
    return reinterpret_cast<Fn>(table[slot]);
}

} // namespace drv
