// A prefs.ini with sizes the window cannot take: the start-up must still give
// a usable window within the desktop.
#include "app/Game.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "platform/IWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

TEST(GamePrefs, UnusableSizesAreClampedIntoTheDesktop)
{
    TempDir user;
    user.Write("prefs.ini", "[prefs]\nwidth = 0\nheight = garbage\nwindowed = 1\nsound_channels = 64\n");
    ScopedChdir cd(QLM_GAME_DIR);
    GameStartOptions options;
    options.userDir = user.Path();
    options.headless = true;
    options.desktopWidth = 1600;
    options.desktopHeight = 900;
    Game& game = Game::GetInstance();
    ASSERT_TRUE(game.Init(options));
    IWindow* window = game.GetWindow();
    EXPECT_GE(window->GetClientWidth(), 640);
    EXPECT_LE(window->GetClientWidth(), 1600);
    EXPECT_GE(window->GetClientHeight(), 480);
    EXPECT_LE(window->GetClientHeight(), 900);
    EXPECT_FALSE(window->IsFullScreen());
    game.Shutdown();
    game.ResetForTests();
}

TEST(GamePrefs, StartUpClearsStaleTemporariesAndReportsDamagedOrUnsavablePrefs)
{
    TempDir user;
    user.Write("prefs.ini", "\x01\x02 not a prefs file\n");
    user.Write("prefs.ini.tmpAb12Cd", "half");
    user.Write("ships/Hammer.txt.tmp9x9x9x", "half");
    user.Write("screenshot_1.bmp", "BM");
    ScopedChdir cd(QLM_GAME_DIR);
    GameStartOptions options;
    options.userDir = user.Path();
    options.headless = true;
    Game& game = Game::GetInstance();
    ASSERT_TRUE(game.Init(options));
    EXPECT_FALSE(FileExists(user.File("prefs.ini.tmpAb12Cd")));
    EXPECT_FALSE(FileExists(user.File("ships/Hammer.txt.tmp9x9x9x")));
    EXPECT_TRUE(FileExists(user.File("screenshot_1.bmp")));

    GSafeFile::InjectFailure(EACCES);
    EXPECT_FALSE(game.SavePrefs(800, 600, true));
    GSafeFile::InjectFailure(0);
    game.Shutdown();
    game.ResetForTests();
    const std::string errors = user.Read("debug/errors.txt");
    EXPECT_NE(errors.find(user.File("prefs.ini") + " is damaged (no window size)"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Cannot save " + user.File("prefs.ini") + ": " + strerror(EACCES)), std::string::npos);
    EXPECT_EQ(errors.find("Assertion failure"), std::string::npos);
}
