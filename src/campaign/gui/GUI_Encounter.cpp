#include "campaign/gui/GUI_Encounter.h"

#include "sim/SIM_Options.h"
#include "campaign/gui/GUI_CampaignAttackArrow.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_EncounterIcon.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/gui/GUI_PlanetIndicator.h"
#include "campaign/gui/GUI_PlanetName.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/gui/GUI_Territory.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/Effect.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_WindowManager.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_Tutorial.h"

#include <algorithm>
#include <cmath>

namespace {
std::vector<GUI_Encounter*>& List()
{
    static std::vector<GUI_Encounter*> list;
    return list;
}

float Threat(const SIM_CampaignEncounter* e)
{
    return e->ai ? e->ai->threat.value : 0.0f;
}
} // namespace

Effect* GUI_Encounter::s_planetShader = nullptr;

void GUI_Encounter::SetPlanetShader(Effect* effect)
{
    s_planetShader = effect;
}

Effect* GUI_Encounter::GetPlanetShader()
{
    return s_planetShader;
}

GUI_Encounter::GUI_Encounter(SIM_CampaignEncounter* encounter) : m_encounter(encounter)
{
    QLM_ASSERT(encounter);
    List().push_back(this);
    UpdateTexture();
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    m_size = encounter->mapIconSize * (map ? map->zoom : 1.0f);
    SetSize(m_size, m_size);
    m_sprite.SetSize(m_size, m_size);
    RebuildIcons();
    LayOut();
    m_loyaltyLabel = GetString("ENCOUNTER_TOOLTIP_LOYALTY");
    m_threatLabel = GetString("ENCOUNTER_TOOLTIP_THREAT");
    m_tooltip = std::make_unique<GUI_Tooltip>("", 30);
    RefreshTooltip();
    m_territory = std::make_unique<GUI_Territory>(*this);
    m_name = std::make_unique<GUI_PlanetName>(*this);
    swallowsClicks = false;
    raisesOnClick = false;
    claimsMouse = false;
    SetName("CampaignEncounter");
}

