#include "platform/text_codec.h"

#include <climits>
#include <windows.h>

namespace platform {
namespace {

constexpr UINT kKorean = 949;

bool ToWide(UINT codePage, std::string_view text, std::wstring& wide) {
    wide.clear();
    if (text.empty()) {
        return true;
    }
    if (text.size() > INT_MAX) {
        return false;
    }
    const int length = static_cast<int>(text.size());
    // Bytes that are not valid in the code page fail the call instead of becoming U+FFFD.
    const int needed =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    wide.resize(static_cast<size_t>(needed));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(),
                               needed) == needed;
}

bool FromWide(UINT codePage, const std::wstring& wide, std::string& text) {
    text.clear();
    if (wide.empty()) {
        return true;
    }
    if (wide.size() > INT_MAX) {
        return false;
    }
    const int length = static_cast<int>(wide.size());
    // UTF-8 refuses lone surrogates; CP949 refuses characters it has no form for, instead of
    // putting in a look-alike or the default character.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int needed = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0,
                                           nullptr, usedDefaultOut);
    if (needed <= 0 || usedDefault) {
        return false;
    }
    text.resize(static_cast<size_t>(needed));
    const int written = WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(),
                                            needed, nullptr, usedDefaultOut);
    return written == needed && !usedDefault;
}

} // namespace

bool Cp949ToUtf8(std::string_view cp949, std::string& utf8) {
    std::wstring wide;
    if (!ToWide(kKorean, cp949, wide) || !FromWide(CP_UTF8, wide, utf8)) {
        utf8.clear();
        return false;
    }
    return true;
}

bool Utf8ToCp949(std::string_view utf8, std::string& cp949) {
    std::wstring wide;
    if (!ToWide(CP_UTF8, utf8, wide) || !FromWide(kKorean, wide, cp949)) {
        cp949.clear();
        return false;
    }
    return true;
}

} // namespace platform
