// vfda-host and the files around a configuration, run as programs on a real disk: writers at
// the same time, links, permission bits, and FIFOs, folders and devices at every door. Every
// run is bounded by timeout(1), so a door that blocks fails (exit 124) instead of hanging.
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr const char* kBound = "60"; // seconds: far beyond any run that does not block

ProgramResult Host(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {kBound, (BinFolder() / ProgramFile("vfda-host")).string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return RunProgram("timeout", words);
}

// Runs every command at the same time, each in a process of its own.
std::vector<ProgramResult> HostAtOnce(const std::vector<std::vector<std::string>>& commands) {
    std::vector<ProgramResult> results(commands.size());
    std::vector<std::thread> runners;
    for (size_t i = 0; i < commands.size(); ++i) {
        runners.emplace_back([&, i] { results[i] = Host(commands[i]); });
    }
    for (std::thread& runner : runners) {
        runner.join();
    }
    return results;
}

// The station names of `show --json`, parsed by Python's JSON parser; "!" when the output is
// not a configuration.
std::string StationNames(const std::string& json, const TempFolder& folder) {
    const std::string file = folder.File("shown.json");
    WriteText(file, json);
    const ProgramResult parsed = RunProgram(
        "python3", {"-c",
                    "import json, sys\n"
                    "try:\n"
                    "    d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                    "    print(' '.join(sorted(s['name'] for s in d['stations'])), end='')\n"
                    "except Exception:\n"
                    "    print('!', end='')\n",
                    file});
    return parsed.out;
}

class VfdaHostFilesTest : public ::testing::Test {
protected:
    ProgramResult Config(const std::vector<std::string>& arguments) {
        std::vector<std::string> words = {"config", path_};
        words.insert(words.end(), arguments.begin(), arguments.end());
        return Host(words);
    }

    std::string Shown(const std::string& path) {
        const ProgramResult shown = Host({"show", path, "--json"});
        EXPECT_EQ(shown.exitCode, 0) << shown.err;
        return StationNames(shown.out, scratch_);
    }

    TempFolder folder_;
    TempFolder scratch_;
    std::string path_ = folder_.File("line.cfg");
};

std::string Sorted(std::set<std::string> names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : " ") + name;
    }
    return text;
}

TEST_F(VfdaHostFilesTest, EightAddStationsAtOnceAllLand) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    std::set<std::string> expected;
    for (int wave = 0; wave < 4; ++wave) {
        std::vector<std::vector<std::string>> commands;
        for (int i = 0; i < 8; ++i) {
            const int number = wave * 8 + i;
            const std::string name = "S" + std::to_string(100 + number);
            expected.insert(name);
            commands.push_back(
                {"config", path_, "add-station", name, "--number", std::to_string(number)});
        }
        for (const ProgramResult& result : HostAtOnce(commands)) {
            EXPECT_EQ(result.exitCode, 0) << result.err;
        }
        EXPECT_EQ(Shown(path_), Sorted(expected)) << "after wave " << wave;
    }
}

TEST_F(VfdaHostFilesTest, WritersAtOnceNeverLeaveAFileThatDoesNotOpen) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    ASSERT_EQ(Config({"add-station", "P1", "--number", "1"}).exitCode, 0);
    const char* bauds[] = {"1200", "2400", "4800"};
    for (int round = 0; round < 3; ++round) {
        std::vector<std::vector<std::string>> commands;
        for (int i = 0; i < 8; ++i) {
            commands.push_back({"config", path_, "set", "--port", "COM" + std::to_string(i + 1),
                                "--baud", bauds[(round + i) % 3]});
            commands.push_back({"show", path_, "--json"});
        }
        for (const ProgramResult& result : HostAtOnce(commands)) {
            EXPECT_EQ(result.exitCode, 0) << result.err;
        }
        EXPECT_EQ(Shown(path_), "P1");
    }
}

