// The configuration file among what surrounds it on a real disk: planted links, symbolic and
// hard links, permission bits, FIFOs, devices and folders, failed writes and the writer lock.
#include "config/vfda_drv_doc.h"
#include "host_libraries.h"
#include "test_files.h"
#include "toolkit/file_replacement.h"
#include "toolkit/writer_lock.h"
#include "wait_for.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::unique_ptr<CStationInfo> Station(const std::string& name, int32_t number) {
    auto station = std::make_unique<CStationInfo>();
    station->m_name = name;
    station->m_stationNumber = number;
    return station;
}

unsigned PermissionsOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Calls `call`, which opens the FIFO at `fifo`. Should it block in the open, a writer opens
// the FIFO after a generous bound to let it go, and the result is false instead of a hang.
bool ReturnsWithoutAWriter(const std::string& fifo, const std::function<void()>& call) {
    std::atomic<bool> done{false};
    std::thread caller([&] {
        call();
        done = true;
    });
    const bool alone = WaitFor([&] { return done.load(); }, 20000);
    if (!alone) {
        const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
        WaitFor([&] { return done.load(); }, 20000);
        close(writer);
    }
    caller.join();
    return alone;
}

class ConfigOnDiskTest : public ::testing::Test {
protected:
    // A file of `stations` stations P1, P2, ... saved at `path`.
    void SaveStations(const std::string& path, int stations) {
        CVfdaDrvDoc document;
        for (int i = 1; i <= stations; ++i) {
            document.AddStation(Station("P" + std::to_string(i), i));
        }
        document.SetPath(path);
        ASSERT_TRUE(document.SaveFile()) << path;
    }

    size_t StationsIn(const std::string& path) {
        CVfdaDrvDoc document;
        EXPECT_EQ(document.LoadFile(path), 1) << path;
        return document.Stations().size();
    }

