// How late this machine wakes a sleeping thread, with nothing of the driver involved: the
// floor under the line benchmark's latency tails. A thread waits out timed waits as the
// poll thread's pause does (a condition variable, 100 ms; with the system's default timer
// slack and with the least, as the poll thread sets it), and a thread is woken through a
// pseudo-terminal as the poll thread is by a byte. Prints one JSON object; also the
// machine's stolen time (the hypervisor running someone else) over the run.
#include "platform/clock.h"
#include "platform/pseudo_terminal.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Spread {
    double p50 = 0, p99 = 0, max = 0;
};

Spread SpreadOf(std::vector<double> samples) {
    Spread spread;
    if (samples.empty()) {
        return spread;
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double share) {
        return samples[static_cast<size_t>(share * static_cast<double>(samples.size() - 1))];
    };
    spread.p50 = at(0.5);
    spread.p99 = at(0.99);
    spread.max = samples.back();
    return spread;
}

double Micros(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

// Overshoot of timed waits on a condition variable nobody signals.
std::vector<double> TimedWaitOvershoot(int count, std::chrono::milliseconds wait) {
    std::mutex lock;
    std::condition_variable never;
    std::vector<double> late;
    for (int i = 0; i < count; ++i) {
        std::unique_lock guard(lock);
        const auto deadline = Clock::now() + wait;
        never.wait_until(guard, deadline, [] { return false; });
        late.push_back(Micros(Clock::now() - deadline));
    }
    return late;
}

// A byte written to a pseudo-terminal every `interval`, and the time until the reader,
// blocked in poll, has it.
std::vector<double> ByteWakeLatency(int count, std::chrono::microseconds interval) {
    std::string error;
    auto line = platform::TerminalLine::CreatePseudoTerminal(error);
    if (!line) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", error.c_str());
        return {};
    }
    std::vector<double> latency;
    std::vector<Clock::time_point> written(static_cast<size_t>(count));
    std::thread reader([&] {
        const int fd = ::open(line->Path().c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0) {
            return;
        }
        for (int got = 0; got < count;) {
            pollfd waiting{fd, POLLIN, 0};
            if (poll(&waiting, 1, 1000) <= 0) {
                break;
            }
            uint8_t byte = 0;
            if (read(fd, &byte, 1) == 1) {
                latency.push_back(Micros(Clock::now() - written[static_cast<size_t>(got)]));
                ++got;
            }
        }
        close(fd);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the reader is waiting
    auto next = Clock::now();
    for (int i = 0; i < count; ++i) {
        next += interval;
        std::this_thread::sleep_until(next);
        written[static_cast<size_t>(i)] = Clock::now();
        const uint8_t byte = 'x';
        line->Write(&byte, 1, 100);
    }
    reader.join();
    return latency;
}

// Ticks (1/100 s) the hypervisor took from this machine so far: /proc/stat's steal column.
long long StolenTicks() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    long long fields[8] = {};
    stat >> cpu;
    for (long long& field : fields) {
        stat >> field;
    }
    return fields[7];
}

std::string Json(const Spread& spread) {
    char text[96];
    std::snprintf(text, sizeof(text), "{\"p50\":%.1f,\"p99\":%.1f,\"max\":%.1f}", spread.p50,
                  spread.p99, spread.max);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    const long long stolenBefore = StolenTicks();
    const Spread waits = SpreadOf(TimedWaitOvershoot(count, std::chrono::milliseconds(100)));
    Spread preciseWaits;
    {
        const platform::PreciseTimers precise; // as the poll thread runs
        preciseWaits = SpreadOf(TimedWaitOvershoot(count, std::chrono::milliseconds(100)));
    }
    const Spread bytes = SpreadOf(ByteWakeLatency(count * 10, std::chrono::microseconds(2291)));
    const long long stolen = StolenTicks() - stolenBefore;
    std::printf(
        "{\"timed_wait_100ms_overshoot_us\":%s,\"precise_timed_wait_100ms_overshoot_us\":%s,"
        "\"byte_wake_us\":%s,\"samples\":%d,\"stolen_ms\":%lld,\"cores\":%u}\n",
        Json(waits).c_str(), Json(preciseWaits).c_str(), Json(bytes).c_str(), count, stolen * 10,
        std::thread::hardware_concurrency());
    return 0;
}
