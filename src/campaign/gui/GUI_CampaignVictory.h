#pragma once
#include "campaign/gui/GUI_CampaignEndDialog.h"

// The campaign is won: every planet is the player's.
class GUI_CampaignVictory : public GUI_CampaignEndDialogOf<GUI_CampaignVictory> {
public:
    static const Look kLook;

private:
    friend class GUI_CampaignEndDialogOf<GUI_CampaignVictory>;
    GUI_CampaignVictory() = default;
};
