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
#include <functional>

namespace {
// A start and shut-down of the game on a 1600 x 900 desktop with this
// prefs.ini, with a look at its window; what it wrote to the error log.
std::string StartWithPrefs(const TempDir& user, const std::string& prefs,
                           const std::function<void(IWindow&)>& whileOpen = {})
{
    user.Write("prefs.ini", prefs);
    ScopedChdir cd(QLM_GAME_DIR);
    GameStartOptions options;
    options.userDir = user.Path();
    options.headless = true;
    options.desktopWidth = 1600;
    options.desktopHeight = 900;
    Game& game = Game::GetInstance();
    EXPECT_TRUE(game.Init(options));
    EXPECT_GE(game.GetWindow()->GetClientWidth(), 640);
    if (whileOpen)
        whileOpen(*game.GetWindow());
    game.Shutdown();
    game.ResetForTests();
    return user.Read("debug/errors.txt");
}
} // namespace

TEST(GamePrefs, UnusableSizesAreClampedIntoTheDesktop)
{
    TempDir user;
    StartWithPrefs(user, "[prefs]\nwidth = 0\nheight = garbage\nwindowed = 1\nsound_channels = 64\n",
                   [](IWindow& window) {
                       EXPECT_LE(window.GetClientWidth(), 1600);
                       EXPECT_GE(window.GetClientHeight(), 480);
                       EXPECT_LE(window.GetClientHeight(), 900);
                       EXPECT_FALSE(window.IsFullScreen());
                   });
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
        const std::string errors = StartWithPrefs(user, c.prefs);
        EXPECT_NE(errors.find(user.File("prefs.ini") + c.told), std::string::npos) << errors;
        // The player's file is kept as it was found.
        EXPECT_EQ(user.Read("prefs.ini"), c.prefs);
    }
    // Keys missing from a whole file (an earlier version's, one written by
    // hand, the benchmark's) take their defaults without a line.
    for (const char* prefs : {"[prefs]\nwidth = 1024\nheight = 768\nwindowed = 1\n", "[prefs]\nwindowed = 1\n",
                              "[prefs]\nwidth = 1024\nheight = 768\n"}) {
        SCOPED_TRACE(prefs);
        TempDir user;
        const std::string errors = StartWithPrefs(user, prefs);
        EXPECT_EQ(errors.find("prefs.ini"), std::string::npos) << errors;
        EXPECT_EQ(user.Read("prefs.ini"), prefs) << "kept as found";
    }
    // A desktop smaller than the size the game saved is no damage.
    TempDir user;
    EXPECT_EQ(StartWithPrefs(user, "[prefs]\nwidth = 2560\nheight = 1440\nwindowed = 1\nsound_channels = 64\n")
                  .find("prefs.ini"),
              std::string::npos);
}
