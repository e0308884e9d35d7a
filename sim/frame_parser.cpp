#include "sim/frame_parser.h"

#include <algorithm>

namespace sim {

std::vector<Request> FrameParser::Feed(std::span<const uint8_t> bytes, uint32_t nowMs) {
    Expire(nowMs);
    std::vector<Request> requests;
    for (size_t i = 0; i < bytes.size(); ++i) {
        Push(bytes[i]);
        if (count_ == 0 || count_ < RequestLength(pending_[0])) {
            continue;
        }
        Request request;
        DecodeRequest(std::span<const uint8_t>(pending_.data(), count_), request);
        count_ = 0;
        // Digits right behind a complete frame mean the sender printed a number wider than
        // its field; they belong to this frame, not to the next one.
        while (i + 1 < bytes.size() && IsDigit(bytes[i + 1])) {
            request.overlong = true;
            ++i;
        }
        requests.push_back(request);
    }
    if (!bytes.empty()) {
        lastByteMs_ = nowMs;
    }
    return requests;
}

void FrameParser::Expire(uint32_t nowMs) {
    if (count_ > 0 && nowMs - lastByteMs_ > gapLimitMs_) {
        count_ = 0;
        ++droppedFrames_;
    }
}

void FrameParser::Push(uint8_t byte) {
    pending_[count_++] = byte;
    while (count_ > 0 && !PendingIsPrefix()) {
        DropFirstByte();
    }
}

bool FrameParser::PendingIsPrefix() const {
    if (!IsRequestLetter(pending_[0])) {
        return false;
    }
    if (count_ > 1 && pending_[1] != kFrameMark) {
        return false;
    }
    if (count_ > 2 && pending_[2] != kRequestMark) {
        return false;
    }
    return std::all_of(pending_.begin() + std::min<size_t>(count_, 3), pending_.begin() + count_,
                       [](uint8_t b) { return IsDigit(b); });
}

void FrameParser::DropFirstByte() {
    std::copy(pending_.begin() + 1, pending_.begin() + count_, pending_.begin());
    --count_;
    ++skippedBytes_;
}

} // namespace sim
