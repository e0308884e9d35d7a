// Many lines in one host: 1 to 36 instances of the module in this process, each with its own
// configuration, COM port (a pseudo-terminal) and simulated drives with wire timing, or the
// C baseline poller once per line (a process each), polled for a fixed time with a steady
// stream of host writes. Prints one JSON object: the cost of all lines together and per
// line, and each line's figures, so that a line slowed by its neighbours shows.
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
#include "sim/line_server.h"
#include "stand_in_control.h"
#include "toolkit/line_trace.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace bench;
using Clock = std::chrono::steady_clock;

constexpr int kMaxLines = 36; // COM1 to COM36
constexpr size_t kRecordCapacity = 1 << 16;
constexpr uint32_t kTagIdsPerLine = 1000; // a line's tag ids: line * 1000 + 1 and up
constexpr uint32_t kWriteParameter = 10;  // P10, acceleration time: a harmless write

using Options = BenchOptions;

bool ParseOptions(int argc, char** argv, Options& options) {
    const std::set<std::string> accepted = {"--mode",   "--lines",          "--drives",
                                            "--baud",   "--turnaround",     "--seconds",
                                            "--warmup", "--write-interval", "--baseline-program"};
    options.drives = 32;
    options.warmupSeconds = 3;
    return ParseBenchOptions(argc, argv, accepted, options) && options.lines <= kMaxLines &&
           (options.mode == "driver" ||
            (options.mode == "baseline-c" && !options.baselineProgram.empty()));
}

// One line: its drives and the record of its moments. Each record is filled by one thread
// only: the line server's, the line's poll thread, its delivery thread (the baseline: the
// benchmark's own after the run) and the benchmark's writes.
struct Line {
    Line(int lineIndex, const Options& options)
        : index(lineIndex), drives(options.drives, options.baud, kRecordCapacity) {}

    int index;
    DriveLine drives;
    Record<DriverMoment> driverMoments{kRecordCapacity};
    Record<Delivery> deliveries{kRecordCapacity};
    Record<HostWrite> writes{kRecordCapacity};

    // The driver's instance on this line.
    int32_t instance = -1;
    std::vector<uint32_t> writeHandles; // P10 of each station
    std::set<int> driverThreads;
    size_t writesMade = 0;

    // The baseline's process on this line.
    FILE* baseline = nullptr;
    std::string baselineOutput;

    std::atomic<int> pollThread{0}; // the driver thread that traces the line
    int64_t steadyNs = 0;
    uint64_t cpuAtSteadyNs = 0;
    uint64_t cpuAtEndNs = 0;
    ThreadSched pollAtSteady;
    ThreadSched pollAtEnd;
    uint64_t rssKb = 0; // the baseline's process
};

struct Run {
    explicit Run(const Options& chosen) : options(chosen) {}

    Schedule TheSchedule() const {
        return LineSchedule(options.baud, options.turnaroundMs, options.drives);
    }

    const Options& options;
    std::vector<std::unique_ptr<Line>> lines;
    std::filesystem::path folder;
    int64_t endNs = 0;
    uint64_t stolenAtSteadyMs = 0;
    uint64_t stolenAtEndMs = 0;
    uint64_t processCpuAtSteadyNs = 0;
    uint64_t processCpuAtEndNs = 0;
    uint64_t rssBeforeKb = 0; // drives and the loaded module, no instance open
    uint64_t rssSteadyKb = 0; // every instance open and polling
    size_t threads = 0;
};

// --- Where the driver's calls come from ----------------------------------------------------

std::vector<std::unique_ptr<Line>>* g_lines = nullptr; // fixed before the first instance runs

// Which line a driver thread serves, filled as each instance starts; read by its threads.
struct ThreadLine {
    std::atomic<int> thread{0};
    std::atomic<int> line{-1};
};
std::array<ThreadLine, 2 * kMaxLines> g_threadLines;
std::atomic<size_t> g_threadLineCount{0};

void NoteThreadLine(int threadId, int line) {
    const size_t slot = g_threadLineCount.load();
    if (slot < g_threadLines.size()) {
        g_threadLines[slot].thread = threadId;
        g_threadLines[slot].line = line;
        g_threadLineCount = slot + 1;
    }
}

