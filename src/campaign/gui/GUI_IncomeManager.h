#pragma once
#include "campaign/gui/GUI_CampaignManagerWindow.h"

// Every factory on the player's planets, with what it will earn this turn.
class GUI_IncomeManager : public GUI_CampaignManagerWindowOf<GUI_IncomeManager> {
protected:
    void AddStrips(std::vector<std::unique_ptr<GUI_CampaignManagerStrip>>& strips) override;

private:
    friend class GUI_CampaignManagerWindowOf<GUI_IncomeManager>;
    GUI_IncomeManager();
};
