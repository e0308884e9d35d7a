// The Win32 serial port back end on a real line through Wine: the Linux side (serial_line_peer.py)
// puts a pseudo-terminal behind COM5 and another behind COM10 and answers each frame with
// its bytes in reverse order. Run only by that peer.
#include "platform/clock.h"
#include "platform/serial_port.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Bytes a terminal in cooked mode or with software flow control would change or eat: the
// port must pass them as they are.
const Bytes kFrame = {0x02, 0x11, 0x13, 0x0D, 0x0A, 0x00, 0xFF};

// Reads count bytes; a read that ends without a byte (the port's 1000 ms) may come first
// while the peer is slow, a bounded number of times.
Bytes ReadAnswer(platform::SerialPort& port, size_t count) {
    Bytes answer;
    for (int silentReads = 0; answer.size() < count && silentReads < 10;) {
        uint8_t byte = 0;
        const auto result = port.ReadByte(byte);
        if (result == platform::SerialPort::ReadResult::Failed) {
            ADD_FAILURE() << "the read failed after " << answer.size() << " bytes";
            break;
        }
        if (result == platform::SerialPort::ReadResult::NoByte) {
            ++silentReads;
            continue;
        }
        answer.push_back(byte);
    }
    return answer;
}

void ExchangeFrame(const std::string& device, uint32_t baud, bool rtsCts) {
    platform::SerialPort port;
    ASSERT_TRUE(port.Open(device)) << device;
    ASSERT_TRUE(port.IsOpen());
    port.Configure(baud, rtsCts);
    port.Purge();
    ASSERT_TRUE(port.Write(kFrame.data(), kFrame.size(), 1000)) << device;
    const Bytes answer = ReadAnswer(port, kFrame.size());
    EXPECT_EQ(answer, Bytes(kFrame.rbegin(), kFrame.rend())) << device;
    // The peer sends nothing more: the next read ends without a byte, not with a failure.
    uint8_t byte = 0;
    EXPECT_EQ(port.ReadByte(byte), platform::SerialPort::ReadResult::NoByte) << device;
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

} // namespace

TEST(SerialPortOverWine, Com5TakesAFrameAndReadsTheAnswer) {
    ExchangeFrame("COM5", 4800, false);
}

TEST(SerialPortOverWine, Com10IsOpenedByItsLocalDeviceName) {
    ExchangeFrame("\\\\.\\COM10", 1200, true);
}

TEST(SerialPortOverWine, AnAnswerIsTakenInFewReadsAndASilentReadEndsAtItsBound) {
    platform::SerialPort port;
    ASSERT_TRUE(port.Open("COM5"));
    port.Configure(4800, false);
    port.Purge();
    ASSERT_TRUE(port.Write(kFrame.data(), kFrame.size(), 1000));
    Bytes answer(kFrame.size());
    long got = 0;
    for (int silentReads = 0; got == 0 && silentReads < 10; ++silentReads) {
        got = port.Read(answer.data(), answer.size(), 1000);
    }
    ASSERT_GT(got, 0) << "the first byte";
    // The peer sends the answer in one piece: once it is all there, one take gets the rest.
    int takes = 0;
    for (size_t have = static_cast<size_t>(got); have < answer.size() && takes < 20; ++takes) {
        platform::SleepMs(50);
        const long taken = port.Take(answer.data() + have, answer.size() - have);
        ASSERT_GE(taken, 0);
        have += static_cast<size_t>(taken);
    }
    EXPECT_EQ(answer, Bytes(kFrame.rbegin(), kFrame.rend()));
    EXPECT_LE(takes, 2) << "not a byte at a time";
    uint8_t byte = 0;
    EXPECT_EQ(port.Take(&byte, 1), 0) << "nothing more is there";
    EXPECT_EQ(port.Read(&byte, 1, 50), 0) << "a silent line ends the read at its bound";
    EXPECT_EQ(port.Read(&byte, 1, 0), 0);
}

TEST(SerialPortOverWine, APortWithoutADeviceDoesNotOpen) {
    platform::SerialPort port;
    EXPECT_FALSE(port.Open("COM33"));
    EXPECT_FALSE(port.IsOpen());
    uint8_t byte = 0;
    EXPECT_EQ(port.ReadByte(byte), platform::SerialPort::ReadResult::Failed);
    EXPECT_FALSE(port.Write(kFrame.data(), kFrame.size(), 1000));
}
