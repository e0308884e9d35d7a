// Runs a program of the build as a user would from a shell, and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `program` (a path) with the arguments; standard input is empty.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments);

} // namespace testing_support
