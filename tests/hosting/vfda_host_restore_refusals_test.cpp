// vfda-host restore onto a drive that does not take everything: what still differs is named
// with the reason (read-only, locked, refused), and a lock the file lifts goes first.
#include "restore_fixture.h"

using testing_support::JsonValue;
using testing_support::RestoreTest;

namespace {

// The file asks for an out-of-range P10 and a fault record; the target drive is locked.
TEST_F(RestoreTest, WhatStillDiffersIsNamedReadOnlyLockedOrRefused) {
    const std::string file = SaveThenReplace();
    std::string text;
    {
        std::ifstream in(file);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    Replace(text, "\"parameter\":10,\"raw\":75,\"value\":7.5",
            "\"parameter\":10,\"raw\":7000,\"value\":700");
    Replace(text, "\"parameter\":63,\"raw\":0,\"value\":0",
            "\"parameter\":63,\"raw\":5,\"value\":5");
    testing_support::WriteText(file, text);
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 11, 250), sim::Outcome::Ok);
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 54, 1), sim::Outcome::Ok);

    // Unlocked by the file itself (its P54 is 0, written first): P10 is refused by range.
    const auto unlocked = Host("restore", {file, "--json"});
    EXPECT_EQ(unlocked.exitCode, 3);
    std::vector<JsonValue> remaining = Events(JsonLines(unlocked.out), "difference");
    ASSERT_EQ(remaining.size(), 2u) << unlocked.out;
    EXPECT_EQ(remaining[0].Find("parameter")->number, 10);
    EXPECT_EQ(remaining[0].Find("reason")->text, "refused");
    EXPECT_EQ(remaining[1].Find("parameter")->number, 63);
    EXPECT_EQ(remaining[1].Find("reason")->text, "read-only");
    EXPECT_EQ(WrittenParameters().front(), 54) << "the lock is lifted before the rest";
    EXPECT_EQ(DriveParameter(1, 1), 2);

    // A file that keeps the lock on a locked drive: every other write is refused as locked.
    Replace(text, "\"parameter\":54,\"raw\":0,\"value\":0",
            "\"parameter\":54,\"raw\":1,\"value\":1");
    testing_support::WriteText(file, text);
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 1, 0), sim::Outcome::Ok);
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 54, 1), sim::Outcome::Ok);
    const auto locked = Host("restore", {file, "--json"});
    EXPECT_EQ(locked.exitCode, 3);
    remaining = Events(JsonLines(locked.out), "difference");
    ASSERT_GE(remaining.size(), 2u) << locked.out;
    EXPECT_EQ(remaining[0].Find("parameter")->number, 1);
    EXPECT_EQ(remaining[0].Find("reason")->text, "locked");
    EXPECT_EQ(DriveParameter(1, 1), 0);
}

} // namespace
