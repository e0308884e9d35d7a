// The driver under load for a fixed time, then held to account: 32 simulated drives on one
// pseudo-terminal, tags on every area of each, faults switched on and off at random, host
// writes from one thread at a steady rate, statistics read from another, and start/stop
// cycles. At the end every transaction the driver counted must be one the drives saw, every
// failure one they injected, every acknowledged write must have reached its drive, no value
// may have reached another tag than its own, and memory must not have grown.
//
//   vfda-soak [--seconds N] [--cycle-seconds M] [--seed S]
// Exit code 0 when every check holds; the figures are printed either way.
#include "allocation_counter.h"
#include "simulated_line.h"

#include "config/vfda_drv_doc.h"
#include "driver/entry_functions.h"
#include "driver/entry_table.h"
#include "host/vemor_sub.h"
#include "host_libraries.h"
#include "host_link/host_binding.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kStations = 32;
constexpr uint16_t kAnalog = 1;
constexpr uint16_t kDigital = 13;
// Each station's written parameters take values from a band of its own, rising, so a value
// names its station and its order. P10 and P11 take 1..6000 (0.1 s).
constexpr int kBand = 180;
constexpr std::array<int, 2> kWrittenParameters = {10, 11};
constexpr uint32_t kWritePeriodMs = 60;
constexpr uint32_t kFaultPeriodMs = 400;
constexpr uint32_t kStatisticsPeriodMs = 10;

// Tag ids: station x 100 + one of these.
enum TagSlot : uint32_t {
    kP10 = 1,
    kP11 = 2,
    kP0 = 3,
    kD0 = 4,
    kD3 = 5,
    kD4Bit = 6,
    kC1 = 7,
    kC2 = 8,
    kC0 = 9,
};

// The frequency command each drive holds throughout: D0 names the station too.
uint16_t FrequencyCode(int station) {
    return static_cast<uint16_t>(100 + 10 * station);
}

std::string StationName(int station) {
    char name[8];
    std::snprintf(name, sizeof(name), "S%02d", station);
    return name;
}

