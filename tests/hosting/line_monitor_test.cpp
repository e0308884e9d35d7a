// What the monitor makes of the bytes it hears: frames cut by their marks, however the reads
// split them; requests paired with their answers; each failure named by its cause; values
// scaled as the module delivers them.
#include "drive_frames.h"
#include "exchange.h"
#include "line_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vfdahost {
namespace {

using testing_support::FrameBytes;
using namespace std::chrono_literals;

class LineMonitorTest : public ::testing::Test {
protected:
    // Bytes heard at `afterMs` from the start, read in chunks of `chunk` bytes.
    void Hear(const std::string& bytes, int afterMs = 0, size_t chunk = 64) {
        const std::vector<uint8_t> all = FrameBytes(bytes);
        for (size_t at = 0; at < all.size(); at += chunk) {
            const size_t count = std::min(chunk, all.size() - at);
            std::vector<LinePiece> pieces;
            splitter_.Feed({all.data() + at, count}, start_ + std::chrono::milliseconds(afterMs),
                           pieces);
            Take(pieces);
        }
    }
    void Settle(int atMs) {
        std::vector<LinePiece> pieces;
        splitter_.Settle(start_ + std::chrono::milliseconds(atMs), pieces);
        Take(pieces);
        tracker_.Settle(start_ + std::chrono::milliseconds(atMs), done_);
    }
    void Take(std::vector<LinePiece>& pieces) {
        for (const LinePiece& piece : pieces) {
            kinds_.push_back(piece.kind);
            tracker_.Take(piece, done_);
        }
    }

