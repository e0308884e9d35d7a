// Receiving an answer from a line whose bytes arrive at wire pace, on a clock of the test's
// own: what is kept, when the receive ends, and how often the thread had to wake.
#include "comm/result_codes.h"
#include "comm/serial_link.h"
#include "toolkit/line_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kReadTimeoutMs = 1000;
constexpr uint32_t kLimitMs = 1000;

// Bytes that arrive at given microseconds. A read returns what has arrived, or waits (the
// clock moves) for the next byte up to its bound; a take never waits. Sleeping moves the
// clock too. Every call is counted: each read that waits and each sleep is a wake-up.
class TimedLine : public comm::ByteSource {
public:
    void Arrive(uint64_t atUs, const std::string& bytes, uint32_t spacingUs = 0) {
        for (char byte : bytes) {
            arrivals_.push_back({atUs, static_cast<uint8_t>(byte)});
            atUs += spacingUs;
        }
    }
    void FailReadsFromUs(uint64_t atUs) { failFromUs_ = atUs; }
    void WakeLateBy(uint64_t us) { lateUs_ = us; } // every sleep ends this much late

    long Read(uint8_t* buffer, size_t capacity, uint32_t waitMs) override {
        ++reads_;
        const uint64_t waitUs = std::min(waitMs, kReadTimeoutMs) * 1000ull;
        if (next_ < arrivals_.size() && arrivals_[next_].atUs > nowUs_) {
            nowUs_ = std::min<uint64_t>(arrivals_[next_].atUs, nowUs_ + waitUs);
        } else if (next_ == arrivals_.size()) {
            nowUs_ += waitUs;
        }
        return Arrived(buffer, capacity);
    }
    long Take(uint8_t* buffer, size_t capacity) override {
        ++takes_;
        return Arrived(buffer, capacity);
    }
    uint32_t Tick() override { return static_cast<uint32_t>(nowUs_ / 1000); }
    void SleepUs(uint32_t microseconds) override {
        ++sleeps_;
        nowUs_ += microseconds + lateUs_;
    }

    uint64_t NowUs() const { return nowUs_; }
    int Reads() const { return reads_; }
    int Takes() const { return takes_; }
    int Sleeps() const { return sleeps_; }
    size_t Unread() const { return arrivals_.size() - next_; }

private:
    long Arrived(uint8_t* buffer, size_t capacity) {
        if (nowUs_ >= failFromUs_) {
            return -1;
        }
        size_t count = 0;
        while (count < capacity && next_ < arrivals_.size() && arrivals_[next_].atUs <= nowUs_) {
            buffer[count++] = arrivals_[next_++].byte;
        }
        return static_cast<long>(count);
    }

    struct Arrival {
        uint64_t atUs;
        uint8_t byte;
    };
    std::vector<Arrival> arrivals_;
    size_t next_ = 0;
    uint64_t nowUs_ = 0;
    uint64_t failFromUs_ = UINT64_MAX;
    uint64_t lateUs_ = 0;
    int reads_ = 0;
    int takes_ = 0;
    int sleeps_ = 0;
};

const std::string kAnswer = "R\x03\x01"
                            "00501234"; // 11 bytes
const uint32_t kCharacterUs = comm::SerialLink::CharacterUs(4800);

struct Received {
    int result;
    size_t kept;
    std::string bytes;
};

Received Receive(TimedLine& line, uint32_t characterUs = kCharacterUs) {
    uint8_t answer[11] = {};
    size_t kept = 0;
    const comm::AnswerShape shape{'R', sizeof(answer), kLimitMs, characterUs};
    const int result = comm::ReceiveAnswer(line, answer, shape, kept);
    return {result, kept, std::string(reinterpret_cast<char*>(answer), kept)};
}

} // namespace

