#include "campaign/gui/GUI_CampaignShipDetails.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignDesignDetails.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_ScrapShip.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"

#include <algorithm>

GUI_CampaignShipDetails* GUI_CampaignShipDetails::Open(SIM_CampaignShip* ship)
{
    CloseOpen();
    QLM_ASSERT(ship && ship->design);
    return ship && ship->design ? new GUI_CampaignShipDetails(ship) : nullptr;
}

int GUI_CampaignShipDetails::HeightFor(int moduleCount)
{
    return 46 + 36 + 273 + 15 + 44 * ((moduleCount + 4) / 5);
}

GUI_CampaignShipDetails::GUI_CampaignShipDetails(SIM_CampaignShip* ship) : GUI_Dialog(true), m_ship(ship)
{
    SetOpen(this);
    Follow(m_ship);
    bottomMargin = 36.0f;
    const int modules = static_cast<int>(ship->design->GetModules().size());
    // A name the title bar of the usual width would fold widens the window.
    const std::string title = GetString(ship->name.c_str());
    const float windowWidth =
        std::max(2.0f * sideMargin + 230.0f, static_cast<float>(GUI_TitleBar::WidthForOneLine(title)));
    SetSize(windowWidth, static_cast<float>(HeightFor(modules)));
    Centre();
    SetClientRect();
    m_details = new GUI_CampaignDesignDetails();
    m_details->SetRect(static_cast<float>(clientLeft), static_cast<float>(clientTop), static_cast<float>(clientRight),
                       static_cast<float>(clientBottom));
    m_details->LayOut();
    m_details->SetDesign(ship->design, ship);
    AddChild(m_details);
    AddChildElement(m_details);
    SetTitle(title);
    const int w = (clientRight - clientLeft) / 3;
    const int y0 = bottom - 28, y1 = bottom - 8;
    m_scrap = AddPanelButton(this, "CAMPAIGN_SHIP_SCRAP", OnScrap, 0, clientLeft, y0, clientLeft + w, y1);
    m_rename = AddPanelButton(this, "CAMPAIGN_SHIP_RENAME", OnRename, 0, clientLeft + w, y0, clientLeft + 2 * w, y1);
    m_log = AddPanelButton(this, "CAMPAIGN_SHIP_LOG", OnLog, 0, clientLeft + 2 * w, y0, clientLeft + 3 * w, y1);
    draggable = true;
    GUI_WindowManager::GetInstance().BringToFront(this);
}

GUI_CampaignShipDetails::~GUI_CampaignShipDetails()
{
    ForgetIfOpen(this);
}

void GUI_CampaignShipDetails::OnScrap(std::intptr_t)
{
    if (SIM_CampaignShip* ship = GetOpen() ? GetOpen()->GetShip() : nullptr)
        GUI_ScrapShip::Open(ship);
}

void GUI_CampaignShipDetails::OnRename(std::intptr_t)
{
    if (SIM_CampaignShip* ship = GetOpen() ? GetOpen()->GetShip() : nullptr)
        GUI_FleetRename::OpenForShip(ship);
}

void GUI_CampaignShipDetails::OnLog(std::intptr_t)
{
    if (SIM_CampaignShip* ship = GetOpen() ? GetOpen()->GetShip() : nullptr)
        GUI_ShipsLog::Open(ship);
}

void GUI_CampaignShipDetails::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawChildren();
    LibText::GetInstance().Render();
}
