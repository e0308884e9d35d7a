// The events of vfda-host run as scripts read them: names, fields and their JSON forms.
#include "json_lines.h"
#include "csv_value_log.h"
#include "printed_run_events.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>

using namespace vfdahost;

namespace {

// A file of the test's own: std::tmpfile is unreliable on Windows, where parallel test
// programs may be handed the same temporary name.
std::FILE* OpenScratch(const testing_support::TempFolder& folder) {
    return std::fopen(folder.File("events.txt").c_str(), "w+b");
}

class RunEventsTest : public ::testing::Test {
protected:
    ~RunEventsTest() override {
        if (file_ != nullptr)
            std::fclose(file_);
    }
    void SetUp() override { ASSERT_NE(file_, nullptr); }

    // What was printed, with each line's "t" (which varies) shown as 0.
    std::string Printed() {
        std::fflush(file_);
        std::rewind(file_);
        std::string text;
        char buffer[4096];
        for (size_t count; (count = std::fread(buffer, 1, sizeof(buffer), file_)) > 0;) {
            text.append(buffer, count);
        }
        EXPECT_TRUE(testing_support::AllJsonObjects(testing_support::SplitLines(text)));
        // The clocks' fields, whose values the wall-clock tests check, as fixed text.
        const std::string steady = std::regex_replace(text, std::regex("\"t\":[0-9]+"), "\"t\":0");
        return std::regex_replace(steady, std::regex(",\"time\":\"[-0-9T:.]+Z\""), "");
    }

    TagDefinition Tag(const char* name, uint32_t id) {
        TagDefinition tag;
        tag.name = tag.nameCp949 = name;
        tag.id = id;
        tag.device = "PUMP1";
        tag.address = "D1";
        return tag;
    }

    testing_support::TempFolder folder_;
    std::FILE* file_ = OpenScratch(folder_);
    EventPrinter json_{OutputForm::Json, file_};
    PrintedRunEvents events_{json_};
};

} // namespace

TEST_F(RunEventsTest, ValuesCarryTheTagItsIdAndTheNumber) {
    const TagDefinition tag = Tag("F1", 1);
    events_.Value(&tag, 1, 12.3);
    events_.Value(nullptr, 9, 50);
    events_.Value(&tag, 1, std::nan(""));
    EXPECT_EQ(Printed(), "{\"event\":\"value\",\"t\":0,\"tag\":\"F1\",\"id\":1,\"value\":12.3}\n"
                         "{\"event\":\"value\",\"t\":0,\"tag\":null,\"id\":9,\"value\":50}\n"
                         "{\"event\":\"value\",\"t\":0,\"tag\":\"F1\",\"id\":1,\"value\":null}\n");
}

TEST_F(RunEventsTest, LogLinesAreUtf8AndEscaped) {
    // "통신시작" in CP949, and a quote and a control character from a tag name.
    events_.Log(258, "[DELTA VFD-A] \xC5\xEB\xBD\xC5\xBD\xC3\xC0\xDB");
    events_.Log(256, "tag[\"a\x01\"]");
    EXPECT_EQ(Printed(),
              "{\"event\":\"log\",\"t\":0,\"flags\":258,\"text\":\"[DELTA VFD-A] "
              "통신시작\",\"number\":1,\"meaning\":\"communication started\"}\n"
              "{\"event\":\"log\",\"t\":0,\"flags\":256,\"text\":\"tag[\\\"a\\u0001\\\"]\"}\n");
}

