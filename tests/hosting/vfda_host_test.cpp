// vfda-host show and vfda-host config, run as a user runs them.
#include "json_lines.h"
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testing_support;

namespace {

class VfdaHostTest : public ::testing::Test {
protected:
    ProgramResult Host(const std::vector<std::string>& arguments) {
        return RunProgram((BinFolder() / ProgramFile("vfda-host")).string(), arguments);
    }
    ProgramResult Config(const std::vector<std::string>& arguments) {
        std::vector<std::string> words = {"config", path_};
        words.insert(words.end(), arguments.begin(), arguments.end());
        return Host(words);
    }
    std::string Json() {
        const ProgramResult shown = Host({"show", path_, "--json"});
        EXPECT_EQ(shown.exitCode, 0) << shown.err;
        EXPECT_TRUE(AllJsonObjects(SplitLines(shown.out)));
        return shown.out;
    }
    // Runs a config command that must be refused, and checks the file stayed as it was.
    ProgramResult Refused(const std::vector<std::string>& arguments) {
        const Bytes before = ReadBytes(path_);
        ProgramResult result = Config(arguments);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_EQ(ReadBytes(path_), before) << "a refused change leaves the file untouched";
        return result;
    }

    TempFolder folder_;
    std::string path_ = folder_.File("line.cfg");
};

const std::string kDefaultJson =
    "{\"port\":\"COM1\",\"baud\":4800,\"baud_index\":2,\"parity\":2,\"data_bits\":1,"
    "\"stop_bits\":0,\"options\":0,\"stations\":[]}\n";

} // namespace

TEST_F(VfdaHostTest, InitWritesTheDefaultDocument) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    EXPECT_EQ(Json(), kDefaultJson);
    const ProgramResult text = Host({"show", path_});
    EXPECT_NE(text.out.find("baud       4800"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("stations   0"), std::string::npos) << text.out;
}

TEST_F(VfdaHostTest, StationsAreAddedEditedAndDeleted) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    ASSERT_EQ(Config({"add-station", "P1", "--number", "3"}).exitCode, 0);
    EXPECT_EQ(Json(),
              "{\"port\":\"COM1\",\"baud\":4800,\"baud_index\":2,\"parity\":2,\"data_bits\":1,"
              "\"stop_bits\":0,\"options\":0,\"stations\":[{\"name\":\"P1\","
              "\"description\":\"\",\"model\":0,\"number\":3}]}\n");
    ASSERT_EQ(Config({"add-station", "  펌프 2 ", "--number", "12", "--model", "22",
                      "--description", "라인 \"A\""})
                  .exitCode,
              0);
    ASSERT_EQ(Config({"edit-station", "p1", "--name", "P9", "--number", "9"}).exitCode, 0);
    EXPECT_NE(Json().find("{\"name\":\"P9\",\"description\":\"\",\"model\":0,\"number\":9},"
                          "{\"name\":\"펌프 2\",\"description\":\"라인 \\\"A\\\"\",\"model\":22,"
                          "\"number\":12}"),
              std::string::npos)
        << Json();
    const ProgramResult text = Host({"show", path_});
    EXPECT_NE(text.out.find("펌프 2 (12국) : 라인 \"A\""), std::string::npos) << text.out;

    ASSERT_EQ(Config({"delete-station", "P9"}).exitCode, 0);
    EXPECT_EQ(Json().find("P9"), std::string::npos);
    EXPECT_EQ(Config({"delete-station", "P9"}).exitCode, 2) << "no such station";
}

TEST_F(VfdaHostTest, SerialSettingsChange) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    ASSERT_EQ(Config({"set", "--port", "COM36", "--baud", "1200", "--rtscts", "on"}).exitCode, 0);
    EXPECT_EQ(Json(),
              "{\"port\":\"COM36\",\"baud\":1200,\"baud_index\":0,\"parity\":2,\"data_bits\":1,"
              "\"stop_bits\":0,\"options\":2,\"stations\":[]}\n");
    ASSERT_EQ(Config({"set", "--rtscts", "off"}).exitCode, 0);
    EXPECT_NE(Json().find("\"options\":0"), std::string::npos);
    Refused({"set", "--port", "COM37"});
    Refused({"set", "--port", "COM0"});
    Refused({"set", "--baud", "9600"});
    Refused({"set", "--rtscts", "maybe"});
}

