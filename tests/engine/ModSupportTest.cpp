#include "engine/APP_InstallList.h"
#include "engine/GFileList.h"
#include "engine/ModSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(APP_InstallList, FoldersInListingOrderAndPathlessFilesSkipped)
{
    TempDir dir;
    dir.Write("data/installs/b_second.txt", "[config]\npath = mods/second\n");
    dir.Write("data/installs/a_first.txt", "[config]\npath = " + dir.Path() + "/mods/first/\n");
    dir.Write("data/installs/c_nopath.txt", "[config]\nname = lost\n");
    dir.Write("data/installs/d_empty.txt", "[config]\npath =\n");
    ScopedChdir cd(dir.Path());
    APP_InstallList list;
    list.Load();
    ASSERT_EQ(list.GetFolders().size(), 2u);
    EXPECT_EQ(list.GetFolders()[0], dir.Path() + "/mods/first");
    EXPECT_EQ(list.GetFolders()[1], "mods/second");
}

TEST(ModSupport, SearchesFoldersInOrder)
{
    TempDir dir;
    dir.Write("second/data/races/alpha.txt", "x");
    dir.Write("first/data/races/zeta.txt", "x");
    dir.Write("first/data/races/beta.txt", "x");
    dir.Write("first/data/races/skip.ini", "x");
    GFileList out;
    // Built in place: GCC 12 misreads the move of a short temporary here
    // (-Wstringop-overread).
    out.names.emplace_back("data/races/own.txt");
    ModSupport::FindFiles(&out, "data/races/*.txt", {dir.File("first"), dir.File("second"), dir.File("absent")});
    ASSERT_EQ(out.names.size(), 4u);
    EXPECT_EQ(out.names[0], "data/races/own.txt");
    EXPECT_EQ(out.names[1], dir.File("first/data/races/beta.txt"));
    EXPECT_EQ(out.names[2], dir.File("first/data/races/zeta.txt"));
    EXPECT_EQ(out.names[3], dir.File("second/data/races/alpha.txt"));
}

TEST(ModSupport, HullFoldersOnly)
{
    TempDir dir;
    dir.Write("mod/data/hulls/cruiser/hull.txt", "x");
    dir.Write("mod/data/hulls/frigate/hull.txt", "x");
    dir.Write("mod/data/hulls/readme.txt", "x");
    GFileList out;
    ModSupport::FindHullFiles(&out, {dir.File("mod")});
    ASSERT_EQ(out.names.size(), 2u);
    EXPECT_EQ(out.names[0], dir.File("mod/data/hulls/cruiser"));
    EXPECT_EQ(out.names[1], dir.File("mod/data/hulls/frigate"));
}

TEST(ModSupport, NullListIsSurvived)
{
    ModSupport::FindFiles(nullptr, "data/*.txt", {"somewhere"});
    ModSupport::FindHullFiles(nullptr, {"somewhere"});
    SUCCEED();
}
