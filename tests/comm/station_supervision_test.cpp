// Station supervision: each of the first five failures in a row is logged with its own
// cause, then the lost link once; the first success after that logs the recovery once.
#include "comm_fixture.h"

using comm_testing::CommFixture;

namespace {

class StationSupervisionTest : public CommFixture {
protected:
    void SetUp() override {
        CommFixture::SetUp();
        station_ = &AddStation("PUMP1", 1);
    }

    void Report(std::initializer_list<int> codes) {
        for (int code : codes) {
            station_->ReportResult(code, nullptr);
        }
    }

    std::vector<std::string> Lines(std::initializer_list<int> numbers) const {
        std::vector<std::string> lines;
        for (int number : numbers) {
            lines.push_back(Line(number, "PUMP1"));
        }
        return lines;
    }

    std::vector<uint32_t> Flags() const {
        std::vector<uint32_t> flags;
        for (const auto& line : hosts_.EventLog()) {
            flags.push_back(line.flags);
        }
        return flags;
    }

    CStationInfo* station_ = nullptr;
};

} // namespace

TEST_F(StationSupervisionTest, FiveTimeOutsDeclareTheLinkLostOnce) {
    Report({10, 10, 10, 10, 10});
    EXPECT_EQ(LogTexts(), Lines({10, 10, 10, 10, 10, 14}));
    EXPECT_EQ(Flags(), (std::vector<uint32_t>{0x101, 0x101, 0x101, 0x101, 0x101, 0x102}));
    hosts_.Clear();
    Report({10, 10});
    EXPECT_TRUE(LogTexts().empty()) << "a lost link stays quiet";
    EXPECT_EQ(station_->m_consecutiveFailures, 5);
    Report({0, 0});
    EXPECT_EQ(LogTexts(), Lines({15}));
    EXPECT_EQ(Flags(), (std::vector<uint32_t>{0x102}));
    hosts_.Clear();
    Report({9});
    EXPECT_EQ(LogTexts(), Lines({9})) << "a new run starts after the recovery";
}

TEST_F(StationSupervisionTest, ShortRunEndsSilently) {
    Report({8, 13, 12});
    EXPECT_EQ(station_->m_consecutiveFailures, 3);
    EXPECT_EQ(station_->LinkStatus(), 1);
    Report({0});
    EXPECT_EQ(LogTexts(), Lines({8, 13, 12}));
    EXPECT_EQ(station_->m_consecutiveFailures, 0);
    EXPECT_EQ(station_->LinkStatus(), 0);
}

TEST_F(StationSupervisionTest, EachCauseIsLoggedAsItComes) {
    Report({10, 10, 16, 10, 11, 12});
    EXPECT_EQ(LogTexts(), Lines({10, 10, 16, 10, 11, 14}));
}

TEST_F(StationSupervisionTest, FourFailuresThenSuccessThenFiveMoreLosesTheLinkAgain) {
    Report({10, 10, 10, 10, 0, 10, 10, 10, 10, 10});
    EXPECT_EQ(LogTexts(), Lines({10, 10, 10, 10, 10, 10, 10, 10, 10, 14}));
}

TEST_F(StationSupervisionTest, OnlyAFullResetEndsALostLink) {
    Report({10, 10, 10, 10, 10});
    station_->ResetStatistics();
    hosts_.Clear();
    Report({0});
    EXPECT_EQ(LogTexts(), Lines({15})) << "clearing the counters leaves the link lost";
    Report({10, 10, 10, 10, 10});
    station_->ResetRuntime();
    hosts_.Clear();
    Report({0});
    EXPECT_TRUE(LogTexts().empty());
}