TEST_F(RunEventsTest, StatisticsInfoAndResultsKeepTheirFieldNames) {
    events_.Stats("PUMP1", 0, {4, 0, 1, 0});
    events_.Stats(std::nullopt, -1, {8, 1, 2, 1});
    events_.Info("PUMP1", "03", "급수");
    events_.Info("NOPE", std::nullopt, std::nullopt);
    events_.NoStationStats("NOPE", -1);
    events_.WritesNotSent(2);
    JsonFields fields;
    fields.Text("tag", "F1");
    events_.Result("write", fields, "F1 = 1", -17);
    EXPECT_EQ(
        Printed(),
        "{\"event\":\"stats\",\"t\":0,\"station\":\"PUMP1\",\"status\":0,\"reads\":4,"
        "\"read_failures\":0,\"writes\":1,\"write_failures\":0}\n"
        "{\"event\":\"stats\",\"t\":0,\"station\":null,\"status\":-1,\"reads\":8,"
        "\"read_failures\":1,\"writes\":2,\"write_failures\":1}\n"
        "{\"event\":\"info\",\"t\":0,\"station\":\"PUMP1\",\"number\":\"03\","
        "\"description\":\"급수\"}\n"
        "{\"event\":\"info\",\"t\":0,\"station\":\"NOPE\",\"number\":null,"
        "\"description\":null}\n"
        "{\"event\":\"stats\",\"t\":0,\"station\":\"NOPE\",\"status\":-1,\"reads\":null,"
        "\"read_failures\":null,\"writes\":null,\"write_failures\":null}\n"
        "{\"event\":\"error\",\"t\":0,\"text\":\"2 writes not sent before the stop\","
        "\"writes_not_sent\":2}\n"
        "{\"event\":\"result\",\"t\":0,\"command\":\"write\",\"tag\":\"F1\",\"result\":-17}\n");
}

TEST_F(RunEventsTest, RegistrationsFramesAndTheEnd) {
    events_.Tag(Tag("F1", 1), 65536);
    events_.Tag(Tag("LOST", 2), -1);
    const uint8_t frame[] = {0x52, 0x03, 0x01, 0x30, 0x31, 0x30, 0x35};
    events_.Frame(LineDirection::Sent, frame, sizeof(frame));
    events_.Frame(LineDirection::Received, frame, 2);
    events_.End("quit");
    EXPECT_EQ(
        Printed(),
        "{\"event\":\"tag\",\"t\":0,\"tag\":\"F1\",\"id\":1,\"handle\":65536,"
        "\"device\":\"PUMP1\",\"address\":\"D1\",\"type\":\"analog\"}\n"
        "{\"event\":\"tag\",\"t\":0,\"tag\":\"LOST\",\"id\":2,\"handle\":-1,"
        "\"device\":\"PUMP1\",\"address\":\"D1\",\"type\":\"analog\"}\n"
        "{\"event\":\"frame\",\"t\":0,\"direction\":\"sent\",\"hex\":\"52 03 01 30 31 30 35\"}\n"
        "{\"event\":\"frame\",\"t\":0,\"direction\":\"received\",\"hex\":\"52 03\"}\n"
        "{\"event\":\"end\",\"t\":0,\"reason\":\"quit\"}\n");
}

TEST(RunEventsTextTest, TextLinesStartWithTheTimeInSeconds) {
    const testing_support::TempFolder folder;
    std::FILE* file = OpenScratch(folder);
    ASSERT_NE(file, nullptr);
    {
        EventPrinter text(OutputForm::Text, file);
        PrintedRunEvents events(text);
        events.Stats("PUMP1", 1, {4, 2, 1, 0});
    }
    std::rewind(file);
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof(line), file), nullptr);
    std::fclose(file);
    EXPECT_TRUE(std::regex_match(line, std::regex(" +[0-9]+\\.[0-9]{3}  stats  PUMP1: last "
                                                  "transaction failed \\(1\\), reads 4 \\(2 "
                                                  "failed\\), writes 1 \\(0 failed\\)\n")))
        << line;
}

TEST(CsvFieldTest, AFieldIsQuotedOnlyWhenItMustBe) {
    EXPECT_EQ(vfdahost::CsvField("PUMP1"), "PUMP1");
    EXPECT_EQ(vfdahost::CsvField("급수 펌프"), "급수 펌프");
    EXPECT_EQ(vfdahost::CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(vfdahost::CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(vfdahost::CsvField("two\nlines"), "\"two\nlines\"");
}
