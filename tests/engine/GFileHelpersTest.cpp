#include "engine/GFileHelpers.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

class DeleteFolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        user = dir.Path() + "/user";
        fs::create_directories(user);
        SetDeletableRoot(user);
    }
    void TearDown() override { SetDeletableRoot(""); }

    TempDir dir;
    std::string user;
};

TEST_F(DeleteFolderTreeTest, DeletesExactlyThePathGiven)
{
    dir.Write("user/campaign/save1/progress.txt", "x");
    dir.Write("user/campaign/save1/fleets/f.txt", "x");
    dir.Write("user/campaign/save10/progress.txt", "x");
    dir.Write("user/campaign/keep.txt", "x");
    EXPECT_TRUE(DeleteFolderTree(user + "/campaign/save1"));
    EXPECT_FALSE(fs::exists(user + "/campaign/save1"));
    EXPECT_TRUE(fs::exists(user + "/campaign/save10/progress.txt"));
    EXPECT_TRUE(fs::exists(user + "/campaign/keep.txt"));
}

TEST_F(DeleteFolderTreeTest, TrailingSlashStillMeansThatFolder)
{
    dir.Write("user/a/b.txt", "x");
    EXPECT_TRUE(DeleteFolderTree(user + "/a/"));
    EXPECT_FALSE(fs::exists(user + "/a"));
    EXPECT_TRUE(fs::exists(user));
}

TEST_F(DeleteFolderTreeTest, RefusesDangerousPaths)
{
    dir.Write("user/a/b.txt", "x");
    dir.Write("outside/c.txt", "x");
    EXPECT_FALSE(DeleteFolderTree(""));
    EXPECT_FALSE(DeleteFolderTree("/"));
    EXPECT_FALSE(DeleteFolderTree(user));
    EXPECT_FALSE(DeleteFolderTree(user + "/"));
    EXPECT_FALSE(DeleteFolderTree(user + "/."));
    EXPECT_FALSE(DeleteFolderTree(dir.Path() + "/outside"));
    EXPECT_FALSE(DeleteFolderTree(user + "/../outside"));
    EXPECT_FALSE(DeleteFolderTree(user + "/a/.."));
    EXPECT_FALSE(DeleteFolderTree(user + "2"));
    EXPECT_TRUE(fs::exists(dir.Path() + "/outside/c.txt"));
    EXPECT_TRUE(fs::exists(user + "/a/b.txt"));
}

TEST_F(DeleteFolderTreeTest, RefusesWithoutARootOrWithTheFileSystemRoot)
{
    dir.Write("user/a/b.txt", "x");
    SetDeletableRoot("");
    EXPECT_FALSE(DeleteFolderTree(user + "/a"));
    SetDeletableRoot("/");
    EXPECT_FALSE(DeleteFolderTree(user + "/a"));
    EXPECT_TRUE(fs::exists(user + "/a/b.txt"));
}

TEST_F(DeleteFolderTreeTest, MissingPathIsAFailure)
{
    EXPECT_FALSE(DeleteFolderTree(user + "/never"));
}

TEST_F(DeleteFolderTreeTest, RelativePathsResolveFromTheWorkingFolder)
{
    dir.Write("user/rel/x.txt", "x");
    ScopedChdir cd(user);
    EXPECT_TRUE(DeleteFolderTree("rel"));
    EXPECT_FALSE(fs::exists(user + "/rel"));
}

TEST_F(DeleteFolderTreeTest, LinkIsRemovedNotItsTarget)
{
    dir.Write("user/real/x.txt", "x");
    dir.Write("outside/y.txt", "x");
    fs::create_directory_symlink(user + "/real", user + "/inner_link");
    fs::create_directory_symlink(dir.Path() + "/outside", user + "/outer_link");
    EXPECT_TRUE(DeleteFolderTree(user + "/inner_link"));
    EXPECT_TRUE(DeleteFolderTree(user + "/outer_link"));
    EXPECT_TRUE(fs::exists(user + "/real/x.txt"));
    EXPECT_TRUE(fs::exists(dir.Path() + "/outside/y.txt"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(user + "/inner_link")));
}

TEST_F(DeleteFolderTreeTest, LinkedParentOutsideTheRootIsRefused)
{
    dir.Write("outside/sub/y.txt", "x");
    fs::create_directory_symlink(dir.Path() + "/outside", user + "/escape");
    EXPECT_FALSE(DeleteFolderTree(user + "/escape/sub"));
    EXPECT_TRUE(fs::exists(dir.Path() + "/outside/sub/y.txt"));
}

TEST(GFileHelpers, FileExistsOnlyForFiles)
{
    TempDir dir;
    std::string f = dir.Write("f.txt", "");
    EXPECT_TRUE(FileExists(f));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.File("none")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_FALSE(FolderExists(f));
}

TEST(GFileHelpers, EnsureDirectoryExistsMakesParents)
{
    TempDir dir;
    EXPECT_TRUE(EnsureDirectoryExists(dir.File("a/b/c")));
    EXPECT_TRUE(FolderExists(dir.File("a/b/c")));
    EXPECT_TRUE(EnsureDirectoryExists(dir.File("a/b/c")));
    std::string f = dir.Write("file", "x");
    EXPECT_FALSE(EnsureDirectoryExists(f));
    EXPECT_FALSE(EnsureDirectoryExists(""));
}

TEST(GFileHelpers, CopyFileToKeepsAnExistingTargetUnlessAsked)
{
    TempDir dir;
    std::string from = dir.Write("from.txt", "new");
    std::string to = dir.Write("to.txt", "old");
    EXPECT_FALSE(CopyFileTo(from, to, false));
    EXPECT_EQ(dir.Read("to.txt"), "old");
    EXPECT_TRUE(CopyFileTo(from, to, true));
    EXPECT_EQ(dir.Read("to.txt"), "new");
    EXPECT_TRUE(CopyFileTo(from, dir.File("fresh.txt"), false));
    EXPECT_EQ(dir.Read("fresh.txt"), "new");
    EXPECT_FALSE(CopyFileTo(dir.File("none"), dir.File("x.txt"), true));
    EXPECT_FALSE(FileExists(dir.File("x.txt")));
}

TEST(GFileHelpers, SanitiseFileNameMakesOneSafeName)
{
    EXPECT_EQ(SanitiseFileName("Player One"), "Player One");
    EXPECT_EQ(SanitiseFileName("../../etc/passwd"), "____etc_passwd");
    EXPECT_EQ(SanitiseFileName("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(SanitiseFileName(std::string("tab\there\n")), "tab_here_");
    EXPECT_EQ(SanitiseFileName(".hidden"), "hidden");
    EXPECT_EQ(SanitiseFileName("name. "), "name");
    EXPECT_EQ(SanitiseFileName(""), "unnamed");
    EXPECT_EQ(SanitiseFileName(".."), "_");
    EXPECT_EQ(SanitiseFileName("..."), "_");
    EXPECT_EQ(SanitiseFileName(std::string(100, 'x')).size(), 64u);
    EXPECT_EQ(SanitiseFileName("abcdef", 3), "abc");
    for (const std::string& s : {std::string("a..b"), std::string("...."), std::string("x/../y")}) {
        std::string out = SanitiseFileName(s);
        EXPECT_EQ(out.find(".."), std::string::npos) << s;
        EXPECT_EQ(out.find('/'), std::string::npos) << s;
    }
}
