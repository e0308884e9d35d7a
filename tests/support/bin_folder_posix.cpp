#include "test_files.h"

#include <cstdlib>

namespace testing_support {

std::filesystem::path BinFolder() {
    if (const char* bin = std::getenv("VFDA_BIN")) {
        return bin;
    }
    return std::filesystem::canonical("/proc/self/exe").parent_path();
}

} // namespace testing_support
