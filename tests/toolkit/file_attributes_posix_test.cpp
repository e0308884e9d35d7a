// What a save takes over from the file it replaces, and which links it follows in a folder
// that every user may write to.
#include "platform/file.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

uid_t OwnerOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_uid;
}

// A new file given the attributes of `model`.
std::string SavedLike(const testing_support::TempFolder& folder, const std::string& model,
                      platform::File::Ownership ownership) {
    static int saves = 0;
    const std::string path = folder.File("saved" + std::to_string(++saves));
    platform::File file;
    EXPECT_TRUE(file.Open(path, platform::File::Mode::CreateNew));
    EXPECT_TRUE(file.KeepAttributesOf(platform::StatusOf(model), ownership));
    EXPECT_TRUE(file.Close());
    return path;
}

TEST(FileAttributes, ASaveKeepsThePermissionBitsButNeverSetIdOrSticky) {
    testing_support::TempFolder folder;
    const std::string model = folder.File("model");
    testing_support::WriteText(model, "x");
    ASSERT_EQ(chmod(model.c_str(), 06777), 0);
    EXPECT_EQ(ModeOf(SavedLike(folder, model, platform::File::Ownership::Keep)), 0777u);
}

TEST(FileAttributes, AnOwnerIsTakenOverOnlyWhenAsked) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file away";
    }
    testing_support::TempFolder folder;
    const std::string model = folder.File("model");
    testing_support::WriteText(model, "x");
    ASSERT_EQ(chown(model.c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(OwnerOf(SavedLike(folder, model, platform::File::Ownership::Mine)), 0u);
    EXPECT_EQ(OwnerOf(SavedLike(folder, model, platform::File::Ownership::Keep)), kNobody);
}

// In a sticky folder every user may write to (as /tmp), a link is followed only when its
// owner is the folder's owner or the caller: another user's link could point anywhere.
TEST(FileAttributes, ALinkAnotherUserPlantedInASharedFolderIsNotFollowed) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "planting a link as another user needs root";
    }
    testing_support::TempFolder folder;
    const std::string shared = folder.File("shared");
    ASSERT_EQ(mkdir(shared.c_str(), 01777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    const std::string victim = folder.File("victim");
    testing_support::WriteText(victim, "x");
    const std::string link = shared + "/backup.json";
    ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);

    std::string target;
    EXPECT_TRUE(platform::FinalTarget(link, target)) << "the caller's own link";
    EXPECT_EQ(target, victim);
    ASSERT_EQ(lchown(link.c_str(), kNobody, kNobody), 0);
    EXPECT_FALSE(platform::MayFollowLink(link));
    EXPECT_FALSE(platform::FinalTarget(link, target));
    ASSERT_EQ(chown(shared.c_str(), kNobody, kNobody), 0);
    EXPECT_TRUE(platform::FinalTarget(link, target)) << "the folder's owner's link";
    ASSERT_EQ(chown(shared.c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(shared.c_str(), 0777), 0);
    EXPECT_TRUE(platform::FinalTarget(link, target)) << "a folder that is not sticky";
}

} // namespace