// The line of the calling poll thread, looked up once per thread; -1 while not yet known.
int LineOfThisThread() {
    thread_local int line = -1;
    if (line < 0) {
        const int self = ThisThreadId();
        for (size_t i = 0; i < g_threadLineCount.load(); ++i) {
            if (g_threadLines[i].thread.load() == self) {
                line = g_threadLines[i].line.load();
                (*g_lines)[static_cast<size_t>(line)]->pollThread = self;
            }
        }
    }
    return line;
}

void ReceiveTagValue(void* /*context*/, uint32_t tagId, double /*value*/) {
    const size_t line = tagId / kTagIdsPerLine;
    if (line < g_lines->size()) {
        (*g_lines)[line]->deliveries.Add({tagId, NowNs()});
    }
}

// The driver traces a request just before it is written and an answer once it is whole;
// the bytes it skipped before an answer are no moment of the transaction.
void ReceiveLineTrace(void* /*context*/, LineDirection direction, const uint8_t* /*bytes*/,
                      size_t /*count*/) {
    const int line = LineOfThisThread();
    if (line < 0 || direction == LineDirection::Skipped) {
        return;
    }
    const auto kind = direction == LineDirection::Sent ? DriverMoment::Kind::RequestHanded
                                                       : DriverMoment::Kind::AnswerTaken;
    (*g_lines)[static_cast<size_t>(line)]->driverMoments.Add({kind, NowNs()});
}

// --- The module, one instance a line -------------------------------------------------------

struct ModuleHost {
    hostkit::HostLibraries host;
    hostkit::DriverModule module;
    platform::LibraryHandle dbm = nullptr;

    ~ModuleHost() {
        if (dbm != nullptr) {
            platform::FreeLibraryHandle(dbm);
        }
    }
};

bool LoadModule(Run& run, ModuleHost& host) {
    auto setSink = LoadModuleAndTagDatabase(host.host, host.module, host.dbm);
    if (setSink == nullptr) {
        return false;
    }
    g_lines = &run.lines;
    setSink(&ReceiveTagValue, nullptr);
    SetLineTraceSink(&ReceiveLineTrace, nullptr);
    return true;
}

// The line's configuration (COMn, n = line + 1), its instance and its tags: in every
// station the status words of all four groups, a bit of the status nibble, and P10.
bool OpenInstance(const Run& run, ModuleHost& host, Line& line) {
    const std::string path =
        (run.folder / ("line" + std::to_string(line.index + 1) + ".cfg")).string();
    if (!SaveLineConfig(path, line.index, run.options.baud, run.options.drives)) {
        return false;
    }
    line.instance = host.module.Open(path.c_str());
    if (line.instance < 0 || host.module.InitComm(line.instance) != 0) {
        std::fprintf(stderr, "the module did not open COM%d\n", line.index + 1);
        return false;
    }
    line.writeHandles = RegisterLineTags(host.module, line.instance, run.options.drives,
                                         static_cast<uint32_t>(line.index) * kTagIdsPerLine + 1);
    host.module.BuildPollMasks(line.instance);
    return true;
}

void EnableInstance(ModuleHost& host, Line& line) {
    const std::set<int> before = ThreadIds();
    host.module.Enable(line.instance, nullptr, 1);
    for (int id : ThreadIds()) {
        if (before.count(id) == 0) {
            line.driverThreads.insert(id);
            NoteThreadLine(id, line.index);
        }
    }
}

uint64_t DriverCpuNs(const Line& line) {
    uint64_t total = 0;
    for (int id : line.driverThreads) {
        total += ThreadCpuNs(id);
    }
    return total;
}

// Each line gets a write every interval; the lines take turns, evenly spread.
void MakeWrite(ModuleHost& host, Line& line) {
    const size_t station = line.writesMade % line.writeHandles.size();
    CTagVal value(5.0 + static_cast<double>(line.writesMade % 50) / 10.0);
    line.writes.Add({static_cast<int>(station), kWriteParameter, NowNs()});
    host.module.WriteTag(line.instance, line.writeHandles[station], &value);
    ++line.writesMade;
}

void TakeSteady(Run& run) {
    run.stolenAtSteadyMs = StolenMs();
    run.processCpuAtSteadyNs = ProcessCpuNs(ThisProcessId());
    run.rssSteadyKb = StatusKb(ThisProcessId(), "VmRSS");
}