GUI_Encounter::~GUI_Encounter()
{
    DeleteIcons();
    auto& list = List();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<GUI_Encounter*>& GUI_Encounter::GetAll()
{
    return List();
}

GUI_Encounter* GUI_Encounter::Find(const SIM_CampaignEncounter* encounter)
{
    for (GUI_Encounter* v : List())
        if (v->m_encounter == encounter)
            return v;
    return nullptr;
}

bool GUI_Encounter::IsPlayerOwned() const
{
    return m_encounter->territory == SIM_CampaignEncounter::PLAYER;
}

void GUI_Encounter::UpdateTexture()
{
    // Runs every frame with the camera: the texture is looked up only when it changes.
    const bool player = IsPlayerOwned();
    const bool own = player || s_planetShader;
    if (own != m_showsOwnPicture || m_sprite.GetTextureName().empty()) {
        // Without the planet shader an unexplored world shows as the unknown picture.
        m_sprite.SetTexture(own ? m_encounter->GetIcon() : std::string("planet_unknown.dds"));
        m_showsOwnPicture = own;
    }
    if (player || s_planetShader)
        m_sprite.SetColour(selectable ? 0xFFFFFFFFu : player ? 0x80FFFFFFu : kDimmed);
    else
        m_sprite.SetColour(selectable ? 0x80FFFFFFu : kDimmed);
}

void GUI_Encounter::DeleteIcons()
{
    for (GUI_EncounterIcon* i : m_facilityIcons)
        delete i;
    m_facilityIcons.clear();
    for (GUI_PlayerFleetIcon* i : m_fleetIcons)
        delete i;
    m_fleetIcons.clear();
}

void GUI_Encounter::RebuildIcons()
{
    DeleteIcons();
    for (const auto& facility : m_encounter->facilities) {
        if (!facility || !facility->GetType())
            continue;
        auto* icon = new GUI_EncounterIcon();
        icon->SetFacility(facility.get());
        AddChild(icon);
        m_facilityIcons.push_back(icon);
    }
    for (SIM_CampaignFleet* fleet : m_encounter->fleets) {
        QLM_ASSERT(fleet->location == m_encounter);
        auto* icon = new GUI_PlayerFleetIcon(fleet);
        AddChild(icon);
        m_fleetIcons.push_back(icon);
    }
    LayOut();
}

void GUI_Encounter::LayOut()
{
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    float cx = 0.0f;
    float cy = 0.0f;
    float z = 1.0f;
    if (map) {
        z = map->zoom;
        cx = std::trunc(map->ToScreenX(map->EncounterX(m_encounter)));
        cy = map->ToScreenY(map->EncounterY(m_encounter));
    }
    m_centreX = cx;
    m_centreY = cy;
    const int half = static_cast<int>(m_size) / 2;
    left = static_cast<int>(cx) - half;
    top = static_cast<int>(cy) - half;
    right = left + static_cast<int>(m_size);
    bottom = top + static_cast<int>(m_size);
    width = right - left;
    height = bottom - top;
    m_sprite.PlaceCentred((left + right) * 0.5f, (top + bottom) * 0.5f);

    const float s = z * kFacilityIconPerZoom;
    const float mid = (left + right) * 0.5f;
    float x = mid - m_facilityIcons.size() * s * 0.5f;
    for (GUI_EncounterIcon* icon : m_facilityIcons) {
        icon->SetRect(x, top - s, x + s, static_cast<float>(top));
        x += s;
    }
    const float f = s * kFleetIconScale;
    x = mid - m_fleetIcons.size() * f * 0.5f;
    for (GUI_PlayerFleetIcon* icon : m_fleetIcons) {
        // The icon in the player's hand keeps its place in the row.
        if (!icon->IsDragging())
            icon->SetRect(x, static_cast<float>(bottom), x + f, bottom + f);
        x += f;
    }
}

void GUI_Encounter::Refresh()
{
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    m_size = m_encounter->mapIconSize * (map ? map->zoom : 1.0f);
    m_sprite.SetSize(m_size, m_size);
    LayOut();
    if (m_territory)
        m_territory->RefreshColour();
    UpdateTexture();
}

void GUI_Encounter::RefreshTooltip()
{
    if (!m_tooltip)
        return;
    m_tooltip = std::make_unique<GUI_Tooltip>(GetString(m_encounter->guiname.c_str()), 30);
    if (IsPlayerOwned()) {
        m_tooltip->AddLine(StrFormat("%s : %.2f%%", m_loyaltyLabel.c_str(), m_encounter->loyalty.value * 100.0f));
        m_tooltip->AddLine(StrFormat("%s : %.2f%%", m_threatLabel.c_str(), Threat(m_encounter) * 100.0f));
    }
    for (GUI_EncounterIcon* icon : m_facilityIcons)
        icon->RefreshTooltip();
}

void GUI_Encounter::SetSelectable(bool on)
{
    selectable = on;
    UpdateTexture();
    for (GUI_EncounterIcon* icon : m_facilityIcons)
        icon->selectable = on;
}

bool GUI_Encounter::IsMouseOverPlanet() const
{
    const CInput& input = CInput::GetInstance();
    const float dx = input.GetMouseX() - m_centreX;
    const float dy = input.GetMouseY() - m_centreY;
    return std::sqrt(dx * dx + dy * dy) < m_size * 0.5f;
}

void GUI_Encounter::Update()
{
    if (!visible)
        return;
    const bool dragging = GUI_Cursor::GetInstance().GetDraggedWindow() != nullptr;
    const bool covered = GUI_WindowManager::GetInstance().IsMouseOverWindow();
    if (!dragging && !covered && IsMouseOver()) {
        // A click anywhere on the planet's square zooms: the hand says so
        // over all of it, not only over the disc.
        GUI_Cursor::GetInstance().SetHand();
        if (m_tooltip)
            m_tooltip->CheckShowTime();
    }
    for (size_t i = 0; i < m_childWindows.size(); ++i)
        m_childWindows[i]->Update();
}

bool GUI_Encounter::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    for (size_t i = 0; i < m_childWindows.size(); ++i)
        if (m_childWindows[i]->OnLeftClick(x, y))
            return true;
    if (!Contains(x, y))
        return false;
    if (GUI_CampaignMap* map = GUI_CampaignMap::Get()) {
        GUI_MapZoomer& zoomer = map->GetZoomer();
        if (zoomer.state == GUI_MapZoomer::IDLE)
            zoomer.ZoomTo(this);
        else if (zoomer.state == GUI_MapZoomer::ZOOMED_IN)
            zoomer.ZoomOut();
    }
    return true;
}

