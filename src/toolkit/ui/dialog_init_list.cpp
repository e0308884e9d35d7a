#include "toolkit/ui/dialog_init_list.h"

namespace ui {
namespace {

constexpr size_t kHeaderBytes = 8; // id, message, length

uint32_t LittleEndian(std::string_view bytes, size_t at, size_t count) {
    uint32_t value = 0;
    for (size_t index = count; index-- > 0;) {
        value = (value << 8) | static_cast<uint8_t>(bytes[at + index]);
    }
    return value;
}

} // namespace

std::vector<DialogInitEntry> ParseDialogInitList(std::string_view data) {
    std::vector<DialogInitEntry> entries;
    size_t at = 0;
    while (data.size() - at >= 2) {
        const int controlId = static_cast<int>(LittleEndian(data, at, 2));
        if (controlId == 0 || data.size() - at < kHeaderBytes) {
            break;
        }
        const uint32_t length = LittleEndian(data, at + 4, 4);
        at += kHeaderBytes;
        if (length > data.size() - at) {
            break;
        }
        const std::string_view body = data.substr(at, length);
        DialogInitEntry entry;
        entry.controlId = controlId;
        entry.message = LittleEndian(data, at - kHeaderBytes + 2, 2);
        entry.text = std::string(body.substr(0, body.find('\0')));
        entries.push_back(std::move(entry));
        at += length;
    }
    return entries;
}

} // namespace ui
