#include "campaign/gui/GUI_PlayerFleetIcon.h"

#include "app/GUI_Sounds.h"
#include "campaign/gui/GUI_CampaignAttackArrow.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignFleetMerger.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_Tutorial.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>
#include <cmath>

namespace {
GUI_PlayerFleetIcon* g_dragged = nullptr;

std::vector<GUI_PlayerFleetIcon*>& List()
{
    static std::vector<GUI_PlayerFleetIcon*> list;
    return list;
}

float Distance(float ax, float ay, float bx, float by)
{
    return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
}
} // namespace

GUI_PlayerFleetIcon::GUI_PlayerFleetIcon(SIM_CampaignFleet* fleet) : m_fleet(fleet)
{
    kind = FLEET;
    draggable = true;
    m_empty = !fleet || fleet->GetShips().empty();
    showLargeIcon = !m_empty;
    if (!m_empty)
        if (SIM_ShipDesign* design = fleet->GetMostExpensiveDesign(); design && design->GetHull())
            m_large.SetTexture(design->GetHull()->GetSprite());
    m_small.SetTexture("fleeticons.dds");
    m_small.SetFrame(2, 4);
    m_battleText = GetString("FLEETICON_BATTLEPENDING");
    m_movedText = GetString("FLEETICON_MOVED");
    List().push_back(this);
    SetName("CAMPAIGN_FLEETICON");
    RefreshTooltip();
}

GUI_PlayerFleetIcon::~GUI_PlayerFleetIcon()
{
    if (g_dragged == this)
        g_dragged = nullptr;
    auto& list = List();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

GUI_PlayerFleetIcon* GUI_PlayerFleetIcon::GetDragged()
{
    return g_dragged;
}

void GUI_PlayerFleetIcon::ForgetDragged()
{
    g_dragged = nullptr;
}

const std::vector<GUI_PlayerFleetIcon*>& GUI_PlayerFleetIcon::GetAll()
{
    return List();
}

void GUI_PlayerFleetIcon::RefreshAll()
{
    for (GUI_PlayerFleetIcon* icon : List())
        icon->RefreshTooltip();
}

bool GUI_PlayerFleetIcon::IsInBattle(const SIM_CampaignFleet* fleet)
{
    if (!fleet)
        return false;
    if (fleet->attacking)
        return true;
    for (const auto& b : SIM_CampaignBattleManager::GetInstance().GetPending())
        if (std::find(b->fleets.begin(), b->fleets.end(), fleet) != b->fleets.end())
            return true;
    return false;
}

int GUI_PlayerFleetIcon::SmallFrame() const
{
    if (IsInBattle(GetFleet()))
        return 1;
    return GetFleet() && GetFleet()->HasMovedShip() ? 0 : 2;
}

void GUI_PlayerFleetIcon::RefreshTooltip()
{
    if (!GetFleet())
        return;
    m_tooltip = std::make_unique<GUI_Tooltip>(GetFleet()->GetName(), 20);
    if (IsInBattle(GetFleet()))
        m_tooltip->AddLine(m_battleText);
    else if (GetFleet()->HasMovedShip())
        m_tooltip->AddLine(m_movedText);
}

bool GUI_PlayerFleetIcon::OnLeftClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    m_pressed = true;
    m_pressX = x;
    m_pressY = y;
    return true;
}

void GUI_PlayerFleetIcon::StartDrag()
{
    if (GUI_Cursor::GetInstance().GetDraggedWindow())
        return;
    g_dragged = this;
    m_dragStarted = false;
    const CInput& input = CInput::GetInstance();
    m_dragStartX = input.GetMouseX();
    m_dragStartY = input.GetMouseY();
    GUI_WindowBase::StartDrag();
    GUI_Sounds::GetInstance().PlayGuiSound(0);
}

