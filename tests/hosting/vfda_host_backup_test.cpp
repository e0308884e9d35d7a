// vfda-host backup and compare against simulated drives: the file holds what the drive holds,
// scaled as the module delivers it, and a parameter the drive did not return is named.
#include "parameter_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

using testing_support::HostProcess;
using testing_support::HostProgram;
using testing_support::JsonValue;
using testing_support::ParameterCommandTest;
using testing_support::RunProgram;

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class BackupTest : public ParameterCommandTest {
protected:
    // The backup file parsed strictly; fails the test when it is not JSON.
    JsonValue BackupOf(const std::string& path) {
        std::string error;
        const std::optional<JsonValue> file = testing_support::ParseJson(FileText(path), &error);
        EXPECT_TRUE(file) << error;
        return file.value_or(JsonValue{});
    }

    // Checks every entry of the file against the drive's raw words: raw as the drive holds it,
    // value scaled for the parameters that carry a decimal place.
    void ExpectFileMatchesDrive(const JsonValue& file, int station) {
        const JsonValue* parameters = file.Find("parameters");
        ASSERT_NE(parameters, nullptr);
        ASSERT_EQ(parameters->items.size(), 81u);
        for (int p = 0; p <= 80; ++p) {
            const JsonValue& entry = parameters->items[static_cast<size_t>(p)];
            ASSERT_EQ(entry.Find("parameter")->number, p);
            EXPECT_EQ(entry.Find("raw")->number, DriveParameter(station, p)) << "P" << p;
        }
    }

    std::string Path(const char* name) { return folder_.File(name); }

    // Puts `index` in the configuration's baud index, as a file written by another tool may
    // hold it: the serial record is port 2 (COM3), baud 2, parity 2, 8 bits, 1 stop bit.
    void SetBaudIndex(uint8_t index) {
        testing_support::Bytes bytes = testing_support::ReadBytes(config_);
        const testing_support::Bytes record = {2, 0, 0, 0, 2, 0, 0, 0, 2, 0,
                                               0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
        const auto at = std::search(bytes.begin(), bytes.end(), record.begin(), record.end());
        ASSERT_NE(at, bytes.end());
        ASSERT_EQ(std::search(at + 1, bytes.end(), record.begin(), record.end()), bytes.end());
        at[4] = index;
        testing_support::WriteBytes(config_, bytes);
    }
};

// Two stations at once (each read takes 81 of the drive's answers): one whole, one that
// never returns P12, whose earlier complete backup must survive the incomplete one.
TEST_F(BackupTest, EachStationIsSavedWithRawWordsScaledValuesAndWhatWasMissed) {
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 10, 125), sim::Outcome::Ok);
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 0, 3), sim::Outcome::Ok);
    const std::string earlier = FileText(BackupOfDrive(2, "PUMP2", Path("PUMP2.parameters.json")));
    ASSERT_TRUE(drives_.HideParameter(2, 12));
    const auto result =
        Host("backup", {"PUMP1", "PUMP2", "--out", folder_.Path().string(), "--json"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_EQ(FileText(Path("PUMP2.parameters.json")), earlier)
        << "an incomplete backup never replaces a file";

    const JsonValue pump1 = BackupOf(Path("PUMP1.parameters.json"));
    EXPECT_EQ(pump1.Find("format")->text, "vfda-parameters/1");
    EXPECT_EQ(pump1.Find("station")->text, "PUMP1");
    EXPECT_EQ(pump1.Find("number")->number, 1);
    EXPECT_EQ(pump1.Find("baud")->number, 4800);
    EXPECT_EQ(pump1.Find("read_at")->text.size(), 20u);
    ExpectFileMatchesDrive(pump1, 1);
    EXPECT_EQ(pump1.Find("parameters")->items[10].Find("value")->number, 12.5);
    EXPECT_EQ(pump1.Find("parameters")->items[0].Find("value")->number, 3);

    const JsonValue pump2 = BackupOf(Path("PUMP2.parameters.partial.json"));
    const JsonValue& p12 = pump2.Find("parameters")->items[12];
    EXPECT_EQ(p12.Find("raw")->kind, JsonValue::Kind::Null);
    EXPECT_EQ(p12.Find("value")->kind, JsonValue::Kind::Null);
    EXPECT_EQ(pump2.Find("parameters")->items[13].Find("raw")->number, DriveParameter(2, 13));

    const std::vector<JsonValue> lines = JsonLines(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.out;
    EXPECT_EQ(lines[0].Find("event")->text, "saved");
    EXPECT_TRUE(lines[0].Find("complete")->boolean);
    EXPECT_EQ(lines[1].Find("event")->text, "missed");
    EXPECT_EQ(lines[1].Find("station")->text, "PUMP2");
    EXPECT_EQ(lines[1].Find("parameter")->number, 12);
    EXPECT_FALSE(lines[2].Find("complete")->boolean);
    EXPECT_EQ(lines[2].Find("file")->text, Path("PUMP2.parameters.partial.json"));
    EXPECT_EQ(lines[2].Find("kept")->text, Path("PUMP2.parameters.json"));
    EXPECT_EQ(FramesWithLetter('P'), 0u) << "a backup writes nothing to the drive";
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
    }
}

// Every target is checked before a drive is read: each refusal costs no frame on the line
// and leaves what is on the disk as it was.
// Ctrl-C while the second of three stations is read: the chunk on the line finishes, what was
// read of that station goes beside its file, the station not reached is named, and an end
// event closes the output; nothing else is left in the folder.
TEST_F(BackupTest, AnInterruptedBackupSavesWhatItReadAndNamesWhatItDidNot) {
    HostProcess host(HostProgram(), {"backup", config_, "PUMP1", "PUMP2", "PUMP3", "--out",
                                     folder_.Path().string(), "--json", "--port", PortWord()});
    ASSERT_TRUE(host.WaitForLine([](const std::string& line) {
                        return line.find("\"event\":\"saved\"") != std::string::npos;
                    })
                    .has_value())
        << host.AllOutput();
    host.Interrupt();
    EXPECT_EQ(host.WaitForExit(), 130);
    const std::vector<JsonValue> lines = EventLines(host.AllOutput());
    ASSERT_FALSE(lines.empty());
    const JsonValue& end = lines.back();
    EXPECT_EQ(end.Find("event")->text, "end");
    EXPECT_EQ(end.Find("reason")->text, "interrupt");
    size_t notDone = 0;
    for (const JsonValue& line : lines) {
        const std::string& event = line.Find("event")->text;
        notDone += event == "not-read" || (event == "saved" && !line.Find("complete")->boolean);
    }
    EXPECT_GE(notDone, 1u) << "PUMP3 was never reached";
    EXPECT_EQ(end.Find("not_done")->number, static_cast<double>(notDone));
    EXPECT_FALSE(std::filesystem::exists(Path("PUMP3.parameters.json")));
    ExpectFileMatchesDrive(BackupOf(Path("PUMP1.parameters.json")), 1);
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
        const std::string name = entry.path().filename().string();
        const bool line = name.rfind("line.cfg", 0) == 0; // the configuration and its lock
        EXPECT_TRUE(line || name.find(".parameters.") != std::string::npos)
            << name << " left behind";
    }
}

