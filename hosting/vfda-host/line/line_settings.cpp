#include "line_settings.h"

#include "config/serial_port.h"

#include <algorithm>
#include <cctype>

namespace vfdahost {
namespace {

constexpr int64_t kPauseMs = 100; // after every executed request, and the shortest pass
constexpr int kQueryBytes = 7;
constexpr int kAnswerBytes = 11;
constexpr int kStatusGroup = 3; // D3..D6 come in one query

} // namespace

std::string FramingText(const CSerialPort& port) {
    static const char kParity[] = {'N', 'E', 'O'};
    const int parity = std::clamp(port.m_parityIndex, 0, 2);
    return std::string(port.m_dataBitsIndex == 0 ? "7" : "8") + "-" + kParity[parity] + "-" +
           (port.m_stopBitsIndex == 0 ? "1" : "2");
}

int CharacterBits(const CSerialPort& port) {
    const int data = port.m_dataBitsIndex == 0 ? 7 : 8;
    const int parity = port.m_parityIndex == 0 ? 0 : 1;
    const int stop = port.m_stopBitsIndex == 0 ? 1 : 2;
    return 1 + data + parity + stop;
}

int64_t PassMs(int32_t baud, int characterBits, const std::vector<StationSettings>& stations) {
    if (baud <= 0) {
        return kPauseMs;
    }
    const int64_t wireMs =
        ((kQueryBytes + kAnswerBytes) * int64_t{characterBits} * 1000 + baud - 1) / baud;
    int64_t pass = 0;
    for (const StationSettings& station : stations) {
        pass += station.groupsPolled * (wireMs + kPauseMs);
    }
    return std::max(pass, kPauseMs);
}

std::optional<int> PolledGroup(const std::string& address) {
    if (address.size() < 2 || std::toupper(static_cast<unsigned char>(address[0])) != 'D') {
        return std::nullopt;
    }
    size_t end = 1;
    int word = 0;
    while (end < address.size() && end < 4 &&
           std::isdigit(static_cast<unsigned char>(address[end]))) {
        word = word * 10 + (address[end] - '0');
        ++end;
    }
    if (end == 1) {
        return std::nullopt;
    }
    return std::min(word, kStatusGroup);
}

} // namespace vfdahost
