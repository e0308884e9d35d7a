// What crosses between the module and its host: the exported table, the entry and host
// function types, and the host's and the framework's structures the module reads or fills.
// A host built for the same processor must see every one of them the same way, on 32-bit
// and on 64-bit Windows alike. Each size and offset below is written in terms of the width
// of a pointer, so a build whose layout would differ from the other width's does not
// compile. Nothing here runs: the checks are the compiler's.
#include "driver/entry_table.h"
#include "host/vemor_sub.h"
#include "host/vemor_tables.h"
#include "toolkit/object.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>

extern "C" drv::Entry DrvFuncTable[drv::kSlotCount];

namespace {

constexpr size_t kPointer = sizeof(void*);
static_assert(kPointer == 4 || kPointer == 8, "a 32-bit or a 64-bit module");

// --- the words the entry functions take and give ------------------------------------------
static_assert(sizeof(int32_t) == 4 && sizeof(uint32_t) == 4 && sizeof(uint16_t) == 2);
static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559,
              "tag values are IEEE doubles");

// --- the exported table: 32 slots of one code address each ---------------------------------
static_assert(sizeof(drv::Entry) == kPointer);
static_assert(sizeof(DrvFuncTable) == 32 * kPointer);
static_assert(drv::kSlotCount == 32 && drv::kUsedSlots == 17);

// Every type a host casts a slot to is a plain function pointer of the slot's width, with
// exactly these parameters.
template <typename Fn> constexpr bool IsCodeAddress() {
    return std::is_pointer_v<Fn> && std::is_function_v<std::remove_pointer_t<Fn>> &&
           sizeof(Fn) == kPointer;
}

static_assert(std::is_same_v<drv::GetVersionFn, int32_t (*)()>);
static_assert(std::is_same_v<drv::OpenFn, int32_t (*)(const char*)>);
static_assert(std::is_same_v<drv::EditConfigFn, int32_t (*)(const char*)>);
static_assert(std::is_same_v<drv::InstanceFn, int32_t (*)(int32_t)>);
static_assert(std::is_same_v<drv::RegisterTagFn, int32_t (*)(int32_t, const char*, const char*,
                                                             uint16_t, uint16_t, uint32_t)>);
static_assert(std::is_same_v<drv::WriteTagFn, int32_t (*)(int32_t, uint32_t, CTagVal*)>);
static_assert(std::is_same_v<drv::AnswerFn, int32_t (*)()>);
static_assert(std::is_same_v<drv::NothingFn, void (*)()>);
static_assert(std::is_same_v<drv::GetNameFn, const char* (*)()>);
static_assert(std::is_same_v<drv::EnableFn, void (*)(int32_t, const char*, int32_t)>);
static_assert(std::is_same_v<drv::ResetStatisticsFn, void (*)(int32_t, const char*)>);
static_assert(std::is_same_v<drv::GetStatisticsFn, int32_t (*)(int32_t, const char*, int32_t*,
                                                               int32_t*, int32_t*, int32_t*)>);
static_assert(std::is_same_v<drv::GetStationInfoFn,
                             void (*)(int32_t, const char*, std::string*, std::string*)>);
static_assert(IsCodeAddress<drv::GetVersionFn>() && IsCodeAddress<drv::OpenFn>() &&
              IsCodeAddress<drv::EditConfigFn>() && IsCodeAddress<drv::InstanceFn>() &&
              IsCodeAddress<drv::RegisterTagFn>() && IsCodeAddress<drv::WriteTagFn>() &&
              IsCodeAddress<drv::AnswerFn>() && IsCodeAddress<drv::NothingFn>() &&
              IsCodeAddress<drv::GetNameFn>() && IsCodeAddress<drv::EnableFn>() &&
              IsCodeAddress<drv::ResetStatisticsFn>() && IsCodeAddress<drv::GetStatisticsFn>() &&
              IsCodeAddress<drv::GetStationInfoFn>());

// --- the host's run-time tables -----------------------------------------------------------
static_assert(sizeof(host::TableEntry) == kPointer && host::kHostTableSize == 32);
static_assert(std::is_same_v<host::SetTagValueFn, int (*)(uint32_t, const CTagVal&)>);
static_assert(std::is_same_v<host::GetTagNameFn, int (*)(uint32_t, std::string&)>);
static_assert(std::is_same_v<host::WriteEventLogFn, int (*)(int32_t, uint32_t, const char*)>);
static_assert(IsCodeAddress<host::SetTagValueFn>() && IsCodeAddress<host::GetTagNameFn>() &&
              IsCodeAddress<host::WriteEventLogFn>());
static_assert(sizeof(int) == 4, "the host's tables answer in 32-bit ints");

// --- the host's value classes -------------------------------------------------------------
// A tag value is one double, aligned as a double, on both widths.
static_assert(std::is_standard_layout_v<CTagVal>);
static_assert(sizeof(CTagVal) == 8 && alignof(CTagVal) == 8);

// The text the station-information slot fills and the tag database names tags with: a
// pointer, a length and a buffer of 16 characters.
struct StringLayout {
    char* text;
    size_t length;
    char buffer[16];
};
static_assert(sizeof(std::string) == sizeof(StringLayout));
static_assert(sizeof(size_t) == kPointer);

// The persistent classes: the table of virtual operations first, then the members in order.
struct EventValLayout {
    const void* virtualTable;
    uint32_t tagId;
    double value;
};
static_assert(sizeof(CEventVal) == sizeof(EventValLayout));
static_assert(sizeof(EventValLayout) == (kPointer == 8 ? 24 : 16));
static_assert(alignof(CEventVal) == 8);

struct HeaderLayout {
    const void* virtualTable;
    int32_t kind;
    StringLayout description;
};
static_assert(sizeof(CVemorHeader) == sizeof(HeaderLayout));

// --- the framework's class record, which the module's classes hand to the archive ---------
static_assert(std::is_standard_layout_v<CRuntimeClass>);
static_assert(offsetof(CRuntimeClass, m_lpszClassName) == 0);
static_assert(offsetof(CRuntimeClass, m_nObjectSize) == kPointer);
static_assert(offsetof(CRuntimeClass, m_wSchema) == kPointer + 4);
static_assert(offsetof(CRuntimeClass, m_pfnCreateObject) == kPointer + 8);
static_assert(offsetof(CRuntimeClass, m_pBaseClass) == 2 * kPointer + 8);
static_assert(sizeof(CRuntimeClass) == 3 * kPointer + 8);

} // namespace
