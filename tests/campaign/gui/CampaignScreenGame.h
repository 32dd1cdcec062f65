#pragma once
// The whole game started headless (or in a real window) with a campaign open,
// and the player's hands: press, move and release the mouse, as the fleet
// drags need them apart.
#include "frontend/FrontendGame.h"

#include "CampaignTestFleet.h"

#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GFileHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_TextEditWindow.h"
#include "sim/SIM_ShipDesign.h"

class CampaignScreenGame : public FrontendGame {
protected:
    // Press at one point, move in steps to another, let go there.
    static void Drag(float fromX, float fromY, float toX, float toY, int steps = 8)
    {
        MoveMouse(static_cast<int>(fromX), static_cast<int>(fromY));
        PressLeft(true);
        for (int i = 1; i <= steps; ++i)
            MoveMouse(static_cast<int>(fromX + (toX - fromX) * i / steps),
                      static_cast<int>(fromY + (toY - fromY) * i / steps));
        PressLeft(false);
        Frames(2);
    }

    // A new campaign through the loader, as the player starts one.
    static void StartCampaign(const std::string& name)
    {
        GUI_CampaignLoader* loader = GUI_CampaignLoader::Open();
        loader->GetNameField()->SetText(name);
        Click(*loader->GetCreateButton());
        // A campaign of that name from an earlier test is replaced.
        if (GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen())
            Click(*question->GetYesButton());
        SettleTransition();
        Frames(2);
    }

    static SIM_CampaignEncounter* Homeworld()
    {
        SIM_Campaign* campaign = GUI_Campaign::GetInstance().GetDefinition();
        return campaign ? campaign->GetHomeworldEncounter() : nullptr;
    }

    static SIM_CampaignFleet* AddFleet(SIM_CampaignEncounter* at, const char* design = "fed_ai_escort")
    {
        SIM_CampaignFleet* fleet = MakeTestFleet(at, design);
        Frames(2);
        return fleet;
    }

    static void Quit()
    {
        GUI_Campaign::QuitCampaignToMenu();
        SettleTransition();
        Frames(2);
    }
};
