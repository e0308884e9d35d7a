// The simulator serving a real pseudo-terminal, with the test as the driver on the slave
// side. Waits are bounded and generous; only lower bounds of wire time are asserted.
#include "platform/pseudo_terminal.h"
#include "sim/line_server.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using simtest::Bytes;
using simtest::Frame;
using Clock = std::chrono::steady_clock;

class LineServerTest : public ::testing::Test {
protected:
    std::unique_ptr<platform::TerminalLine> master;
    std::unique_ptr<platform::TerminalLine> driverSide;
    sim::Simulator simulator{{1, 2}, 4800};
    std::unique_ptr<sim::LineServer> server;

    void StartServer(sim::LineOptions options) {
        std::string error;
        master = platform::TerminalLine::CreatePseudoTerminal(error);
        ASSERT_TRUE(master) << error;
        driverSide = platform::TerminalLine::OpenDevice(master->Path(), options.baud, error);
        ASSERT_TRUE(driverSide) << error;
        server = std::make_unique<sim::LineServer>(simulator, *master, options);
        server->Start();
    }

    void TearDown() override {
        if (server) {
            server->Stop();
        }
    }

    static sim::LineOptions FastLine() {
        sim::LineOptions options;
        options.wireTiming = false;
        options.turnaroundMs = 0;
        return options;
    }

    void Send(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(driverSide->Write(bytes.data(), bytes.size(), 1000), bytes.size());
    }

    // Collects up to count bytes, giving up after timeoutMs.
    std::vector<uint8_t> Receive(size_t count, uint32_t timeoutMs = 3000) {
        return ReceiveFrom(*driverSide, count, timeoutMs);
    }

    static std::vector<uint8_t> ReceiveFrom(platform::TerminalLine& from, size_t count,
                                            uint32_t timeoutMs = 3000) {
        std::vector<uint8_t> received;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (received.size() < count && Clock::now() < deadline) {
            uint8_t buffer[64];
            const long n = from.Read(buffer, std::min(sizeof(buffer), count - received.size()), 50);
            if (n > 0) {
                received.insert(received.end(), buffer, buffer + n);
            }
        }
        return received;
    }
};

TEST_F(LineServerTest, AnswersAReadOverThePseudoTerminal) {
    StartServer(FastLine());
    simulator.SetWord(1, sim::Area::Parameter, 5, 123);
    Send(Frame('R', "0105"));
    EXPECT_EQ(Receive(11), Bytes("R\x03\x06"
                                 "01050123"));
}

// A monitor on the tap hears the line's bytes both ways, garbage included, in the order they
// crossed: what a bus monitor adapter hears.
TEST_F(LineServerTest, TheTapHearsEveryByteBothWays) {
    std::string error;
    std::unique_ptr<platform::TerminalLine> tap =
        platform::TerminalLine::CreatePseudoTerminal(error);
    ASSERT_TRUE(tap) << error;
    std::unique_ptr<platform::TerminalLine> monitor =
        platform::TerminalLine::OpenDevice(tap->Path(), 4800, error);
    ASSERT_TRUE(monitor) << error;
    sim::LineOptions options = FastLine();
    options.tap = tap.get();
    StartServer(options);
    simulator.SetWord(1, sim::Area::Parameter, 5, 123);
    std::vector<uint8_t> request = {0x00, 0xFF};
    const std::vector<uint8_t> frame = Frame('R', "0105");
    request.insert(request.end(), frame.begin(), frame.end());
    Send(request);
    const std::vector<uint8_t> answer = Bytes("R\x03\x06"
                                              "01050123");
    EXPECT_EQ(Receive(11), answer);
    std::vector<uint8_t> heard = request;
    heard.insert(heard.end(), answer.begin(), answer.end());
    EXPECT_EQ(ReceiveFrom(*monitor, heard.size()), heard);
    // The server counts a byte once its write returned, which the monitor may beat.
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (server->Counters().tapBytes < heard.size() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(server->Counters().tapBytes, heard.size());
    EXPECT_EQ(server->Counters().tapBytesDropped, 0u);
}

TEST_F(LineServerTest, SkipsGarbageAndServesStationsInTurn) {
    StartServer(FastLine());
    std::vector<uint8_t> stream = {0x00, 0xFF, 'Q', 0x03, 'j', 'u', 'n', 'k'};
    for (const auto& frame : {Frame('Q', "0100"), Frame('R', "0203"), Frame('R', "0503")}) {
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    Send(stream);
    const std::vector<uint8_t> answers = Receive(22);
    ASSERT_EQ(answers.size(), 22u);
    EXPECT_EQ(std::vector<uint8_t>(answers.begin(), answers.begin() + 11), Bytes("Q\x03\x06"
                                                                                 "01000000"));
    EXPECT_EQ(std::vector<uint8_t>(answers.begin() + 11, answers.end()), Bytes("R\x03\x06"
                                                                               "02030600"));
    EXPECT_TRUE(Receive(1, 200).empty()); // station 5 is absent: silence
    const sim::LineCounters counters = server->Counters();
    EXPECT_EQ(counters.requests, 3u);
    EXPECT_EQ(counters.skippedBytes, 8u);
    EXPECT_EQ(simulator.FramesForAbsentStations(), 1u);
}

TEST_F(LineServerTest, WireTimingTakesAtLeastTheCharacterTimes) {
    sim::LineOptions options;
    options.baud = 1200;
    options.turnaroundMs = 20;
    StartServer(options);
    const auto start = Clock::now();
    Send(Frame('R', "0103"));
    const std::vector<uint8_t> answer = Receive(11);
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(answer, Bytes("R\x03\x06"
                            "01030600"));
    // 7 + 11 characters of 11 bits at 1200 baud, and the turnaround.
    EXPECT_GE(elapsed, std::chrono::milliseconds(18 * 11 * 1000 / 1200 + 20 - 5));
}

TEST_F(LineServerTest, NoiseStreamKeepsTheLineBusyAndStops) {
    StartServer(FastLine());
    simulator.SetFault(1, sim::FaultKind::NoiseStream);
    const std::vector<uint8_t> noise = Receive(20);
    ASSERT_EQ(noise.size(), 20u);
    EXPECT_TRUE(std::none_of(noise.begin(), noise.end(), sim::IsRequestLetter));
    simulator.ClearFault(1);
    Receive(1000, 200); // drain what was on its way
    EXPECT_TRUE(Receive(1, 200).empty());
    EXPECT_GE(server->Counters().noiseBytesSent, 20u);
}

TEST_F(LineServerTest, StopIsPromptWhileALateAnswerIsPending) {
    StartServer(FastLine());
    simulator.SetFault(1, sim::FaultKind::Late);
    Send(Frame('R', "0105"));
    EXPECT_TRUE(Receive(11, 500).empty());
    const auto start = Clock::now();
    server->Stop();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
}

} // namespace
