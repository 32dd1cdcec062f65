#pragma once
#include "campaign/gui/GUI_CampaignManagerStrip.h"
#include "engine/GLifetime.h"

class SIM_CampaignFleet;

// A fleet's row: its costliest design, its name and its cruisers, frigates
// and fighters. A click also opens the fleet's window.
class GUI_CampaignFleetManagerStrip : public GUI_CampaignManagerStrip {
public:
    explicit GUI_CampaignFleetManagerStrip(SIM_CampaignFleet* fleet);

    // Null once the fleet is gone; the manager rebuilds its rows then.
    SIM_CampaignFleet* GetFleet() const { return m_fleet.Get(); }

protected:
    void OnChosen() override;

private:
    GWatch<SIM_CampaignFleet> m_fleet;
};
