#include "app/APP_ReadySignal.h"

const char* APP_ReadySignal::ScreenName(int modeId)
{
    switch (modeId) {
    case 1: return "designer";
    case 2: return "deployment";
    case 3: return "scenarios";
    case 4: return "online";
    case 6: return "challenges";
    case 7: return "options";
    case 8: return "hull editor";
    case 9: return "loading";
    case 10: return "unlock shop";
    case 11: return "race";
    case 12: return "messages";
    case 13: return "scenario editor";
    case 14: return "campaign";
    case 15: return "main menu";
    default: return "battle"; // as Game::ModeForId
    }
}

void APP_ReadySignal::AfterPresent(int modeId, bool settled, int modalWindows)
{
    if (!m_out || !settled)
        return;
    if (m_told && m_toldScreen == m_screen && m_toldInput == m_input && m_toldWindows == modalWindows)
        return;
    m_told = true;
    m_toldScreen = m_screen;
    m_toldInput = m_input;
    m_toldWindows = modalWindows;
    std::fprintf(m_out, "ready: %s windows=%d input=%u\n", ScreenName(modeId), modalWindows, m_input);
    // The driver reads it now, not when a buffer fills.
    std::fflush(m_out);
}
