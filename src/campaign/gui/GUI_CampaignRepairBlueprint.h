#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/Effect.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

#include <vector>

class GUI_CampaignRepairIcon;
class SIM_CampaignShip;

// The shown ship's hull drawn as a blueprint, with an icon on the slot of
// every fitted module.
class GUI_CampaignRepairBlueprint : public GUI_WindowBase {
public:
    static constexpr float kHullSize = 512.0f;

    GUI_CampaignRepairBlueprint();
    ~GUI_CampaignRepairBlueprint() override;

    void Draw() override;
    void ShowShip(SIM_CampaignShip* ship);

    const std::vector<GUI_CampaignRepairIcon*>& GetIcons() const { return m_icons; }
    SIM_CampaignShip* GetShip() const { return m_ship; }
    GUI_Interlace& GetScanLines() { return m_interlace; }
    static GUI_CampaignRepairBlueprint* GetOpen();

private:
    void DeleteIcons();

    CTexturedSprite m_hull;
    Effect m_effect;
    GUI_Interlace m_interlace;
    SIM_CampaignShip* m_ship = nullptr;
    std::vector<GUI_CampaignRepairIcon*> m_icons;
};
