#include "campaign/gui/GUI_CampaignVictory.h"

const GUI_CampaignEndDialog::Look GUI_CampaignVictory::kLook = {
    "CAMPAIGN_VICTORY_TITLE", "CAMPAIGN_VICTORY_MESSAGE", "CAMPAIGN_VICTORY_CONTINUE", "CAMPAIGN_VICTORY_CONTINUE_TOOLTIP",
    "data/sounds/music/victory.ogg", 80};
