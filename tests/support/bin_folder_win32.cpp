#include "test_files.h"

#include <windows.h>

namespace testing_support {

// The test programs are built into the same folder as everything else, and VFDA_BIN (set by
// ctest on the Linux side) names it as Linux does: the program's own folder is the answer.
std::filesystem::path BinFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, sizeof(path) / sizeof(path[0]));
    if (length == 0 || length >= sizeof(path) / sizeof(path[0])) {
        return std::filesystem::current_path();
    }
    return std::filesystem::path(path).parent_path();
}

} // namespace testing_support
