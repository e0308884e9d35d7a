// The commands of vfda-host. Each takes the words after its name and returns the exit code.
#pragma once

#include "host_tool.h"

#include <string>
#include <vector>

namespace vfdahost {

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
int MonitorCommand(const std::vector<std::string>& words);

} // namespace vfdahost
