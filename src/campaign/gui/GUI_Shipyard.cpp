#include "campaign/gui/GUI_Shipyard.h"

#include "app/GUI_Sounds.h"
#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignDesignDetails.h"
#include "campaign/gui/GUI_CampaignDesignPicker.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignShipSummary.h"
#include "campaign/gui/GUI_CampaignWindows.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_ShipyardQuantity.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShipyard.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
int g_rememberedEncounter = -1;
} // namespace

GUI_Shipyard* GUI_Shipyard::Open(SIM_CampaignEncounter* encounter, SIM_CampaignFleet* fleet)
{
    QLM_ASSERT(encounter && fleet);
    // A yard reopened for the same fleet keeps it.
    if (GUI_Shipyard* open = GetOpen(); open && open->m_fleet.Is(fleet))
        open->m_fleet.Reset();
    CloseOpen();
    if (!encounter || !fleet)
        return nullptr;
    return new GUI_Shipyard(encounter, fleet);
}

void GUI_Shipyard::CloseOpen()
{
    if (GUI_Shipyard* open = GetOpen())
        open->ReleaseFleet();
    GUI_OneOpen<GUI_Shipyard>::CloseOpen();
}

int GUI_Shipyard::LeftFor(int screenWidth)
{
    return std::max(0, screenWidth / 2 - 256 - 40 - kWidth);
}

int GUI_Shipyard::GetBuildQuantity()
{
    const GUI_Shipyard* yard = GetOpen();
    if (!yard)
        return 1;
    const int size = GUI_ShipyardQuantity::GetOpen() ? GUI_ShipyardQuantity::GetOpen()->GetQuantity() : 1;
    return SIM_CampaignShipyard::QuantityFor(yard->GetSelectedDesign(), size);
}

void GUI_Shipyard::SelectDesignInOpen(SIM_ShipDesign* design)
{
    if (GUI_Shipyard* open = GetOpen())
        open->SelectDesign(design);
}

void GUI_Shipyard::QuantityChanged()
{
    GUI_Shipyard* yard = GetOpen();
    if (!yard)
        return;
    yard->UpdateBuildButton();
    if (yard->m_picker)
        yard->m_picker->UpdateIcons();
}

GUI_Shipyard::GUI_Shipyard(SIM_CampaignEncounter* encounter, SIM_CampaignFleet* fleet)
    : GUI_Dialog(true), m_encounter(encounter), m_fleet(fleet)
{
    SetOpen(this);
    Follow(m_encounter);
    Follow(m_fleet);
    D3DEngine& engine = D3DEngine::GetInstance();
    const int x = LeftFor(engine.GetScreenWidth());
    const int y = std::max(0, engine.GetScreenHeight() / 2 - kHeight / 2);
    SetName("Shipyard");
    SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kWidth),
            static_cast<float>(y + kHeight));
    topMargin = kTitleHeight;
    bottomMargin = kBottomRoom;
    SetClientRect();
    // Not modal: the planet's shipyard button stays in reach to close it again.
    GUI_WindowManager::GetInstance().BringToFront(this);

    m_details = new GUI_CampaignDesignDetails();
    m_details->SetRect(static_cast<float>(clientLeft), static_cast<float>(clientTop), static_cast<float>(clientLeft + 230),
                       static_cast<float>(clientBottom));
    m_details->GetSummary()->linkedShipyard = this;
    AddChild(m_details);
    AddChildElement(m_details);
    m_picker =
        PlaceChild(new GUI_CampaignDesignPicker(encounter), clientLeft + 242, clientTop, clientRight, clientBottom);
    m_quantity = new GUI_ShipyardQuantity();
    m_quantity->SetRect(static_cast<float>(clientLeft), static_cast<float>(m_details->bottom + 6),
                        static_cast<float>(clientLeft + 270), static_cast<float>(bottom - 9));
    m_quantity->visible = false;
    AddChild(m_quantity);
    AddChildElement(m_quantity);

    SetTitle(GetString(encounter->guiname.c_str()));
    m_tooltips[0] = "CAMP_SHIPYARD_BUILD_TOOLTIP";
    m_tooltips[1] = "CAMP_SHIPYARD_BUILD_TOOLTIP_COST";
    m_tooltips[2] = "CAMP_SHIPYARD_BUILD_TOOLTIP_CREW";
    m_build = AddPanelButton(this, "CAMP_SHIPYARD_BUILD", OnBuild, 0, clientLeft + 280, bottom - 30, clientRight,
                             bottom - 10);
    m_build->SetName("CampaignShipyardBuild");

    m_details->LayOut();
    m_picker->Refresh();
    UpdateBuildButton();
    SetName("CampaignShipyard");
    GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_SHIPYARD");
}

