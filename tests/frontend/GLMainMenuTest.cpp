// The main menu through the real window (OpenGL, offscreen): the mouse rests
// on a button for the tooltip delay and the tooltip's text appears beside it.
#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_Transition.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tooltip.h"
#include "platform/DdsImage.h"
#include "support/WindowInput.h"
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
    EXPECT_STREQ(tooltip->GetLines()[0].c_str(), GetString("TOOLTIP_MAINMENU_BATTLE"));
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

namespace {

// A screen 720 high, shorter than the layouts' usual 768 (as on a 1280 x 720
// desktop; the offscreen driver's desktop is 1024 wide, and these layouts
// follow the height).
class GLShortScreen : public GLMainMenu {
protected:
    void SetUp() override
    {
        m_game = std::make_unique<WindowedGame>(
            WindowedGameSetup{.seed = 3, .windowWidth = 1024, .windowHeight = 720, .noLessons = true});
        ASSERT_TRUE(m_game->Started());
    }
};

} // namespace

TEST_F(GLShortScreen, TheRaceStripOfTheScenarioChoiceStaysOnScreen)
{
    Game& game = Game::GetInstance();
    ASSERT_EQ(D3DEngine::GetInstance().GetScreenHeight(), 720);
    game.SetMode(3);
    for (int i = 0; i < 2000 && GUI_Transition::GetInstance().IsActive(); ++i)
        game.Frame();
    game.Frame();
    GUI_ChooseScenario& screen = GUI_ChooseScenario::GetInstance();
    const GRect strip = screen.GetRaceStrip();
    EXPECT_EQ(strip.top, GUI_ChooseScenario::kRaceStripMinTop);
    EXPECT_EQ(strip.Height(), 54);
    const GUI_ButtonText* change = screen.GetChangeRaceButton();
    EXPECT_GE(change->top, strip.top);
    EXPECT_LE(change->bottom, strip.bottom);

    // The race's name is drawn whole inside the strip, nothing of it above.
    const TextureData shot = Shot();
    ASSERT_EQ(shot.height, 720);
    EXPECT_GT(CountLit(shot, strip.left + 20, strip.top, strip.left + 400, strip.bottom, 200), 60);
    EXPECT_GT(CountLit(shot, change->left, change->top, change->right, change->bottom, 200), 30);

    // And the button works where the player sees it.
    MoveMouse((change->left + change->right) / 2, (change->top + change->bottom) / 2);
    game.Frame();
    for (bool down : {true, false}) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = (change->left + change->right) / 2;
        e.button.y = (change->top + change->bottom) / 2;
        SDL_PushEvent(&e);
    }
    game.GetWindow()->PumpEvents();
    game.Frame();
    EXPECT_EQ(game.GetModeId(), 11);
}