long ResidentKilobytes() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Options {
    int seconds = 60;
    int cycleSeconds = 10;
    unsigned seed = 1;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--seconds" && value > 0) {
            options.seconds = value;
        } else if (name == "--cycle-seconds" && value > 0) {
            options.cycleSeconds = value;
        } else if (name == "--seed") {
            options.seed = static_cast<unsigned>(value);
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

// What the host has seen and sent, per station and written parameter.
struct WriteLedger {
    std::mutex lock;
    std::array<std::array<int, 2>, kStations> issued{};  // raw value of the last write
    std::array<std::array<int, 2>, kStations> acked{};   // highest raw value acknowledged
    std::array<std::array<int, 2>, kStations> written{}; // writes issued
    std::atomic<uint64_t> wrongTag{0};
    std::atomic<uint64_t> values{0};
    std::atomic<uint64_t> acknowledgements{0};
};

class Soak {
public:
    explicit Soak(const Options& options)
        : options_(options), line_(Stations(), {.record = false}), random_(options.seed) {
        line_.MapAs(1);
    }

    bool Run();

private:
    static std::vector<int> Stations() {
        std::vector<int> stations;
        for (int s = 0; s < kStations; ++s) {
            stations.push_back(s);
        }
        return stations;
    }

    template <typename Fn> Fn Slot(drv::Slot slot) const { return drv::SlotAs<Fn>(table_, slot); }

    bool Open();
    void RegisterTags();
    void ReceiveValue(uint32_t tagId, double value);
    void WriteLoop();
    void FaultLoop();
    void StatisticsLoop();
    int32_t Write(int station, TagSlot slot, double value);
    bool Account();

    Options options_;
    testing_support::SimulatedLine line_;
    std::mt19937 random_;
    hostkit::HostLibraries host_;
    drv::Entry table_[drv::kSlotCount] = {};
    std::filesystem::path folder_;
    int32_t instance_ = -1;
    std::array<std::array<int32_t, 10>, kStations> handles_{};
    WriteLedger ledger_;
    std::atomic<bool> ending_{false};
    std::atomic<bool> running_{false};
    std::atomic<uint64_t> statisticsReads_{0};
    std::atomic<uint64_t> statisticsFaults_{0};
};

bool Soak::Open() {
    host_.onTagValue = [this](const hostkit::TagValue& update) {
        ReceiveValue(update.tagId, update.value);
    };
    host_.Attach();
    driver::HostBinding::Instance().BindRunTimeLibraries();
    driver::FillEntryTable(table_);
    folder_ = std::filesystem::temp_directory_path() / ("vfda-soak-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    CVfdaDrvDoc document;
    for (int s = 0; s < kStations; ++s) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = StationName(s);
        station->m_stationNumber = s;
        document.AddStation(std::move(station));
        line_.Drives().SetWord(s, sim::Area::Monitor, 0, FrequencyCode(s));
    }
    document.SetPath((folder_ / "soak.cfg").string());
    if (!document.SaveFile()) {
        return false;
    }
    instance_ = Slot<drv::OpenFn>(drv::kOpen)(document.Path().c_str());
    return instance_ >= 0 && Slot<drv::InstanceFn>(drv::kInitComm)(instance_) == 0;
}

void Soak::RegisterTags() {
    static const struct {
        TagSlot slot;
        const char* address;
        uint16_t type;
    } kTags[] = {
        {kP10, "P10", kAnalog}, {kP11, "P11", kAnalog}, {kP0, "P0", kAnalog},
        {kD0, "D0", kAnalog},   {kD3, "D3", kAnalog},   {kD4Bit, "D4.3", kDigital},
        {kC1, "C1", kAnalog},   {kC2, "C2", kAnalog},   {kC0, "C0", kAnalog},
    };
    const auto registerTag = Slot<drv::RegisterTagFn>(drv::kRegisterTag);
    for (int s = 0; s < kStations; ++s) {
        const std::string device = "LINE." + StationName(s);
        for (const auto& tag : kTags) {
            const uint32_t id = static_cast<uint32_t>(s) * 100 + tag.slot;
            host_.SetTagName(id, StationName(s) + "." + tag.address);
            handles_[s][tag.slot] =
                registerTag(instance_, device.c_str(), tag.address, tag.type, 0, id);
        }
    }
    Slot<drv::InstanceFn>(drv::kBuildPollMasks)(instance_);
}

// On the delivery thread (and the writer's, for C words): each value must be one its own
// tag can have.
void Soak::ReceiveValue(uint32_t tagId, double value) {
    ++ledger_.values;
    const int station = static_cast<int>(tagId / 100);
    const uint32_t slot = tagId % 100;
    if (station < 0 || station >= kStations) {
        ++ledger_.wrongTag;
        return;
    }
    if (slot == kP10 || slot == kP11) {
        const int raw = static_cast<int>(std::lround(value * 10));
        if (raw <= station * kBand || raw > (station + 1) * kBand) {
            ++ledger_.wrongTag;
            return;
        }
        std::lock_guard guard(ledger_.lock);
        int& acked = ledger_.acked[station][slot - kP10];
        acked = std::max(acked, raw);
        ++ledger_.acknowledgements;
    } else if (slot == kD0 && std::lround(value * 10) != FrequencyCode(station)) {
        ++ledger_.wrongTag;
    }
}

int32_t Soak::Write(int station, TagSlot slot, double value) {
    CTagVal tag(value);
    return Slot<drv::WriteTagFn>(drv::kWriteTag)(
        instance_, static_cast<uint32_t>(handles_[station][slot]), &tag);
}

// Round the stations and their written parameters, one write per period; every tenth
// write is a range read of P0..P2 instead.
void Soak::WriteLoop() {
    uint64_t turn = 0;
    while (!ending_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kWritePeriodMs));
        if (!running_) {
            continue;
        }
        const int station = static_cast<int>((turn / 2) % kStations);
        const size_t which = turn % 2;
        ++turn;
        if (turn % 10 == 0) {
            Write(station, kC1, 0);
            Write(station, kC2, 3);
            Write(station, kC0, 1);
            continue;
        }
        std::lock_guard guard(ledger_.lock);
        int& count = ledger_.written[station][which];
        if (count + 1 >= kBand) {
            continue; // the band is used up: the parameter is left alone from here
        }
        const int raw = station * kBand + count + 1;
        ++count;
        ledger_.issued[station][which] = raw;
        Write(station, which == 0 ? kP10 : kP11, raw / 10.0);
    }
}

