#include "campaign/gui/GUI_MapZoomer.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"

#include <algorithm>

GUI_MapZoomer::GUI_MapZoomer(GUI_CampaignMap& map, const IClock* clock) : m_map(map), m_timer(clock) {}

float GUI_MapZoomer::CloseUpSpan(int screenHeight)
{
    return screenHeight < kShortScreen ? static_cast<float>(screenHeight - kShortScreenMargin) : kCloseUpSpan;
}

void GUI_MapZoomer::ZoomTo(GUI_Encounter* element)
{
    QLM_ASSERT(element);
    if (!element)
        return;
    if (element == targetElement && (state == ZOOMING_IN || state == ZOOMED_IN))
        return;
    targetElement = element;
    m_timer.Start();
    m_snap = false;
    const float w = m_map.ViewWidth();
    const float h = m_map.ViewHeight();
    start = {m_map.originX, m_map.originY, m_map.originX + w / m_map.zoom, m_map.originY + h / m_map.zoom};
    if (state == IDLE)
        saved = start;
    state = ZOOMING_IN;
    const SIM_CampaignEncounter* e = element->GetEncounter();
    // A planet without a size would give an endless zoom; it is shown at the
    // largest zoom the wheel allows instead.
    const float span = CloseUpSpan(D3DEngine::GetInstance().GetScreenHeight());
    targetZoom = e->mapIconSize > 0.0f ? span / e->mapIconSize : m_map.maxZoom;
    const float cx = m_map.EncounterX(e);
    const float cy = m_map.EncounterY(e);
    const float hw = w * 0.5f / targetZoom;
    const float hh = h * 0.5f / targetZoom;
    target = {cx - hw, cy - hh, cx + hw, cy + hh};
}

void GUI_MapZoomer::ZoomOut()
{
    if (state != ZOOMED_IN)
        return;
    m_timer.Start();
    m_snap = false;
    state = ZOOMING_OUT;
    start = target;
    target = saved;
    // The planet's windows go with the close-up: its details and its yard.
    CloseEncounterDetails();
    GUI_Shipyard::CloseOpen();
}

void GUI_MapZoomer::Apply(const Rect& r)
{
    m_map.ZoomToRect(r.left, r.top, r.right, r.bottom);
}

void GUI_MapZoomer::Update()
{
    if (state == IDLE)
        return;
    if (state == ZOOMED_IN) {
        Apply(target);
        return;
    }
    m_timer.Update();
    const double t = m_snap ? 1.0 : m_timer.GetTotalMs() / kDurationMs;
    if (t < 1.0) {
        const float f = static_cast<float>(std::clamp(t, 0.0, 1.0));
        Rect r;
        r.left = start.left + (target.left - start.left) * f;
        r.top = start.top + (target.top - start.top) * f;
        r.right = start.right + (target.right - start.right) * f;
        r.bottom = start.bottom + (target.bottom - start.bottom) * f;
        Apply(r);
        return;
    }
    Apply(target);
    m_snap = false;
    if (state == ZOOMING_IN) {
        state = ZOOMED_IN;
        if (targetElement)
            ShowEncounterDetails(targetElement->GetEncounter());
    } else {
        state = IDLE;
    }
}

bool GUI_MapZoomer::RestoreTarget(const std::string& encounterName)
{
    SIM_Campaign* campaign = m_map.GetCampaign();
    SIM_CampaignEncounter* e = campaign ? campaign->FindEncounterByName(encounterName) : nullptr;
    GUI_Encounter* view = m_map.FindView(e);
    if (!view)
        return false;
    state = IDLE;
    ZoomTo(view);
    m_snap = true;
    return true;
}
