#pragma once
#include "campaign/gui/GUI_CampaignManagerStrip.h"

class SIM_CampaignFleet;

// A fleet's row: its costliest design, its name and its cruisers, frigates
// and fighters. A click also opens the fleet's window.
class GUI_CampaignFleetManagerStrip : public GUI_CampaignManagerStrip {
public:
    explicit GUI_CampaignFleetManagerStrip(SIM_CampaignFleet* fleet);

    SIM_CampaignFleet* GetFleet() const { return m_fleet; }

protected:
    void OnChosen() override;

private:
    SIM_CampaignFleet* m_fleet;
};
