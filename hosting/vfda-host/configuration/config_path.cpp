#include "config_path.h"

#include "config/vfda_drv_doc.h"
#include "platform/file.h"
#include "platform/system_error.h"

#include <filesystem>

namespace vfdahost {

std::optional<std::string> WhyNotWritable(const std::string& path) {
    const platform::FileStatus status = platform::StatusOf(path);
    if (status.exists && !status.regular) {
        return path + " is not a regular file";
    }
    return std::nullopt;
}

std::optional<std::string> WhyNotReadable(const std::string& path) {
    const platform::FileStatus status = platform::StatusOf(path);
    if (!status.exists) {
        return std::nullopt;
    }
    if (!status.regular) {
        return path + " is not a regular file";
    }
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) {
        return "cannot open " + path + " for reading: " + platform::LastSystemError();
    }
    file.Close();
    CVfdaDrvDoc document;
    if (!document.LoadFile(path)) {
        return path + " is not a configuration this driver reads (damaged or cut short)";
    }
    return std::nullopt;
}

std::optional<std::string> WhyNotCreatable(const std::string& path) {
    if (platform::StatusOf(path).exists) {
        return std::nullopt;
    }
    std::string folder = std::filesystem::path(path).parent_path().string();
    folder = folder.empty() ? "." : folder;
    const platform::FileStatus status = platform::StatusOf(folder);
    if (!status.exists) {
        return "cannot create " + path + ": the folder " + folder + " does not exist";
    }
    if (status.regular) {
        return "cannot create " + path + ": " + folder + " is not a folder";
    }
    if (status.readOnly) {
        return "cannot create " + path + ": the folder " + folder +
               " does not let this user add files";
    }
    return std::nullopt;
}

std::string CannotOpenConfiguration(const std::string& path) {
    const platform::FileStatus status = platform::StatusOf(path);
    const std::string text = "cannot open " + path;
    if (!status.exists) {
        return text + ": no such file";
    }
    if (!status.regular) {
        return text + ": not a regular file";
    }
    const std::optional<std::string> why = WhyNotReadable(path);
    return why ? *why : text;
}

} // namespace vfdahost
