#include "support/WindowedGame.h"

#include "battle/GUI_BattleGUI.h"
#include "support/NoLessons.h"

WindowedGame::WindowedGame(const WindowedGameSetup& setup) : m_cwd(QLM_GAME_DIR)
{
    if (setup.smallWindow) {
        std::string prefs = "[prefs]\nwidth = " + std::to_string(setup.windowWidth) + "\nheight = " +
                            std::to_string(setup.windowHeight) + "\nwindowed = 1\n";
        if (setup.soundChannels > 0)
            prefs += "sound_channels = " + std::to_string(setup.soundChannels) + "\n";
        m_user.Write("prefs.ini", prefs);
    }
    GameStartOptions options;
    options.userDir = m_user.Path();
    options.seed = setup.seed;
    Game& game = Game::GetInstance();
    m_started = game.Init(options);
    if (!m_started)
        return;
    if (setup.noLessons)
        DropAllLessons();
    if (setup.unheldFrames)
        game.GetFramePacer().SetClock(&m_unheld);
    if (setup.battleFrameMs > 0.0f) {
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(setup.battleFrameMs);
        m_injectedFrame = true;
    }
}

WindowedGame::~WindowedGame()
{
    Stop();
}

void WindowedGame::Stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    if (m_injectedFrame)
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(-1.0f);
    Game& game = Game::GetInstance();
    game.Shutdown();
    game.ResetForTests();
}
