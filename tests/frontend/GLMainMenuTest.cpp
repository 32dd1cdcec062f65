// The main menu through the real window (OpenGL, offscreen): the mouse rests
// on a button for the tooltip delay and the tooltip's text appears beside it.
#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tooltip.h"
#include "platform/DdsImage.h"
#include "support/WindowedGame.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

class GLMainMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The window at the size the game picks for itself.
        m_game = std::make_unique<WindowedGame>(WindowedGameSetup{.seed = 3, .smallWindow = false, .noLessons = true});
        ASSERT_TRUE(m_game->Started());
    }
    void TearDown() override { m_game.reset(); }

    static void MoveMouse(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
        Game::GetInstance().GetWindow()->PumpEvents();
    }

    // The next frame as the player sees it (through the screenshot the
    // present writes), as BGRA.
    TextureData Shot()
    {
        Game& game = Game::GetInstance();
        const std::string file = game.SaveScreenshot();
        game.Frame();
        TextureData picture;
        std::string error;
        EXPECT_TRUE(ReadImageFile(file, picture, &error)) << error;
        std::remove(file.c_str());
        return picture;
    }

    std::unique_ptr<WindowedGame> m_game;
};

} // namespace

TEST_F(GLMainMenu, RestingOnAButtonShowsItsTooltipText)
{
    Game& game = Game::GetInstance();
    MoveMouse(2, 2); // off every button, wherever an earlier test left it
    game.Frame();    // lays the menu out
    GUI_ButtonBase* play = GUI_MainMenu::GetInstance().GetBattleButton();
    const int mx = (play->left + play->right) / 2, my = (play->top + play->bottom) / 2;
    MoveMouse(mx, my);
    const TextureData before = Shot();

    GUI_Tooltip* tooltip = play->GetTooltip();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_STREQ(tooltip->GetLines()[0].c_str(), GetString("MAINMENU_BATTLE_TOOLTIP"));
    // The mouse rests: the input sees it still one frame late, then the frames
    // of the delay pass; the tooltip shows in the frame after, not before.
    for (int frame = 0; frame < tooltip->GetDelay(); ++frame)
        game.Frame();
    const TextureData early = Shot();
    const TextureData after = Shot();
    ASSERT_EQ(before.width, after.width);
    ASSERT_EQ(before.height, after.height);
    EXPECT_TRUE(early.levels == before.levels) << "the tooltip showed a frame early";

    // Inside the tooltip: changed pixels and white text; well outside it: nothing changed.
    const int w = after.width;
    int changedInside = 0, whiteInside = 0, inside = 0, changedOutside = 0;
    for (int y = 0; y < after.height; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = (size_t(y) * w + x) * 4;
            const uint8_t* a = &before.levels[0][i];
            const uint8_t* b = &after.levels[0][i];
            const bool changed = std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 24;
            if (x >= tooltip->left && x < tooltip->right && y >= tooltip->top && y < tooltip->bottom) {
                ++inside;
                changedInside += changed;
                whiteInside += b[0] > 200 && b[1] > 200 && b[2] > 200;
            } else if (x < tooltip->left - 16 || x >= tooltip->right + 16 || y < tooltip->top - 16 ||
                       y >= tooltip->bottom + 16) {
                changedOutside += changed;
            }
        }
    }
    ASSERT_GT(inside, 0);
    EXPECT_GT(changedInside, inside / 3);
    EXPECT_GT(whiteInside, 20);
    EXPECT_EQ(changedOutside, 0);
    // It sits beside the mouse, moved up only as far as the screen's edge needs.
    EXPECT_NEAR(tooltip->left, mx + 30, 1);
    EXPECT_LE(tooltip->bottom, after.height);
    EXPECT_LE(tooltip->top, my);
    EXPECT_GE(tooltip->bottom, my);
}
