#include "battle/hud/GUI_TopStrip.h"

#include <cmath>

#include "app/Game.h"
#include "battle/BattleSpeed.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_MiniMap.h"
#include "battle/hud/GUI_TopStripButton.h"
#include "battle/hud/HudWindow.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"

namespace {
struct ButtonSpec {
    int cell;
    const char* tooltipKey;
    GUI_Callback callback;
};

void OnSlower(std::intptr_t)
{
    BattleSpeedDown();
}
void OnFaster(std::intptr_t)
{
    BattleSpeedUp();
}
} // namespace

void GUI_TopStrip::Open(int screenHeight)
{
    Close();
    QLM_ASSERT(GUI_MiniMap::GetOpen() != nullptr);
    if (!GUI_MiniMap::GetOpen())
        return;
    new GUI_TopStrip(screenHeight);
}

GUI_TopStrip::GUI_TopStrip(int screenHeight)
{
    raisesOnClick = false;
    const GUI_MiniMap* map = GUI_MiniMap::GetOpen();
    const auto mapRight = static_cast<float>(map->right);
    const float columnTop = static_cast<float>(screenHeight) - kColumnHeight;
    SetRect(mapRight, columnTop, mapRight + 27.0f, columnTop + 135.0f);
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    manager.RemoveWindow(this);
    manager.AddWindow(this);
    manager.BringToFront(this);

    const ButtonSpec specs[kButtons] = {
        {7, "BATTLEGUI_DAMAGE", OnDamageButton},
        {4, "BATTLEGUI_CAMERAMODE", OnCameraModeButton},
        {0, "BATTLEGUI_GRID_TOOLTIP", OnGridButton},
        {5, "BATTLEGUI_SCREENSHOT_TOOLTIP", OnScreenshotButton},
        {6, "BATTLEGUI_OVERLAY_TOOLTIP", OnOverlayButton},
        {1, "BATTLEGUI_SLOWER_TOOLTIP", OnSlower},
        {3, "BATTLEGUI_PAUSE_TOOLTIP", TogglePause},
        {2, "BATTLEGUI_FASTER_TOOLTIP", OnFaster},
    };
    for (int i = 0; i < kButtons; ++i) {
        const bool speed = i >= SLOWER;
        auto* button = new GUI_TopStripButton(specs[i].callback, specs[i].cell, speed ? kSpeedButtonSize : kButtonSize);
        float l, t, size;
        if (!speed) {
            size = kButtonSize;
            l = mapRight;
            t = columnTop + static_cast<float>(i) * kButtonSize;
        } else {
            size = kSpeedButtonSize;
            t = static_cast<float>(map->top) + 3.0f;
            l = i == SLOWER ? static_cast<float>(map->left) + 2.0f
                : i == PAUSE ? static_cast<float>(map->left) + 22.0f
                             : static_cast<float>(map->right) - 25.0f;
            // The speed operations play their own click.
            button->silent = true;
        }
        // Rounded, so the column meets the bottom edge at any height.
        button->SetRect(std::round(l), std::round(t), std::round(l + size), std::round(t + size));
        button->SetTooltip(GetString(specs[i].tooltipKey));
        AddButton(button);
        button->SetName(specs[i].tooltipKey);
        m_buttons[i] = button;
    }
}

GUI_TopStrip::~GUI_TopStrip() = default;

void GUI_TopStrip::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (engine.IsAdditive())
        engine.SetNormalBlend();
    if (visible) {
        for (GUI_ButtonBase* button : GetButtons())
            if (button->visible)
                button->Draw();
    }
    LibText::GetInstance().Render(-1);
}

void GUI_TopStrip::OnDamageButton(std::intptr_t)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.damageTextsShown = gui.damageTextsShown ? 0 : 1;
}

void GUI_TopStrip::OnCameraModeButton(std::intptr_t)
{
    GUI_BattleGUI::GetInstance().cameraFollowMode = 1;
}

void GUI_TopStrip::OnGridButton(std::intptr_t)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.gridShown = gui.gridShown ? 0 : 1;
}

void GUI_TopStrip::OnOverlayButton(std::intptr_t)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.overlayShown = gui.overlayShown ? 0 : 1;
}

void GUI_TopStrip::OnScreenshotButton(std::intptr_t)
{
    if (Game::GetInstance().IsGraphicsReady())
        Game::GetInstance().SaveScreenshot();
}
