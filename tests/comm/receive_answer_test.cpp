// Receiving an answer from a line whose bytes arrive at wire pace, on a clock of the test's
// own: what is kept, when the receive ends, and how often the thread had to wake.
#include "comm/result_codes.h"
#include "comm/serial_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kReadTimeoutMs = 1000;
constexpr uint32_t kLimitMs = 1000;

// Bytes that arrive at given microseconds. A read returns what has arrived, or waits (the
// clock moves) for the next byte up to the read time-out. Sleeping moves the clock too.
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

    long Read(uint8_t* buffer, size_t capacity) override {
        ++reads_;
        if (next_ < arrivals_.size() && arrivals_[next_].atUs > nowUs_) {
            // Nothing there yet: wait for the next byte, at most the read time-out.
            nowUs_ = std::min<uint64_t>(arrivals_[next_].atUs, nowUs_ + kReadTimeoutMs * 1000ull);
        } else if (next_ == arrivals_.size()) {
            nowUs_ += kReadTimeoutMs * 1000ull;
        }
        if (nowUs_ >= failFromUs_) {
            return -1;
        }
        size_t count = 0;
        while (count < capacity && next_ < arrivals_.size() && arrivals_[next_].atUs <= nowUs_) {
            buffer[count++] = arrivals_[next_++].byte;
        }
        return static_cast<long>(count);
    }
    uint32_t Tick() override { return static_cast<uint32_t>(nowUs_ / 1000); }
    void Sleep(uint32_t milliseconds) override { nowUs_ += milliseconds * 1000ull + lateUs_; }

    uint64_t NowUs() const { return nowUs_; }
    int Reads() const { return reads_; }

private:
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

TEST(ReceiveAnswerTest, AnAnswerAtWirePaceIsTakenWhenItsLastByteArrivesWithFewWakeUps) {
    for (uint32_t baud : {1200u, 2400u, 4800u}) {
        const uint32_t characterUs = comm::SerialLink::CharacterUs(baud);
        TimedLine line;
        line.Arrive(15'000, kAnswer, characterUs);
        const Received received = Receive(line, characterUs);
        EXPECT_EQ(received.result, comm::kSuccess) << baud;
        EXPECT_EQ(received.bytes, kAnswer) << baud;
        // Taken the moment the last byte is there, not a sleep later.
        EXPECT_EQ(line.NowUs(), 15'000 + 10ull * characterUs) << baud;
        // The first byte, the sleep over the middle, the last bytes: not one read a byte.
        EXPECT_LE(line.Reads(), 5) << baud;
    }
}

TEST(ReceiveAnswerTest, ASleepThatEndsLateStillTakesTheAnswerWhenItsLastByteArrives) {
    // More than a character late at 4800 baud: the sleep must have ended early enough.
    TimedLine line;
    line.WakeLateBy(3000);
    line.Arrive(15'000, kAnswer, kCharacterUs);
    const Received received = Receive(line);
    EXPECT_EQ(received.result, comm::kSuccess);
    EXPECT_EQ(line.NowUs(), 15'000 + 10ull * kCharacterUs);
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
    EXPECT_LE(line.NowUs(), (kLimitMs + kReadTimeoutMs) * 1000ull);
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
