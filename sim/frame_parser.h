// Cuts requests out of the byte stream a drive receives. Frame boundaries come only from
// the letter and its fixed length, so the parser keeps a prefix that can still become a
// request, skips bytes until a letter followed by 0x03 0x01 starts one, and drops a partial
// frame once the line has been quiet for longer than the gap limit.
#pragma once

#include "sim/frame.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace sim {

class FrameParser {
public:
    explicit FrameParser(uint32_t gapLimitMs) : gapLimitMs_(gapLimitMs) {}

    // Takes the bytes that arrived together at nowMs (a millisecond tick that may wrap) and
    // returns the requests they complete, in order.
    std::vector<Request> Feed(std::span<const uint8_t> bytes, uint32_t nowMs);

    // Drops a partial frame when nothing has arrived for longer than the gap limit.
    void Expire(uint32_t nowMs);

    bool HasPartialFrame() const { return count_ > 0; }
    // Bytes that could not start or continue a request.
    uint64_t SkippedBytes() const { return skippedBytes_; }
    // Partial frames dropped after a gap.
    uint64_t DroppedFrames() const { return droppedFrames_; }

private:
    void Push(uint8_t byte);
    bool PendingIsPrefix() const;
    void DropFirstByte();

    uint32_t gapLimitMs_;
    std::array<uint8_t, kLongRequestLength> pending_{};
    size_t count_ = 0;
    uint32_t lastByteMs_ = 0;
    uint64_t skippedBytes_ = 0;
    uint64_t droppedFrames_ = 0;
};

} // namespace sim