void GUI_PlayerFleetIcon::UpdatePreview()
{
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    if (!map || !GetFleet() || GetFleet()->HasMovedShip())
        return;
    GUI_Encounter* under = map->FindHighlightedEncounterUnderMouse();
    if (!under || under->GetEncounter() == GetFleet()->location)
        return;
    GUI_CampaignAttackArrow::GetInstance().SetPreview(
        GetFleet()->location, under->GetEncounter(),
        under->IsPlayerOwned() ? GUI_CampaignAttackArrow::MOVE : GUI_CampaignAttackArrow::ATTACK);
}

void GUI_PlayerFleetIcon::Draw()
{
    const CInput& input = CInput::GetInstance();
    if (g_dragged == this && m_dragging) {
        UpdatePreview();
        if (!m_dragStarted &&
            Distance(input.GetMouseX(), input.GetMouseY(), m_dragStartX, m_dragStartY) > kDragPixels) {
            m_dragStarted = true;
            if (GUI_CampaignMap* map = GUI_CampaignMap::Get())
                map->HighlightMoveTargets(GetFleet() ? GetFleet()->location : nullptr);
        }
    }
    D3DEngine::GetInstance().SetNormalBlend();
    m_small.SetFrame(SmallFrame(), 4);
    GUI_EncounterIcon::Draw();
    if (m_smallAlpha > 0.0f && showLargeIcon && !m_large.GetTextureName().empty() && SmallShown()) {
        const float cx = (left + right) * 0.5f;
        const float cy = (top + bottom) * 0.5f;
        m_large.SetSize((right - left) * 0.75f, (bottom - top) * 0.75f);
        m_large.PlaceCentred(cx, cy);
        m_large.SetColour((static_cast<uint32_t>(m_smallAlpha * 255.0f) << 24) | 0xFFFFFFu);
        BeforeLargeIcon();
        m_large.Draw();
        AfterLargeIcon();
    }
    if (m_pressed && !input.IsLeftButtonDown()) {
        m_pressed = false;
        if (Distance(input.GetMouseX(), input.GetMouseY(), m_pressX, m_pressY) < kClickPixels)
            SIM_CampaignScreenHooks::Get().ShowFleetDetails(GetFleet());
    }
}

void GUI_PlayerFleetIcon::BeforeLargeIcon()
{
    D3DEngine::GetInstance().SetFlatColour(true);
}

void GUI_PlayerFleetIcon::AfterLargeIcon()
{
    D3DEngine::GetInstance().SetFlatColour(false);
}

void GUI_PlayerFleetIcon::EndDrag()
{
    m_dragging = false;
    g_dragged = nullptr;
    if (GUI_CampaignMap* map = GUI_CampaignMap::Get())
        map->HighlightMoveTargets(nullptr);
}

void GUI_PlayerFleetIcon::OnDragEnd()
{
    // The cursor and the window's own drag both report the release: once is enough.
    if (g_dragged != this)
        return;
    GUI_Sounds& sounds = GUI_Sounds::GetInstance();
    sounds.PlayGuiSound(0);
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    for (GUI_PlayerFleetIcon* other : List()) {
        if (other == this || !other->IsMouseOver() || !other->GetFleet() || !GetFleet())
            continue;
        if (other->GetFleet()->location != GetFleet()->location)
            continue;
        sounds.PlayGuiSound(0);
        SIM_CampaignFleetMerger::SetMergePair(GetFleet(), other->GetFleet());
        EndDrag();
        GUI_Encounter::RefreshAll();
        return;
    }
    if (!GetFleet() || GetFleet()->HasMovedShip()) {
        GUI_Encounter::RefreshAll();
    } else if (GetFleet()->IsImmobile()) {
        GUI_Encounter::RefreshAll();
        GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_FLEET_ENTIRELY_UNMOVABLE");
    } else if (!map || !map->IsIconOverEncounter(this)) {
        GUI_Encounter::RefreshAll();
    }
    // The dropped icon may belong to a planet that rebuilds its row: it is
    // only touched before that happens.
    EndDrag();
    GUI_Encounter::RefreshAll();
}