    const MonitorClock::time_point start_ = MonitorClock::now();
    LineSplitter splitter_;
    ExchangeTracker tracker_;
    std::vector<PieceKind> kinds_;
    std::vector<Exchange> done_;
};

// Station 1: P10 read as 500 (50.0 Hz, a scaled parameter), then group 3's status bytes.
const std::string kReadP10 = "R\x03\x01"
                             "0110";
const std::string kP10Is500 = "R\x03\x06"
                              "01100500";
const std::string kQueryGroup3 = "Q\x03\x01"
                                 "0103";
const std::string kStatus = std::string("Q\x03\x06"
                                        "0103") +
                            std::string("\x12\x02\x00\x05", 4);

TEST_F(LineMonitorTest, FramesAreCutByTheirMarksHoweverTheReadsSplitThem) {
    for (const size_t chunk : {size_t{1}, size_t{3}, size_t{64}}) {
        LineSplitter splitter;
        splitter_ = splitter;
        kinds_.clear();
        Hear(kReadP10 + kP10Is500 + kQueryGroup3 + kStatus, 0, chunk);
        EXPECT_EQ(kinds_, (std::vector{PieceKind::Request, PieceKind::Answer, PieceKind::Request,
                                       PieceKind::Answer}))
            << "chunks of " << chunk;
    }
}

TEST_F(LineMonitorTest, AnsweredReadsCarryTheValuesAsTheModuleDeliversThem) {
    Hear(kReadP10, 0);
    Hear(kP10Is500, 12);
    Hear(kQueryGroup3, 200);
    Hear(kStatus, 215);
    ASSERT_EQ(done_.size(), 2u);
    EXPECT_EQ(done_[0].cause, AnswerCause::Answered);
    EXPECT_EQ(done_[0].station, 1);
    EXPECT_EQ(done_[0].Address(), "P10");
    ASSERT_EQ(done_[0].words.size(), 1u);
    EXPECT_EQ(done_[0].words[0].address, "P10");
    EXPECT_DOUBLE_EQ(done_[0].words[0].value, 50.0);
    ASSERT_TRUE(done_[0].responseMs);
    EXPECT_DOUBLE_EQ(*done_[0].responseMs, 12.0);
    ASSERT_EQ(done_[1].words.size(), 4u);
    EXPECT_EQ(done_[1].Address(), "D3-D6");
    EXPECT_EQ(done_[1].words[0].address, "D3");
    EXPECT_DOUBLE_EQ(done_[1].words[0].value, 0x12);
    EXPECT_DOUBLE_EQ(done_[1].words[3].value, 0x05);
    const StationDiagnosis figures = tracker_.Diagnoses().Of(1);
    EXPECT_EQ(figures.requests, 2);
    EXPECT_EQ(figures.Count(AnswerCause::Answered), 2);
}

TEST_F(LineMonitorTest, WritesCarryTheWordsSent) {
    Hear("P\x03\x01"
         "01100455",
         0);
    Hear("P\x03\x06"
         "01100455",
         10);
    Hear("C\x03\x01"
         "01020600",
         100);
    Hear("C\x03\x06"
         "01020600",
         110);
    ASSERT_EQ(done_.size(), 2u);
    EXPECT_TRUE(done_[0].IsWrite());
    ASSERT_EQ(done_[0].words.size(), 1u);
    EXPECT_DOUBLE_EQ(done_[0].words[0].value, 45.5);
    ASSERT_EQ(done_[1].words.size(), 2u);
    EXPECT_EQ(done_[1].words[0].address, "D3");
    EXPECT_DOUBLE_EQ(done_[1].words[0].value, 2);
    EXPECT_EQ(done_[1].words[1].address, "D0");
    EXPECT_DOUBLE_EQ(done_[1].words[1].value, 60.0);
}

TEST_F(LineMonitorTest, EachFailureIsNamedByItsCause) {
    Hear(kReadP10, 0); // no answer: the next request ends it
    Hear(kReadP10, 1000);
    Hear("R\x03\x07"
         "01100002",
         1010); // refused, error code 2
    Hear("R\x03\x01"
         "0210",
         1100);
    Hear("R\x03\x06"
         "03100500",
         1110); // station 3 answers for station 2
    Hear(kReadP10, 1200);
    Hear(kReadP10, 1201); // the adapter echoes the request
    Hear("Q\x03\x01"
         "0100",
         1300);
    Hear("Q\x03\x06"
         "01000X00",
         1310); // a value that is no number
    ASSERT_EQ(done_.size(), 5u);
    EXPECT_EQ(done_[0].cause, AnswerCause::TimeOut);
    EXPECT_FALSE(done_[0].responseMs);
    EXPECT_EQ(done_[1].cause, AnswerCause::Refused);
    EXPECT_EQ(done_[1].errorCode, 2);
    EXPECT_EQ(done_[2].cause, AnswerCause::OtherStation);
    EXPECT_EQ(done_[2].answeredAs, 3);
    EXPECT_EQ(done_[3].cause, AnswerCause::Echo);
    EXPECT_EQ(done_[4].cause, AnswerCause::Garbled);
    EXPECT_TRUE(done_[4].words.empty());
    EXPECT_EQ(tracker_.Diagnoses().Of(1).Count(AnswerCause::TimeOut), 1);
    EXPECT_EQ(tracker_.Diagnoses().Of(2).answeredAs, 3);
}

TEST_F(LineMonitorTest, NoiseBeforeAnAnswerIsCountedAndTheAnswerStillRead) {
    Hear(kReadP10, 0);
    Hear(std::string("\xFF\x00\x03", 3) + "R" + kP10Is500, 10); // an R not followed by 0x03
    ASSERT_EQ(done_.size(), 1u);
    EXPECT_EQ(done_[0].cause, AnswerCause::Answered);
    EXPECT_EQ(done_[0].noiseBytes, 4u);
    EXPECT_EQ(tracker_.Diagnoses().Of(1).noiseBytes, 4);
    EXPECT_EQ(tracker_.StrayBytes(), 0);
}

TEST_F(LineMonitorTest, AnAnswerCutShortIsGarbledOnceTheLineFallsQuiet) {
    Hear(kReadP10, 0);
    Hear(kP10Is500.substr(0, 6), 10);
    Settle(100); // a pause inside a frame, not yet a lost one
    EXPECT_TRUE(done_.empty());
    Settle(10 + static_cast<int>(LineSplitter::kFrameGap.count()));
    ASSERT_EQ(done_.size(), 1u);
    EXPECT_EQ(done_[0].cause, AnswerCause::Garbled);
    EXPECT_EQ(done_[0].answer.size(), 6u);
}

TEST_F(LineMonitorTest, ARequestLeftUnansweredTimesOutAfterTheDriversWait) {
    Hear(kReadP10, 0);
    Settle(static_cast<int>(ExchangeTracker::kAnswerLimit.count()) - 1);
    EXPECT_TRUE(done_.empty());
    Settle(static_cast<int>(ExchangeTracker::kAnswerLimit.count()));
    ASSERT_EQ(done_.size(), 1u);
    EXPECT_EQ(done_[0].cause, AnswerCause::TimeOut);
}

TEST_F(LineMonitorTest, BytesOutsideAnyTransactionAreStray) {
    Hear(kP10Is500, 0); // an answer nobody asked for
    Hear("\x01\x02\x03", 10);
    Settle(500);
    EXPECT_TRUE(done_.empty());
    EXPECT_EQ(tracker_.StrayBytes(), 14);
}

TEST_F(LineMonitorTest, EndlessNoiseIsReportedInBoundedPieces) {
    Hear(std::string(1000, '\x99'), 0);
    EXPECT_EQ(kinds_.size(), 1000 / LineSplitter::kLongestNoise);
    Settle(500);
    EXPECT_EQ(tracker_.StrayBytes(), 1000);
}

} // namespace
} // namespace vfdahost
