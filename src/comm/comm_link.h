// The byte line to the drives as a transaction needs it: send one request frame, receive one
// answer that starts at the sync byte. The serial port implements it; tests script it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace comm {

class CommLink {
public:
    virtual ~CommLink() = default;

    // Writes the frame; 0, or kSendFailed.
    virtual int SendFrame(const uint8_t* frame, size_t length) = 0;

    // Fills answer[0..count-1] with bytes starting at the first one equal to sync; 0,
    // kReceiveFailed or kReceiveTimeout. The caller's buffer holds at least count bytes.
    virtual int ReceiveFrame(uint8_t* answer, size_t count, uint8_t sync) = 0;
};

} // namespace comm