bool GUI_Encounter::DropFleet(GUI_PlayerFleetIcon* icon)
{
    QLM_ASSERT(m_territory);
    if (!selectable || !IsMouseOverPlanet() || !icon || !icon->GetFleet())
        return false;
    SIM_CampaignFleet* fleet = icon->GetFleet();
    if (fleet->SplitOffImmobileShips())
        GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_UNMOVABLE_FLEET_SPLIT");
    SIM_CampaignEncounter* from = fleet->location;
    if (from && from != m_encounter) {
        fleet->MarkMoved();
        fleet->SetLocation(m_encounter);
        fleet->LogWarp(from, m_encounter);
        const bool attack = !IsPlayerOwned();
        // Only an attack has a way back; a fleet that moved between planets
        // of ours falls back, if ever, to a planet of ours nearby.
        fleet->origin = attack ? from : nullptr;
        if (attack)
            SIM_CampaignBattleManager::GetInstance().AddPlayerAttack(m_encounter, fleet);
        GUI_CampaignAttackArrow::GetInstance().AddArrow(from, m_encounter,
                                                        attack ? GUI_CampaignAttackArrow::ATTACK
                                                               : GUI_CampaignAttackArrow::MOVE);
        dirty = true;
        if (GUI_Encounter* old = Find(from))
            old->dirty = true;
        // An order is kept as it is given: Quit, or a game closed, leaves it standing.
        SIM_CampaignProgress::GetInstance().Save();
    } else if (fleet->GetShips().empty() || icon->GetParent() != this) {
        dirty = true;
    }
    return true;
}

void GUI_Encounter::DrawIcons()
{
    for (GUI_EncounterIcon* icon : m_facilityIcons)
        icon->Draw();
    for (GUI_PlayerFleetIcon* icon : m_fleetIcons)
        if (!icon->IsDragging())
            icon->Draw();
}

void GUI_Encounter::DrawHighlight()
{
    if (!highlight)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    const float h = m_size * 0.5f;
    const float cx = m_centreX;
    const float cy = m_centreY;
    engine.DrawLine(cx - h, cy - h, cx - h, cy + h, kHighlightColour);
    engine.DrawLine(cx + h, cy - h, cx + h, cy + h, kHighlightColour);
    engine.DrawLine(cx - h, cy - h, cx + h, cy - h, kHighlightColour);
    engine.DrawLine(cx - h, cy + h, cx + h, cy + h, kHighlightColour);
}

void GUI_Encounter::DrawAll()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    // Others' planets first, the player's on top of them.
    for (int pass = 0; pass < 2; ++pass) {
        const bool shaded = pass == 0 && s_planetShader && s_planetShader->Begin();
        for (GUI_Encounter* v : List()) {
            if (v->IsPlayerOwned() != (pass == 1))
                continue;
            if (v->m_sprite.IsOnScreen())
                v->m_sprite.Draw();
            if (v->m_tooltip)
                v->m_tooltip->Draw();
        }
        if (shaded)
            s_planetShader->End();
    }
    for (GUI_Encounter* v : List())
        for (int side = 0; side < 2; ++side)
            GUI_PlanetIndicator::Draw(*v, side, GUI_PlanetIndicator::CLOSE_UP);
    for (GUI_Encounter* v : List()) {
        v->DrawHighlight();
        for (int side = 0; side < 2; ++side)
            GUI_PlanetIndicator::Draw(*v, side, GUI_PlanetIndicator::MAP);
    }
    engine.SetNormalBlend();
    for (GUI_Encounter* v : List()) {
        if (v->dirty) {
            v->RebuildIcons();
            v->Refresh();
            v->dirty = false;
        }
        v->DrawIcons();
    }
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    if (map && map->show[GUI_CampaignMap::LAYER_NAMES])
        for (GUI_Encounter* v : List())
            v->m_name->Draw();
    text.Render();
}

void GUI_Encounter::RefreshAll()
{
    for (GUI_Encounter* v : List())
        v->Refresh();
}

void GUI_Encounter::RefreshAllTooltips()
{
    for (GUI_Encounter* v : List())
        v->RefreshTooltip();
}
