// run --csv: every value change appended to a CSV file as it comes, read back the way a user
// reads it, with Python's csv module.
#include "run_fixture.h"

#include <filesystem>
#include <regex>

using namespace testing_support;

namespace {

// The file's rows as Python's csv module reads them, a row a line, fields joined by '|'.
std::vector<std::string> CsvRows(const std::string& path) {
    const ProgramResult read = RunProgram(
        "/usr/bin/python3", {"-c",
                             "import csv,sys\n"
                             "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                             "    for row in csv.reader(f, strict=True): print('|'.join(row))\n",
                             path});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    return SplitLines(read.out);
}

} // namespace

TEST_F(VfdaHostRunTest, ValueChangesAreAppendedToACsvLog) {
    const std::string log = folder_.File("values.csv");
    WriteText(log, "time,station,tag,address,value\r\nearlier,PUMP1,CMD1,D0,1\r\n");
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Monitor, 0, 123), sim::Outcome::Ok); // 12.3 Hz
    auto host = RunJson({"--csv", log});
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}}), "second station's value");
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Monitor, 3, 1), sim::Outcome::Ok);
    Expect(*host, Event("value", {{"tag", Quoted("RUN1")}, {"value", "1"}}), "running bit");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);

    const std::vector<std::string> rows = CsvRows(log);
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0], "time|station|tag|address|value");
    EXPECT_EQ(rows[1], "earlier|PUMP1|CMD1|D0|1") << "what the file held stays first";
    const std::regex row(
        R"((\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)\|([^|]*)\|([^|]*)\|([^|]*)\|(.*))");
    std::vector<std::string> seen;
    for (size_t i = 2; i < rows.size(); ++i) {
        std::smatch fields;
        ASSERT_TRUE(std::regex_match(rows[i], fields, row)) << rows[i];
        seen.push_back(fields[2].str() + " " + fields[3].str() + " " + fields[4].str() + " " +
                       fields[5].str());
    }
    const auto has = [&](const std::string& wanted) {
        return std::find(seen.begin(), seen.end(), wanted) != seen.end();
    };
    EXPECT_TRUE(has("PUMP1 CMD1 D0 12.3"));
    EXPECT_TRUE(has("PUMP1 RUN1 D4.0 0"));
    EXPECT_TRUE(has("PUMP1 RUN1 D4.0 1")) << "the change is a row of its own";
    EXPECT_TRUE(has("PUMP2 OUT2 D1 0")) << "the device LINE.PUMP2 is station PUMP2";
}

TEST_F(VfdaHostRunTest, ACsvLogThatCannotBeWrittenStopsTheRunBeforeTheLine) {
    const ProgramResult folder = RunProgram(HostProgram(), RunWords({"--csv", folder_.Path()}));
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_NE(folder.err.find("cannot write " + folder_.Path().string()), std::string::npos)
        << folder.err;
    EXPECT_TRUE(Requests().empty()) << "nothing was sent";
}