void TakeEnd(Run& run) {
    run.endNs = NowNs();
    run.stolenAtEndMs = StolenMs();
    run.processCpuAtEndNs = ProcessCpuNs(ThisProcessId());
}

bool RunModule(Run& run) {
    ModuleHost host;
    if (!LoadModule(run, host)) {
        return false;
    }
    run.rssBeforeKb = StatusKb(ThisProcessId(), "VmRSS");
    for (auto& line : run.lines) {
        if (!OpenInstance(run, host, *line)) {
            return false;
        }
    }
    const auto start = Clock::now();
    for (auto& line : run.lines) {
        EnableInstance(host, *line);
        run.threads += line->driverThreads.size();
    }
    const auto steady = start + std::chrono::duration<double>(run.options.warmupSeconds);
    const auto end = start + std::chrono::duration<double>(run.options.seconds);
    std::this_thread::sleep_until(steady);
    for (auto& line : run.lines) {
        line->steadyNs = NowNs();
        line->cpuAtSteadyNs = DriverCpuNs(*line);
        line->pollAtSteady = ThreadSchedstat(line->pollThread.load());
    }
    TakeSteady(run);
    const auto turn = std::chrono::duration_cast<Clock::duration>(
        std::chrono::milliseconds(run.options.writeIntervalMs) / run.lines.size());
    auto nextWrite = Clock::now();
    for (size_t write = 0; nextWrite < end; ++write, nextWrite += turn) {
        std::this_thread::sleep_until(nextWrite);
        MakeWrite(host, *run.lines[write % run.lines.size()]);
    }
    std::this_thread::sleep_until(end);
    for (auto& line : run.lines) {
        line->cpuAtEndNs = DriverCpuNs(*line);
        line->pollAtEnd = ThreadSchedstat(line->pollThread.load());
    }
    TakeEnd(run);
    for (auto& line : run.lines) {
        host.module.Stop(line->instance);
    }
    SetLineTraceSink(nullptr, nullptr);
    return true;
}

// --- The C baseline, one process a line ----------------------------------------------------

bool StartBaseline(const Run& run, Line& line) {
    const Options& options = run.options;
    line.baselineOutput =
        (run.folder / ("baseline" + std::to_string(line.index) + ".txt")).string();
    const uint32_t offsetMs =
        options.writeIntervalMs * static_cast<uint32_t>(line.index) / run.lines.size();
    const std::string command =
        options.baselineProgram + " --device " + line.drives.Path() + " --drives " +
        std::to_string(options.drives) + " --baud " + std::to_string(options.baud) + " --seconds " +
        std::to_string(options.seconds) + " --warmup " + std::to_string(options.warmupSeconds) +
        " --write-interval " + std::to_string(options.writeIntervalMs) + " --write-offset " +
        std::to_string(offsetMs) + " > " + line.baselineOutput;
    line.baseline = popen(command.c_str(), "r");
    return line.baseline != nullptr;
}

bool ReadBaseline(Line& line) {
    std::ifstream output(line.baselineOutput);
    std::string text;
    BaselineMarks marks;
    while (std::getline(output, text)) {
        TakeBaselineLine(text.c_str(), line.deliveries, line.writes, marks);
    }
    line.steadyNs = marks.steadyNs;
    line.cpuAtSteadyNs = marks.atSteady.cpuNs;
    line.cpuAtEndNs = marks.atEnd.cpuNs;
    line.rssKb = marks.rssKb;
    line.pollAtSteady = marks.atSteady; // the poller's one thread is its poll thread
    line.pollAtEnd = marks.atEnd;
    return marks.cpuLines == 2;
}

bool RunBaseline(Run& run) {
    for (auto& line : run.lines) {
        if (!StartBaseline(run, *line)) {
            return false;
        }
    }
    const auto start = Clock::now();
    run.threads = run.lines.size(); // one thread a process
    std::this_thread::sleep_until(start + std::chrono::duration<double>(run.options.warmupSeconds));
    TakeSteady(run);
    std::this_thread::sleep_until(start + std::chrono::duration<double>(run.options.seconds));
    TakeEnd(run);
    bool ran = true;
    for (auto& line : run.lines) {
        ran = pclose(line->baseline) == 0 && ReadBaseline(*line) && ran;
    }
    return ran;
}

// --- Report ----------------------------------------------------------------------------------

