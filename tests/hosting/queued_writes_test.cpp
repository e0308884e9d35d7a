// Following queued writes through the stations' write counters.
#include "queued_writes.h"

#include <gtest/gtest.h>

#include <map>

using namespace vfdahost;
using namespace std::chrono_literals;

namespace {

TagDefinition Tag(const char* address, uint16_t type = kAnalogTagType) {
    TagDefinition tag;
    tag.address = address;
    tag.type = type;
    return tag;
}

} // namespace

TEST(WriteEffectTest, TheAddressDecidesWhatAWriteSends) {
    EXPECT_EQ(EffectOfWrite(Tag("P10")), WriteEffect::Frame);
    EXPECT_EQ(EffectOfWrite(Tag("d0")), WriteEffect::Frame);
    EXPECT_EQ(EffectOfWrite(Tag("D3")), WriteEffect::Frame);
    EXPECT_EQ(EffectOfWrite(Tag("D1")), WriteEffect::Refused);
    EXPECT_EQ(EffectOfWrite(Tag("D3.1", kDigitalTagType)), WriteEffect::Refused);
    EXPECT_EQ(EffectOfWrite(Tag("C0")), WriteEffect::RangeRead);
    EXPECT_EQ(EffectOfWrite(Tag("C2")), WriteEffect::Stored);
}

TEST(QueuedWritesTest, AWriteIsOutstandingUntilItsStationsCounterPassesIt) {
    QueuedWrites writes;
    writes.Queued("P1", 4);
    writes.Queued("P1", 4); // the first not sent yet: the second comes after it
    writes.Queued("P2", 0);
    EXPECT_EQ(writes.Outstanding("P1", 4), 2);
    EXPECT_EQ(writes.Outstanding("P1", 5), 1);
    EXPECT_EQ(writes.Outstanding("P1", 9), 0);
    EXPECT_EQ(writes.Outstanding("P2", 0), 1);
    EXPECT_EQ(writes.Outstanding("P3", 0), 0);
    // The first was sent before the third was queued.
    writes.Queued("P1", 5);
    EXPECT_EQ(writes.Outstanding("P1", 5), 2);
}

TEST(QueuedWritesTest, AResetKeepsWhatIsStillOutstanding) {
    QueuedWrites writes;
    writes.Queued("P1", 10);
    writes.Queued("P1", 10);
    writes.Queued("P2", 3);
    writes.Clearing("P1", 11); // one of two was sent, then the counter goes to 0
    EXPECT_EQ(writes.Outstanding("P1", 0), 1);
    EXPECT_EQ(writes.Outstanding("P1", 1), 0);
    writes.ClearingAll([](const std::string& station) { return station == "P2" ? 3 : 0; });
    EXPECT_EQ(writes.Outstanding("P2", 0), 1) << "nothing of P2 was sent";
}

TEST(QueuedWritesTest, TheWaitEndsOnceEverythingIsSent) {
    QueuedWrites writes;
    writes.Queued("P1", 0);
    writes.Queued("P1", 0);
    writes.Queued("P2", 0);
    std::map<std::string, int32_t> counters;
    int looks = 0;
    // Each look finds one more write sent on each station.
    const auto counterOf = [&](const std::string& station) {
        ++looks;
        return counters[station]++;
    };
    EXPECT_EQ(writes.WaitUntilSent(counterOf, 60s, 60s, 0ms), 0);
    EXPECT_LE(looks, 8);
    EXPECT_EQ(writes.Outstanding("P1", 0), 0) << "nothing is followed afterwards";
}

TEST(QueuedWritesTest, WritesThatNeverGoOutAreCounted) {
    QueuedWrites writes;
    writes.Queued("P1", 7);
    writes.Queued("P1", 7);
    writes.Queued("P2", 1);
    const auto stuck = [](const std::string& station) { return station == "P1" ? 8 : 2; };
    EXPECT_EQ(writes.WaitUntilSent(stuck, 0ms, 60s, 0ms), 1);
    writes.Queued("P1", 0);
    EXPECT_EQ(writes.WaitUntilSent(stuck, 60s, 0ms, 0ms), 0) << "counter 8 is past the write";
}