GUI_Shipyard::~GUI_Shipyard()
{
    ForgetIfOpen(this);
    ReleaseFleet();
}

void GUI_Shipyard::ReleaseFleet()
{
    SIM_CampaignFleet* fleet = m_fleet.Get();
    m_fleet.Reset();
    // After every window and battle that could still point at it let go.
    if (!fleet || !fleet->GetShips().empty())
        return;
    GUI_CampaignFleetDetails::CloseForFleet(fleet);
    SIM_CampaignBattleManager::GetInstance().ForgetFleet(fleet);
    SIM_CampaignEncounter* at = fleet->location;
    fleet->DeleteIfEmpty();
    RebuildEncounterView(at);
}

SIM_ShipDesign* GUI_Shipyard::GetSelectedDesign() const
{
    return m_details ? m_details->GetDesign() : nullptr;
}

void GUI_Shipyard::SelectDesign(SIM_ShipDesign* design)
{
    QLM_ASSERT(!design || design->GetHull());
    m_details->SetDesign(design, nullptr);
    m_quantity->visible = design && design->GetHull() && design->GetHull()->GetClass() == 2;
    UpdateBuildButton();
    m_picker->UpdateIcons();
}

void GUI_Shipyard::UpdateBuildButton()
{
    SIM_ShipDesign* design = GetSelectedDesign();
    const int size = m_quantity->GetQuantity();
    const int state = SIM_CampaignShipyard::CheckBuild(m_encounter.Get(), design, size, m_fleet.Get());
    m_buildState = state == SIM_CampaignShipyard::NO_DESIGN ? 0 : state;
    m_build->enabled = state == SIM_CampaignShipyard::BUILDABLE;
    const char* key = m_tooltips[0].c_str();
    if (state == SIM_CampaignShipyard::NO_CASH)
        key = m_tooltips[1].c_str();
    else if (state == SIM_CampaignShipyard::NO_CREW)
        key = m_tooltips[2].c_str();
    else if (state == SIM_CampaignShipyard::WRONG_CLASS)
        key = "SHIPYARD_WRONGCLASS_TOOLTIP";
    else if (state == SIM_CampaignShipyard::FLEET_AWAY)
        key = "SHIPYARD_FLEETAWAY_TOOLTIP";
    m_build->SetTooltip(key);
}

void GUI_Shipyard::OnBuild(std::intptr_t)
{
    GUI_Shipyard* self = GetOpen();
    QLM_ASSERT(self);
    if (!self)
        return;
    SIM_ShipDesign* design = self->GetSelectedDesign();
    SIM_CampaignFleet* fleet = self->GetFleet();
    if (!design || !fleet || !self->GetEncounter())
        return;
    if (!SIM_CampaignShipyard::Build(self->GetEncounter(), fleet, design, self->m_quantity->GetQuantity())) {
        // Refused (the fleet left the planet meanwhile): the button says why.
        self->UpdateBuildButton();
        return;
    }
    self->m_picker->UpdateIcons();
    self->UpdateBuildButton();
    GUI_CampaignFleetDetails::RefreshAll();
    GUI_Sounds::GetInstance().PlayGuiSound(6);
}

void GUI_Shipyard::Draw()
{
    if (!visible)
        return;
    drawButtons = false;
    GUI_Dialog::Draw();
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    DrawButtons();
    LibText::GetInstance().Render();
}

void GUI_Shipyard::RememberForReturn()
{
    const GUI_Shipyard* yard = GetOpen();
    const SIM_CampaignEncounter* at = yard ? yard->GetEncounter() : nullptr;
    g_rememberedEncounter = at ? at->encounterId : -1;
}

void GUI_Shipyard::ReopenRemembered()
{
    const int id = g_rememberedEncounter;
    g_rememberedEncounter = -1;
    // The remembered screen state may have brought it back already.
    if (GetOpen())
        return;
    if (SIM_CampaignEncounter* at = id >= 0 ? SIM_CampaignEncounter::FindByID(id) : nullptr)
        OpenWithNewFleet(at);
}

GUI_Shipyard* GUI_Shipyard::OpenWithNewFleet(SIM_CampaignEncounter* encounter)
{
    QLM_ASSERT(encounter);
    if (!encounter)
        return nullptr;
    auto* fleet = new SIM_CampaignFleet();
    SIM_CampaignProgress::GetInstance().AddFleet(fleet);
    fleet->ChooseRandomName();
    fleet->SetLocation(encounter);
    RebuildEncounterView(encounter);
    return Open(encounter, fleet);
}
