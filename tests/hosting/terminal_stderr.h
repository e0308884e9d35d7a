// Runs a program of the build with its standard error on a pseudo-terminal, as when a person
// runs it in a terminal and pipes only its standard output on.
#pragma once

#include "run_program.h"

#include <string>
#include <vector>

namespace testing_support {

// `err` holds the bytes the program wrote to the terminal, control characters included.
ProgramResult RunWithTerminalStderr(const std::string& program,
                                    const std::vector<std::string>& arguments);

} // namespace testing_support
