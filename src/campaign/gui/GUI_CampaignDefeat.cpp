#include "campaign/gui/GUI_CampaignDefeat.h"

const GUI_CampaignEndDialog::Look GUI_CampaignDefeat::kLook = {
    "CAMPAIGN_DEFEAT_TITLE", "CAMPAIGN_DEFEAT_MESSAGE", "CAMPAIGN_DEFEAT_CONTINUE", "CAMPAIGN_VICTORY_DEFEATCONTINUE_TOOLTIP",
    "data/sounds/music/defeat.ogg", 90};
