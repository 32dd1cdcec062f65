#include "campaign/gui/GUI_FleetRename.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignNames.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipNameGenerator.h"

GUI_FleetRename* GUI_FleetRename::Open(SIM_CampaignFleet* fleet)
{
    CloseOpen();
    QLM_ASSERT(fleet);
    return fleet ? new GUI_FleetRename(fleet, nullptr) : nullptr;
}

GUI_FleetRename* GUI_FleetRename::OpenForShip(SIM_CampaignShip* ship)
{
    CloseOpen();
    QLM_ASSERT(ship);
    return ship ? new GUI_FleetRename(nullptr, ship) : nullptr;
}

GUI_FleetRename::GUI_FleetRename(SIM_CampaignFleet* fleet, SIM_CampaignShip* ship)
    : GUI_Dialog(true), m_fleet(fleet), m_ship(ship), m_forShip(ship != nullptr)
{
    SetOpen(this);
    if (m_forShip)
        Follow(m_ship);
    else
        Follow(m_fleet);
    bottomMargin = 35.0f;
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetClientRect();
    m_field = PlaceChild(new GUI_TextEditWindow(ship ? ship->name : fleet ? fleet->GetName() : "", kMaxLength),
                         clientLeft + 10, clientTop + 10, clientRight - 10, clientTop + 30);
    const int mid = (left + right) / 2;
    const int y = clientBottom + 10;
    m_random = AddPanelButton(this, "CAMPAIGN_CHOOSE_RANDOM", OnRandom, 0, clientLeft, y, mid - 10, y + 20);
    m_random->SetTooltip(m_forShip ? "CAMPAIGN_CHOOSE_RANDOM_SHIPNAME_TOOLTIP"
                                : "CAMPAIGN_CHOOSE_RANDOM_FLEETNAME_TOOLTIP");
    m_ok = AddPanelButton(this, "CAMPAIGN_OK", OnOK, 0, mid + 10, y, clientRight, y + 20);
    m_ok->SetTooltip(m_forShip ? "CAMPAIGN_SHIP_RENAME_OK_TOOLTIP" : "CAMPAIGN_FLEET_RENAME_OK_TOOLTIP");
    SetTitleKey(m_forShip ? "CAMPAIGN_SHIP_RENAME_TITLE" : "CAMPAIGN_FLEET_RENAME");
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
    // Opened to type a name: the keys go to the field at once, the first one
    // typed replaces the old name, and Enter is OK.
    m_field->onEnter = OnOK;
    m_field->BeginEditing();
    m_field->SelectAll();
}

GUI_FleetRename::~GUI_FleetRename()
{
    ForgetIfOpen(this);
}

void GUI_FleetRename::OnRandom(std::intptr_t)
{
    GUI_FleetRename* open = GetOpen();
    if (!open)
        return;
    SIM_CampaignShip* ship = open->GetShip();
    if (open->m_forShip && !ship)
        return;
    open->m_field->SetText(
        ship ? SIM_ShipNameGenerator::GetInstance().GenerateName(ship->design ? ship->design->GetHull() : nullptr)
             : SIM_CampaignFleetNames::GetInstance().DrawName());
    open->m_field->EndEditing();
}

void GUI_FleetRename::OnOK(std::intptr_t)
{
    GUI_FleetRename* self = GetOpen();
    if (!self)
        return;
    const std::string name = CleanCampaignName(self->m_field->GetText());
    if (name.empty())
        return;
    self->Apply(name);
    SIM_CampaignProgress::GetInstance().Save();
    CloseOpen();
}

void GUI_FleetRename::Apply(const std::string& name)
{
    SIM_CampaignShip* ship = GetShip();
    SIM_CampaignFleet* fleet = GetFleet();
    if (!m_forShip && fleet) {
        fleet->guiName = name;
        SIM_CampaignFleetNames::GetInstance().RemoveName(name);
        // Everything open that shows the fleet's name.
        GUI_CampaignFleetDetails::RefreshAll();
        GUI_PlayerFleetIcon::RefreshAll();
        GUI_CampaignFleetManager::RefreshIfOpen();
        return;
    }
    if (!ship)
        return;
    ship->name = name;
    SIM_ShipNameGenerator::GetInstance().RemoveNameFromAll(name);
    // The tiles' tooltips and the open windows' titles carry the name.
    GUI_CampaignFleetDetails::RefreshAll();
    if (GUI_CampaignShipDetails* details = GUI_CampaignShipDetails::GetOpen())
        if (details->GetShip() == ship)
            details->SetTitle(name);
    if (GUI_ShipsLog* log = GUI_ShipsLog::GetOpen())
        if (log->GetShip() == ship)
            log->RefreshTitle();
}

void GUI_FleetRename::Draw()
{
    if (!visible)
        return;
    m_ok->enabled = !CleanCampaignName(m_field->GetText()).empty();
    drawButtons = false;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    DrawButtons();
    LibText::GetInstance().Render();
}
