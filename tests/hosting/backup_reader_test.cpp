// Reading backups back: a file any JSON tool re-saved loads, our own files load whatever the
// station's name holds, and a file whose values would reach a drive changed is refused,
// naming the parameter.
#include "backup_reader.h"

#include <gtest/gtest.h>

#include <string>

using vfdahost::BackupJson;
using vfdahost::ParameterBackup;
using vfdahost::ParseBackup;

namespace {

ParameterBackup ABackup(const std::string& station) {
    ParameterBackup backup;
    backup.station = station;
    backup.number = 2;
    backup.baud = 4800;
    backup.readAt = "2026-12-08T15:00:00Z";
    for (size_t p = 0; p < backup.values.size(); ++p) {
        backup.values[p] = 0;
    }
    backup.values[10] = 7.5;
    backup.values[71] = 4;
    return backup;
}

// The file as Python's json.dump writes it back: ", " and ": " between the parts, every
// character beyond ASCII as \u escapes (a surrogate pair beyond the first plane), a tab as \t,
// and whole values of scaled parameters as 0.0.
std::string AsJsonDumpWrites() {
    std::string text = "{\"format\": \"vfda-parameters/1\", \"station\": "
                       "\"\\ud38c\\ud5041\\t\\ud83d\\ude00\\/\", \"number\": 2, \"model\": 0, "
                       "\"baud\": 4800, \"read_at\": \"2026-12-08T15:00:00Z\", \"parameters\": [";
    for (int p = 0; p <= 80; ++p) {
        const std::string value = p == 10 ? "7.5" : p == 12 ? "0.0" : "0";
        text += (p > 0 ? ", " : "") + std::string("{\"parameter\": ") + std::to_string(p) +
                ", \"raw\": " + (p == 10 ? "75" : "0") + ", \"value\": " + value + "}";
    }
    return text + "]}";
}

// `text` with its one `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string Refusal(const std::string& text) {
    ParameterBackup backup;
    std::string error;
    return ParseBackup(text, backup, error) ? "" : error;
}

TEST(BackupReaderTest, LoadsAFileAStandardJsonLibraryReSaved) {
    ParameterBackup backup;
    std::string error;
    ASSERT_TRUE(ParseBackup(AsJsonDumpWrites(), backup, error)) << error;
    EXPECT_EQ(backup.station, "\xED\x8E\x8C\xED\x94\x84"
                              "1\t\xF0\x9F\x98\x80/");
    EXPECT_EQ(backup.values[10], 7.5);
    EXPECT_EQ(backup.values[12], 0);
}

TEST(BackupReaderTest, OurOwnBackupOfAnyStationNameLoadsAsItWasSaved) {
    for (const std::string name : {"PUMP\t2", "A\"B\\C", "\xEB\xB2\x94\xED\x94\x84\x1B[2J"}) {
        const ParameterBackup saved = ABackup(name);
        ParameterBackup loaded;
        std::string error;
        ASSERT_TRUE(ParseBackup(BackupJson(saved), loaded, error)) << error;
        EXPECT_EQ(loaded.station, name);
        EXPECT_EQ(loaded.values, saved.values);
    }
}

TEST(BackupReaderTest, AValueThatIsNotItsRawWordIsRefusedByName) {
    const std::string good = BackupJson(ABackup("PUMP2"));
    ASSERT_EQ(Refusal(good), "");
    const std::string halfPole = Replaced(good, "\"parameter\":71,\"raw\":4,\"value\":4",
                                          "\"parameter\":71,\"raw\":3,\"value\":2.5");
    EXPECT_NE(Refusal(halfPole).find("P71"), std::string::npos) << Refusal(halfPole);
    const std::string between = Replaced(good, "\"parameter\":10,\"raw\":75,\"value\":7.5",
                                         "\"parameter\":10,\"raw\":51,\"value\":5.06");
    EXPECT_NE(Refusal(between).find("P10"), std::string::npos) << Refusal(between);
    const std::string wide = Replaced(good, "\"parameter\":71,\"raw\":4,\"value\":4",
                                      "\"parameter\":71,\"raw\":65535,\"value\":65535");
    EXPECT_NE(Refusal(wide).find("P71 takes 0 to 9999"), std::string::npos) << Refusal(wide);
    const std::string halfNull = Replaced(good, "\"parameter\":3,\"raw\":0,\"value\":0",
                                          "\"parameter\":3,\"raw\":null,\"value\":0");
    EXPECT_NE(Refusal(halfNull).find("P3"), std::string::npos) << Refusal(halfNull);
}

TEST(BackupReaderTest, WhatIsNotStrictJsonOrNotABackupIsRefused) {
    const std::string good = BackupJson(ABackup("PUMP2"));
    EXPECT_NE(Refusal(Replaced(good, "\"number\":2", "\"number\":1e999")).find("out of range"),
              std::string::npos);
    EXPECT_NE(Refusal(Replaced(good, "\"model\":0", "\"model\":0,\"model\":1")).find("duplicate"),
              std::string::npos);
    EXPECT_NE(Refusal(Replaced(good, "\"model\":0", "\"mode\":0")).find("unknown key"),
              std::string::npos);
    EXPECT_NE(Refusal(Replaced(good, "\"model\":0", "\"model\":0.5")).find("model"),
              std::string::npos);
    EXPECT_NE(Refusal(good.substr(0, good.size() - 3)).find("not JSON"), std::string::npos);
    EXPECT_EQ(Refusal("[]"), "not a vfda-parameters/1 file");
    EXPECT_NE(Refusal(std::string(100000, '[') + std::string(100000, ']')).find("too deep"),
              std::string::npos);
}

} // namespace
