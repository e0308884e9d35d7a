// A host process that ends while the module is loaded and polling: it ends with status 0
// however it ends. At process exit communication is stopped without a word to the host,
// whose libraries' objects are already gone; a stop or an unload that stops a running
// instance still logs message 2, once.
#include "run_program.h"
#include "stand_in_control.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

using namespace testing_support;

namespace {

const std::string kEnded = "\xC5\xEB\xBD\xC5\xC1\xBE\xB7\xE1"; // 통신종료, CP949

struct Ending {
    const char* name;
    bool polls;           // communication was started before the end
    size_t endedMessages; // message 2 lines after "polling"
};

void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

size_t Count(const std::string& text, const std::string& fragment) {
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos;
         at = text.find(fragment, at + fragment.size())) {
        ++count;
    }
    return count;
}

class ModuleExitTest : public ::testing::TestWithParam<Ending> {};

} // namespace

TEST_P(ModuleExitTest, EndsWithStatusZero) {
    const Ending& ending = GetParam();
    const ProgramResult result =
        RunProgram((BinFolder() / ProgramFile("module_exit_host")).string(), {ending.name});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const size_t polling = result.out.find("polling\n");
    EXPECT_EQ(polling != std::string::npos, ending.polls) << result.out;
    EXPECT_EQ(Count(result.out, kEnded), ending.endedMessages) << result.out;
    EXPECT_EQ(result.err.find(kEventLogAfterDestruction), std::string::npos) << result.err;
    if (ending.endedMessages > 0) {
        EXPECT_GT(result.out.find(kEnded), polling) << result.out;
    }
}

// quick_exit runs no destructors and no exit handlers: the threads end with the process,
// untouched. An unload stops and releases everything before the process ends.
INSTANTIATE_TEST_SUITE_P(Endings, ModuleExitTest,
                         ::testing::Values(Ending{"exit", true, 0}, Ending{"return", true, 0},
                                           Ending{"quick-exit", true, 0},
                                           Ending{"exit-idle", false, 0},
                                           Ending{"unload-stopped", true, 1},
                                           Ending{"unload-running", true, 1}),
                         [](const ::testing::TestParamInfo<Ending>& endingInfo) {
                             std::string name = endingInfo.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
