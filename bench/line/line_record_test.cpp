// The figures drawn from a line record: a timeline built to the schedule, with known delays
// added, must give back exactly those delays.
#include "line_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using namespace bench;

constexpr int64_t kMs = 1'000'000;
constexpr int64_t kUs = 1'000;

int64_t WireNs(size_t characters, uint32_t baud) {
    return static_cast<int64_t>(WireSeconds(characters, baud) * 1e9);
}

struct Timeline {
    Schedule schedule;
    std::vector<LineEvent> line;
    std::vector<Delivery> deliveries;
    std::vector<HostWrite> writes;
    int64_t now = 0;

    // One transaction, then the mandated pause plus the driver's own delay.
    void Transaction(char letter, int parameter, int64_t delayNs, int64_t deliveryNs) {
        const uint8_t length = letter == 'P' ? 11 : 7;
        line.push_back({LineEvent::Kind::Request, letter, length, 1, parameter, now});
        now +=
            WireNs(length, schedule.baud) + schedule.turnaroundMs * kMs + WireNs(11, schedule.baud);
        line.push_back({LineEvent::Kind::AnswerEnd, letter, 11, 0, 0, now});
        if (deliveryNs >= 0) {
            deliveries.push_back({1, now + deliveryNs});
        }
        now += schedule.pauseMs * kMs + delayNs;
    }
};

TEST(LineRecordTest, AnIdealTimelineIsFullyEfficientAndDelaysAreMeasuredExactly) {
    Timeline timeline;
    timeline.schedule.drives = 2;
    timeline.schedule.blocksPerDrive = 2;
    for (int i = 0; i < 40; ++i) {
        timeline.Transaction('Q', i % 4, i % 2 == 0 ? 0 : 400 * kUs, 150 * kUs);
    }
    const LineFigures figures =
        Analyse(timeline.schedule, timeline.line, timeline.deliveries, timeline.writes, 0);
    EXPECT_EQ(figures.transactions, 40u);
    EXPECT_NEAR(figures.addedDelay.p50, 0, 1);
    EXPECT_NEAR(figures.addedDelay.max, 400, 1);
    EXPECT_NEAR(figures.delivery.p99, 150, 1);
    EXPECT_EQ(figures.delivery.count, 40u);
    // 39 measured intervals, half of them 0.4 ms longer than the schedule's.
    const double ideal = 39 * (WireSeconds(18, 4800) + 0.010 + 0.100);
    EXPECT_NEAR(figures.efficiency, ideal / (ideal + 19 * 0.0004), 1e-4);
}

TEST(LineRecordTest, ASingleBlockSleepsOutThePassBeforeEachBatch) {
    Timeline timeline; // one drive with one D block: the pass pause follows group 3
    for (int i = 0; i < 12; ++i) {
        timeline.Transaction('Q', i % 4, i % 4 == 3 ? 100 * kMs : 0, -1);
    }
    const LineFigures figures =
        Analyse(timeline.schedule, timeline.line, timeline.deliveries, timeline.writes, 0);
    EXPECT_NEAR(figures.efficiency, 1.0, 1e-4);
    EXPECT_NEAR(figures.addedDelay.max, 0, 1);
}

TEST(LineRecordTest, WritesMatchTheirRequestsInOrderAndEarlyRecordsAreLeftOut) {
    Timeline timeline;
    timeline.schedule.blocksPerDrive = 2;
    timeline.Transaction('Q', 0, 0, 100 * kUs); // before the steady part
    const int64_t steady = timeline.now;
    timeline.writes.push_back({1, 10, steady + 1 * kMs});
    timeline.writes.push_back({1, 10, steady + 2 * kMs});
    timeline.Transaction('Q', 1, 0, 100 * kUs);
    const int64_t firstWrite = timeline.now;
    timeline.Transaction('P', 10, 0, 100 * kUs);
    const int64_t secondWrite = timeline.now;
    timeline.Transaction('P', 10, 0, 100 * kUs);
    timeline.Transaction('Q', 2, 0, 100 * kUs);
    const LineFigures figures =
        Analyse(timeline.schedule, timeline.line, timeline.deliveries, timeline.writes, steady);
    EXPECT_EQ(figures.transactions, 4u);
    EXPECT_EQ(figures.delivery.count, 4u);
    ASSERT_EQ(figures.write.count, 2u);
    EXPECT_NEAR(figures.write.p50, (firstWrite - steady - 1 * kMs) / 1000.0, 1);
    EXPECT_NEAR(figures.write.max, (secondWrite - steady - 2 * kMs) / 1000.0, 1);
}

TEST(LineRecordTest, AnUnansweredRequestIsCountedAndAddsNoDelay) {
    Timeline timeline;
    timeline.schedule.blocksPerDrive = 2;
    timeline.Transaction('Q', 0, 0, -1);
    timeline.line.push_back({LineEvent::Kind::Request, 'Q', 7, 1, 1, timeline.now});
    timeline.now += 1100 * kMs; // the receive limit and the pause
    timeline.Transaction('Q', 2, 0, -1);
    timeline.Transaction('Q', 3, 0, -1);
    const LineFigures figures =
        Analyse(timeline.schedule, timeline.line, timeline.deliveries, timeline.writes, 0);
    EXPECT_EQ(figures.unanswered, 1u);
    EXPECT_EQ(figures.addedDelay.count, 2u);
    EXPECT_NEAR(figures.addedDelay.max, 0, 1);
    EXPECT_NEAR(figures.efficiency, 1.0, 1e-4);
}

TEST(LineRecordTest, TheAddedDelayIsSplitAtTheDriversOwnMoments) {
    Timeline timeline;
    timeline.schedule.blocksPerDrive = 2;
    std::vector<DriverMoment> driver;
    for (int i = 0; i < 10; ++i) {
        const int64_t requestAt = timeline.now;
        timeline.Transaction('Q', i % 4, 600 * kUs, -1);
        const int64_t answerEnd = timeline.line.back().atNs;
        if (i > 0) {
            driver.push_back({DriverMoment::Kind::RequestHanded, requestAt - 50 * kUs});
        }
        // Woken 200 µs after the last byte, the request handed 350 µs late, read 50 µs on.
        driver.push_back({DriverMoment::Kind::AnswerTaken, answerEnd + 200 * kUs});
    }
    const DelayParts parts = SplitAddedDelay(timeline.schedule, timeline.line, driver, 0);
    EXPECT_EQ(parts.unmatched, 0u);
    EXPECT_EQ(parts.wake.count, 9u); // between 10 transactions
    EXPECT_NEAR(parts.wake.max, 200, 1);
    EXPECT_NEAR(parts.driver.p50, 350, 1);
    EXPECT_NEAR(parts.line.p99, 50, 1);
    EXPECT_NEAR(parts.atPort.p50, 550, 1) << "woken 200 µs late, then 350 µs of its own";

    driver.clear(); // the baseline has no driver moments
    EXPECT_EQ(SplitAddedDelay(timeline.schedule, timeline.line, driver, 0).unmatched, 9u);
}

TEST(LineRecordTest, SpreadOfNoSamplesIsEmpty) {
    const Spread spread = SpreadOf({});
    EXPECT_EQ(spread.count, 0u);
    EXPECT_EQ(SpreadOf({3, 1, 2}).p50, 2);
    EXPECT_EQ(SpreadOf({3, 1, 2}).max, 3);
}

} // namespace