// A drive that answers nothing is given up after a chunk of reads instead of all 81: the
// backup is kept beside its file with every parameter named as missed.
TEST_F(BackupTest, ADriveThatAnswersNothingIsGivenUpAfterOneChunk) {
    const auto result = Host("backup", {"GONE", "--out", Path("gone.json"), "--json"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    const std::vector<JsonValue> lines = JsonLines(result.out);
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(),
                      [](const JsonValue& line) { return line.Find("event")->text == "missed"; }),
        81);
    EXPECT_LE(FramesWithLetter('R'), 16u) << "the reads still queued were dropped";
    EXPECT_GE(FramesWithLetter('R'), 8u);
    EXPECT_TRUE(std::filesystem::exists(Path("gone.partial.json")));
}

TEST_F(BackupTest, TargetsThatCannotTakeTheBackupAreRefusedBeforeTheLine) {
    Configure({"add-station", "A/B", "--number", "5"});
    Configure({"add-station", "A_B", "--number", "6"});
    const std::string config = FileText(config_);
    const std::string other = BackupOfDrive(1, "PUMP1", Path("pump1.json"));
    const std::string readOnly = BackupOfDrive(2, "PUMP2", Path("pump2.json"));
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read);
    const auto refused = [&](std::vector<std::string> words, const char* reason) {
        const auto result = Host("backup", words);
        EXPECT_EQ(result.exitCode, 2) << reason << ": " << result.err;
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    };
    refused({"PUMP1", "PUMP2", "--out", Path("missing")}, "several stations need");
    refused({"PUMP1", "--out", Path("missing/pump1.json")}, "does not exist");
    refused({"PUMP1", "--out", config_}, "not a parameter backup");
    refused({"PUMP2", "--out", other}, "the backup of station PUMP1");
    refused({"PUMP2", "--out", readOnly}, "read-only");
    refused({"A/B", "A_B", "--out", folder_.Path().string()}, "also the file of station A/B");
    EXPECT_TRUE(line_->Requests().empty()) << "nothing is read before every target is checked";
    EXPECT_EQ(FileText(config_), config);
}

