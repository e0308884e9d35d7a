#include "line_record.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>

namespace bench {
namespace {

constexpr double kBitsPerCharacter = 11.0;
constexpr size_t kAnswerLength = 11;

struct Transaction {
    const LineEvent* request = nullptr;
    int64_t answerEndNs = -1;
};

std::vector<Transaction> Transactions(const std::vector<LineEvent>& line, int64_t fromNs) {
    std::vector<Transaction> transactions;
    for (const LineEvent& event : line) {
        if (event.kind == LineEvent::Kind::Request) {
            if (event.atNs >= fromNs) {
                transactions.push_back({&event, -1});
            }
        } else if (!transactions.empty() && transactions.back().answerEndNs < 0) {
            transactions.back().answerEndNs = event.atNs;
        }
    }
    // A transaction still waiting for its answer at the end does not count.
    if (!transactions.empty() && transactions.back().answerEndNs < 0) {
        transactions.pop_back();
    }
    return transactions;
}

// The pause the schedule demands between an answer and the next request. When the only
// block is one D block, a pass over the blocks is a single poll step that takes no time, so
// the rest of the 100 ms pass is slept out before each new batch, which follows the group-3
// query. Otherwise every pass holds at least one block's four queries, far more than
// 100 ms, and the pass adds nothing.
double MandatedGapSeconds(const Schedule& schedule, const LineEvent& previous) {
    double gap = schedule.pauseMs / 1000.0;
    const bool singleBlock = schedule.drives * schedule.blocksPerDrive == 1;
    if (singleBlock && previous.letter == 'Q' && previous.parameter == 3) {
        gap += schedule.minimumPassMs / 1000.0;
    }
    return gap;
}

double TransactionWireSeconds(const Schedule& schedule, const LineEvent& request) {
    return WireSeconds(request.length, schedule.baud) + schedule.turnaroundMs / 1000.0 +
           WireSeconds(kAnswerLength, schedule.baud);
}

// The latest answer end at or before the moment, or -1.
int64_t AnswerEndBefore(const std::vector<int64_t>& answerEnds, int64_t atNs) {
    auto after = std::upper_bound(answerEnds.begin(), answerEnds.end(), atNs);
    return after == answerEnds.begin() ? -1 : *(after - 1);
}

} // namespace

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double WireSeconds(size_t characters, uint32_t baud) {
    return baud == 0 ? 0 : kBitsPerCharacter * static_cast<double>(characters) / baud;
}

Spread SpreadOf(std::vector<double> samples) {
    Spread spread;
    spread.count = samples.size();
    if (samples.empty()) {
        return spread;
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double share) {
        const size_t index = static_cast<size_t>(share * static_cast<double>(samples.size() - 1));
        return samples[index];
    };
    spread.p50 = at(0.50);
    spread.p99 = at(0.99);
    spread.max = samples.back();
    return spread;
}

std::string SpreadJson(const Spread& spread) {
    char text[160];
    std::snprintf(text, sizeof(text), "{\"count\":%zu,\"p50\":%.1f,\"p99\":%.1f,\"max\":%.1f}",
                  spread.count, spread.p50, spread.p99, spread.max);
    return text;
}

LineFigures Analyse(const Schedule& schedule, const std::vector<LineEvent>& line,
                    const std::vector<Delivery>& deliveries, const std::vector<HostWrite>& writes,
                    int64_t fromNs) {
    LineFigures figures;
    const std::vector<Transaction> transactions = Transactions(line, fromNs);
    figures.transactions = transactions.size();
    if (transactions.size() < 2) {
        return figures;
    }

    // Efficiency over whole transactions: from the first request to the last one.
    double ideal = 0;
    std::vector<double> added;
    std::vector<int64_t> answerEnds;
    for (size_t i = 0; i + 1 < transactions.size(); ++i) {
        const LineEvent& request = *transactions[i].request;
        const int64_t next = transactions[i + 1].request->atNs;
        if (transactions[i].answerEndNs < 0) {
            // No answer (the drive or the line failed): the receive limit, not the driver,
            // decided how long it took, so it counts as it was and adds no delay sample.
            ++figures.unanswered;
            ideal += (next - request.atNs) / 1e9;
            continue;
        }
        const double gap = MandatedGapSeconds(schedule, request);
        ideal += TransactionWireSeconds(schedule, request) + gap;
        const int64_t idle = next - transactions[i].answerEndNs;
        added.push_back(idle / 1000.0 - gap * 1e6);
        answerEnds.push_back(transactions[i].answerEndNs);
    }
    answerEnds.push_back(transactions.back().answerEndNs);
    const double measured =
        (transactions.back().request->atNs - transactions.front().request->atNs) / 1e9;
    figures.efficiency = measured > 0 ? ideal / measured : 0;
    figures.addedDelay = SpreadOf(added);
    figures.addedDelaySamples = std::move(added);

    for (const Delivery& delivery : deliveries) {
        if (delivery.atNs < fromNs || delivery.atNs > answerEnds.back() + 1'000'000'000) {
            continue;
        }
        const int64_t answerEnd = AnswerEndBefore(answerEnds, delivery.atNs);
        if (answerEnd >= 0) {
            figures.deliverySamples.push_back((delivery.atNs - answerEnd) / 1000.0);
        }
    }
    figures.delivery = SpreadOf(figures.deliverySamples);

    // Writes go out in the order they were made: the n-th host write is the n-th P request.
    std::deque<const HostWrite*> waiting;
    std::vector<double> writeLatency;
    size_t next = 0;
    for (const LineEvent& event : line) {
        while (next < writes.size() && writes[next].atNs <= event.atNs) {
            waiting.push_back(&writes[next++]);
        }
        if (event.kind != LineEvent::Kind::Request || event.letter != 'P' || waiting.empty()) {
            continue;
        }
        if (waiting.front()->atNs >= fromNs) {
            writeLatency.push_back((event.atNs - waiting.front()->atNs) / 1000.0);
        }
        waiting.pop_front();
    }
    figures.write = SpreadOf(writeLatency);
    return figures;
}

DelayParts SplitAddedDelay(const Schedule& schedule, const std::vector<LineEvent>& line,
                           const std::vector<DriverMoment>& driver, int64_t fromNs) {
    DelayParts parts;
    std::vector<double> wake;
    std::vector<double> own;
    std::vector<double> wire;
    std::vector<double> atPort;
    const std::vector<Transaction> transactions = Transactions(line, fromNs);
    size_t at = 0; // driver moments are in time order: walk them once
    for (size_t i = 0; i + 1 < transactions.size(); ++i) {
        if (transactions[i].answerEndNs < 0) {
            continue;
        }
        const int64_t answerEnd = transactions[i].answerEndNs;
        const int64_t nextRequest = transactions[i + 1].request->atNs;
        while (at < driver.size() && driver[at].atNs < answerEnd) {
            ++at;
        }
        int64_t taken = -1;
        int64_t handed = -1;
        for (size_t j = at; j < driver.size() && driver[j].atNs <= nextRequest; ++j) {
            if (driver[j].kind == DriverMoment::Kind::AnswerTaken && taken < 0) {
                taken = driver[j].atNs;
            } else if (driver[j].kind == DriverMoment::Kind::RequestHanded && taken >= 0) {
                handed = driver[j].atNs;
            }
        }
        if (taken < 0 || handed < 0) {
            ++parts.unmatched;
            continue;
        }
        const double gapUs = MandatedGapSeconds(schedule, *transactions[i].request) * 1e6;
        wake.push_back((taken - answerEnd) / 1000.0);
        own.push_back((handed - taken) / 1000.0 - gapUs);
        wire.push_back((nextRequest - handed) / 1000.0);
        atPort.push_back((handed - answerEnd) / 1000.0 - gapUs);
    }
    parts.wake = SpreadOf(std::move(wake));
    parts.driver = SpreadOf(std::move(own));
    parts.line = SpreadOf(std::move(wire));
    parts.atPort = SpreadOf(atPort);
    parts.atPortSamples = std::move(atPort);
    return parts;
}

} // namespace bench
