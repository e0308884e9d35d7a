// The one question a line scan asks each station number: a status query in the module's
// frame format, and how to recognise the drive's answer among whatever else the line
// carries (an adapter's echo of the request, noise).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

// "Q" 0x03 0x01, the station as two digits, group 00: seven bytes.
std::string ScanQuery(int station);

// True when `received` holds, anywhere, an 11-byte answer of the drive at `station` to the
// query: the letter, the frame mark, an acknowledgement (accepted or refused: either way a
// drive with that number is there) and the station's two digits. The adapter's echo of
// the request carries the request mark instead of an acknowledgement, so it never counts.
bool HoldsScanAnswer(const std::vector<uint8_t>& received, int station);

// "R" 0x03 0x01, the station and the parameter as two digits each: a read of one parameter.
std::string ParameterQuery(int station, int parameter);

// The value of the drive's answer to ParameterQuery found anywhere in `received`, once the
// answer is whole and checks as the module checks it; nothing otherwise.
std::optional<uint16_t> ParameterAnswer(const std::vector<uint8_t>& received, int station,
                                        int parameter);

// How long after the query is sent its answer must have arrived at `baud`: the request,
// a possible echo of it and the answer on the wire, plus the drive's turnaround.
uint32_t ScanAnswerWaitMs(uint32_t baud);

} // namespace vfdahost