std::string ListJson(const std::vector<double>& values, const char* format) {
    std::string text = "[";
    for (size_t i = 0; i < values.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof(number), format, values[i]);
        text += (i == 0 ? "" : ",") + std::string(number);
    }
    return text + "]";
}

struct Pooled {
    std::vector<double> efficiency; // by line
    std::vector<double> addedP99;   // by line
    std::vector<double> deliveryP99;
    std::vector<double> added; // every line's samples together
    std::vector<double> atPort;
    std::vector<double> delivery;
    std::vector<double> write;
    size_t transactions = 0;
    size_t unanswered = 0;
    size_t lost = 0;
    uint64_t cpuNs = 0;
    // The poll threads alone (the driver's; the C pollers' only ones).
    uint64_t pollCpuNs = 0;
    uint64_t pollWaitNs = 0; // ready, waiting for a processor
    uint64_t pollRuns = 0;   // put on a processor
    uint64_t baselineRssKb = 0;
};

Pooled PoolLines(const Run& run) {
    Pooled pooled;
    const bool driver = run.options.mode == "driver";
    for (const auto& line : run.lines) {
        const LineFigures figures =
            Analyse(run.TheSchedule(), line->drives.Events().Items(), line->deliveries.Items(),
                    line->writes.Items(), line->steadyNs);
        pooled.efficiency.push_back(figures.efficiency);
        pooled.addedP99.push_back(figures.addedDelay.p99);
        pooled.deliveryP99.push_back(figures.delivery.p99);
        pooled.added.insert(pooled.added.end(), figures.addedDelaySamples.begin(),
                            figures.addedDelaySamples.end());
        pooled.delivery.insert(pooled.delivery.end(), figures.deliverySamples.begin(),
                               figures.deliverySamples.end());
        pooled.write.push_back(figures.write.p50);
        if (driver) {
            const DelayParts parts =
                SplitAddedDelay(run.TheSchedule(), line->drives.Events().Items(),
                                line->driverMoments.Items(), line->steadyNs);
            pooled.atPort.insert(pooled.atPort.end(), parts.atPortSamples.begin(),
                                 parts.atPortSamples.end());
        }
        pooled.transactions += figures.transactions;
        pooled.unanswered += figures.unanswered;
        pooled.lost += line->drives.Events().Lost() + line->driverMoments.Lost() +
                       line->deliveries.Lost() + line->writes.Lost();
        pooled.cpuNs += line->cpuAtEndNs - line->cpuAtSteadyNs;
        pooled.pollCpuNs += line->pollAtEnd.cpuNs - line->pollAtSteady.cpuNs;
        pooled.pollWaitNs += line->pollAtEnd.waitNs - line->pollAtSteady.waitNs;
        pooled.pollRuns += line->pollAtEnd.runs - line->pollAtSteady.runs;
        pooled.baselineRssKb += line->rssKb;
    }
    return pooled;
}

