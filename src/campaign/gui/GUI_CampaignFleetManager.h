#pragma once
#include "campaign/gui/GUI_CampaignManagerWindow.h"

// Every fleet of the player that has a ship, in the campaign's order.
class GUI_CampaignFleetManager : public GUI_CampaignManagerWindowOf<GUI_CampaignFleetManager> {
protected:
    void AddStrips(std::vector<std::unique_ptr<GUI_CampaignManagerStrip>>& strips) override;

private:
    friend class GUI_CampaignManagerWindowOf<GUI_CampaignFleetManager>;
    GUI_CampaignFleetManager();
};
