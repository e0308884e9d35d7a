// vfda-host run without drives, on every system: wrong command lines and files.
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class VfdaHostRunArgumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Host({"config", config_, "init"}).exitCode, 0);
        ASSERT_EQ(Host({"config", config_, "add-station", "PUMP1", "--number", "1"}).exitCode, 0);
        WriteText(tags_, "name,type,device,address\nF1,analog,PUMP1,D1\nLOST,analog,PUMP9,D1\n");
    }

    ProgramResult Host(const std::vector<std::string>& arguments) {
        return RunProgram((BinFolder() / ProgramFile("vfda-host")).string(), arguments);
    }
    ProgramResult Run(const std::vector<std::string>& more) {
        std::vector<std::string> words = {"run", config_, "--tags", tags_};
        words.insert(words.end(), more.begin(), more.end());
        return Host(words);
    }

    TempFolder folder_;
    std::string config_ = folder_.File("line.cfg");
    std::string tags_ = folder_.File("tags.csv");
};

} // namespace

TEST_F(VfdaHostRunArgumentsTest, WrongCommandLinesExit2WithTheUsage) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"run"},
          {"run", config_},
          {"run", config_, "--tags"},
          {"run", config_, "--tags", tags_, "--json", "--colour"},
          {"run", config_, "--tags", tags_, "--port", "COM0=/dev/null"},
          {"run", config_, "--tags", tags_, "--port", "/dev/null"},
          {"run", config_, "--tags", tags_, "--seconds", "-5"}}) {
        const ProgramResult result = Host(words);
        EXPECT_EQ(result.exitCode, 2) << words.back();
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "") << "nothing runs";
    }
    const ProgramResult usage = Host({});
    EXPECT_NE(usage.err.find("vfda-host run CONFIG --tags TAGS"), std::string::npos);
    EXPECT_NE(usage.err.find("vfda-host demo"), std::string::npos);
}

TEST_F(VfdaHostRunArgumentsTest, FilesThatCannotBeUsedStopTheRunBeforeItStarts) {
    const ProgramResult noTags = Host({"run", config_, "--tags", folder_.File("absent.csv")});
    EXPECT_EQ(noTags.exitCode, 1);
    EXPECT_NE(noTags.err.find("cannot read"), std::string::npos) << noTags.err;

    WriteText(tags_, "name,type,device,address\nF1,float,PUMP1,D1\n");
    const ProgramResult badTags = Run({});
    EXPECT_EQ(badTags.exitCode, 2);
    EXPECT_EQ(badTags.err, "vfda-host: " + tags_ +
                               ": line 2: the type must be analog or digital, not \"float\"\n");

    WriteText(tags_, "name,type,device,address\n");
    const ProgramResult noConfig = Host({"run", folder_.File("absent.cfg"), "--tags", tags_});
    EXPECT_EQ(noConfig.exitCode, 1);
    EXPECT_NE(noConfig.err.find("cannot open"), std::string::npos) << noConfig.err;
    EXPECT_NE(noConfig.out.find("지정된 파일["), std::string::npos) << "message 5 on the log";
}
