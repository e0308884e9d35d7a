// A host process that ends while the module is loaded and polling: it ends with status 0
// however it ends, and the module's threads are stopped before the host's objects go.
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

const std::string kEnded = "\xC5\xEB\xBD\xC5\xC1\xBE\xB7\xE1"; // 통신종료, CP949

ProgramResult EndHost(const std::string& ending) {
    return RunProgram((BinFolder() / ProgramFile("module_exit_host")).string(), {ending});
}

size_t Count(const std::string& text, const std::string& fragment) {
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos;
         at = text.find(fragment, at + fragment.size())) {
        ++count;
    }
    return count;
}

// Communication ended once, after polling had begun, and nothing was reported after that.
void ExpectEndedOnceAfterPolling(const ProgramResult& result) {
    const size_t polling = result.out.find("polling\n");
    ASSERT_NE(polling, std::string::npos) << result.out;
    EXPECT_EQ(Count(result.out, kEnded), 1u) << result.out;
    EXPECT_GT(result.out.find(kEnded), polling);
}

} // namespace

TEST(ModuleExitTest, ExitWhilePollingStopsCommunicationFirst) {
    const ProgramResult result = EndHost("exit");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    ExpectEndedOnceAfterPolling(result);
}

TEST(ModuleExitTest, ReturnFromMainWhilePolling) {
    const ProgramResult result = EndHost("return");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    ExpectEndedOnceAfterPolling(result);
}

// quick_exit runs no destructors: the threads end with the process, untouched.
TEST(ModuleExitTest, QuickExitWhilePolling) {
    const ProgramResult result = EndHost("quick-exit");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("polling\n"), std::string::npos) << result.out;
}

TEST(ModuleExitTest, ExitWithAnInstanceThatNeverCommunicated) {
    const ProgramResult result = EndHost("exit-idle");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Count(result.out, kEnded), 0u);
}

TEST(ModuleExitTest, UnloadAfterStopThenExit) {
    const ProgramResult result = EndHost("unload-stopped");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    ExpectEndedOnceAfterPolling(result);
}

TEST(ModuleExitTest, UnloadWhilePollingThenExit) {
    const ProgramResult result = EndHost("unload-running");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    ExpectEndedOnceAfterPolling(result);
}
