#include "campaign/gui/GUI_CampaignFleetManagerStrip.h"

#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

GUI_CampaignFleetManagerStrip::GUI_CampaignFleetManagerStrip(SIM_CampaignFleet* fleet)
    : GUI_CampaignManagerStrip(fleet->location), m_fleet(fleet)
{
    const SIM_ShipDesign* design = fleet->GetMostExpensiveDesign();
    QLM_ASSERT(design);
    if (design && design->GetHull())
        m_icon.SetTexture(design->GetHull()->GetSprite());
    m_first = fleet->GetName();
    m_second = StrFormat("CRx%d FRx%d Fix%d", fleet->CountShipsOfClass(0), fleet->CountShipsOfClass(1),
                         fleet->CountShipsOfClass(2));
    m_tooltip = std::make_unique<GUI_Tooltip>(m_first, 20);
}

void GUI_CampaignFleetManagerStrip::OnChosen()
{
    if (SIM_CampaignFleet* fleet = GetFleet())
        GUI_CampaignFleetDetails::ShowForFleet(fleet);
}
