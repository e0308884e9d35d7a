// The outcome of one transaction with a drive: 0, or the number of the event message that
// station supervision logs for the failure.
#pragma once

namespace comm {

enum ResultCode : int {
    kSuccess = 0,
    kSendFailed = 8,       // the frame could not be written in time
    kReceiveFailed = 9,    // a read failed or did not complete in time
    kReceiveTimeout = 10,  // no complete answer within the receive limit
    kAnswerMismatch = 11,  // parameter or value echo differs, or the value is no number
    kErrorAnswer = 12,     // the drive refused the request
    kFrameMarkWrong = 13,  // byte 1 of the answer is not the frame mark
    kStationMismatch = 16, // the answer names another station
};

} // namespace comm
