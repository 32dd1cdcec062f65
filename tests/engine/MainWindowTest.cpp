#include "engine/MainWindow.h"
#include "platform/HeadlessWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(MainWindow, HeadlessWindowTakesTheDefaultSizeAndTitle)
{
    MainWindowOptions options;
    options.headless = true;
    auto window = CreateMainWindow(options);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->IsHeadless());
    EXPECT_EQ(window->GetClientWidth(), 1280);
    EXPECT_EQ(window->GetClientHeight(), 1024);

    options.width = 800;
    options.height = 600;
    window = CreateMainWindow(options);
    EXPECT_EQ(window->GetClientWidth(), 800);
    EXPECT_EQ(window->GetClientHeight(), 600);
}

TEST(MainWindow, TheGameWindowWearsItsOwnIcon)
{
    ScopedChdir cwd(QLM_GAME_DIR);
    MainWindowOptions options;
    options.headless = true;
    auto window = CreateMainWindow(options);
    const auto* headless = dynamic_cast<const HeadlessWindow*>(window.get());
    ASSERT_NE(headless, nullptr);
    ASSERT_EQ(headless->GetIconWidth(), 64);
    ASSERT_EQ(headless->GetIconHeight(), 64);
    const std::vector<uint8_t>& rgba = headless->GetIconPixels();
    auto alpha = [&rgba](int x, int y) { return rgba[(static_cast<size_t>(y) * 64 + x) * 4 + 3]; };
    // A rounded tile: clear in the corners, solid in the middle.
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(63, 63), 0);
    EXPECT_EQ(alpha(32, 32), 255);
    EXPECT_EQ(alpha(4, 32), 255);

    // Without its picture the window keeps the system's icon.
    HeadlessWindow bare;
    EXPECT_FALSE(SetMainWindowIcon(bare, "data/bitmaps/no_such_icon.dds"));
    EXPECT_EQ(bare.GetIconWidth(), 0);
    EXPECT_TRUE(bare.GetIconPixels().empty());
}

TEST(MainWindowDeathTest, FatalErrorBoxEndsWithFailure)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "dummy", 1); // no box: the text goes to stderr
            FatalErrorBox("CreateWindow");
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "Failed to CreateWindow: CreateWindow");
}

TEST(MainWindowDeathTest, WindowThatCannotBeMadeIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            MainWindowOptions options;
            CreateMainWindow(options);
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "CreateWindow: SDL video");
}
