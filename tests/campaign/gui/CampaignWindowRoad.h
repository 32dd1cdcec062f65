#pragma once
// The campaign through the real window: waiting out wipes and fades, drags
// with the mouse, and the map pulled until a planet is in view.
#include "app/Game.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/D3DEngine.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Transition.h"
#include "online/GUI_PleaseWait.h"
#include "support/WindowInput.h"
#include "support/WindowedGame.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <initializer_list>

inline void Settle()
{
    for (int i = 0; i < 2000 && (GUI_Transition::GetInstance().IsActive() || GUI_Fader::GetInstance().IsFading()); ++i)
        RunGameFrames(1);
    RunGameFrames(2);
}

// The game in a window for a campaign road: no frame held, no lesson, and
// settled on the title once started.
class CampaignWindowGame : public WindowedGame {
public:
    explicit CampaignWindowGame(uint64_t seed) : WindowedGame({.seed = seed, .unheldFrames = true, .noLessons = true})
    {
        if (Started())
            Settle();
    }
};

inline void DragWithMouse(int fromX, int fromY, int toX, int toY, int steps = 10)
{
    MoveMouse(fromX, fromY);
    SetMouseButton(fromX, fromY, true);
    for (int i = 1; i <= steps; ++i)
        MoveMouse(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    SetMouseButton(toX, toY, false);
}

inline bool PlanetInView(GUI_CampaignMap* map, const SIM_CampaignEncounter* e)
{
    const int width = D3DEngine::GetInstance().GetScreenWidth();
    const int height = D3DEngine::GetInstance().GetScreenHeight();
    const GUI_Encounter* v = map->FindView(e);
    return v->CentreX() > 100 && v->CentreX() < width - 100 && v->CentreY() > 100 && v->CentreY() < height - 150;
}

// Takes the map by empty space and pulls it until the planet shows.
inline void PullMapTo(GUI_CampaignMap* map, const SIM_CampaignEncounter* e)
{
    const auto emptyAt = [&](int x, int y) {
        for (const GUI_Encounter* v : map->GetEncounters())
            if (v->Contains(static_cast<float>(x), static_cast<float>(y)))
                return false;
        return true;
    };
    for (int pull = 0; pull < 6 && !PlanetInView(map, e); ++pull) {
        const int dx = 400, dy = -200;
        int sx = -1, sy = -1;
        for (int y = 420; y < 560 && sx < 0; y += 20)
            for (int x = 100; x < 500 && sx < 0; x += 20)
                if (emptyAt(x, y))
                    sx = x, sy = y;
        ASSERT_GE(sx, 0) << "no empty space to take the map by";
        DragWithMouse(sx, sy, sx + dx, sy + dy, 4);
    }
}

// A new campaign of that name made and opened, settled on its map.
inline void OpenNewCampaign(const std::string& name)
{
    ASSERT_TRUE(GUI_Campaign::CreateCampaignSave(name));
    ASSERT_TRUE(GUI_Campaign::OpenCampaign(name));
    Settle();
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
}

// From the title, Campaign and a new campaign typed over the offered name
// (kept when none is given): its map, or null when it did not open.
inline GUI_CampaignMap* CreateCampaignFromTitle(const std::string& name = {})
{
    ClickCentre(GUI_MainMenu::GetInstance().GetCampaignButton());
    GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen();
    if (!loader)
        return nullptr;
    if (!name.empty()) {
        ClickCentre(loader->GetNameField());
        for (int i = 0; i < 8; ++i)
            PressKey(SDL_SCANCODE_BACKSPACE);
        TypeText(name);
    }
    ClickCentre(loader->GetCreateButton());
    Settle();
    return Game::GetInstance().GetModeId() == GUI_Campaign::kModeId ? GUI_CampaignMap::Get() : nullptr;
}

// The please-wait box's cells that a screenshot shows lit blue: one while
// its running light runs, wherever the light is by then.
inline int LitPleaseWaitCells(const TextureData& picture, const GUI_PleaseWait& wait)
{
    int lit = 0;
    for (int i = 0; i < GUI_PleaseWait::kCells; ++i) {
        const GRect cell = wait.GetCellRect(i);
        int r = 0, g = 0, b = 0;
        PixelAt(picture, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2, r, g, b);
        lit += b > r + 60;
    }
    return lit;
}
