// vfda-host restore against simulated drives: a replaced drive put back as it was, only the
// differing parameters written, and nothing written to a drive of another model or running.
#include "restore_fixture.h"

#include <set>

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

    // Behind an adapter that echoes, "does not answer" says so, as run says it.
    ASSERT_TRUE(drives_.SetFault(1, sim::FaultKind::Echo));
    const auto echoed = Host("restore", {file});
    EXPECT_EQ(echoed.exitCode, 3);
    EXPECT_NE(echoed.out.find("the drive does not answer; the adapter echoes every request"),
              std::string::npos)
        << echoed.out;
    ASSERT_TRUE(drives_.ClearFault(1));

    const auto forced = Host("restore", {file, "--force", "--dry-run"});
    EXPECT_EQ(forced.exitCode, 0) << forced.out;
    EXPECT_EQ(FramesWithLetter('R'), 81u) << "forced, the drive is read";
}

// A file that would reset the drive (P76 = 10), lacks a setting and comes from another station
// number. Nothing is written unless told to leave the missing setting alone; then P76 is named
// as skipped and never sent, and the restore is not called a match. Ctrl-C in the middle
// leaves a record of what was not written, and a second restore finishes the work.
TEST_F(RestoreTest, OnlySettingsAreWrittenAndWhatIsLeftIsNamed) {
    const std::string file = SaveThenReplace();
    std::string text;
    {
        std::ifstream in(file);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    Replace(text, "\"parameter\":76,\"raw\":0,\"value\":0",
            "\"parameter\":76,\"raw\":10,\"value\":10");
    Replace(text, "\"parameter\":20,\"raw\":0,\"value\":0",
            "\"parameter\":20,\"raw\":null,\"value\":null");
    Replace(text, "\"number\":1,", "\"number\":7,");
    testing_support::WriteText(file, text);

    const auto refused = Host("restore", {file});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("lacks 1 settings (P20)"), std::string::npos) << refused.err;
    for (const char* twice : {"PUMP1", "pump1"}) {
        const auto clone = Host("clone", {"PUMP1", "PUMP2", twice});
        EXPECT_EQ(clone.exitCode, 2);
        EXPECT_NE(clone.err.find("not cloned onto itself"), std::string::npos) << clone.err;
    }
    EXPECT_TRUE(line_->Requests().empty()) << "refused before the line is used";

    {
        int exitCode = 0;
        const std::vector<JsonValue> lines =
            InterruptedAfterFirstWrite("restore", {file, "--skip-missing"}, exitCode);
        EXPECT_EQ(exitCode, 130);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(WrittenOrNot(lines), (std::multiset<std::string>{"P1", "P10", "P11"}));
        EXPECT_EQ(lines.back().Find("event")->text, "end");
        EXPECT_EQ(lines.back().Find("not_done")->number,
                  static_cast<double>(Events(lines, "not-written").size()));
    }
    const size_t writtenBefore = WrittenParameters().size();
    ASSERT_GE(writtenBefore, 1u);
    ASSERT_LT(writtenBefore, 3u) << "the interrupt stopped the restore";

    const auto result = Host("restore", {file, "--skip-missing", "--json"});
    EXPECT_EQ(result.exitCode, 3) << "a file that lacks a setting is never matched";
    const std::vector<JsonValue> lines = JsonLines(result.out);
    const std::vector<JsonValue> warning = Events(lines, "warning");
    ASSERT_EQ(warning.size(), 1u) << result.out;
    EXPECT_EQ(warning[0].Find("file_number")->number, 7);
    const std::vector<JsonValue> skipped = Events(lines, "skipped");
    ASSERT_EQ(skipped.size(), 2u) << result.out;
    EXPECT_EQ(skipped[0].Find("address")->text, "P20");
    EXPECT_EQ(skipped[0].Find("reason")->text, "missing");
    EXPECT_EQ(skipped[1].Find("address")->text, "P76");
    EXPECT_EQ(skipped[1].Find("reason")->text, "command");
    EXPECT_EQ(Events(lines, "written").size(), 3u - writtenBefore);
    ASSERT_EQ(Events(lines, "restored").size(), 1u);
    EXPECT_FALSE(Events(lines, "restored")[0].Find("matches")->boolean);
    EXPECT_EQ(Events(lines, "restored")[0].Find("missing")->number, 1);
    const std::vector<int> sent = WrittenParameters();
    EXPECT_EQ(std::set<int>(sent.begin(), sent.end()), (std::set<int>{1, 10, 11}));
    EXPECT_EQ(sent.size(), 3u);
    EXPECT_EQ(DriveParameter(1, 10), 75);
    EXPECT_EQ(DriveParameter(1, 11), 250);
}

} // namespace
