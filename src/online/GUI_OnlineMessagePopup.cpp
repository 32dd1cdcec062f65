#include "online/GUI_OnlineMessagePopup.h"

#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>

GUI_OnlineMessagePopup* GUI_OnlineMessagePopup::Show(int count, const IClock* clock)
{
    CloseOpen();
    GUI_OnlineMessagePopup* popup = SetOpen(new GUI_OnlineMessagePopup(count, clock));
    GUI_WindowManager::GetInstance().AddWindow(popup);
    return popup;
}

void GUI_OnlineMessagePopup::Close()
{
    CloseOpen();
}

void GUI_OnlineMessagePopup::PositionAt(double elapsedMs, int w, int h, float& x, float& y)
{
    const float f = static_cast<float>(std::clamp(elapsedMs / kRiseMs, 0.0, 1.0));
    x = static_cast<float>(w - 80);
    y = static_cast<float>(h + 40) - f * kRise;
}

GUI_OnlineMessagePopup::GUI_OnlineMessagePopup(int count, const IClock* clock) : m_timer(clock)
{
    raisesOnClick = false;
    m_sprite.SetTexture("messages.dds");
    m_sprite.SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    m_countText = StrFormat("%d", count);
    if (m_countText.size() > 7)
        m_countText.resize(7);
    m_button = new GUI_ButtonBase(OnClick, 0);
    m_button->SetTooltip("MESSAGES_POPUP_TOOLTIP");
    AddButton(m_button);
    m_timer.Start();
    D3DEngine& engine = D3DEngine::GetInstance();
    float x, y;
    PositionAt(0.0, engine.GetScreenWidth(), engine.GetScreenHeight(), x, y);
    SetRect(x, y, x + kWidth, y + kHeight);
}

GUI_OnlineMessagePopup::~GUI_OnlineMessagePopup()
{
    ForgetIfOpen(this);
}

void GUI_OnlineMessagePopup::OnClick(std::intptr_t)
{
    Close();
    Game::GetInstance().SetMode(12);
}

void GUI_OnlineMessagePopup::Draw()
{
    if (!visible)
        return;
    m_timer.Update();
    D3DEngine& engine = D3DEngine::GetInstance();
    float x, y;
    PositionAt(m_timer.GetTotalMs(), engine.GetScreenWidth(), engine.GetScreenHeight(), x, y);
    SetRect(x, y, x + kWidth, y + kHeight);
    m_button->SetRect(x, y, x + kWidth, y + kHeight);
    m_sprite.PlaceCentred(x + kWidth * 0.5f, y + kHeight * 0.5f);
    m_sprite.Draw();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_countText, x + kWidth * 0.5f, y + kHeight * 0.5f - 10.0f, 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
    m_button->Draw();
}