TEST_F(VfdaHostFilesTest, AWriterHeldUpTooLongIsReportedAndChangesNothing) {
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    const Bytes before = ReadBytes(path_);
    // Another writer: this process holds the file's writer lock.
    const int holder = open((path_ + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    const ProgramResult waited = Config({"set", "--baud", "1200", "--lock-wait", "1"});
    EXPECT_EQ(waited.exitCode, 1);
    EXPECT_NE(waited.err.find("another writer has held " + path_ + ".lock"), std::string::npos)
        << waited.err;
    EXPECT_EQ(ReadBytes(path_), before);
    close(holder);
    EXPECT_EQ(Config({"set", "--baud", "1200", "--lock-wait", "0"}).exitCode, 0);
    EXPECT_NE(ReadBytes(path_), before);
    EXPECT_EQ(Config({"set", "--lock-wait", "soon"}).exitCode, 2);
}

TEST_F(VfdaHostFilesTest, PlantedLinksAtTheTemporaryAndLockNamesAreNeverFollowed) {
    const std::string victim = folder_.File("victim");
    WriteText(victim, "precious");
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    fs::create_symlink(victim, path_ + ".saving");
    ASSERT_EQ(Config({"add-station", "P1", "--number", "1"}).exitCode, 0);
    EXPECT_EQ(ReadText(victim), "precious");
    EXPECT_EQ(Shown(path_), "P1");

    const Bytes before = ReadBytes(path_);
    fs::remove(path_ + ".lock");
    fs::create_symlink(victim, path_ + ".lock");
    const ProgramResult refused = Config({"add-station", "P2", "--number", "2"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("cannot lock"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadText(victim), "precious");
    EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(VfdaHostFilesTest, ALinkedFileIsSavedAtItsTargetAndKeepsItsBits) {
    fs::create_directory(folder_.Path() / "real");
    const std::string target = folder_.File("real/line.cfg");
    fs::create_symlink("real/line.cfg", path_);
    ASSERT_EQ(Config({"init"}).exitCode, 0);
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    ASSERT_EQ(Config({"add-station", "P1", "--number", "1"}).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(Shown(target), "P1");
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

// A FIFO, a folder and devices, at each door: show, config, run (the configuration and the
// tag file) and edit. Each is refused at once with exit 1, and nothing is made beside them.
TEST_F(VfdaHostFilesTest, EveryDoorRefusesWhatIsNotARegularFileAtOnce) {
    const std::string fifo = folder_.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = folder_.File("folder");
    fs::create_directory(folder);
    const std::string tags = scratch_.File("tags.csv");
    WriteText(tags, "name,type,device,address\nF,analog,P1,D0\n");
    const std::string good = scratch_.File("good.cfg");
    ASSERT_EQ(Host({"config", good, "init"}).exitCode, 0);

    for (const std::string& bad :
         {fifo, folder, std::string("/dev/null"), std::string("/dev/zero")}) {
        // Each door with what it says: message 5 from DrvOpen, or vfda-host's own reason.
        const std::string message5 = "을 열 수 없습니다";
        const std::string notRegular = "not a regular file";
        std::vector<std::pair<std::vector<std::string>, std::string>> doors = {
            {{"show", bad}, message5},
            {{"config", bad, "set", "--baud", "1200"}, notRegular},
            {{"config", bad, "add-station", "P1", "--number", "1"}, notRegular},
            {{"run", bad, "--tags", tags, "--seconds", "1"}, message5},
            {{"run", good, "--tags", bad, "--seconds", "1"}, notRegular},
            {{"edit", bad}, notRegular},
        };
        if (bad.rfind("/dev/", 0) != 0) {
            doors.push_back({{"config", bad, "init"}, notRegular});
        }
        for (const auto& [door, says] : doors) {
            const ProgramResult result = Host(door);
            const std::string what = door[0] + " " + door[1] + " " + bad + ": ";
            EXPECT_EQ(result.exitCode, 1) << what << result.err;
            EXPECT_NE((result.out + result.err).find(says), std::string::npos)
                << what << result.out << result.err;
        }
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.Path()), fs::directory_iterator()), 2)
        << "no lock or temporary file beside them";
}

TEST_F(VfdaHostFilesTest, EditOnAFileItCannotReadSaysWhyAndExits1) {
    WriteText(path_, "VMHD not a configuration");
    const ProgramResult damaged = Host({"edit", path_});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.out, "") << "no result line";
    EXPECT_NE(damaged.err.find("not a configuration"), std::string::npos) << damaged.err;
}

} // namespace

// vfda-host as an ordinary user (root ignores permissions): every file it cannot create,
// save or read is named with the reason.
TEST_F(VfdaHostFilesTest, AnOrdinaryUserIsToldWhyAFileCannotBeUsed) {
    auto asUser = [](const std::vector<std::string>& arguments) {
        std::vector<std::string> words = {"LC_ALL=C", (BinFolder() / "vfda-host").string()};
        words.insert(words.end(), arguments.begin(), arguments.end());
        if (geteuid() != 0) {
            return RunProgram("env", words);
        }
        words.insert(words.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", "env"});
        return RunProgram("setpriv", words);
    };
    chmod(folder_.Path().c_str(), 0755);
    const ProgramResult probe = asUser({"--version"});
    if (probe.exitCode != 0) {
        GTEST_SKIP() << "the build cannot be run by an ordinary user here: " << probe.err;
    }
    const std::string closed = folder_.File("closed");
    fs::create_directory(closed);
    chmod(closed.c_str(), 0555);
    ProgramResult result = asUser({"config", closed + "/line.cfg", "init"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "vfda-host: cannot create " + closed + "/line.cfg: the folder " + closed +
                              " does not let this user add files\n");
    result = asUser({"config", folder_.File("missing/line.cfg"), "init"});
    EXPECT_EQ(result.err, "vfda-host: cannot create " + folder_.File("missing/line.cfg") +
                              ": the folder " + folder_.File("missing") + " does not exist\n");

    ASSERT_EQ(Config({"init"}).exitCode, 0);
    chmod(path_.c_str(), 0444);
    const Bytes before = ReadBytes(path_);
    result = asUser({"config", path_, "add-station", "A", "--number", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("(2005: cannot save file [" + path_ + "]: the file is read-only)"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes(path_), before);

    const std::string tags = folder_.File("tags.csv");
    WriteText(tags, "name,type,device,address\n");
    chmod(tags.c_str(), 0);
    result = asUser({"run", path_, "--tags", tags, "--seconds", "0"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "vfda-host: cannot read " + tags + ": Permission denied\n");
}
