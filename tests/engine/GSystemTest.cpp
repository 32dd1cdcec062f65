#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GSystem.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {
// Points the config folder at a temporary folder for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        const char* old = getenv(name);
        m_had = old != nullptr;
        if (old)
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_had)
            setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }

private:
    std::string m_name, m_old;
    bool m_had = false;
};

// The spawned program writes its file on its own time: wait for it, bounded.
std::string WaitForFile(const TempDir& dir, const std::string& name)
{
    for (int i = 0; i < 1000 && !std::filesystem::exists(dir.File(name + ".done")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return dir.Read(name);
}
} // namespace

TEST(GSystem, SaveInstallPathWritesTheConfigFile)
{
    TempDir dir;
    ScopedEnv env("XDG_CONFIG_HOME", dir.Path());
    EXPECT_EQ(InstallConfigFilePath(), dir.Path() + "/Quillomar/install.ini");
    EXPECT_EQ(LoadInstallPath(), "");
    ASSERT_TRUE(SaveInstallPath("/opt/quillomar game"));
    EXPECT_EQ(dir.Read("Quillomar/install.ini"),
              "[software\\Veltrane Games]\nqlminstallpath = /opt/quillomar game\n\n");
    EXPECT_EQ(LoadInstallPath(), "/opt/quillomar game");
    ASSERT_TRUE(SaveInstallPath("/srv/q"));
    EXPECT_EQ(LoadInstallPath(), "/srv/q");
}

TEST(GSystem, SaveInstallPathRefusesLineBreaksAndUnwritableFolders)
{
    TempDir dir;
    ScopedEnv env("XDG_CONFIG_HOME", dir.Path());
    EXPECT_FALSE(SaveInstallPath("/a\nforged = 1"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("Quillomar/install.ini")));
    dir.Write("blocked", "a file where a folder should be");
    ScopedEnv env2("XDG_CONFIG_HOME", dir.File("blocked"));
    EXPECT_FALSE(SaveInstallPath("/srv/q"));
}

TEST(GSystem, ConfigFolderDefaultsToHome)
{
    TempDir dir;
    ScopedEnv home("HOME", dir.Path());
    ScopedEnv xdg("XDG_CONFIG_HOME", "");
    EXPECT_EQ(InstallConfigFilePath(), dir.Path() + "/.config/Quillomar/install.ini");
}

TEST(GSystem, ARelativeXdgFolderIsIgnoredWithOneLine)
{
    TempDir dir;
    ScopedEnv home("HOME", dir.Path());
    ScopedEnv user("QLM_USER_DIR", "");
    ScopedErrorLog log;
    {
        // Relative: it would resolve against the folder the game started in.
        ScopedEnv config("XDG_CONFIG_HOME", "conf");
        ScopedEnv data("XDG_DATA_HOME", "./share");
        for (int twice = 0; twice < 2; ++twice) {
            EXPECT_EQ(InstallConfigFilePath(), dir.Path() + "/.config/Quillomar/install.ini");
            EXPECT_EQ(APP_UserFolders::ResolveUserFolder(""), dir.Path() + "/.local/share/Quillomar");
        }
        EXPECT_EQ(log.Count("XDG_CONFIG_HOME = conf is not an absolute path: ignored, $HOME/.config used"), 1);
        EXPECT_EQ(log.Count("XDG_DATA_HOME = ./share is not an absolute path: ignored, $HOME/.local/share used"), 1);
    }
    // Absolute ones are taken as they are, without a word.
    ScopedEnv config("XDG_CONFIG_HOME", "/srv/conf");
    ScopedEnv data("XDG_DATA_HOME", "/srv/share");
    EXPECT_EQ(InstallConfigFilePath(), "/srv/conf/Quillomar/install.ini");
    EXPECT_EQ(APP_UserFolders::ResolveUserFolder(""), "/srv/share/Quillomar");
    EXPECT_EQ(log.Lines(), 2);
}

TEST(GSystem, PercentEncodingAndTheMailLink)
{
    EXPECT_EQ(PercentEncode("aZ09-_.~"), "aZ09-_.~");
    EXPECT_EQ(PercentEncode("a b&c=d?e%\n\xff"), "a%20b%26c%3Dd%3Fe%25%0A%FF");
    EXPECT_EQ(BuildBugReportMailLink("Assertion failure:filename:x.cpp,linenum:3,build:1.0"),
              "mailto:support@quillomar.invalid?subject=bugreport&body="
              "Assertion%20failure%3Afilename%3Ax.cpp%2Clinenum%3A3%2Cbuild%3A1.0");
}

TEST(GSystem, SpawnPassesArgumentsWithoutAShell)
{
    TempDir dir;
    std::string out = dir.File("arg");
    std::string hostile = "x; touch " + dir.File("pwned") + " $(id) `id`";
    std::string error;
    ASSERT_TRUE(SpawnDetached({"/bin/sh", "-c", "printf %s \"$1\" > \"$2\"; touch \"$2.done\"", "sh", hostile, out},
                              error))
        << error;
    EXPECT_EQ(WaitForFile(dir, "arg"), hostile);
    EXPECT_FALSE(std::filesystem::exists(dir.File("pwned")));
}

TEST(GSystem, SpawnReportsAProgramThatCannotStart)
{
    std::string error;
    EXPECT_FALSE(SpawnDetached({"/nonexistent/opener"}, error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    EXPECT_FALSE(SpawnDetached({}, error));
}

TEST(GSystem, OpenInShellHandsTheOpenerOneArgument)
{
    TempDir dir;
    std::string opener = dir.Write("opener.sh", "#!/bin/sh\nprintf %s \"$1\" > \"" + dir.File("got") +
                                                    "\"\ntouch \"" + dir.File("got.done") + "\"\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    SetShellOpenProgram(opener);
    std::string doc = dir.Write("QLM Manual.pdf", "%PDF");
    EXPECT_TRUE(OpenInShell(doc));
    EXPECT_EQ(WaitForFile(dir, "got"), doc);
    std::filesystem::remove(dir.File("got.done"));
    EXPECT_TRUE(OpenBugReportMail("a&b"));
    EXPECT_EQ(WaitForFile(dir, "got"), "mailto:support@quillomar.invalid?subject=bugreport&body=a%26b");
    SetShellOpenProgram("xdg-open");
}

TEST(GSystem, OpenInShellLogsFailures)
{
    TempDir dir;
    GDebugLog::GetInstance().Open(dir.Path());
    SetShellOpenProgram("/nonexistent/opener");
    EXPECT_FALSE(OpenInShell("https://example.invalid/"));
    SetShellOpenProgram("xdg-open");
    EXPECT_FALSE(OpenInShell(dir.File("missing manual.pdf")));
    EXPECT_FALSE(OpenInShell("-n"));
    EXPECT_FALSE(OpenInShell(""));
    GDebugLog::GetInstance().Close();
    std::string errors = dir.Read("debug/errors.txt");
    EXPECT_NE(errors.find("Failed to open [https://example.invalid/]: /nonexistent/opener: No such file"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("Failed to open [" + dir.File("missing manual.pdf") + "]: No such file"), std::string::npos);
    EXPECT_NE(dir.Read("debug/debug.txt").find("Failed to open [-n]"), std::string::npos);
}
