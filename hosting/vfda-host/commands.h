// The commands of vfda-host. Each takes the words after its name and returns the exit code.
#pragma once

#include <string>
#include <vector>

namespace vfdahost {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // a file or the module could not be used
constexpr int kExitRefused = 2; // a check refused the input, or the command line is wrong
constexpr int kExitNotDone = 3; // the line was used, but the drives did not all do as asked

int ShowCommand(const std::vector<std::string>& words);
int ConfigCommand(const std::vector<std::string>& words);
int RunCommand(const std::vector<std::string>& words);
int DemoCommand(const std::vector<std::string>& words);
int EditCommand(const std::vector<std::string>& words);
int ReadCommand(const std::vector<std::string>& words);
int WriteCommand(const std::vector<std::string>& words);
int BackupCommand(const std::vector<std::string>& words);
int CompareCommand(const std::vector<std::string>& words);
int RestoreCommand(const std::vector<std::string>& words);
int CloneCommand(const std::vector<std::string>& words);
int ScanCommand(const std::vector<std::string>& words);

extern const char* const kConfigUsage;

// The demo's usage line; on a build without the drive simulator it says the demo is missing.
const char* DemoUsage();

} // namespace vfdahost
