#include "engine/GFileList.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {
void MakeFolder(const TempDir& dir, const std::string& name)
{
    std::filesystem::create_directories(dir.File(name));
}
} // namespace

TEST(GFileList, FilesAreSortedCaseInsensitivelyThenBytewise)
{
    TempDir dir;
    for (const char* n : {"b.txt", "B.txt", "a.txt", "C.txt", "c.TXT", "notes.dat"})
        dir.Write(n, "x");
    GFileList list(false);
    list.FindFiles(dir.Path() + "/*.txt");
    EXPECT_EQ(list.names, (std::vector<std::string>{"a.txt", "B.txt", "b.txt", "C.txt", "c.TXT"}));
}

TEST(GFileList, PrefixIsTheFolderOfTheMask)
{
    TempDir dir;
    dir.Write("mods/laser.txt", "x");
    dir.Write("mods/gun.txt", "x");
    dir.Write("mods/aifleet_easy.txt", "x");
    GFileList list;
    list.FindFiles(dir.Path() + "/mods/*.txt");
    EXPECT_EQ(list.names, (std::vector<std::string>{dir.Path() + "/mods/aifleet_easy.txt", dir.Path() + "/mods/gun.txt",
                                                    dir.Path() + "/mods/laser.txt"}));
    // a stem before the star names the files, not the folder
    GFileList fleets;
    fleets.FindFiles(dir.Path() + "/mods/aifleet_*.txt");
    EXPECT_EQ(fleets.names, (std::vector<std::string>{dir.Path() + "/mods/aifleet_easy.txt"}));
}

TEST(GFileList, RelativeMasksResolveFromTheWorkingFolder)
{
    TempDir dir;
    dir.Write("data/modules/a.txt", "x");
    ScopedChdir cd(dir.Path());
    GFileList list;
    list.FindFiles("data/modules/*.txt");
    EXPECT_EQ(list.names, (std::vector<std::string>{"data/modules/a.txt"}));
}

TEST(GFileList, FilesSkipFoldersAndFoldersSkipFilesAndDotNames)
{
    TempDir dir;
    dir.Write("top.txt", "x");
    MakeFolder(dir, "alpha");
    MakeFolder(dir, "Beta");
    MakeFolder(dir, ".hidden");
    MakeFolder(dir, "dir.txt");
    GFileList files(false);
    files.FindFiles(dir.Path() + "/*.*");
    EXPECT_EQ(files.names, (std::vector<std::string>{"top.txt"}));
    GFileList folders(false);
    folders.FindFolders(dir.Path() + "/*");
    EXPECT_EQ(folders.names, (std::vector<std::string>{"alpha", "Beta", "dir.txt"}));
}

TEST(GFileList, SearchesAppendToTheList)
{
    TempDir dir;
    dir.Write("one/x.txt", "x");
    dir.Write("two/y.txt", "x");
    GFileList list(false);
    list.FindFiles(dir.Path() + "/two/*.txt");
    list.FindFiles(dir.Path() + "/one/*.txt");
    EXPECT_EQ(list.names, (std::vector<std::string>{"y.txt", "x.txt"}));
}

TEST(GFileList, MasksMatchCaseInsensitivelyWithQuestionMarks)
{
    TempDir dir;
    dir.Write("SHIP1.TXT", "x");
    dir.Write("ship22.txt", "x");
    GFileList list(false);
    list.FindFiles(dir.Path() + "/ship?.txt");
    EXPECT_EQ(list.names, (std::vector<std::string>{"SHIP1.TXT"}));
}

TEST(GFileList, BracketsInAMaskAreLiteral)
{
    TempDir dir;
    dir.Write("a[1].txt", "x");
    dir.Write("a1.txt", "x");
    GFileList list(false);
    list.FindFiles(dir.Path() + "/a[1].txt");
    EXPECT_EQ(list.names, (std::vector<std::string>{"a[1].txt"}));
}

TEST(GFileList, MissingFolderFindsNothing)
{
    TempDir dir;
    GFileList list;
    list.FindFiles(dir.Path() + "/nowhere/*.txt");
    list.FindFolders(dir.Path() + "/nowhere/*");
    EXPECT_TRUE(list.names.empty());
}

TEST(GFileList, SortFileNamesIsStableAndTotal)
{
    std::vector<std::string> names = {"b", "A", "a", "B", "_x", "10", "9"};
    SortFileNames(names);
    // strcasecmp folds to lower case, so '_' sorts before letters
    EXPECT_EQ(names, (std::vector<std::string>{"10", "9", "_x", "A", "a", "B", "b"}));
}
