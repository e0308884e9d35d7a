// The serial settings of one line, as stored in the configuration file.
#pragma once

#include "toolkit/object.h"

#include <cstdint>

// Threads: the host's thread only (load, editor, channel creation and port opening); the
// worker threads never read it: the channel keeps what it needs when it is created.
class CSerialPort : public CObject {
    DECLARE_SERIAL(CSerialPort)
public:
    static constexpr int32_t kPortCount = 36; // COM1..COM36
    static constexpr int32_t kOptionChecksum = 0x1;
    static constexpr int32_t kOptionRtsCts = 0x2;

    CSerialPort() = default;
    ~CSerialPort() override = default;
    void Serialize(CArchive& archive) override;

    int32_t m_portIndex = 0;     // 0 = COM1 ... 35 = COM36
    int32_t m_baudIndex = 2;     // 0 = 1200, 1 = 2400, 2 = 4800 (comm/line_rates.h)
    int32_t m_parityIndex = 2;   // 0 = none, 1 = even, 2 = odd
    int32_t m_dataBitsIndex = 1; // 0 = 7 bits, 1 = 8 bits
    int32_t m_stopBitsIndex = 0; // 0 = 1 stop bit, 1 = 2 stop bits
    int32_t m_options = 0;       // bit 0 checksum, bit 1 RTS/CTS; other bits kept as read
};
