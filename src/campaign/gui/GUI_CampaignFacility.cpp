#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/gui/GUI_CampaignRepairs.h"

#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Tooltip.h"

#include <algorithm>

std::string GUI_CampaignFacility::ShipyardClassesText(const std::string& typeName)
{
    std::string text = GetString("FACILITY_REPAIR_FIGHTER");
    if (typeName == "shipyarda" || typeName == "shipyardb")
        text += std::string(",") + GetString("FACILITY_REPAIR_FRIGATE");
    if (typeName == "shipyarda")
        text += std::string(",") + GetString("FACILITY_REPAIR_CRUISER");
    return text;
}

float GUI_CampaignFacility::ValueFontSize(int valueWidth, int room)
{
    if (valueWidth <= room || valueWidth <= 0)
        return 16.0f;
    return std::max(10.0f, 16.0f * static_cast<float>(std::max(room, 0)) / static_cast<float>(valueWidth));
}

GUI_CampaignFacility::GUI_CampaignFacility(SIM_CampaignFacility* facility) : m_facility(facility)
{
    QLM_ASSERT(facility && facility->GetType());
    Follow(m_facility);
    const SIM_CampaignFacilityType* type = facility ? facility->GetType() : nullptr;
    if (!type)
        return;
    const auto self = reinterpret_cast<std::intptr_t>(this);
    m_tooltip = std::make_unique<GUI_Tooltip>(GetString(type->description.c_str()), 30);
    m_name = GetString(type->guiName.c_str());
    const SIM_CampaignEncounter* at = facility->GetEncounter();
    switch (type->facilityClass) {
    case SIM_CampaignFacilityType::REPAIRYARD: {
        m_button = new GUI_ButtonText("FACILITY_USE_REPAIRYARD", OnUse, self);
        m_button->SetTooltip("FACILITY_USE_REPAIRYARD_TOOLTIP");
        const bool needed = at && std::any_of(at->fleets.begin(), at->fleets.end(),
                                              [](const SIM_CampaignFleet* f) { return f->NeedsRepair(); });
        m_button->enabled = needed;
        m_context = GetString("FACILITY_REPAIRYARD_CONTEXT");
        m_value = StrFormat("%s,%s,%s", GetString("FACILITY_REPAIR_FIGHTER"), GetString("FACILITY_REPAIR_FRIGATE"),
                            GetString("FACILITY_REPAIR_CRUISER"));
        break;
    }
    case SIM_CampaignFacilityType::SHIPYARD:
        m_button = new GUI_ButtonText("FACILITY_USE_SHIPYARD", OnUse, self);
        m_button->SetTooltip("FACILITY_USE_SHIPYARD_TOOLTIP");
        m_button->SetName("CampaignBuildShips");
        m_context = GetString("FACILITY_SHIPYARD_CONTEXT");
        m_value = ShipyardClassesText(type->typeName);
        break;
    case SIM_CampaignFacilityType::FACTORY:
        m_context = GetString("FACILITY_FACTORY_CONTEXT");
        m_value = FormatThousands(static_cast<long long>(facility->GetCurrentCash())) + " CR";
        break;
    case SIM_CampaignFacilityType::ACADEMY:
        m_context = GetString("FACILITY_ACADEMY_CONTEXT");
        m_value = StrFormat("%d", static_cast<int>(facility->GetCurrentCrew()));
        break;
    default: break;
    }
    if (m_button) {
        if (!at || at->territory != SIM_CampaignEncounter::PLAYER)
            m_button->enabled = false;
        m_button->SetOwner(this);
        AddButton(m_button);
    }
}

GUI_CampaignFacility::~GUI_CampaignFacility() = default;

void GUI_CampaignFacility::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    if (!m_button)
        return;
    // The button keeps to the panel's lower right corner as the panel moves.
    RemoveChildElement(m_button);
    m_button->SetRect(r - 150.0f, b - 25.0f, r - 10.0f, b - 5.0f);
    AddChildElement(m_button);
}

void GUI_CampaignFacility::OnUse(std::intptr_t panel)
{
    const auto* self = reinterpret_cast<const GUI_CampaignFacility*>(panel);
    if (SIM_CampaignFacility* facility = self ? self->GetFacility() : nullptr)
        UseFacility(reinterpret_cast<std::intptr_t>(facility));
}

void GUI_CampaignFacility::UseFacility(std::intptr_t argument)
{
    auto* facility = reinterpret_cast<SIM_CampaignFacility*>(argument);
    QLM_ASSERT(facility && facility->GetType());
    if (!facility || !facility->GetType())
        return;
    SIM_CampaignEncounter* at = facility->GetEncounter();
    const std::string& name = facility->GetType()->typeName;
    if (name == "shipyarda" || name == "shipyardb" || name == "shipyardc") {
        // The button toggles the yard.
        if (GUI_Shipyard::GetOpen()) {
            GUI_Shipyard::CloseOpen();
            return;
        }
        auto* fleet = new SIM_CampaignFleet();
        SIM_CampaignProgress::GetInstance().AddFleet(fleet);
        fleet->ChooseRandomName();
        fleet->SetLocation(at);
        SIM_CampaignScreenHooks::Get().RefreshEncounterView(at);
        GUI_Shipyard::Open(at, fleet);
        return;
    }
    if (name == "repairyard" && at && !at->fleets.empty()) {
        // The first fleet here with damage: an undamaged one has nothing to show.
        const auto damaged = std::find_if(at->fleets.begin(), at->fleets.end(),
                                          [](const SIM_CampaignFleet* f) { return f->NeedsRepair(); });
        if (damaged == at->fleets.end())
            return;
        CloseEncounterDetails();
        GUI_CampaignRepairs::Open(*damaged);
    }
}

void GUI_CampaignFacility::Update()
{
    GUI_WindowBase::Update();
    if (m_tooltip && IsMouseOver()) {
        const CInput& input = CInput::GetInstance();
        m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
        m_tooltip->CheckShowTime();
    }
}

void GUI_CampaignFacility::Draw()
{
    if (!visible)
        return;
    DrawNamedFrame("textbox_darken.dds", 16.0f, 0.5f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(0, m_name, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.SetText(0, m_context, static_cast<float>(left + 10), static_cast<float>(top + 20), 0xFFFFFFFFu, 0.0f);
    // The value keeps to the right of its label, smaller when it must.
    const int boxLeft = std::max(right - 200, left + 10 + text.GetTextWidth(m_context) + 10);
    const int room = right - 10 - boxLeft;
    const float size = ValueFontSize(text.GetTextWidth(m_value), room);
    text.SetFont("zekton16.dds", size);
    text.SetText(1, m_value, static_cast<float>(boxLeft), static_cast<float>(top + 20) + (16.0f - size) * 0.5f,
                 0xFFFFFFFFu, static_cast<float>(room));
    text.SetFont("zekton16.dds", 16.0f);
    text.Render();
    if (m_tooltip && IsMouseOver())
        m_tooltip->Draw();
}
