// End-to-end line benchmark: simulated drives with wire timing on a pseudo-terminal, polled
// either by the module under the host stand-ins or by the scripted baseline poller, with a
// steady stream of host writes. Every moment is taken on CLOCK_MONOTONIC: the line server's
// (requests, answer ends), the tag database's (SetTagValue) and the benchmark's (writes).
// Prints one JSON object of figures; appends the delivery latencies to --samples.
#include "allocation_count.h"
#include "bench_options.h"
#include "line_record.h"
#include "line_rig.h"
#include "process_probe.h"

#include "driver_module.h"
#include "host/vemor_sub.h"
#include "host/vemor_tables.h"
#include "host_libraries.h"
#include "platform/dynamic_library.h"
#include "platform/serial_port.h"
#include "stand_in_control.h"
#include "toolkit/line_trace.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench;

constexpr size_t kRecordCapacity = 1 << 20;
constexpr uint32_t kWriteParameter = 10; // P10, acceleration time: a harmless write

using Options = BenchOptions;

bool ParseOptions(int argc, char** argv, Options& options) {
    const std::set<std::string> accepted = {"--mode",
                                            "--drives",
                                            "--baud",
                                            "--turnaround",
                                            "--seconds",
                                            "--warmup",
                                            "--samples",
                                            "--python",
                                            "--write-interval",
                                            "--baseline-script",
                                            "--baseline-program"};
    return ParseBenchOptions(argc, argv, accepted, options) &&
           (options.mode == "driver" ||
            (options.mode == "baseline" && !options.baselineScript.empty()) ||
            (options.mode == "baseline-c" && !options.baselineProgram.empty()));
}

// What every run shares: the drives on their line and the record of the line's moments.
struct Bench {
    explicit Bench(const Options& chosen)
        : options(chosen), line(chosen.drives, chosen.baud, kRecordCapacity) {}

    Schedule TheSchedule() const {
        return LineSchedule(options.baud, options.turnaroundMs, options.drives);
    }

    const Options& options;
    DriveLine line;
    Record<DriverMoment> driverMoments{kRecordCapacity}; // the driver's poll thread only
    Record<Delivery> deliveries{kRecordCapacity};
    Record<HostWrite> writes{kRecordCapacity};
    int64_t startNs = 0;
    int64_t steadyNs = 0;
    int64_t endNs = 0;
    uint64_t stolenAtSteadyMs = 0; // the machine's, for judging the tails
    uint64_t stolenAtEndMs = 0;
    uint64_t cpuAtSteadyNs = 0;
    uint64_t cpuAtEndNs = 0;
    uint64_t allocationsAtSteady = 0;
    uint64_t allocationsAtEnd = 0;
    int64_t liveAtSteady = 0;
    int64_t liveAtEnd = 0;
    size_t transactionsAtSteady = 0;
    size_t transactionsAtEnd = 0;
    uint64_t rssKb = 0;
    uint64_t hwmKb = 0;
};

size_t RequestsSoFar(const Bench& bench) {
    return bench.line.Requests();
}

// --- The module under the host stand-ins -----------------------------------------------

Bench* g_bench = nullptr; // the tag database's sink has no room for a context of ours

void ReceiveTagValue(void* /*context*/, uint32_t tagId, double /*value*/) {
    g_bench->deliveries.Add({tagId, NowNs()});
}

// The driver traces a request just before it is written and an answer once it is whole;
// the bytes it skipped before an answer are no moment of the transaction.
void ReceiveLineTrace(void* context, LineDirection direction, const uint8_t* /*bytes*/,
                      size_t /*count*/) {
    if (direction == LineDirection::Skipped) {
        return;
    }
    const auto kind = direction == LineDirection::Sent ? DriverMoment::Kind::RequestHanded
                                                       : DriverMoment::Kind::AnswerTaken;
    static_cast<Bench*>(context)->driverMoments.Add({kind, NowNs()});
}

struct ModuleRun {
    hostkit::HostLibraries host;
    hostkit::DriverModule module;
    platform::LibraryHandle dbm = nullptr;
    std::filesystem::path folder;
    int32_t instance = -1;
    std::vector<uint32_t> writeHandles; // P10 of each station
    std::set<int> driverThreads;

