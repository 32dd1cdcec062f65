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

TEST(GamePrefs, DamagedSizesAndKeysAreToldWithFileAndKey)
{
    struct Case {
        const char* prefs;
        const char* told; // after the file's path
    };
    const Case cases[] = {
        {"[prefs]\nwidth = -2147483648\nheight = 768\nwindowed = 1\nsound_channels = 64\n",
         " [prefs] width = -2147483648, height = 768: unusable"},
        {"[prefs]\nwidth = 1e20\nheight = 768\nwindowed = 1\nsound_channels = 64\n",
         " [prefs] width = 1e20: out of range -2147483648..2147483647, 2147483647 used"},
        {"[prefs]\nwidth = 16385\nheight = 768\nwindowed = 1\nsound_channels = 64\n",
         " [prefs] width = 16385, height = 768: unusable"},
        // Cut inside the height: "768" lost its "68".
        {"[prefs]\nwidth = 1024\nheight = 7", " [prefs] width = 1024, height = 7: unusable"},
        {"[prefs]\nwidth = 1024\nheight = 768\nwin", " [prefs] windowed: missing (damaged or cut off)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefs);
        TempDir user;
        user.Write("prefs.ini", c.prefs);
        ScopedChdir cd(QLM_GAME_DIR);
        GameStartOptions options;
        options.userDir = user.Path();
        options.headless = true;
        options.desktopWidth = 1600;
        options.desktopHeight = 900;
        Game& game = Game::GetInstance();
        ASSERT_TRUE(game.Init(options));
        EXPECT_GE(game.GetWindow()->GetClientWidth(), 640);
        game.Shutdown();
        game.ResetForTests();
        const std::string errors = user.Read("debug/errors.txt");
        EXPECT_NE(errors.find(user.File("prefs.ini") + c.told), std::string::npos) << errors;
        // The player's file is kept as it was found.
        EXPECT_EQ(user.Read("prefs.ini"), c.prefs);
    }
    // A desktop smaller than the size the game saved is no damage.
    TempDir user;
    user.Write("prefs.ini", "[prefs]\nwidth = 2560\nheight = 1440\nwindowed = 1\nsound_channels = 64\n");
    ScopedChdir cd(QLM_GAME_DIR);
    GameStartOptions options;
    options.userDir = user.Path();
    options.headless = true;
    options.desktopWidth = 1600;
    options.desktopHeight = 900;
    Game& game = Game::GetInstance();
    ASSERT_TRUE(game.Init(options));
    game.Shutdown();
    game.ResetForTests();
    EXPECT_EQ(user.Read("debug/errors.txt").find("prefs.ini"), std::string::npos);
}