TEST_F(BackupTest, CompareNamesEveryDifferenceAndPassesAnEqualDrive) {
    const std::string file = BackupOfDrive(1, "PUMP1", Path("pump1.json"));
    // PUMP2 holds the same settings; only its station number, its own record, differs.
    const auto same = Host("compare", {file, "--station", "PUMP2", "--json"});
    EXPECT_EQ(same.exitCode, 0) << same.out;
    const std::vector<JsonValue> records = JsonLines(same.out);
    ASSERT_EQ(records.size(), 2u) << same.out;
    EXPECT_EQ(records[0].Find("event")->text, "record");
    EXPECT_EQ(records[0].Find("parameter")->number, 58);
    EXPECT_EQ(records[0].Find("role")->text, "drive record");
    EXPECT_GT(records[0].Find("t")->number, 0) << "times run from the command's start";
    EXPECT_EQ(records[1].Find("event")->text, "compared");
    EXPECT_EQ(records[1].Find("differences")->number, 0);
    EXPECT_EQ(records[1].Find("records")->number, 1);
    EXPECT_TRUE(records[1].Find("matches")->boolean);

    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 10, 75), sim::Outcome::Ok);
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 1, 2), sim::Outcome::Ok);
    const auto json = Host("compare", {file, "--json"});
    EXPECT_EQ(json.exitCode, 3);
    const std::vector<JsonValue> lines = JsonLines(json.out);
    ASSERT_EQ(lines.size(), 3u) << json.out;
    EXPECT_EQ(lines[0].Find("event")->text, "difference");
    EXPECT_EQ(lines[0].Find("parameter")->number, 1);
    EXPECT_EQ(lines[1].Find("parameter")->number, 10);
    EXPECT_EQ(lines[1].Find("file")->number, 10);
    EXPECT_EQ(lines[1].Find("drive")->number, 7.5);
    EXPECT_EQ(lines[2].Find("event")->text, "compared");
    EXPECT_EQ(lines[2].Find("differences")->number, 2);

    ASSERT_EQ(drives_.SetWord(3, sim::Area::Parameter, 10, 75), sim::Outcome::Ok);
    const auto text = Host("compare", {file, "--station", "PUMP3"});
    EXPECT_EQ(text.exitCode, 3);
    EXPECT_NE(text.out.find("  P10: file 10, drive 7.5\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("  P58: file 1, drive 3 (drive record, not a setting)\n"),
              std::string::npos)
        << text.out;
}

TEST_F(BackupTest, ADamagedBackupIsRefusedWithTheReason) {
    const std::string out = BackupOfDrive(1, "PUMP1", Path("pump1.json"));
    const std::string good = FileText(out);
    const auto refusedWith = [&](const std::string& text, const char* reason) {
        testing_support::WriteText(out, text);
        const auto result = Host("compare", {out});
        EXPECT_EQ(result.exitCode, 2) << reason;
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    };
    refusedWith(good.substr(0, good.size() / 2), "not JSON");
    refusedWith(good + "{}", "text after the value");
    std::string scaled = good;
    scaled.replace(scaled.find("\"raw\":100,\"value\":10}"), 21, "\"raw\":100,\"value\":100}");
    refusedWith(scaled, "does not match the raw word");
    std::string other = good;
    other.replace(other.find("vfda-parameters/1"), 17, "vfda-parameters/2");
    refusedWith(other, "not a vfda-parameters/1 file");
    std::string twice = good;
    twice.replace(twice.find("\"number\""), 8, "\"model\"");
    refusedWith(twice, "duplicate key");
    std::string short80 = good;
    short80.replace(short80.rfind(",{"), std::string::npos, "]}");
    refusedWith(short80, "not a list of P0 to P80");
    EXPECT_EQ(Host("compare", {Path("none.json")}).exitCode, 1);
    EXPECT_EQ(FramesWithLetter('R'), 0u) << "a refused file never reaches the line";
}

} // namespace

// An index the editor does not offer runs the line at 4800, the module's default; show and
// backup say the same rate (and show says why).
TEST_F(BackupTest, ABaudIndexTheEditorDoesNotOfferMeans4800ToEveryTool) {
    SetBaudIndex(5);
    const auto json = RunProgram(HostProgram(), {"show", config_, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const std::optional<JsonValue> shown = testing_support::ParseJson(json.out);
    ASSERT_TRUE(shown) << json.out;
    EXPECT_EQ(shown->Find("baud")->number, 4800);
    EXPECT_EQ(shown->Find("baud_index")->number, 5);
    const auto text = RunProgram(HostProgram(), {"show", config_});
    EXPECT_NE(text.out.find("baud       4800 (the file holds baud index 5, which the editor "
                            "does not offer; the line runs at 4800)"),
              std::string::npos)
        << text.out;

    // The drives answer only at 4800: a complete backup shows the line ran at that rate.
    const auto result = Host("backup", {"PUMP1", "--out", folder_.Path().string(), "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(BackupOf(Path("PUMP1.parameters.json")).Find("baud")->number, 4800);
    EXPECT_EQ(line_->Counters().wrongBaudFrames, 0u);
}
