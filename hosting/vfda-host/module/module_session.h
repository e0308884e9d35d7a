// The driver module as vfda-host uses it, one way for every command: the host's libraries
// attached, the module loaded by file name, one instance opened on a configuration, and the
// host's own read of that configuration (the entry table cannot list an instance's
// stations). Every call goes through the module's entry table, on this instance.
#pragma once

#include "config/vfda_drv_doc.h"
#include "driver_module.h"
#include "host_libraries.h"
#include "station_counters.h"

#include <cstdint>
#include <string>

namespace vfdahost {

class ModuleSession {
public:
    enum class Opened {
        Yes,
        NoModule,      // the module or its table is missing
        Refused,       // the module did not open the configuration (it logged why)
        ChangedOnDisk, // the module opened it, the host's read then failed
    };

    ModuleSession() = default;
    // Stops communication if it was initialised; the module is unloaded after that.
    ~ModuleSession();
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

    // The host's libraries: their callbacks are set before Load or Open.
    hostkit::HostLibraries& Host() { return host_; }
    // Attaches the host's libraries and loads the module; false when it cannot be loaded.
    bool Load();
    // Load, then DrvOpen on the configuration and the host's read of it.
    Opened Open(const std::string& configPath);
    // What to tell the user about an outcome of Open.
    static std::string WhyNotOpened(Opened outcome, const std::string& configPath);

    const hostkit::DriverModule& Module() const { return module_; }
    const CVfdaDrvDoc& Document() const { return document_; }
    // The configured station of that name (UTF-8, case ignored), or null.
    const CStationInfo* FindStation(const std::string& utf8) const;

    // The entry table's calls on this instance.
    int32_t InitComm();
    bool CommunicationInitialised() const { return communicationInitialised_; }
    int32_t RegisterTag(const std::string& station, const std::string& address, uint16_t type,
                        uint32_t tagId) const;
    int32_t BuildPollMasks() const { return module_.BuildPollMasks(instance_); }
    void Enable(const char* station, int32_t flag) const {
        module_.Enable(instance_, station, flag);
    }
    int32_t WriteTag(int32_t handle, double value) const;
    int32_t Stop() const { return module_.Stop(instance_); }
    // DrvGetStatistics of a station (CP949 name), or of the whole instance for null, whose
    // counters add onto those given.
    int32_t Statistics(const char* station, StationCounters& counters) const;
    // A station's counters (its CP949 name); zero for a name the configuration lacks.
    StationCounters CountersOf(const std::string& station) const;
    void ResetStatistics(const char* station) const { module_.ResetStatistics(instance_, station); }
    void StationInfo(const char* station, std::string& number, std::string& description) const {
        module_.GetStationInfo(instance_, station, number, description);
    }

private:
    hostkit::HostLibraries host_; // outlives the module, which calls into it
    hostkit::DriverModule module_;
    CVfdaDrvDoc document_;
    int32_t instance_ = -1;
    bool communicationInitialised_ = false;
};

} // namespace vfdahost
