// What vfda-host checks of a configuration path before it hands the path on, so that a
// folder, a FIFO or a device is refused at once with a reason instead of being waited on.
#pragma once

#include <optional>
#include <string>

namespace vfdahost {

// Why the path cannot be written as a configuration, or nothing when it can be (a regular
// file, or nothing yet).
std::optional<std::string> WhyNotWritable(const std::string& path);

// Why an existing path cannot be read as a configuration (not a regular file, not readable,
// or not a configuration this driver reads), or nothing when it can be or does not exist.
std::optional<std::string> WhyNotReadable(const std::string& path);

// Why a configuration that does not exist yet cannot be created at path (its folder is
// missing, is no folder, or does not let this user add files), or nothing.
std::optional<std::string> WhyNotCreatable(const std::string& path);

// What to say when the module did not open the configuration at path: "cannot open PATH" and
// the reason where the file system gives one (it is not there, it is no regular file).
std::string CannotOpenConfiguration(const std::string& path);

} // namespace vfdahost
