#include "toolkit/ui/win32/wide_text.h"

#include <climits>
#include <windows.h>

namespace ui::win32 {
namespace {

constexpr UINT kKorean = 949;

} // namespace

std::wstring WideFromCp949(std::string_view cp949) {
    if (cp949.empty() || cp949.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(cp949.size());
    const int needed = MultiByteToWideChar(kKorean, 0, cp949.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(kKorean, 0, cp949.data(), length, wide.data(), needed);
    wide.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return wide;
}

std::string Cp949FromWide(std::wstring_view wide) {
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(kKorean, 0, wide.data(), length, nullptr, 0, "?", nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(needed), '\0');
    const int written =
        WideCharToMultiByte(kKorean, 0, wide.data(), length, text.data(), needed, "?", nullptr);
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}

} // namespace ui::win32
