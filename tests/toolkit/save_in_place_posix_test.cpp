// A file in a folder that refuses new files is still saved when the file itself may be
// written: rewritten in place under a lock on the file itself. Each save runs in a child
// process as an ordinary user (root ignores the folder's permission bits).
#include "test_files.h"
#include "toolkit/file_replacement.h"
#include "toolkit/writer_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
const std::string kOld = "the previous contents, longer than the new ones";
const std::string kNew = "new contents";

class SaveInPlace : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = folder_.File("line.cfg");
        testing_support::WriteText(path_, kOld);
        chmod(path_.c_str(), 0666);
        // Root keeps the folder and lets others in; anybody else takes write access away.
        chmod(folder_.Path().c_str(), geteuid() == 0 ? 0755 : 0555);
    }
    void TearDown() override { chmod(folder_.Path().c_str(), 0700); }

    // The exit code of `work` run as an ordinary user: 0 when it succeeded.
    static int AsOrdinaryUser(const std::function<int()>& work) {
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
                _exit(100);
            }
            _exit(work());
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
    }

    size_t EntriesInFolder() const {
        size_t entries = 0;
        for ([[maybe_unused]] const auto& entry :
             std::filesystem::directory_iterator(folder_.Path())) {
            ++entries;
        }
        return entries;
    }

    testing_support::TempFolder folder_;
    std::string path_;
};

// Writes kNew through a replacement under the writer lock; which step failed is the code.
int SaveNew(const std::string& path, bool commit) {
    CWriterLock lock;
    if (lock.Acquire(path, 1000) != CWriterLock::Outcome::Held) {
        return 1;
    }
    if (lock.LockPath() != path) {
        return 2;
    }
    CFileReplacement replacement(path);
    if (replacement.Begin() != CFileReplacement::Refusal::None) {
        return 3;
    }
    if (!replacement.InPlace()) {
        return 4;
    }
    replacement.File().Write(kNew.data(), kNew.size());
    if (commit) {
        replacement.Commit();
    }
    return 0;
}

} // namespace

TEST_F(SaveInPlace, AWritableFileInAFolderThatRefusesNewFilesIsRewrittenUnderItsOwnLock) {
    EXPECT_EQ(AsOrdinaryUser([&] { return SaveNew(path_, true); }), 0);
    EXPECT_EQ(testing_support::ReadText(path_), kNew) << "cut to the new length";
    EXPECT_EQ(EntriesInFolder(), 1u) << "no lock file and no temporary file";
}

TEST_F(SaveInPlace, ARewriteThatIsNotCommittedLeavesTheFileAsItWas) {
    EXPECT_EQ(AsOrdinaryUser([&] { return SaveNew(path_, false); }), 0);
    EXPECT_EQ(testing_support::ReadText(path_), kOld);
}

TEST_F(SaveInPlace, ANewFileInSuchAFolderIsStillRefused) {
    const std::string missing = folder_.File("new.cfg");
    EXPECT_EQ(AsOrdinaryUser([&] {
                  CWriterLock lock;
                  if (lock.Acquire(missing, 1000) != CWriterLock::Outcome::Failed) {
                      return 1;
                  }
                  CFileReplacement replacement(missing);
                  return replacement.Begin() == CFileReplacement::Refusal::CannotCreate ? 0 : 2;
              }),
              0);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(SaveInPlace, AReadOnlyFileInSuchAFolderIsRefused) {
    chmod(path_.c_str(), 0644);
    EXPECT_EQ(AsOrdinaryUser([&] {
                  CFileReplacement replacement(path_);
                  return replacement.Begin() == CFileReplacement::Refusal::ReadOnly ? 0 : 1;
              }),
              0);
    EXPECT_EQ(testing_support::ReadText(path_), kOld);
}
