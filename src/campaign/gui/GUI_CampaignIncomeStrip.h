#pragma once
#include "campaign/gui/GUI_CampaignManagerStrip.h"

class SIM_CampaignFacility;

// A factory's row: what it will earn this turn, and the loyalty of its
// planet that scales it.
class GUI_CampaignIncomeStrip : public GUI_CampaignManagerStrip {
public:
    explicit GUI_CampaignIncomeStrip(SIM_CampaignFacility* facility) : GUI_CampaignIncomeStrip(facility, false) {}

    SIM_CampaignFacility* GetFacility() const { return m_facility; }

protected:
    GUI_CampaignIncomeStrip(SIM_CampaignFacility* facility, bool recruits);

private:
    SIM_CampaignFacility* m_facility;
};

// An academy's row: the crew it will train this turn, the same way.
class GUI_CampaignRecruitStrip : public GUI_CampaignIncomeStrip {
public:
    explicit GUI_CampaignRecruitStrip(SIM_CampaignFacility* facility) : GUI_CampaignIncomeStrip(facility, true) {}
};
