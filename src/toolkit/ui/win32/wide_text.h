// The module's CP949 texts as the UTF-16 the W functions take, and back. The code page is
// named explicitly: the process's own code page may be anything (UTF-8 in the test programs).
#pragma once

#include <string>
#include <string_view>

namespace ui::win32 {

// Bytes that are not CP949 become U+FFFD.
std::wstring WideFromCp949(std::string_view cp949);
// Characters without a CP949 form (typed by the user) become '?'.
std::string Cp949FromWide(std::wstring_view wide);

} // namespace ui::win32