// Now and then a station gets a fault for its next few answers, or has its fault cleared.
// Only faults every transaction fails on, so that failures and faults can be compared.
void Soak::FaultLoop() {
    static const sim::FaultKind kKinds[] = {sim::FaultKind::Silent, sim::FaultKind::Refused,
                                            sim::FaultKind::BadByte1, sim::FaultKind::WrongStation,
                                            sim::FaultKind::Short};
    while (!ending_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kFaultPeriodMs));
        const int station = static_cast<int>(random_() % kStations);
        if (random_() % 2 == 0) {
            line_.Drives().SetFault(station, kKinds[random_() % 5], 1 + random_() % 6);
        } else {
            line_.Drives().ClearFault(station);
        }
    }
}

// The host's statistics, read all the time: counters never go back.
void Soak::StatisticsLoop() {
    const auto get = Slot<drv::GetStatisticsFn>(drv::kGetStatistics);
    std::array<std::array<int32_t, 4>, kStations> last{};
    while (!ending_) {
        for (int s = 0; s < kStations; ++s) {
            std::array<int32_t, 4> now{};
            const int32_t status =
                get(instance_, StationName(s).c_str(), &now[0], &now[1], &now[2], &now[3]);
            for (size_t i = 0; i < 4; ++i) {
                statisticsFaults_ += now[i] < last[s][i] ? 1 : 0;
            }
            statisticsFaults_ += status < -1 || status > 1 ? 1 : 0;
            last[s] = now;
        }
        std::array<int32_t, 4> sums{};
        get(instance_, nullptr, &sums[0], &sums[1], &sums[2], &sums[3]);
        ++statisticsReads_;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStatisticsPeriodMs));
    }
}

// The books after the stop: the drives' counters against the driver's.
bool Soak::Account() {
    const auto get = Slot<drv::GetStatisticsFn>(drv::kGetStatistics);
    uint64_t transactions = 0;
    uint64_t failures = 0;
    uint64_t faults = 0;
    uint64_t refusals = 0;
    uint64_t unaccounted = 0;
    uint64_t lostWrites = 0;
    uint64_t writes = 0;
    uint64_t frames = 0;
    for (int s = 0; s < kStations; ++s) {
        int32_t r = 0, rf = 0, w = 0, wf = 0;
        get(instance_, StationName(s).c_str(), &r, &rf, &w, &wf);
        const sim::StationCounters drive = line_.Counters(s);
        unaccounted += static_cast<uint64_t>(r) != drive.reads + drive.queries ? 1 : 0;
        unaccounted += static_cast<uint64_t>(w) != drive.writes + drive.commands ? 1 : 0;
        unaccounted += static_cast<uint64_t>(rf + wf) != drive.faultsInjected + drive.refusals;
        transactions += static_cast<uint64_t>(r + w);
        frames += drive.framesReceived;
        writes += static_cast<uint64_t>(w);
        failures += static_cast<uint64_t>(rf + wf);
        faults += drive.faultsInjected;
        refusals += drive.refusals;
        for (size_t which = 0; which < 2; ++which) {
            uint16_t word = 0;
            line_.Drives().GetWord(s, sim::Area::Parameter, kWrittenParameters[which], word);
            std::lock_guard guard(ledger_.lock);
            const int acked = ledger_.acked[s][which];
            const int issued = ledger_.issued[s][which];
            // The drive holds the last acknowledged value or one written after it.
            if (acked != 0 && (word < acked || word > issued)) {
                ++lostWrites;
            }
        }
    }
    std::printf("transactions %llu (writes %llu), frames the drives saw %llu\n",
                static_cast<unsigned long long>(transactions),
                static_cast<unsigned long long>(writes), static_cast<unsigned long long>(frames));
    std::printf("failures %llu, faults injected %llu, refusals by the drives %llu\n",
                static_cast<unsigned long long>(failures), static_cast<unsigned long long>(faults),
                static_cast<unsigned long long>(refusals));
    std::printf("values delivered %llu, write acknowledgements %llu\n",
                static_cast<unsigned long long>(ledger_.values.load()),
                static_cast<unsigned long long>(ledger_.acknowledgements.load()));
    std::printf("unaccounted %llu, lost writes %llu, values on a wrong tag %llu, "
                "statistics read %llu times (%llu gone backwards)\n",
                static_cast<unsigned long long>(unaccounted),
                static_cast<unsigned long long>(lostWrites),
                static_cast<unsigned long long>(ledger_.wrongTag.load()),
                static_cast<unsigned long long>(statisticsReads_.load()),
                static_cast<unsigned long long>(statisticsFaults_.load()));
    return unaccounted == 0 && lostWrites == 0 && ledger_.wrongTag == 0 && statisticsFaults_ == 0 &&
           transactions == frames && faults > 0 && ledger_.acknowledgements > 0;
}

