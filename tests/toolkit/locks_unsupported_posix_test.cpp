// A file system that keeps no locks (a network share without a lock service): this program's
// flock fails as it does there, and a writer goes on without a lock instead of refusing.
#include "test_files.h"
#include "toolkit/file_replacement.h"
#include "toolkit/writer_lock.h"

#include <gtest/gtest.h>

#include <cerrno>

extern "C" int flock(int, int) {
    errno = ENOLCK;
    return -1;
}

TEST(LocksUnsupported, AWriterGoesOnWithoutALockAndTheFileIsSaved) {
    testing_support::TempFolder folder;
    const std::string path = folder.File("line.cfg");
    testing_support::WriteText(path, "old");

    CWriterLock lock;
    const CWriterLock::Outcome outcome = lock.Acquire(path, 1000);
    EXPECT_EQ(outcome, CWriterLock::Outcome::Unlocked);
    EXPECT_TRUE(CWriterLock::MayWrite(outcome));
    EXPECT_FALSE(lock.Held());

    CFileReplacement replacement(path);
    ASSERT_EQ(replacement.Begin(), CFileReplacement::Refusal::None);
    replacement.File().Write("new", 3);
    replacement.Commit();
    EXPECT_EQ(testing_support::ReadText(path), "new");
}
