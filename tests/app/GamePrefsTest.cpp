// A prefs.ini with sizes the window cannot take: the start-up must still give
// a usable window within the desktop.
#include "app/Game.h"
#include "platform/IWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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
