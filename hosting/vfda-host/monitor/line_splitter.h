// What a monitor hears on a line, the bytes of both directions mixed, cut into the frames
// they make: a request (its letter, the frame mark, the request mark), an answer (its letter,
// the frame mark, then the drive's acknowledgement or refusal), and what belongs to neither.
// A monitor is told no directions; the frames' own marks say which is which.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vfdahost {

using MonitorClock = std::chrono::steady_clock;

enum class PieceKind { Request, Answer, Noise };

struct LinePiece {
    PieceKind kind = PieceKind::Noise;
    std::vector<uint8_t> bytes;
    MonitorClock::time_point at; // when its last byte came
};

// Threads: one reader thread.
class LineSplitter {
public:
    // A frame begun and not finished after this long without a byte is given up and reported
    // as far as it came. The driver waits a second for an answer's first byte before it asks
    // again, so a pause this long never falls inside a frame it reads whole.
    static constexpr std::chrono::milliseconds kFrameGap{200};
    // Noise is reported in pieces of at most this many bytes.
    static constexpr size_t kLongestNoise = 64;

    // Bytes read together at `at`; every piece they complete is added to `out`.
    void Feed(std::span<const uint8_t> bytes, MonitorClock::time_point at,
              std::vector<LinePiece>& out);
    // Reports the frame under way when the line has been quiet for kFrameGap by `now`.
    void Settle(MonitorClock::time_point now, std::vector<LinePiece>& out);

private:
    void Take(uint8_t byte, std::vector<LinePiece>& out);
    void Emit(PieceKind kind, std::vector<uint8_t>& bytes, std::vector<LinePiece>& out);
    // The length of the frame under way, or 0 while its third byte has not come.
    size_t FrameLength() const;

    std::vector<uint8_t> frame_;
    std::vector<uint8_t> noise_;
    MonitorClock::time_point lastAt_;
};

} // namespace vfdahost
