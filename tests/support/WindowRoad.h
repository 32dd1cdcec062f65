#pragma once
// Shared by the tests that play a long road through the real window.
#include "app/Game.h"
#include "support/WindowInput.h"
#include "support/WindowedGame.h"

#include <gtest/gtest.h>

// Runs frames until the game says its screen has settled (no transition or
// fade, input taken: what its ready signal tells the window runs), then two
// more so that the settled screen is drawn. The limit only ends a stuck run.
inline void SettleScreens()
{
    constexpr int kFrameLimit = 20000;
    Game& game = Game::GetInstance();
    for (int i = 0; i < kFrameLimit && !game.IsSettled(); ++i)
        RunGameFrames(1);
    EXPECT_TRUE(game.IsSettled()) << "the screen (mode " << game.GetModeId() << ") did not settle in "
                                  << kFrameLimit << " frames";
    RunGameFrames(2);
}