TEST(ReceiveAnswerTest, AnAnswerAtWirePaceCostsOneReadOneSleepAndOneTake) {
    for (uint32_t baud : {1200u, 2400u, 4800u}) {
        const uint32_t characterUs = comm::SerialLink::CharacterUs(baud);
        TimedLine line;
        line.Arrive(15'000, kAnswer, characterUs);
        const Received received = Receive(line, characterUs);
        EXPECT_EQ(received.result, comm::kSuccess) << baud;
        EXPECT_EQ(received.bytes, kAnswer) << baud;
        // Taken the moment the last byte is due, not a sleep later.
        EXPECT_EQ(line.NowUs(), 15'000 + 10ull * characterUs) << baud;
        // Woken by the first byte, asleep while the rest crosses the line, then one take.
        EXPECT_EQ(line.Reads(), 1) << baud;
        EXPECT_EQ(line.Sleeps(), 1) << baud;
        EXPECT_EQ(line.Takes(), 1) << baud;
    }
}

TEST(ReceiveAnswerTest, ASleepThatEndsLateTakesTheWholeAnswerAtOnce) {
    TimedLine line;
    line.WakeLateBy(3000);
    line.Arrive(15'000, kAnswer, kCharacterUs);
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kSuccess);
    EXPECT_EQ(received.bytes, kAnswer);
    EXPECT_EQ(line.NowUs(), 15'000 + 10ull * kCharacterUs + 3000);
    EXPECT_EQ(line.Reads() + line.Takes(), 2);
}

TEST(ReceiveAnswerTest, ALastByteLaterThanDueIsWaitedForInOneMoreRead) {
    // The drive pauses 5 ms before its last byte: the take finds ten, one read waits for it.
    TimedLine line;
    line.Arrive(15'000, kAnswer.substr(0, 10), kCharacterUs);
    const uint64_t lastUs = 15'000 + 10ull * kCharacterUs + 5000;
    line.Arrive(lastUs, kAnswer.substr(10));
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kSuccess);
    EXPECT_EQ(received.bytes, kAnswer);
    EXPECT_EQ(line.NowUs(), lastUs);
    EXPECT_EQ(line.Reads(), 2);
    EXPECT_EQ(line.Takes(), 1);
    EXPECT_EQ(line.Sleeps(), 1);
}

TEST(ReceiveAnswerTest, BytesAfterTheAnswerAreLeftOnTheLine) {
    TimedLine line;
    line.Arrive(0, kAnswer + "R\x03");
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kSuccess);
    EXPECT_EQ(received.bytes, kAnswer);
    EXPECT_EQ(line.Unread(), 2u) << "for the purge before the next request";
}

TEST(ReceiveAnswerTest, WithoutACharacterTimeEveryByteIsReadAsItComes) {
    TimedLine line;
    line.Arrive(1000, kAnswer, kCharacterUs);
    const Received received = Receive(line, 0);
    EXPECT_EQ(received.result, comm::kSuccess);
    EXPECT_EQ(received.bytes, kAnswer);
    EXPECT_EQ(line.NowUs(), 1000 + 10ull * kCharacterUs);
    EXPECT_EQ(line.Reads(), 11);
}

TEST(ReceiveAnswerTest, BytesBeforeTheLetterAreSkippedEvenInsideOneRead) {
    TimedLine line;
    line.Arrive(0, "\x00\x7F"
                   "Q1" +
                       kAnswer + "RR"); // all at once, with noise around it
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kSuccess);
    EXPECT_EQ(received.bytes, kAnswer) << "only the answer is kept";
}

TEST(ReceiveAnswerTest, ALineThatFallsSilentMidAnswerTimesOutAtTheLimit) {
    TimedLine line;
    line.Arrive(5000, kAnswer.substr(0, 6), kCharacterUs);
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kReceiveTimeout);
    EXPECT_EQ(received.kept, 6u);
    EXPECT_GE(line.NowUs(), kLimitMs * 1000ull);
}

TEST(ReceiveAnswerTest, ADriveSilentMidAnswerIsGivenUpAtTheHardLimitNotAReadTimeOutLater) {
    // Begun at 900 ms, six bytes, then silence: a whole read time-out from there would end
    // near 1.9 s, far past the latest a receive may end.
    const comm::AnswerShape shape{'R', 11, kLimitMs, kCharacterUs};
    const uint64_t hardLimitUs = comm::HardLimitMs(shape) * 1000ull;
    TimedLine line;
    line.Arrive(900'000, kAnswer.substr(0, 6), kCharacterUs);
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kReceiveTimeout);
    EXPECT_EQ(received.kept, 6u);
    EXPECT_GE(line.NowUs(), hardLimitUs - 1000);
    EXPECT_LE(line.NowUs(), hardLimitUs + 1000);
}

TEST(ReceiveAnswerTest, NoiseWithoutTheLetterCannotHoldTheReceivePastItsLimit) {
    TimedLine line;
    line.Arrive(0, std::string(4000, 'x'), kCharacterUs); // far more than a second of noise
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kReceiveTimeout);
    EXPECT_EQ(received.kept, 0u);
    EXPECT_LT(line.NowUs(), (kLimitMs + 10) * 1000ull);
}

