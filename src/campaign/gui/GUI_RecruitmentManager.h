#pragma once
#include "campaign/gui/GUI_CampaignManagerWindow.h"

// Every academy on the player's planets, with the crew it will train this turn.
class GUI_RecruitmentManager : public GUI_CampaignManagerWindowOf<GUI_RecruitmentManager> {
protected:
    void AddStrips(std::vector<std::unique_ptr<GUI_CampaignManagerStrip>>& strips) override;

private:
    friend class GUI_CampaignManagerWindowOf<GUI_RecruitmentManager>;
    GUI_RecruitmentManager();
};
