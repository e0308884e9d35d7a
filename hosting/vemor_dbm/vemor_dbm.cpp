// Stand-in for the host's tag database library: the table the module calls, passing each
// call on to the host program that installed a sink.
#include "host/vemor_sub.h"
#include "host/vemor_tables.h"
#include "platform/export.h"
#include "stand_in_control.h"

#include <mutex>
#include <string>

namespace {

std::mutex g_lock;
TagValueSink g_valueSink = nullptr;
void* g_valueContext = nullptr;
TagNameSource g_nameSource = nullptr;
void* g_nameContext = nullptr;

int SetTagValue(uint32_t tagId, const CTagVal& value) {
    std::lock_guard guard(g_lock);
    if (g_valueSink != nullptr) {
        g_valueSink(g_valueContext, tagId, value.GetVal());
    }
    return 0;
}

int GetTagName(uint32_t tagId, std::string& name) {
    std::lock_guard guard(g_lock);
    if (g_nameSource != nullptr) {
        g_nameSource(g_nameContext, tagId, name);
    } else {
        name = "TAG" + std::to_string(tagId);
    }
    return 0;
}

int Unused() {
    return 0;
}

template <typename Fn> host::TableEntry AsEntry(Fn function) {
    return reinterpret_cast<host::TableEntry>(function);
}

} // namespace

extern "C" {
VFDA_EXPORT host::TableEntry FuncTable[host::kHostTableSize];
}

namespace {

// Fills the table when the library is loaded.
struct TableFiller {
    TableFiller() {
        for (auto& entry : FuncTable) {
            entry = AsEntry(&Unused);
        }
        FuncTable[host::kSetTagValueEntry] = AsEntry(&SetTagValue);
        FuncTable[host::kGetTagNameEntry] = AsEntry(&GetTagName);
    }
} g_filler;

} // namespace

extern "C" {

VFDA_EXPORT void VemorDbmSetTagValueSink(TagValueSink sink, void* context) {
    std::lock_guard guard(g_lock);
    g_valueSink = sink;
    g_valueContext = context;
}

VFDA_EXPORT void VemorDbmSetTagNameSource(TagNameSource source, void* context) {
    std::lock_guard guard(g_lock);
    g_nameSource = source;
    g_nameContext = context;
}
}
