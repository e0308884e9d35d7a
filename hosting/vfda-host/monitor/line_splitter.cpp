#include "line_splitter.h"

#include "comm/frame_codec.h"

namespace vfdahost {
namespace {

// Requests start with the command's letter, and answers repeat it; anything else first is
// noise.
bool MayStartFrame(uint8_t byte) {
    return byte >= 'A' && byte <= 'Z';
}

bool IsRequest(const std::vector<uint8_t>& frame) {
    return frame.size() > comm::kAcknowledgeByte &&
           frame[comm::kAcknowledgeByte] == comm::kRequestMark;
}

} // namespace

size_t LineSplitter::FrameLength() const {
    if (frame_.size() <= comm::kAcknowledgeByte) {
        return 0;
    }
    const bool query =
        frame_[0] == comm::kLetterReadParameter || frame_[0] == comm::kLetterQueryGroup;
    return IsRequest(frame_) && query ? comm::kQueryLength : comm::kAnswerLength;
}

void LineSplitter::Emit(PieceKind kind, std::vector<uint8_t>& bytes, std::vector<LinePiece>& out) {
    if (!bytes.empty()) {
        out.push_back(LinePiece{kind, std::move(bytes), lastAt_});
    }
    bytes.clear();
}

void LineSplitter::Take(uint8_t byte, std::vector<LinePiece>& out) {
    if (frame_.empty()) {
        if (!MayStartFrame(byte)) {
            noise_.push_back(byte);
            if (noise_.size() >= kLongestNoise) {
                Emit(PieceKind::Noise, noise_, out);
            }
            return;
        }
        Emit(PieceKind::Noise, noise_, out);
        frame_.push_back(byte);
        return;
    }
    if (frame_.size() == comm::kMarkByte && byte != comm::kFrameMark) {
        // Not a frame after all: its first byte was noise, and this one may start one.
        noise_.push_back(frame_.front());
        frame_.clear();
        Take(byte, out);
        return;
    }
    frame_.push_back(byte);
    if (frame_.size() == FrameLength()) {
        Emit(IsRequest(frame_) ? PieceKind::Request : PieceKind::Answer, frame_, out);
    }
}

void LineSplitter::Feed(std::span<const uint8_t> bytes, MonitorClock::time_point at,
                        std::vector<LinePiece>& out) {
    lastAt_ = at;
    for (const uint8_t byte : bytes) {
        Take(byte, out);
    }
}

void LineSplitter::Settle(MonitorClock::time_point now, std::vector<LinePiece>& out) {
    if (now - lastAt_ < kFrameGap) {
        return;
    }
    // An answer cut short is still the answer (the driver reads it so); a request cut short
    // asked nothing.
    const bool answer = frame_.size() > comm::kAcknowledgeByte && !IsRequest(frame_);
    if (!answer) {
        noise_.insert(noise_.end(), frame_.begin(), frame_.end());
        frame_.clear();
    }
    Emit(PieceKind::Noise, noise_, out);
    Emit(PieceKind::Answer, frame_, out);
}

} // namespace vfdahost