TEST_F(VfdaHostTest, TheStationDialogChecksRefuseInTheirOrder) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    ASSERT_EQ(Config({"add-station", "PUMP1", "--number", "3"}).exitCode, 0);
    EXPECT_EQ(Refused({"add-station", " \t ", "--number", "3"}).err,
              "vfda-host: refused (2700): 스테이션 이름이 설정되지 않았습니다.\n");
    EXPECT_EQ(Refused({"add-station", "pump1", "--number", "3"}).err,
              "vfda-host: refused (2701): 같은 이름의 스테이션이 이미 사용되었습니다.\n");
    EXPECT_EQ(Refused({"add-station", "PUMP2", "--number", "32"}).err,
              "vfda-host: refused (2707): 국번이 잘못 설정되었습니다.\n");
    EXPECT_EQ(Refused({"add-station", "PUMP2", "--number", "-1"}).err,
              "vfda-host: refused (2707): 국번이 잘못 설정되었습니다.\n");
    EXPECT_EQ(Refused({"add-station", "PUMP2", "--number", "3"}).err,
              "vfda-host: refused (2702): 국번이 다른 스테이션과 중복되어 설정되었습니다.\n");
    EXPECT_EQ(Refused({"edit-station", "PUMP1", "--number", "40"}).err,
              "vfda-host: refused (2707): 국번이 잘못 설정되었습니다.\n");
    Refused({"add-station", "PUMP2"}); // no number
    Refused({"add-station", "PUMP2", "--number", "4", "--model", "23"});
    // Keeping its own name and number is no conflict.
    EXPECT_EQ(Config({"edit-station", "PUMP1", "--name", "PUMP1", "--number", "3"}).exitCode, 0);
}

TEST_F(VfdaHostTest, TextsWithoutACp949FormAreRefused) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    const ProgramResult result = Refused({"add-station", "펌프😀", "--number", "5"});
    EXPECT_NE(result.err.find("CP949"), std::string::npos) << result.err;
    Refused({"add-station", "P5", "--number", "5", "--description", "\xF0\x9F\x98\x80"});
}

TEST_F(VfdaHostTest, AFileThatCannotBeOpenedShowsMessage5AndExits1) {
    const ProgramResult shown = Host({"show", path_});
    EXPECT_EQ(shown.exitCode, 1);
    EXPECT_EQ(shown.out, "");
    // The Korean line, then its number (and, outside a Korean locale, its English meaning).
    EXPECT_EQ(shown.err.rfind("[DELTA VFD-A] 지정된 파일[" + path_ + "]을 열 수 없습니다. (5", 0),
              0u)
        << shown.err;
    const ProgramResult added = Config({"add-station", "P1", "--number", "1"});
    EXPECT_EQ(added.exitCode, 1);
    EXPECT_NE(added.err.find("cannot read configuration " + path_ + ": no such file"),
              std::string::npos)
        << added.err;
    EXPECT_FALSE(std::filesystem::exists(path_));
    EXPECT_FALSE(std::filesystem::exists(path_ + ".lock")) << "no lock file beside nothing";
}

TEST_F(VfdaHostTest, WrongCommandLinesExit2) {
    EXPECT_EQ(Host({}).exitCode, 2);
    EXPECT_EQ(Host({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(Host({"show"}).exitCode, 2);
    EXPECT_EQ(Host({"show", path_, "--yaml"}).exitCode, 2);
    EXPECT_EQ(Config({"explode"}).exitCode, 2);
    EXPECT_EQ(Config({"set", "--port"}).exitCode, 2);
}

// A host whose folder lacks VemorRun: the module still opens instances, and drops its
// messages.
TEST_F(VfdaHostTest, WithoutTheEventLogLibraryOpenStillWorksAndMessagesAreDropped) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    TempFolder host;
    for (const std::string& file :
         {ProgramFile("vfda-host"), LibraryFile("VfdaDrv"), LibraryFile("VfdaToolkit"),
          LibraryFile("VemorSub"), LibraryFile("VemorDbm")}) {
        std::filesystem::copy_file(BinFolder() / file, host.Path() / file);
    }
    const std::string program = host.File(ProgramFile("vfda-host"));
    const ProgramResult shown = RunProgram(program, {"show", path_, "--json"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out, kDefaultJson);
    EXPECT_TRUE(AllJsonObjects(SplitLines(shown.out)));

    const ProgramResult missing = RunProgram(program, {"show", folder_.File("absent.cfg")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.find("[DELTA VFD-A]"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("no event log"), std::string::npos) << missing.err;
}

TEST_F(VfdaHostTest, TheBundledSampleOpens) {
    const auto sample = std::filesystem::path(VFDA_SOURCE_DIR) / "samples" / "pumps.cfg";
    const ProgramResult shown = Host({"show", sample.string(), "--json"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_TRUE(AllJsonObjects(SplitLines(shown.out)));
    EXPECT_NE(shown.out.find("\"stations\":[{\"name\":\"PUMP1\""), std::string::npos) << shown.out;
}
