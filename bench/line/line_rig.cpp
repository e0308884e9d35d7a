#include "line_rig.h"

#include "config/station_info.h"
#include "config/vfda_drv_doc.h"
#include "host/vemor_tables.h"

#include <cstdio>

namespace bench {
namespace {

constexpr uint16_t kAnalog = 1;
constexpr uint16_t kDigital = 13;

int Digits(const uint8_t* bytes) {
    return (bytes[0] - '0') * 10 + (bytes[1] - '0');
}

} // namespace

std::vector<int> Stations(int drives) {
    std::vector<int> stations;
    for (int number = 0; number < drives; ++number) {
        stations.push_back(number);
    }
    return stations;
}

DriveLine::DriveLine(int drives, uint32_t baud, size_t recordCapacity)
    : baud_(baud), simulator_(Stations(drives), baud), events_(recordCapacity) {}

bool DriveLine::Start(uint32_t turnaroundMs) {
    std::string error;
    pty_ = platform::TerminalLine::CreatePseudoTerminal(error);
    if (!pty_) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", error.c_str());
        return false;
    }
    sim::LineOptions options;
    options.baud = baud_;
    options.wireTiming = true;
    options.turnaroundMs = turnaroundMs;
    options.observer = [this](sim::LineMoment moment, std::span<const uint8_t> bytes,
                              std::chrono::steady_clock::time_point at) {
        Observe(moment, bytes, at);
    };
    server_ = std::make_unique<sim::LineServer>(simulator_, *pty_, options);
    server_->Start();
    return true;
}

void DriveLine::Observe(sim::LineMoment moment, std::span<const uint8_t> bytes,
                        std::chrono::steady_clock::time_point at) {
    const int64_t ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
    if (moment == sim::LineMoment::RequestReceived && bytes.size() >= 7) {
        events_.Add({LineEvent::Kind::Request, static_cast<char>(bytes[0]),
                     static_cast<uint8_t>(bytes.size()), Digits(&bytes[3]), Digits(&bytes[5]), ns});
        ++requests_;
    } else if (moment == sim::LineMoment::AnswerLastByte) {
        events_.Add({LineEvent::Kind::AnswerEnd, static_cast<char>(bytes[0]),
                     static_cast<uint8_t>(bytes.size()), 0, 0, ns});
    }
}

Schedule LineSchedule(uint32_t baud, uint32_t turnaroundMs, int drives) {
    Schedule schedule;
    schedule.baud = baud;
    schedule.turnaroundMs = turnaroundMs;
    schedule.drives = drives;
    schedule.blocksPerDrive = 2;
    return schedule;
}

SetTagValueSinkFn LoadModuleAndTagDatabase(hostkit::HostLibraries& host,
                                           hostkit::DriverModule& module,
                                           platform::LibraryHandle& dbm) {
    host.Attach();
    dbm = platform::LoadLibraryByName(host::kDbmLibrary);
    auto setSink =
        reinterpret_cast<SetTagValueSinkFn>(platform::FindExport(dbm, kSetTagValueSinkName));
    if (!module.Load() || setSink == nullptr) {
        std::fprintf(stderr, "the module or the tag database stand-in is missing\n");
        return nullptr;
    }
    return setSink;
}

bool SaveLineConfig(const std::string& path, int32_t portIndex, uint32_t baud, int drives) {
    CVfdaDrvDoc document;
    document.SerialPort().m_portIndex = portIndex;
    document.SerialPort().m_baudIndex = static_cast<int32_t>(sim::BaudIndex(baud));
    for (int number : Stations(drives)) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = "S" + std::to_string(number);
        station->m_stationNumber = number;
        document.AddStation(std::move(station));
    }
    document.SetPath(path);
    return document.SaveFile();
}

std::vector<uint32_t> RegisterLineTags(const hostkit::DriverModule& module, int32_t instance,
                                       int drives, uint32_t firstTagId) {
    std::vector<uint32_t> writeHandles;
    uint32_t tagId = firstTagId;
    for (int number : Stations(drives)) {
        const std::string device = "LINE.S" + std::to_string(number);
        for (const char* address : {"D0", "D1", "D2", "D3", "D4", "D5", "D6"}) {
            module.RegisterTag(instance, device.c_str(), address, kAnalog, 0, tagId++);
        }
        module.RegisterTag(instance, device.c_str(), "D4.0", kDigital, 0, tagId++);
        writeHandles.push_back(static_cast<uint32_t>(
            module.RegisterTag(instance, device.c_str(), "P10", kAnalog, 0, tagId++)));
    }
    return writeHandles;
}

void TakeBaselineLine(const char* text, Record<Delivery>& deliveries, Record<HostWrite>& writes,
                      BaselineMarks& marks) {
    long long at = 0;
    long long a = 0;
    long long b = 0;
    unsigned long long waitNs = 0;
    unsigned long long runs = 0;
    int station = 0;
    if (std::sscanf(text, "V %lld %d", &at, &station) == 2) {
        deliveries.Add({static_cast<uint32_t>(station), at});
    } else if (std::sscanf(text, "W %lld %d %lld", &at, &station, &a) == 3) {
        writes.Add({station, static_cast<int>(a), at});
    } else if (std::sscanf(text, "C %lld %lld %lld %llu %llu", &at, &a, &b, &waitNs, &runs) >= 3) {
        const ThreadSched sched{static_cast<uint64_t>(a), waitNs, runs};
        if (marks.cpuLines++ == 0) {
            marks.steadyNs = at;
            marks.atSteady = sched;
        } else {
            marks.endNs = at;
            marks.atEnd = sched;
        }
        marks.rssKb = static_cast<uint64_t>(b);
    }
}

} // namespace bench
