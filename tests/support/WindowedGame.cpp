#include "support/WindowedGame.h"

#include "battle/GUI_BattleGUI.h"
#include "support/NoLessons.h"

WindowedGame::WindowedGame(const WindowedGameSetup& setup) : m_setup(setup), m_cwd(QLM_GAME_DIR)
{
    if (setup.smallWindow) {
        std::string prefs = "[prefs]\nwidth = " + std::to_string(setup.windowWidth) + "\nheight = " +
                            std::to_string(setup.windowHeight) + "\nwindowed = 1\n";
        if (setup.soundChannels > 0)
            prefs += "sound_channels = " + std::to_string(setup.soundChannels) + "\n";
        m_user.Write("prefs.ini", prefs);
    }
    m_started = Start();
}

bool WindowedGame::Start()
{
    GameStartOptions options;
    options.userDir = m_user.Path();
    options.seed = m_setup.seed;
    Game& game = Game::GetInstance();
    if (!game.Init(options))
        return false;
    if (m_setup.noLessons)
        DropAllLessons();
    if (m_setup.unheldFrames)
        game.GetFramePacer().SetClock(&m_unheld);
    // The spare-time work runs as on a quiet machine however loaded this one
    // is; unheld frames have none to spare.
    game.GetFramePacer().SetInjectedSpareShare(m_setup.unheldFrames ? 0.0f : 1.0f);
    if (m_setup.battleFrameMs > 0.0f) {
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(m_setup.battleFrameMs);
        m_injectedFrame = true;
    }
    return true;
}

bool WindowedGame::Restart()
{
    Stop();
    m_stopped = false;
    m_started = Start();
    return m_started;
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