// The figures of the whole run, one JSON object. CPU is per minute of polling after the
// warm-up and in percent of one core; memory per line is what opening and running the
// instances added to the process (the baseline: each poller's own resident set).
void Report(const Run& run) {
    const Options& options = run.options;
    const Pooled pooled = PoolLines(run);
    const double lines = static_cast<double>(run.lines.size());
    const double minutes = (options.seconds - options.warmupSeconds) / 60.0;
    const double cpuPercent = minutes > 0 ? pooled.cpuNs / 1e6 / minutes / 600.0 : 0;
    const double processPercent =
        minutes > 0 ? (run.processCpuAtEndNs - run.processCpuAtSteadyNs) / 1e6 / minutes / 600.0
                    : 0;
    const bool driver = options.mode == "driver";
    const double rssPerLine =
        driver
            ? (static_cast<double>(run.rssSteadyKb) - static_cast<double>(run.rssBeforeKb)) / lines
            : static_cast<double>(pooled.baselineRssKb) / lines;
    const Spread efficiency = SpreadOf(pooled.efficiency);
    std::printf(
        "{\"impl\":\"%s\",\"lines\":%zu,\"drives\":%d,\"baud\":%u,"
        "\"turnaround_ms\":%u,\"seconds\":%.1f,\"threads\":%zu,"
        "\"transactions\":%zu,\"cpu_percent\":%.4f,\"cpu_percent_per_line\":%.4f,"
        "\"process_cpu_percent\":%.4f,\"rss_kb_per_line\":%.1f,"
        "\"efficiency\":{\"min\":%.5f,\"p50\":%.5f,\"max\":%.5f},"
        "\"efficiency_by_line\":%s,\"added_delay_p99_by_line_us\":%s,"
        "\"delivery_p99_by_line_us\":%s,\"added_delay_us\":%s,\"delivery_us\":%s,"
        "\"write_p50_by_line_us\":%s",
        options.mode.c_str(), run.lines.size(), options.drives, options.baud, options.turnaroundMs,
        options.seconds, run.threads, pooled.transactions, cpuPercent, cpuPercent / lines,
        processPercent, rssPerLine,
        *std::min_element(pooled.efficiency.begin(), pooled.efficiency.end()), efficiency.p50,
        efficiency.max, ListJson(pooled.efficiency, "%.5f").c_str(),
        ListJson(pooled.addedP99, "%.0f").c_str(), ListJson(pooled.deliveryP99, "%.0f").c_str(),
        SpreadJson(SpreadOf(pooled.added)).c_str(), SpreadJson(SpreadOf(pooled.delivery)).c_str(),
        ListJson(pooled.write, "%.0f").c_str());
    if (driver) {
        std::printf(",\"poll_thread_cpu_percent_per_line\":%.4f",
                    minutes > 0 ? pooled.pollCpuNs / 1e6 / minutes / 600.0 / lines : 0);
        std::printf(",\"added_delay_at_port_us\":%s,\"rss_kb_before\":%llu,\"rss_kb\":%llu",
                    SpreadJson(SpreadOf(pooled.atPort)).c_str(),
                    static_cast<unsigned long long>(run.rssBeforeKb),
                    static_cast<unsigned long long>(run.rssSteadyKb));
    }
    // How a poll thread's CPU comes about (the C poller's one thread, or the driver's poll
    // thread): how often it runs a transaction, how long each time, and how long it waited
    // for a processor when it was ready. A machine that turns slow shows in the last two
    // for the driver and the C poller alike; more turns a transaction would be ours.
    const double transactions = std::max<double>(1.0, pooled.transactions);
    const double runs = std::max<double>(1.0, pooled.pollRuns);
    std::printf(",\"poll_thread_runs_per_transaction\":%.2f,\"poll_thread_us_per_run\":%.2f,"
                "\"poll_thread_ready_wait_us_per_run\":%.2f",
                pooled.pollRuns / transactions, pooled.pollCpuNs / 1e3 / runs,
                pooled.pollWaitNs / 1e3 / runs);
    std::printf(",\"machine_stolen_ms\":%llu,\"unanswered\":%zu,\"lost_records\":%zu}\n",
                static_cast<unsigned long long>(run.stolenAtEndMs - run.stolenAtSteadyMs),
                pooled.unanswered, pooled.lost);
}

bool PrepareLines(Run& run) {
    run.folder = std::filesystem::temp_directory_path() /
                 ("vfda-scale-bench-" + std::to_string(ThisProcessId()));
    std::filesystem::create_directories(run.folder);
    for (int index = 0; index < run.options.lines; ++index) {
        run.lines.push_back(std::make_unique<Line>(index, run.options));
        if (!run.lines.back()->drives.Start(run.options.turnaroundMs)) {
            return false;
        }
        std::filesystem::create_symlink(run.lines.back()->drives.Path(),
                                        run.folder / ("com" + std::to_string(index + 1)));
    }
    platform::SetSerialDeviceFolder(run.folder.string());
    return true;
}

void StopLines(Run& run) {
    for (auto& line : run.lines) {
        line->drives.Stop();
    }
    std::error_code error;
    std::filesystem::remove_all(run.folder, error);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: vfda-scale-bench [--mode driver|baseline-c] [--lines 1-36] "
                             "[--drives 1-32] [--baud 1200|2400|4800] [--turnaround MS] "
                             "[--seconds S] [--warmup S] [--write-interval MS] "
                             "[--baseline-program PATH]\n");
        return 2;
    }
    Run run(options);
    bool ran = PrepareLines(run);
    if (ran) {
        ran = options.mode == "driver" ? RunModule(run) : RunBaseline(run);
    }
    StopLines(run);
    if (!ran) {
        std::fprintf(stderr, "the run failed\n");
        return 1;
    }
    Report(run);
    return 0;
}