bool Soak::Run() {
    if (!Open()) {
        std::fprintf(stderr, "soak: the instance did not open\n");
        return false;
    }
    RegisterTags();
    const auto enable = Slot<drv::EnableFn>(drv::kEnable);
    std::thread writer(&Soak::WriteLoop, this);
    std::thread faults(&Soak::FaultLoop, this);
    std::thread statistics(&Soak::StatisticsLoop, this);

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(options_.seconds);
    int cycles = 0;
    long firstKb = 0;
    int64_t firstLive = 0;
    long lastKb = 0;
    int64_t lastLive = 0;
    while (std::chrono::steady_clock::now() < end) {
        enable(instance_, nullptr, 1);
        running_ = true;
        const auto cycleEnd = std::min(end, std::chrono::steady_clock::now() +
                                                std::chrono::seconds(options_.cycleSeconds));
        std::this_thread::sleep_until(cycleEnd);
        running_ = false;
        Slot<drv::InstanceFn>(drv::kStop)(instance_);
        host_.Clear(); // the stand-in keeps what it received; the driver must not
        ++cycles;
        lastKb = ResidentKilobytes();
        lastLive = LiveAllocations();
        if (cycles == 1) {
            firstKb = lastKb;
            firstLive = lastLive;
        }
    }
    ending_ = true;
    writer.join();
    faults.join();
    statistics.join();

    std::printf("soak: %d s, %d start/stop cycles, %d drives, seed %u\n", options_.seconds, cycles,
                kStations, options_.seed);
    bool good = Account();
    // Flat: after the first cycle nothing builds up (a little slack for the allocator).
    const bool flat = lastLive <= firstLive + 64 && lastKb <= firstKb + 2048;
    std::printf("memory after the first and the last cycle: %ld kB and %ld kB resident, "
                "%lld and %lld live allocations (%llu made in all)%s\n",
                firstKb, lastKb, static_cast<long long>(firstLive),
                static_cast<long long>(lastLive),
                static_cast<unsigned long long>(TotalAllocations()), flat ? "" : " GREW");
    good = good && flat && cycles >= 2;
    std::filesystem::remove_all(folder_);
    std::printf("soak: %s\n", good ? "every check held" : "FAILED");
    return good;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: vfda-soak [--seconds N] [--cycle-seconds M] [--seed S]\n");
        return 2;
    }
    bool good = false;
    {
        Soak soak(options);
        good = soak.Run();
    }
    return good ? 0 : 1;
}
