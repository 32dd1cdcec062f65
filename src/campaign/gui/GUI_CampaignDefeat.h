#pragma once
#include "campaign/gui/GUI_CampaignEndDialog.h"

// The campaign is lost: the player holds no planet any more.
class GUI_CampaignDefeat : public GUI_CampaignEndDialogOf<GUI_CampaignDefeat> {
public:
    static const Look kLook;

private:
    friend class GUI_CampaignEndDialogOf<GUI_CampaignDefeat>;
    GUI_CampaignDefeat() = default;
};
