// What a line benchmark records while it runs, and the figures it draws from the record.
// Each list is filled by one thread only (the line server's, the delivery thread, the
// benchmark's own) and read after all of them have stopped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Nanoseconds of CLOCK_MONOTONIC (std::chrono::steady_clock), the clock every side shares.
int64_t NowNs();

struct LineEvent {
    enum class Kind : uint8_t { Request, AnswerEnd } kind;
    char letter;
    uint8_t length;
    int station;
    int parameter;
    int64_t atNs;
};

// The driver's own view of the line, from its line trace: the moment it has a whole answer,
// and the moment it hands a request to the port.
struct DriverMoment {
    enum class Kind : uint8_t { AnswerTaken, RequestHanded } kind;
    int64_t atNs;
};

struct Delivery {
    uint32_t tagId;
    int64_t atNs;
};

struct HostWrite {
    int station;
    int parameter;
    int64_t atNs;
};

// Fixed-capacity list: appends never allocate once running, so the recorder itself adds
// nothing to the allocation counts it measures. Appends beyond the capacity are counted.
template <typename T> class Record {
public:
    explicit Record(size_t capacity) { items_.reserve(capacity); }
    void Add(const T& item) {
        if (items_.size() < items_.capacity()) {
            items_.push_back(item);
        } else {
            ++lost_;
        }
    }
    const std::vector<T>& Items() const { return items_; }
    size_t Lost() const { return lost_; }

private:
    std::vector<T> items_;
    size_t lost_ = 0;
};

struct Spread {
    size_t count = 0;
    double p50 = 0;
    double p99 = 0;
    double max = 0;
};

// The figures of one run, times in microseconds.
struct LineFigures {
    size_t transactions = 0;
    size_t unanswered = 0; // requests that got no answer before the next one
    double efficiency = 0;
    Spread addedDelay;
    Spread delivery;
    Spread write;
    std::vector<double> addedDelaySamples; // for pooling the lines of one run
    std::vector<double> deliverySamples;
};

struct Schedule {
    uint32_t baud = 4800;
    uint32_t turnaroundMs = 10;
    int drives = 1;
    // Communication blocks the poll thread visits per drive: its D block and, when a
    // parameter of it is bound, its P block (which queues nothing).
    int blocksPerDrive = 1;
    uint32_t pauseMs = 100;       // after every request
    uint32_t minimumPassMs = 100; // a pass over the blocks lasts at least this long
};

// Where the added delay of each transaction went, in microseconds: from the answer's last
// byte to the driver having it (waking for the byte), from then to the next request handed
// to the port less the mandated pause (the driver's own work and the pause's overshoot),
// and from there to the drive reading it (the line and the drive's side).
struct DelayParts {
    Spread wake;
    Spread driver;
    Spread line;
    // wake + driver: the added delay up to the request being on the line, without the
    // simulated drive's own wake-up to read it (which a real drive's line does not have).
    Spread atPort;
    std::vector<double> atPortSamples;
    size_t unmatched = 0; // transactions without both driver moments
};

// Seconds a number of characters takes on the line: 11 bits a character.
double WireSeconds(size_t characters, uint32_t baud);

// Figures from the record, counting only what happened from `fromNs` on.
LineFigures Analyse(const Schedule& schedule, const std::vector<LineEvent>& line,
                    const std::vector<Delivery>& deliveries, const std::vector<HostWrite>& writes,
                    int64_t fromNs);

DelayParts SplitAddedDelay(const Schedule& schedule, const std::vector<LineEvent>& line,
                           const std::vector<DriverMoment>& driver, int64_t fromNs);

Spread SpreadOf(std::vector<double> samples);

std::string SpreadJson(const Spread& spread);

} // namespace bench
