#include "run_program.h"

#include "test_files.h"

#include <cstdlib>
#include <sys/wait.h>

namespace testing_support {
namespace {

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
    TempFolder capture;
    const std::string outPath = capture.File("out");
    const std::string errPath = capture.File("err");
    std::string command = Quoted(program);
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command += " </dev/null >" + Quoted(outPath) + " 2>" + Quoted(errPath);
    const int status = std::system(command.c_str());
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadText(outPath);
    result.err = ReadText(errPath);
    return result;
}

} // namespace testing_support