TEST(ReceiveAnswerTest, AnAnswerBegunBeforeTheLimitIsTakenWhole) {
    // At 1200 baud an answer takes over 90 ms; begun late, it ends past the limit.
    for (uint32_t baud : {1200u, 2400u, 4800u}) {
        const uint32_t characterUs = comm::SerialLink::CharacterUs(baud);
        for (uint64_t startMs : {850u, 870u, 920u, 990u, 999u}) {
            TimedLine line;
            line.Arrive(startMs * 1000, kAnswer, characterUs);
            const Received received = Receive(line, characterUs);
            EXPECT_EQ(received.result, comm::kSuccess) << baud << " " << startMs;
            EXPECT_EQ(received.bytes, kAnswer) << baud << " " << startMs;
            EXPECT_EQ(line.NowUs(), startMs * 1000 + 10ull * characterUs) << baud << " " << startMs;
        }
    }
}

TEST(ReceiveAnswerTest, AnAnswerThatBeginsAfterTheLimitIsNotWaitedFor) {
    TimedLine line;
    line.Arrive(1001'000, kAnswer, comm::SerialLink::CharacterUs(1200));
    const Received received = Receive(line, comm::SerialLink::CharacterUs(1200));
    EXPECT_EQ(received.result, comm::kReceiveTimeout);
    EXPECT_EQ(received.kept, 0u);
    EXPECT_EQ(line.NowUs(), kLimitMs * 1000ull);
}

TEST(ReceiveAnswerTest, AnAnswerTooSlowToCompleteEndsAtTheHardLimit) {
    // The letter in time, then a byte every 40 ms: far slower than 1200 baud, never silent
    // for a whole read.
    const uint32_t characterUs = comm::SerialLink::CharacterUs(1200);
    const comm::AnswerShape shape{'R', 11, kLimitMs, characterUs};
    const uint64_t hardLimitUs = comm::HardLimitMs(shape) * 1000ull;
    EXPECT_EQ(hardLimitUs, (kLimitMs + 101 + 50) * 1000ull) << "11 characters and a margin";
    TimedLine line;
    line.Arrive(980'000, kAnswer, 40'000);
    const Received received = Receive(line, characterUs);
    EXPECT_EQ(received.result, comm::kReceiveTimeout);
    EXPECT_GT(received.kept, 1u);
    EXPECT_LT(received.kept, kAnswer.size());
    EXPECT_GE(line.NowUs(), hardLimitUs);
    EXPECT_LT(line.NowUs(), hardLimitUs + 40'000);
}

TEST(ReceiveAnswerTest, AFailedReadEndsTheReceive) {
    TimedLine line;
    line.Arrive(0, kAnswer.substr(0, 3));
    line.FailReadsFromUs(2000);
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kReceiveFailed);
    EXPECT_EQ(received.kept, 3u);
}

TEST(ReceiveAnswerTest, ASilentLineTimesOutAfterOneReadTimeOut) {
    TimedLine line;
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kReceiveTimeout);
    EXPECT_EQ(line.Reads(), 1);
}

namespace {

// What the line trace saw, by direction.
struct TraceRecord {
    std::string skipped;
    int skippedCalls = 0;
    int otherCalls = 0;
};

void RecordTrace(void* context, LineDirection direction, const uint8_t* bytes, size_t count) {
    auto& record = *static_cast<TraceRecord*>(context);
    if (direction == LineDirection::Skipped) {
        record.skipped.append(reinterpret_cast<const char*>(bytes), count);
        ++record.skippedCalls;
    } else {
        ++record.otherCalls;
    }
}

class SkippedTraceTest : public testing::Test {
protected:
    void SetUp() override { SetLineTraceSink(&RecordTrace, &record_); }
    void TearDown() override { SetLineTraceSink(nullptr, nullptr); }
    TraceRecord record_;
};

} // namespace

TEST_F(SkippedTraceTest, TheBytesBeforeTheAnswerAreTracedAsSkippedAndNothingElse) {
    TimedLine line;
    const std::string noise("\x00\x7F"
                            "Q1",
                            4);
    line.Arrive(0, noise + kAnswer + "RR");
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kSuccess);
    EXPECT_EQ(record_.skipped, noise);
    EXPECT_EQ(record_.otherCalls, 0) << "the answer is traced by the link once it is whole";
}

TEST_F(SkippedTraceTest, NoiseInSeveralBurstsIsTracedAsItIsDropped) {
    TimedLine line;
    line.Arrive(1000, "\xFF\x55");
    line.Arrive(3000, "\xAA");
    line.Arrive(6000, kAnswer, kCharacterUs);
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kSuccess);
    EXPECT_EQ(record_.skipped, "\xFF\x55\xAA");
    EXPECT_EQ(record_.skippedCalls, 2);
}

TEST_F(SkippedTraceTest, AnAnswerWithoutNoiseTracesNothingSkipped) {
    TimedLine line;
    line.Arrive(1000, kAnswer, kCharacterUs);
    EXPECT_EQ(Receive(line).result, comm::kSuccess);
    EXPECT_EQ(record_.skippedCalls, 0);
}
