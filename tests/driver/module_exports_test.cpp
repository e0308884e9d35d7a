// The module's dynamic symbol table: DrvFuncTable is its only export, and it is data.
// (On Windows the same check reads the DLL's export table from the Linux side.)
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

TEST(ModuleExports, OnlyDrvFuncTable) {
    const auto module = (BinFolder() / LibraryFile("VfdaDrv")).string();
    const ProgramResult symbols = RunProgram("nm", {"-D", "--defined-only", module});
    ASSERT_EQ(symbols.exitCode, 0) << symbols.err;
    std::vector<std::string> names;
    size_t start = 0;
    while (start < symbols.out.size()) {
        const size_t end = symbols.out.find('\n', start);
        const std::string line = symbols.out.substr(start, end - start);
        if (!line.empty()) {
            names.push_back(line.substr(line.rfind(' ') + 1));
        }
        start = end == std::string::npos ? symbols.out.size() : end + 1;
    }
    EXPECT_EQ(names, std::vector<std::string>{"DrvFuncTable"}) << symbols.out;
    EXPECT_NE(symbols.out.find(" B DrvFuncTable"), std::string::npos) << "exported as data";
}
