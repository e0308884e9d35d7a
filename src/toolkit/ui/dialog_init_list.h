// A dialog's init list, the framework's resource that fills a dialog's drop-down lists
// before its initialisation runs. Each entry is the control's id (16 bits), a message (16
// bits), the length of its data (32 bits, the terminating zero counted) and the data: a
// CP949 text. A zero id ends the list. All numbers are little-endian.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// The message of an entry that adds its text to a combo box (the framework keeps the 16-bit
// numbers of the messages).
constexpr unsigned kDialogInitAddComboString = 0x0403;

struct DialogInitEntry {
    int controlId = 0;
    unsigned message = 0;
    std::string text; // up to the data's first zero byte
};

// The entries in order. An entry whose header or data would run past the end of `data` ends
// the reading: what came before it is kept, nothing after it is read.
TOOLKIT_API std::vector<DialogInitEntry> ParseDialogInitList(std::string_view data);

} // namespace ui
