#include "engine/GCommandLine.h"
#include "engine/GDebugLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(GCommandLine, SplitsAtCommasAndTrimsTrailingBlanks)
{
    GCommandLine cl;
    cl.Parse("-editor ,-windowed,  x  ");
    EXPECT_EQ(cl.GetTokens(), (std::vector<std::string>{"-editor", "-windowed", "  x"}));
    EXPECT_TRUE(cl.HasEditorOption());
}

TEST(GCommandLine, EditorOptionMustMatchWhole)
{
    GCommandLine cl;
    cl.Parse("-editorx,editor, -editor");
    EXPECT_FALSE(cl.HasEditorOption());
    EXPECT_TRUE(cl.HasOption("editor"));
    cl.Clear();
    cl.Parse("");
    EXPECT_TRUE(cl.GetTokens().empty());
    EXPECT_FALSE(cl.HasEditorOption());
}

TEST(GCommandLine, ArgumentsAfterTheProgramName)
{
    const char* argv[] = {"quillomar", "-editor", "a,b", nullptr};
    GCommandLine cl;
    cl.ParseArgs(3, argv);
    EXPECT_EQ(cl.GetTokens(), (std::vector<std::string>{"-editor", "a", "b"}));
    EXPECT_TRUE(cl.HasEditorOption());
}

TEST(GCommandLine, EachTokenIsLoggedWithABoundedLine)
{
    TempDir dir;
    GDebugLog::GetInstance().Open(dir.Path());
    GCommandLine cl;
    std::string longToken(400, 'z');
    cl.Parse("-editor," + longToken);
    GDebugLog::GetInstance().Close();
    std::string log = dir.Read("debug/debug.txt");
    EXPECT_NE(log.find("Command Line: -editor\n"), std::string::npos);
    std::string bounded = "Command Line: " + longToken;
    bounded.resize(255);
    EXPECT_NE(log.find(bounded + "\n"), std::string::npos);
    EXPECT_EQ(cl.GetTokens()[1], longToken);
}

TEST(GCommandLine, OneProcessWideInstance)
{
    EXPECT_EQ(&GCommandLine::GetInstance(), &GCommandLine::GetInstance());
}
