#include "platform/text_codec.h"

#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

bool Convert(const char* to, const char* from, std::string_view input, std::string& output) {
    output.clear();
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    bool ok = true;
    char chunk[256];
    while (ok && inLeft > 0) {
        char* out = chunk;
        size_t outLeft = sizeof(chunk);
        const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(chunk, sizeof(chunk) - outLeft);
        ok = result != static_cast<size_t>(-1) || errno == E2BIG;
    }
    if (ok) {
        char* out = chunk;
        size_t outLeft = sizeof(chunk);
        ok = iconv(converter, nullptr, nullptr, &out, &outLeft) != static_cast<size_t>(-1);
        output.append(chunk, sizeof(chunk) - outLeft);
    }
    iconv_close(converter);
    return ok;
}

} // namespace

bool Cp949ToUtf8(std::string_view cp949, std::string& utf8) {
    return Convert("UTF-8", "CP949", cp949, utf8);
}

bool Utf8ToCp949(std::string_view utf8, std::string& cp949) {
    return Convert("CP949", "UTF-8", utf8, cp949);
}

} // namespace platform
