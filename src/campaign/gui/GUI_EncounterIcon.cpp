#include "campaign/gui/GUI_EncounterIcon.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_WindowManager.h"
#include "gui/GUI_Tooltip.h"

#include <algorithm>

GUI_EncounterIcon::GUI_EncounterIcon()
{
    m_frame.SetTexture("encounter_icon.dds");
    swallowsClicks = false;
    raisesOnClick = false;
    claimsMouse = false;
}

GUI_EncounterIcon::~GUI_EncounterIcon() = default;

float GUI_EncounterIcon::LargeAlpha(float zoom)
{
    if (zoom <= kFadeStartZoom)
        return 0.0f;
    return std::clamp((zoom - kFadeStartZoom) / kFadeSpan, 0.0f, 1.0f);
}

void GUI_EncounterIcon::SetFacility(SIM_CampaignFacility* facility)
{
    QLM_ASSERT(facility && facility->GetType());
    if (!facility || !facility->GetType())
        return;
    m_facility = facility;
    const SIM_CampaignFacilityType* type = facility->GetType();
    // "0" marks a type without a large picture: only its frame shows close up.
    if (!type->hideficon.empty() && type->hideficon != "0")
        m_large.SetTexture(type->hideficon);
    m_small.SetTexture("encounter_icons.dds");
    m_small.SetFrame(std::clamp(type->iconId, 0, 15), 16);
    if (type->facilityClass == SIM_CampaignFacilityType::FACTORY)
        m_extraLine = GetString("CAMPAIGN_FACTORY_TOOLTIP_EXTRA");
    else if (type->facilityClass == SIM_CampaignFacilityType::ACADEMY)
        m_extraLine = GetString("CAMPAIGN_ACADEMY_TOOLTIP_EXTRA");
    m_tooltip = std::make_unique<GUI_Tooltip>(GetString(type->guiName.c_str()), 20);
    RefreshTooltip();
}

void GUI_EncounterIcon::RefreshTooltip()
{
    if (kind != FACILITY || !m_facility)
        return;
    const SIM_CampaignFacilityType* type = m_facility->GetType();
    const bool factory = type->facilityClass == SIM_CampaignFacilityType::FACTORY;
    if (!factory && type->facilityClass != SIM_CampaignFacilityType::ACADEMY)
        return;
    m_tooltip = std::make_unique<GUI_Tooltip>(GetString(type->guiName.c_str()), 20);
    const SIM_CampaignEncounter* e = m_facility->GetEncounter();
    if (e && e->territory == SIM_CampaignEncounter::PLAYER) {
        const int current = static_cast<int>(factory ? m_facility->GetCurrentCash() : m_facility->GetCurrentCrew());
        const int perTurn = static_cast<int>(type->attributes.GetValue(factory ? "cash_per_turn" : "crew_per_turn"));
        m_tooltip->AddLine(StrFormat("%d / %d  %s", current, perTurn, m_extraLine.c_str()));
    }
}

void GUI_EncounterIcon::Update()
{
    // A window over the map has the mouse: no hand through it.
    const bool covered = GUI_WindowManager::GetInstance().IsMouseOverWindow();
    GUI_WindowBase::Update();
    if (!covered && IsMouseOver() && !GUI_Cursor::GetInstance().GetDraggedWindow()) {
        // Facility and fleet icons take a click (and fleets a drag).
        GUI_Cursor::GetInstance().SetHand();
        if (m_tooltip)
            m_tooltip->CheckShowTime();
    }
}

bool GUI_EncounterIcon::SmallShown() const
{
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    if (!map)
        return true;
    return map->show[kind == FLEET ? GUI_CampaignMap::LAYER_FLEETS : GUI_CampaignMap::LAYER_FACILITIES];
}

void GUI_EncounterIcon::Draw()
{
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    const float z = map ? map->zoom : 1.0f;
    m_largeAlpha = LargeAlpha(z);
    m_smallAlpha = 1.0f - m_largeAlpha;
    const float cx = (left + right) * 0.5f;
    const float cy = (top + bottom) * 0.5f;
    const float w = static_cast<float>(right - left);
    const float h = static_cast<float>(bottom - top);
    if (m_largeAlpha > 0.0f) {
        m_frame.SetSize(w, h);
        m_frame.PlaceCentred(cx, cy);
        if (m_frame.IsOnScreen()) {
            const float a = selectable ? m_largeAlpha : std::min(m_largeAlpha, kUnselectableAlpha);
            const uint32_t colour = (static_cast<uint32_t>(a * 255.0f) << 24) | 0xFFFFFFu;
            m_frame.SetColour(colour);
            m_frame.Draw();
            if (showLargeIcon && !m_large.GetTextureName().empty()) {
                m_large.SetSize(w * 0.75f, h * 0.75f);
                m_large.PlaceCentred(cx, cy);
                m_large.SetColour(colour);
                BeforeLargeIcon();
                m_large.Draw();
                AfterLargeIcon();
            }
        }
    }
    if (!SmallShown())
        return;
    if (m_smallAlpha > 0.0f && showLargeIcon) {
        const float a = selectable ? m_smallAlpha : std::min(m_smallAlpha, kUnselectableAlpha);
        m_small.SetSize(w, h);
        m_small.PlaceCentred(cx, cy);
        m_small.SetColour((static_cast<uint32_t>(a * 255.0f) << 24) | 0xFFFFFFu);
        m_small.Draw();
    } else if (m_tooltip) {
        m_tooltip->Draw();
    }
}
