#include "frontend/GUI_MainMenu.h"

#include "app/Game.h"
#include "app/GUI_Sounds.h"
#include "engine/D3DEngine.h"
#include "frontend/GUI_TitleBackdrop.h"

#include <algorithm>
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "platform/KeyCodes.h"

GUI_MainMenu::GUI_MainMenu() : GUI_StandInMode("Main menu")
{
    m_entries = {
        {KEY_1, 3, "1  Play a scenario"},  {KEY_2, 1, "2  Ship designer"}, {KEY_3, 14, "3  Campaign"},
        {KEY_4, 4, "4  Online"},           {KEY_5, 10, "5  Unlock shop"},   {KEY_6, 11, "6  Choose race"},
        {KEY_7, 7, "7  Options"},          {KEY_8, 13, "8  Scenario editor"}, {KEY_9, 8, "9  Hull editor"},
        {KEY_ESCAPE, 0, "Esc  Quit"},
    };
}

void GUI_MainMenu::Enter()
{
    GUI_StandInMode::Enter();
}

void GUI_MainMenu::Update()
{
    // Playing the same track again is a no-op, so this only starts it.
    GUI_Sounds::GetInstance().PlayMusic("main_title.ogg", false);
}

void GUI_MainMenu::Render()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    float w = static_cast<float>(engine.GetScreenWidth());
    float h = static_cast<float>(engine.GetScreenHeight());
    LibText& text = LibText::GetInstance();
    if (!text.FindFont("cwfont20.dds") || !text.FindFont("zekton16.dds"))
        return;

    // The backdrop is square: cover the screen, cropping the longer side.
    float side = std::max(w, h);
    m_backdrop.SetTexture(GUI_TitleBackdrop::GetInstance().GetTextureName());
    m_backdrop.SetSize(side, side);
    m_backdrop.PlaceCentred(w * 0.5f, h * 0.5f);
    m_backdrop.Draw();

    float top = h * 0.18f;
    engine.FillRect(GRect{static_cast<int>(w * 0.3f), static_cast<int>(top - 20), static_cast<int>(w * 0.7f),
                          static_cast<int>(top + 470)},
                    0xB00A1420);
    engine.DrawRectFrame(GRect{static_cast<int>(w * 0.3f), static_cast<int>(top - 20), static_cast<int>(w * 0.7f),
                               static_cast<int>(top + 470)},
                         0xFF3FC8E8);

    text.SetFont("cwfont20.dds", 20.0f);
    text.SetText(TEXT_ALIGN_CENTRE, "QUILLOMAR", 0.0f, top, 0xFFFFFFFF, w);
    text.Render();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, Game::GetInstance().GetVersionText(), 0.0f, top + 32.0f, 0xFF8FB8C8, w);
    text.Render();

    float y = top + 90.0f;
    for (const Entry& e : m_entries) {
        if (e.modeId == 8 && !Game::GetInstance().IsEditorEnabled())
            continue;
        text.SetText(TEXT_ALIGN_LEFT, e.label, w * 0.36f, y, 0xFFE0F4FF, w * 0.3f);
        text.Render();
        y += 36.0f;
    }
}

void GUI_MainMenu::OnKeyDown(int code)
{
    for (const Entry& e : m_entries) {
        if (e.key != code)
            continue;
        if (e.modeId == 8 && !Game::GetInstance().IsEditorEnabled())
            return;
        if (e.modeId == 0)
            Game::GetInstance().OnQuit();
        else
            Game::GetInstance().SetMode(e.modeId);
        return;
    }
    GUI_GameModeBase::OnKeyDown(code);
}
