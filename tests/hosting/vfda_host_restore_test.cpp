// vfda-host restore against simulated drives: a replaced drive put back as it was, only the
// differing parameters written, and nothing written to a drive of another model or running.
#include "restore_fixture.h"

using testing_support::JsonValue;
using testing_support::RestoreTest;

namespace {

TEST_F(RestoreTest, AReplacedDriveGetsOnlyTheDifferingParametersInNumberOrder) {
    const std::string file = SaveThenReplace();
    const auto result = Host("restore", {file, "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.err << result.out;
    const std::vector<JsonValue> lines = JsonLines(result.out);
    const std::vector<JsonValue> written = Events(lines, "written");
    ASSERT_EQ(written.size(), 3u) << result.out;
    EXPECT_EQ(written[0].Find("address")->text, "P1");
    EXPECT_EQ(written[1].Find("address")->text, "P10");
    EXPECT_EQ(written[1].Find("value")->number, 7.5);
    EXPECT_EQ(written[2].Find("address")->text, "P11");
    EXPECT_EQ(WrittenParameters(), (std::vector<int>{1, 10, 11}));
    EXPECT_EQ(DriveParameter(1, 10), 75);
    EXPECT_EQ(DriveParameter(1, 11), 250);
    EXPECT_EQ(DriveParameter(1, 1), 2);
    EXPECT_TRUE(Events(lines, "difference").empty()) << result.out;
    ASSERT_EQ(Events(lines, "restored").size(), 1u);
    EXPECT_TRUE(Events(lines, "restored")[0].Find("matches")->boolean);
}

TEST_F(RestoreTest, ADryRunNamesTheWritesAndSendsNone) {
    const std::string file = SaveThenReplace();
    const auto result = Host("restore", {file, "--dry-run", "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<JsonValue> planned = Events(JsonLines(result.out), "would-write");
    ASSERT_EQ(planned.size(), 3u) << result.out;
    EXPECT_EQ(planned[1].Find("address")->text, "P10");
    EXPECT_EQ(planned[1].Find("value")->number, 7.5);
    EXPECT_EQ(planned[1].Find("drive")->number, 10);
    EXPECT_EQ(FramesWithLetter('P') + FramesWithLetter('C'), 0u);
    EXPECT_EQ(DriveParameter(1, 10), 100);
}

TEST_F(RestoreTest, AnotherModelOrARunningDriveIsRefusedWithNothingWritten) {
    const std::string file = SaveThenReplace();
    std::string text;
    {
        std::ifstream in(file);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string otherModel = folder_.File("other.json");
    testing_support::WriteText(otherModel, Replace(text, "\"model\":0", "\"model\":5"));
    const auto model = Host("restore", {otherModel, "--json", "--force"});
    EXPECT_EQ(model.exitCode, 3);
    EXPECT_NE(model.out.find("\"reason\":\"model\""), std::string::npos) << model.out;

    ASSERT_EQ(drives_.SetWord(1, sim::Area::Monitor, 0, 300), sim::Outcome::Ok);
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Monitor, 3, 1), sim::Outcome::Ok);
    const auto running = Host("restore", {file});
    EXPECT_EQ(running.exitCode, 3);
    EXPECT_NE(running.out.find("the drive is running"), std::string::npos) << running.out;
    EXPECT_EQ(FramesWithLetter('P') + FramesWithLetter('R'), 0u);

    const auto forced = Host("restore", {file, "--force", "--dry-run"});
    EXPECT_EQ(forced.exitCode, 0) << forced.out;
    EXPECT_EQ(FramesWithLetter('R'), 81u) << "forced, the drive is read";
}

} // namespace
