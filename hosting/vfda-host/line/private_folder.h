// A new folder of this run in the system's temporary folder, readable by this user only,
// removed with what it holds when the object goes (unless kept). Symlinks in it are removed,
// never what they point at.
#pragma once

#include <filesystem>
#include <string>

namespace vfdahost {

class PrivateFolder {
public:
    PrivateFolder() = default;
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // Makes the folder, named `prefix` and a random number; false with `error` set.
    bool Create(const std::string& prefix, std::string& error);
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Leaves the folder in place at the end.
    void Keep() { kept_ = true; }
    void Remove();

private:
    std::filesystem::path path_;
    bool kept_ = false;
};

} // namespace vfdahost
