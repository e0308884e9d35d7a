#include "private_folder.h"

#include <random>
#include <system_error>

namespace vfdahost {

namespace fs = std::filesystem;

PrivateFolder::~PrivateFolder() {
    if (!kept_) {
        Remove();
    }
}

bool PrivateFolder::Create(const std::string& prefix, std::string& error) {
    std::error_code failure;
    const fs::path temporary = fs::temp_directory_path(failure);
    if (failure) {
        error = "no temporary folder: " + failure.message();
        return false;
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = temporary / (prefix + std::to_string(random() % 1000000000));
        // create_directory is false when the name is taken: try another.
        if (!fs::create_directory(candidate, failure)) {
            if (failure) {
                error = "cannot make a folder in " + temporary.string() + ": " + failure.message();
                return false;
            }
            continue;
        }
        fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, failure);
        if (failure) {
            error = "cannot make " + candidate.string() + " private: " + failure.message();
            fs::remove(candidate, failure);
            return false;
        }
        path_ = candidate;
        return true;
    }
    error = "cannot find a free folder name in " + temporary.string();
    return false;
}

void PrivateFolder::Remove() {
    if (path_.empty()) {
        return;
    }
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    path_.clear();
}

} // namespace vfdahost