    // Names in the test's folder, sorted.
    std::vector<std::string> Names(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<int32_t> BoxCodes() {
        std::vector<int32_t> codes;
        for (const auto& box : host_.MessageBoxes()) {
            codes.push_back(box.code);
        }
        return codes;
    }

    TempFolder folder_;
    std::string path_ = folder_.File("line.cfg");
    hostkit::HostLibraries host_;
};

TEST_F(ConfigOnDiskTest, ANewFileIsCreatedOnlyWhereNothingIs) {
    const std::string victim = folder_.File("victim");
    WriteText(victim, "precious");
    fs::create_symlink(victim, folder_.File("to-victim"));
    fs::create_symlink(folder_.File("absent"), folder_.File("dangling"));

    CFile file;
    EXPECT_FALSE(file.CreateNew(folder_.File("to-victim")));
    EXPECT_FALSE(file.CreateNew(folder_.File("dangling")));
    EXPECT_FALSE(file.CreateNew(victim));
    EXPECT_FALSE(fs::exists(folder_.File("absent")));
    EXPECT_EQ(ReadText(victim), "precious");
    ASSERT_TRUE(file.CreateNew(folder_.File("fresh")));
    file.Close();
    EXPECT_EQ(PermissionsOf(folder_.File("fresh")), 0600u) << "private until it is kept";
}

TEST_F(ConfigOnDiskTest, EachReplacementWritesItsOwnTemporaryFile) {
    SaveStations(path_, 1);
    CFileReplacement first(path_);
    CFileReplacement second(path_);
    ASSERT_EQ(first.Begin(), CFileReplacement::Refusal::None);
    ASSERT_EQ(second.Begin(), CFileReplacement::Refusal::None);
    EXPECT_NE(first.TemporaryPath(), second.TemporaryPath());
    first.File().Write("first", 5);
    second.File().Write("second", 6);
    first.Commit();
    EXPECT_EQ(ReadText(path_), "first");
    second.Commit();
    EXPECT_EQ(ReadText(path_), "second");
    {
        CFileReplacement abandoned(path_);
        ASSERT_EQ(abandoned.Begin(), CFileReplacement::Refusal::None);
        abandoned.File().Write("half", 4);
        EXPECT_TRUE(fs::exists(abandoned.TemporaryPath()));
    }
    EXPECT_EQ(Names(folder_.Path()), (std::vector<std::string>{"line.cfg", "line.cfg.lock"}));
    EXPECT_EQ(ReadText(path_), "second");
}

TEST_F(ConfigOnDiskTest, ASymbolicLinkStaysAndItsTargetGetsTheSave) {
    fs::create_directory(folder_.Path() / "real");
    const std::string target = folder_.File("real/line.cfg");
    SaveStations(target, 1);
    fs::create_symlink("real/line.cfg", folder_.File("link.cfg"));
    fs::create_symlink("link.cfg", folder_.File("chain.cfg"));

    SaveStations(folder_.File("chain.cfg"), 3);
    EXPECT_TRUE(fs::is_symlink(folder_.File("chain.cfg")));
    EXPECT_TRUE(fs::is_symlink(folder_.File("link.cfg")));
    EXPECT_EQ(fs::read_symlink(folder_.File("link.cfg")), "real/line.cfg");
    EXPECT_EQ(StationsIn(target), 3u);
    EXPECT_EQ(Names(folder_.Path() / "real"),
              (std::vector<std::string>{"line.cfg", "line.cfg.lock"}))
        << "the temporary file and the lock go beside the target";
    EXPECT_EQ(Names(folder_.Path()), (std::vector<std::string>{"chain.cfg", "link.cfg", "real"}));
}

TEST_F(ConfigOnDiskTest, ALoopOfLinksIsRefusedWith2005) {
    fs::create_symlink("b.cfg", folder_.File("a.cfg"));
    fs::create_symlink("a.cfg", folder_.File("b.cfg"));
    CVfdaDrvDoc document;
    document.SetPath(folder_.File("a.cfg"));
    EXPECT_FALSE(document.SaveFile());
    EXPECT_EQ(BoxCodes(), std::vector<int32_t>{2005});
    EXPECT_TRUE(fs::is_symlink(folder_.File("a.cfg")));
}

TEST_F(ConfigOnDiskTest, PermissionBitsAreKept) {
    SaveStations(path_, 1);
    for (const unsigned mode : {0600u, 0640u, 0664u}) {
        ASSERT_EQ(chmod(path_.c_str(), mode), 0);
        SaveStations(path_, 2);
        EXPECT_EQ(PermissionsOf(path_), mode);
    }
    // A new file gets what the process's umask leaves of 0666, as any new file does.
    const mode_t previous = umask(027);
    SaveStations(folder_.File("new.cfg"), 1);
    umask(previous);
    EXPECT_EQ(PermissionsOf(folder_.File("new.cfg")), 0640u);
}

// A file marked read-only is refused for every user, root included (whom the permission bits
// themselves would not stop), so this holds whoever runs the test.
TEST_F(ConfigOnDiskTest, AReadOnlyFileIsRefusedWith2005AndLeftUntouched) {
    SaveStations(path_, 1);
    const Bytes before = ReadBytes(path_);
    ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
    CVfdaDrvDoc document;
    document.AddStation(Station("NEW", 9));
    document.SetPath(path_);
    EXPECT_FALSE(document.SaveFile());
    EXPECT_EQ(BoxCodes(), std::vector<int32_t>{2005});
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(PermissionsOf(path_), 0444u);
    EXPECT_EQ(Names(folder_.Path()), (std::vector<std::string>{"line.cfg", "line.cfg.lock"}));
}

// Root may write any file, so as root the save runs in a child process that has become the
// unprivileged user "nobody" (65534).
TEST_F(ConfigOnDiskTest, AFileThisUserMayNotWriteIsRefusedAndLeftUntouched) {
    SaveStations(path_, 1);
    const Bytes before = ReadBytes(path_);
    ASSERT_EQ(chmod(path_.c_str(), 0644), 0);
    ASSERT_EQ(chmod(folder_.Path().c_str(), 0777), 0); // the lock file may be made by anyone
    ASSERT_EQ(chmod((path_ + ".lock").c_str(), 0666), 0);
    const bool root = geteuid() == 0;
    if (!root) {
        ASSERT_EQ(chmod(path_.c_str(), 0464), 0); // only the group may write, not the owner
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(4);
        }
        CVfdaDrvDoc document;
        document.SetPath(path_);
        _exit(document.SaveFile() ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the save was refused";
    EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(ConfigOnDiskTest, AFileWithSeveralHardLinksIsReplacedUnderItsOwnNameOnly) {
    SaveStations(path_, 1);
    const std::string other = folder_.File("other.cfg");
    fs::create_hard_link(path_, other);
    const Bytes before = ReadBytes(other);
    SaveStations(path_, 2);
    EXPECT_EQ(StationsIn(path_), 2u);
    EXPECT_EQ(ReadBytes(other), before) << "the other name keeps the previous version";
    EXPECT_EQ(fs::hard_link_count(path_), 1u);
}

TEST_F(ConfigOnDiskTest, LoadingRefusesWhatIsNotARegularFileWithoutBlocking) {
    const std::string fifo = folder_.File("fifo.cfg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int loaded = -1;
    EXPECT_TRUE(ReturnsWithoutAWriter(fifo, [&] { loaded = CVfdaDrvDoc().LoadFile(fifo); }));
    EXPECT_EQ(loaded, 0);
    int edited = -1;
    EXPECT_TRUE(ReturnsWithoutAWriter(fifo, [&] { edited = CVfdaDrvDoc().EditConfig(fifo); }));
    EXPECT_EQ(edited, 0);
    EXPECT_EQ(BoxCodes(), std::vector<int32_t>{2002});
    for (const std::string& other :
         {folder_.Path().string(), std::string("/dev/null"), std::string("/dev/zero")}) {
        EXPECT_EQ(CVfdaDrvDoc().LoadFile(other), 0) << other;
    }
}

TEST_F(ConfigOnDiskTest, SavingOverWhatIsNotARegularFileIsRefusedAndCreatesNothing) {
    const std::string fifo = folder_.File("fifo.cfg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(folder_.File("folder.cfg"));
    for (const std::string& path : {fifo, folder_.File("folder.cfg")}) {
        CVfdaDrvDoc document;
        document.SetPath(path);
        bool saved = true;
        EXPECT_TRUE(ReturnsWithoutAWriter(fifo, [&] { saved = document.SaveFile(); }));
        EXPECT_FALSE(saved) << path;
    }
    EXPECT_EQ(BoxCodes(), (std::vector<int32_t>{2005, 2005}));
    EXPECT_EQ(Names(folder_.Path()), (std::vector<std::string>{"fifo.cfg", "folder.cfg"}));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// The save runs in a child process whose files may not grow past 100 bytes, so its write
// fails halfway; the previous file stays and the temporary file is gone.
TEST_F(ConfigOnDiskTest, AFailedWriteKeepsThePreviousFileAndRemovesItsTemporaryFile) {
    SaveStations(path_, 1);
    const Bytes before = ReadBytes(path_);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        CVfdaDrvDoc document;
        for (int i = 1; i <= 20; ++i) {
            document.AddStation(Station("STATION" + std::to_string(i), i));
        }
        document.SetPath(path_);
        _exit(document.SaveFile() ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the save failed";
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(Names(folder_.Path()), (std::vector<std::string>{"line.cfg", "line.cfg.lock"}));
}

TEST_F(ConfigOnDiskTest, TheWriterLockIsExclusiveSharedByLinksAndWaitedForWithABound) {
    SaveStations(path_, 1);
    fs::create_symlink("line.cfg", folder_.File("link.cfg"));
    CWriterLock holder;
    ASSERT_EQ(holder.Acquire(path_), CWriterLock::Outcome::Held);
    CWriterLock waiter;
    EXPECT_EQ(waiter.Acquire(path_, 20), CWriterLock::Outcome::TimedOut);
    EXPECT_EQ(waiter.Acquire(folder_.File("link.cfg"), 20), CWriterLock::Outcome::TimedOut);
    EXPECT_EQ(waiter.LockPath(), path_ + ".lock");
    holder.Release();
    EXPECT_EQ(waiter.Acquire(folder_.File("link.cfg"), 0), CWriterLock::Outcome::Held);
}

TEST_F(ConfigOnDiskTest, APlantedLockLinkIsRefusedAndNeverFollowed) {
    const std::string victim = folder_.File("victim");
    WriteText(victim, "precious");
    SaveStations(path_, 1);
    const Bytes before = ReadBytes(path_);
    fs::remove(path_ + ".lock");
    fs::create_symlink(victim, path_ + ".lock");
    CWriterLock lock;
    EXPECT_EQ(lock.Acquire(path_, 0), CWriterLock::Outcome::Failed);
    CVfdaDrvDoc document;
    document.SetPath(path_);
    EXPECT_FALSE(document.SaveFile());
    EXPECT_EQ(BoxCodes(), std::vector<int32_t>{2005});
    EXPECT_EQ(ReadText(victim), "precious");
    EXPECT_EQ(ReadBytes(path_), before);
}

} // namespace
