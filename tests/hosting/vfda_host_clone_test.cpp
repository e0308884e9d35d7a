// vfda-host clone against simulated drives: one drive's settings copied onto two others,
// their own records (station number) left alone, and one summary.
#include "restore_fixture.h"

using testing_support::JsonValue;
using testing_support::RestoreTest;

namespace {

TEST_F(RestoreTest, CloneCopiesOneDriveOntoTwoWithOneSummary) {
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 10, 75), sim::Outcome::Ok);
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 2, 1), sim::Outcome::Ok);
    ASSERT_EQ(drives_.SetWord(3, sim::Area::Parameter, 2, 1), sim::Outcome::Ok);
    const auto result = Host("clone", {"PUMP1", "PUMP2", "PUMP3", "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.err << result.out;
    for (int station : {2, 3}) {
        for (int p = 0; p <= 80; ++p) {
            if (p != 58) {
                EXPECT_EQ(DriveParameter(station, p), DriveParameter(1, p))
                    << "station " << station << " P" << p;
            }
        }
        EXPECT_EQ(DriveParameter(station, 58), station);
    }
    const std::vector<JsonValue> lines = JsonLines(result.out);
    const std::vector<JsonValue> summary = Events(lines, "clone");
    ASSERT_EQ(summary.size(), 1u) << result.out;
    EXPECT_EQ(summary[0].Find("from")->text, "PUMP1");
    EXPECT_EQ(summary[0].Find("stations")->number, 2);
    EXPECT_EQ(summary[0].Find("matched")->number, 2);
    EXPECT_EQ(Events(lines, "written").size(), 3u) << "P10 twice, P2 once";
    EXPECT_EQ(FramesWithLetter('P'), 3u);
}

} // namespace
