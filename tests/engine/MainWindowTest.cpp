#include "engine/MainWindow.h"

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
