// The framework's message box, owned by the modal dialog running now. Without an icon in
// the flags, a question (Yes/No) gets the question mark and any other box the warning
// sign. The caption is the window system's default. Returns the answer (ui::kIdYes, ...);
// kIdCancel when there is no window system.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <string>

// A text of the string table, found on the resource chain (CP949).
TOOLKIT_API int AfxMessageBox(uint32_t stringId, unsigned flags);
TOOLKIT_API int AfxMessageBox(const std::string& text, unsigned flags);