    ~ModuleRun() {
        if (dbm != nullptr) {
            platform::FreeLibraryHandle(dbm);
        }
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

bool PrepareModule(Bench& bench, ModuleRun& run) {
    run.folder = std::filesystem::temp_directory_path() /
                 ("vfda-line-bench-" + std::to_string(ThisProcessId()));
    std::filesystem::create_directories(run.folder);
    std::filesystem::create_symlink(bench.line.Path(), run.folder / "com1");
    platform::SetSerialDeviceFolder(run.folder.string());

    auto setSink = LoadModuleAndTagDatabase(run.host, run.module, run.dbm);
    if (setSink == nullptr) {
        return false;
    }
    g_bench = &bench;
    setSink(&ReceiveTagValue, nullptr);
    SetLineTraceSink(&ReceiveLineTrace, &bench);

    const std::string path = (run.folder / "line.cfg").string();
    if (!SaveLineConfig(path, 0, bench.options.baud, bench.options.drives)) {
        return false;
    }
    run.instance = run.module.Open(path.c_str());
    if (run.instance < 0 || run.module.InitComm(run.instance) != 0) {
        std::fprintf(stderr, "the module did not open the line\n");
        return false;
    }
    run.writeHandles = RegisterLineTags(run.module, run.instance, bench.options.drives, 1);
    run.module.BuildPollMasks(run.instance);
    return true;
}

uint64_t DriverCpuNs(const ModuleRun& run) {
    uint64_t total = 0;
    for (int id : run.driverThreads) {
        total += ThreadCpuNs(id);
    }
    return total;
}

void RunModule(Bench& bench, ModuleRun& run) {
    const std::set<int> before = ThreadIds();
    bench.startNs = NowNs();
    run.module.Enable(run.instance, nullptr, 1);
    for (int id : ThreadIds()) {
        if (before.count(id) == 0) {
            run.driverThreads.insert(id);
        }
    }
    const auto interval = std::chrono::milliseconds(bench.options.writeIntervalMs);
    const auto start = std::chrono::steady_clock::now();
    const auto steady = start + std::chrono::duration<double>(bench.options.warmupSeconds);
    const auto end = start + std::chrono::duration<double>(bench.options.seconds);
    auto nextWrite = steady;
    bool steadyTaken = false;
    size_t writeCount = 0;
    while (std::chrono::steady_clock::now() < end) {
        const auto now = std::chrono::steady_clock::now();
        if (!steadyTaken && now >= steady) {
            steadyTaken = true;
            bench.steadyNs = NowNs();
            bench.cpuAtSteadyNs = DriverCpuNs(run);
            bench.stolenAtSteadyMs = StolenMs();
            bench.allocationsAtSteady = AllocationsBy(run.driverThreads);
            bench.liveAtSteady = LiveAllocations();
            bench.transactionsAtSteady = RequestsSoFar(bench);
        }
        if (steadyTaken && now >= nextWrite) {
            const size_t station = writeCount % run.writeHandles.size();
            CTagVal value(5.0 + static_cast<double>(writeCount % 50) / 10.0);
            bench.writes.Add({static_cast<int>(station), kWriteParameter, NowNs()});
            run.module.WriteTag(run.instance, run.writeHandles[station], &value);
            ++writeCount;
            nextWrite += interval;
        }
        std::this_thread::sleep_until(std::min(nextWrite, end));
    }
    bench.endNs = NowNs();
    bench.cpuAtEndNs = DriverCpuNs(run);
    bench.stolenAtEndMs = StolenMs();
    bench.allocationsAtEnd = AllocationsBy(run.driverThreads);
    bench.liveAtEnd = LiveAllocations();
    bench.transactionsAtEnd = RequestsSoFar(bench);
    bench.rssKb = StatusKb(ThisProcessId(), "VmRSS");
    bench.hwmKb = StatusKb(ThisProcessId(), "VmHWM");
    run.module.Stop(run.instance);
    SetLineTraceSink(nullptr, nullptr);
}

// --- The baseline poller -----------------------------------------------------------------

// Either baseline (the script or the C poller), reporting as TakeBaselineLine reads.
bool RunBaseline(Bench& bench) {
    const Options& options = bench.options;
    const std::string program = options.mode == "baseline-c"
                                    ? options.baselineProgram
                                    : options.python + " " + options.baselineScript;
    const std::string command =
        program + " --device " + bench.line.Path() + " --drives " + std::to_string(options.drives) +
        " --baud " + std::to_string(options.baud) + " --seconds " +
        std::to_string(options.seconds) + " --warmup " + std::to_string(options.warmupSeconds) +
        " --write-interval " + std::to_string(options.writeIntervalMs);
    bench.startNs = NowNs();
    FILE* output = popen(command.c_str(), "r");
    if (output == nullptr) {
        return false;
    }
    char lineText[256];
    BaselineMarks marks;
    while (std::fgets(lineText, sizeof(lineText), output) != nullptr) {
        const int cpuLines = marks.cpuLines;
        TakeBaselineLine(lineText, bench.deliveries, bench.writes, marks);
        if (marks.cpuLines != cpuLines) {
            (cpuLines == 0 ? bench.stolenAtSteadyMs : bench.stolenAtEndMs) = StolenMs();
        }
    }
    bench.steadyNs = marks.steadyNs;
    bench.endNs = marks.endNs;
    bench.cpuAtSteadyNs = marks.atSteady.cpuNs;
    bench.cpuAtEndNs = marks.atEnd.cpuNs;
    bench.rssKb = marks.rssKb;
    bench.hwmKb = marks.rssKb;
    return pclose(output) == 0 && marks.cpuLines == 2;
}

// --- Report ------------------------------------------------------------------------------

void Report(const Bench& bench) {
    const Options& options = bench.options;
    const LineFigures figures =
        Analyse(bench.TheSchedule(), bench.line.Events().Items(), bench.deliveries.Items(),
                bench.writes.Items(), bench.steadyNs);
    const double steadyMinutes = (bench.endNs - bench.steadyNs) / 60e9;
    const double cpuMsPerMinute =
        steadyMinutes > 0 ? (bench.cpuAtEndNs - bench.cpuAtSteadyNs) / 1e6 / steadyMinutes : 0;
    const bool driver = options.mode == "driver";
    const size_t steadyTransactions = bench.transactionsAtEnd - bench.transactionsAtSteady;
    std::printf("{\"impl\":\"%s\",\"drives\":%d,\"baud\":%u,\"turnaround_ms\":%u,"
                "\"seconds\":%.1f,\"transactions\":%zu,\"efficiency\":%.5f,"
                "\"added_delay_us\":%s,\"delivery_us\":%s,\"write_us\":%s,"
                "\"cpu_ms_per_min\":%.2f,\"cpu_percent\":%.4f,\"rss_kb\":%llu,\"hwm_kb\":%llu",
                options.mode.c_str(), options.drives, options.baud, options.turnaroundMs,
                options.seconds, figures.transactions, figures.efficiency,
                SpreadJson(figures.addedDelay).c_str(), SpreadJson(figures.delivery).c_str(),
                SpreadJson(figures.write).c_str(), cpuMsPerMinute, cpuMsPerMinute / 600.0,
                static_cast<unsigned long long>(bench.rssKb),
                static_cast<unsigned long long>(bench.hwmKb));
    if (driver && AllocationsCounted() && steadyTransactions > 0) {
        std::printf(",\"allocations_per_transaction\":%.2f,\"live_allocation_growth\":%lld",
                    static_cast<double>(bench.allocationsAtEnd - bench.allocationsAtSteady) /
                        static_cast<double>(steadyTransactions),
                    static_cast<long long>(bench.liveAtEnd - bench.liveAtSteady));
    }
    if (driver) {
        const DelayParts parts = SplitAddedDelay(bench.TheSchedule(), bench.line.Events().Items(),
                                                 bench.driverMoments.Items(), bench.steadyNs);
        std::printf(",\"added_delay_at_port_us\":%s,\"added_delay_parts_us\":{\"wake\":%s,"
                    "\"driver\":%s,\"line\":%s,\"unmatched\":%zu}",
                    SpreadJson(parts.atPort).c_str(), SpreadJson(parts.wake).c_str(),
                    SpreadJson(parts.driver).c_str(), SpreadJson(parts.line).c_str(),
                    parts.unmatched);
    }
    std::printf(",\"machine_stolen_ms\":%llu",
                static_cast<unsigned long long>(bench.stolenAtEndMs - bench.stolenAtSteadyMs));
    std::printf(",\"unanswered\":%zu,\"lost_records\":%zu}\n", figures.unanswered,
                bench.line.Events().Lost() + bench.deliveries.Lost() + bench.writes.Lost() +
                    bench.driverMoments.Lost());
    if (!options.samples.empty()) {
        std::ofstream samples(options.samples, std::ios::app);
        for (double sample : figures.deliverySamples) {
            samples << options.mode << ' ' << options.drives << ' ' << options.baud << ' ' << sample
                    << '\n';
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: vfda-line-bench [--mode driver|baseline|baseline-c] [--drives 1-32] "
                     "[--baud 1200|2400|4800] [--turnaround MS] [--seconds S] [--warmup S] "
                     "[--write-interval MS] [--samples FILE] [--baseline-script PATH] "
                     "[--baseline-program PATH] [--python PATH]\n");
        return 2;
    }
    Bench bench(options);
    if (!bench.line.Start(options.turnaroundMs)) {
        return 1;
    }
    bool ran = true;
    if (options.mode == "driver") {
        ModuleRun run;
        ran = PrepareModule(bench, run);
        if (ran) {
            RunModule(bench, run);
        }
    } else {
        ran = RunBaseline(bench);
    }
    bench.line.Stop();
    if (!ran) {
        std::fprintf(stderr, "the run failed\n");
        return 1;
    }
    Report(bench);
    return 0;
}
