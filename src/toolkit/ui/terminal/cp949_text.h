// Walking CP949 texts character by character (a byte from 0x81 up leads a two-byte
// character), and showing them as UTF-8. In a terminal a CP949 character takes as many cells
// as it has bytes: one for ASCII, two for Hangul and Hanja.
#pragma once

#include "platform/export.h"

#include <cstddef>
#include <string>

namespace ui {

TOOLKIT_API size_t NextCharCp949(const std::string& text, size_t at);
TOOLKIT_API size_t PreviousCharCp949(const std::string& text, size_t at);
// The start of the character that holds byte `at` (at itself on a boundary).
TOOLKIT_API size_t CharStartCp949(const std::string& text, size_t at);
// UTF-8 for the terminal; a byte without a CP949 meaning shows as '?'.
TOOLKIT_API std::string ShowCp949(const std::string& text);

} // namespace ui
