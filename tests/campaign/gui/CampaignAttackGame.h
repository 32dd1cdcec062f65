#pragma once
// A new campaign set for an attack: the homeworld and the enemy neighbour the
// test's fleets are sent against, and the Next Turn press that starts it.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignControlPanelBttm.h"

#include <string>
#include <utility>

class CampaignAttackGame : public CampaignScreenGame {
protected:
    explicit CampaignAttackGame(std::string campaignName) : m_campaignName(std::move(campaignName)) {}

    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign(m_campaignName);
        home = Homeworld();
        ASSERT_NE(home, nullptr);
        enemy = EnemyNeighbour(home);
        ASSERT_NE(enemy, nullptr);
    }

    // The fleet sent against the enemy, then Next Turn pressed and its
    // transition over.
    void AttackAndNextTurn(SIM_CampaignFleet* fleet)
    {
        SendTestAttack(fleet, enemy);
        Frames(2);
        Click(*GUI_CampaignMap::Get()->GetBottomPanel()->GetNextTurnButton());
        SettleTransition();
    }

    SIM_CampaignEncounter* home = nullptr;
    SIM_CampaignEncounter* enemy = nullptr;

private:
    std::string m_campaignName;
};
