#include "app/GUI_StandInMode.h"

#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "platform/KeyCodes.h"

void GUI_StandInMode::Render()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    float w = static_cast<float>(engine.GetScreenWidth());
    float h = static_cast<float>(engine.GetScreenHeight());
    LibText& text = LibText::GetInstance();
    if (!text.GetCurrentFont() && !text.FindFont("cwfont20.dds"))
        return;
    text.SetFont("cwfont20.dds", 20.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_title, 0.0f, h * 0.45f, 0xFFFFFFFF, w);
    text.Render();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, "This screen is not built yet. Escape goes back.", 0.0f, h * 0.45f + 40.0f,
                 0xFF8FB8C8, w);
    text.Render();
}

void GUI_StandInMode::OnKeyDown(int code)
{
    if (code == KEY_ESCAPE) {
        Game::GetInstance().SetMode(15);
        return;
    }
    GUI_GameModeBase::OnKeyDown(code);
}
