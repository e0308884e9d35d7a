// The module's process-wide binding to the host's run-time libraries: VemorDbm and VemorRun
// for the run time, VemorDsg while the editor is open. The tables are read by the worker
// threads while the host thread may bind them, so they are atomic.
#pragma once

#include "host/vemor_tables.h"
#include "platform/dynamic_library.h"

#include <atomic>
#include <cstdint>
#include <string>

class CTagVal;

namespace driver {

class HostBinding {
public:
    static HostBinding& Instance();

    // Loads VemorDbm and VemorRun where they are not loaded yet; a library that cannot be
    // loaded is tried again next time.
    void BindRunTimeLibraries();
    // Loads VemorDsg and finds its table; false (and nothing kept) when either is missing.
    bool BindDesigner();
    void ReleaseDesigner();
    // Releases every library, VemorDsg first, then VemorRun, then VemorDbm.
    void ReleaseAll();
    // The process is ending and the host's libraries may already have destroyed what they
    // hold: no call reaches them from now on, and nothing is unloaded (the process takes
    // them back).
    void LetGo();

    bool HasEventLog() const { return run_.table.load() != nullptr; }
    // False when the event log is not bound; nothing is sent then.
    bool WriteEventLog(uint32_t flags, const char* text) const;
    void SetTagValue(uint32_t tagId, const CTagVal& value) const;
    // The host's name of a tag; empty when the tag database is not bound.
    std::string GetTagName(uint32_t tagId) const;

private:
    struct Library {
        platform::LibraryHandle handle = nullptr;
        std::atomic<const host::TableEntry*> table{nullptr};
    };

    static void Bind(Library& library, const char* fileName, const char* tableName);
    static void Release(Library& library);
    template <typename Fn> static Fn Entry(const Library& library, int index);

    Library dbm_;
    Library run_;
    Library dsg_;
};

} // namespace driver
