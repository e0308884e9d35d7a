// vfda-host read and write against simulated drives: values scaled as the module delivers
// them, writes counted once the drive answered, and exit 3 for what the drives did not do.
#include "parameter_fixture.h"

using testing_support::JsonValue;
using testing_support::ParameterCommandTest;

namespace {

const JsonValue& Member(const JsonValue& object, const char* key) {
    static const JsonValue missing;
    const JsonValue* found = object.Find(key);
    EXPECT_NE(found, nullptr) << "no " << key;
    return found != nullptr ? *found : missing;
}

} // namespace

TEST_F(ParameterCommandTest, ReadGivesParametersScaledAndMonitorWords) {
    ASSERT_EQ(drives_.SetWord(2, sim::Area::Parameter, 10, 125), sim::Outcome::Ok);
    const auto result = Host("read", {"PUMP2", "P10", "p0", "D4", "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<JsonValue> lines = JsonLines(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.out;
    EXPECT_EQ(Member(lines[0], "event").text, "value");
    EXPECT_EQ(Member(lines[0], "station").text, "PUMP2");
    EXPECT_EQ(Member(lines[0], "address").text, "P10");
    EXPECT_EQ(Member(lines[0], "value").number, 12.5);
    EXPECT_EQ(Member(lines[1], "address").text, "P0");
    EXPECT_EQ(Member(lines[1], "value").number, DriveParameter(2, 0));
    EXPECT_EQ(Member(lines[2], "address").text, "D4");
    EXPECT_EQ(Member(lines[2], "value").kind, JsonValue::Kind::Number);
}

TEST_F(ParameterCommandTest, ReadOfASilentStationExitsThreeWithNoValue) {
    const auto result = Host("read", {"GONE", "P1", "--json"});
    EXPECT_EQ(result.exitCode, 3);
    const std::vector<JsonValue> lines = JsonLines(result.out);
    ASSERT_EQ(lines.size(), 1u) << result.out;
    EXPECT_EQ(Member(lines[0], "value").kind, JsonValue::Kind::Null);
}

TEST_F(ParameterCommandTest, WriteCountsOnceTheDriveAnsweredAndReportsRefusals) {
    const auto result = Host("write", {"PUMP1", "P10=7.5", "P58=5", "--json"});
    EXPECT_EQ(result.exitCode, 3) << "the station address is the drive's own";
    const std::vector<JsonValue> lines = JsonLines(result.out);
    ASSERT_EQ(lines.size(), 2u) << result.out;
    EXPECT_EQ(Member(lines[0], "event").text, "written");
    EXPECT_EQ(Member(lines[0], "value").number, 7.5);
    EXPECT_TRUE(Member(lines[0], "ok").boolean);
    EXPECT_FALSE(Member(lines[1], "ok").boolean);
    EXPECT_EQ(DriveParameter(1, 10), 75);
    EXPECT_EQ(DriveParameter(1, 58), 1);
}

TEST_F(ParameterCommandTest, WrongAddressesAndStationsAreRefusedBeforeTheLineIsUsed) {
    EXPECT_EQ(Host("read", {"PUMP1", "P81"}).exitCode, 2);
    EXPECT_EQ(Host("read", {"PUMP1", "C0"}).exitCode, 2);
    EXPECT_EQ(Host("write", {"PUMP1", "D1=5"}).exitCode, 2);
    EXPECT_EQ(Host("write", {"PUMP1", "P10=x"}).exitCode, 2);
    EXPECT_EQ(Host("read", {"NOBODY", "P1"}).exitCode, 2);
    EXPECT_EQ(FramesWithLetter('R') + FramesWithLetter('P'), 0u);
}
