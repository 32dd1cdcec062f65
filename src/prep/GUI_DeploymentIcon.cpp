#include "prep/GUI_DeploymentIcon.h"

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_BehaviourPicker.h"
#include "prep/GUI_DeployedShipModuleIcon.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIconRCMenu.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentShipDetails.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_RandomShipName.h"
#include "prep/GUI_RangeBehaviorEditor.h"
#include "prep/GUI_SquadronSize.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>
#include <cmath>

const int GUI_DeploymentIcon::kSquadronLayout[16] = {12, 4, 6, 13, 8, 1, 2, 10, 9, 0, 3, 11, 14, 5, 7, 15};

namespace {
std::vector<GUI_DeploymentIcon*> g_icons;
std::vector<GUI_DeploymentIcon*> g_pending;
GUI_DeploymentIcon* g_current = nullptr;
GUI_DeploymentIcon* g_lastClicked = nullptr;
// The details window showed a ship now waiting to be deleted: another ship
// takes its place once the deletions are done.
bool g_detailsLostShip = false;
CampaignIconRemoved g_campaignRemoved = nullptr;

bool CtrlHeld()
{
    const CInput& input = CInput::GetInstance();
    return input.IsKeyDown(KEY_LCONTROL) || input.IsKeyDown(KEY_RCONTROL);
}

void PlayGui(int index)
{
    GUI_Sounds::GetInstance().PlayGuiSound(index);
}

void MarkFleetChanged(const GUI_DeploymentIcon* icon)
{
    if (icon->owner != GUI_DeploymentIcon::DEPLOYMENT_SCREEN)
        return;
    GUI_DeploymentTools::GetInstance().fleetChanged = true;
    if (Game::GetInstance().GetModeId() == 2)
        GUI_DeploymentGUI::GetInstance().RefreshAfterFleetChange();
}

float HullSize(const SIM_ShipDesign* design)
{
    const SIM_ShipHull* hull = design ? design->GetHull() : nullptr;
    return hull ? std::max(hull->GetWidth(), hull->GetHeight()) : 0.0f;
}
} // namespace

GUI_DeploymentIcon::GUI_DeploymentIcon(int ownerScreen) : owner(ownerScreen)
{
    SetName("deploymenticon");
    g_icons.push_back(this);
}

GUI_DeploymentIcon::~GUI_DeploymentIcon()
{
    delete m_tooltip;
    g_icons.erase(std::remove(g_icons.begin(), g_icons.end(), this), g_icons.end());
    g_pending.erase(std::remove(g_pending.begin(), g_pending.end(), this), g_pending.end());
    if (g_current == this)
        g_current = nullptr;
    if (g_lastClicked == this)
        g_lastClicked = nullptr;
}

void GUI_DeploymentIcon::SetDeployedShip(std::shared_ptr<SIM_DeployedShip> ship)
{
    QLM_ASSERT(ship);
    if (!ship)
        return;
    m_ship = std::move(ship);
    m_design = SIM_ShipDesign::Find(m_ship->design);
    QLM_ASSERT(m_design);
    if (m_design && m_design->GetHull())
        textureName = m_design->GetHull()->GetSprite();
    m_sprite.SetTexture(textureName);
    const float side = std::max(4.0f, GUI_DeploymentMap::GetInstance().GetScale() * HullSize(m_design));
    m_sprite.SetSize(side, side);
    m_sprite.SetColour(0xFFC8FFC8u);
    BuildRangeCircles();
    SetMapPosition(m_ship->x, m_ship->y);
    BuildTooltip();
}

void GUI_DeploymentIcon::BuildRangeCircles()
{
    m_circles.clear();
    if (!m_design)
        return;
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    const SIM_Scenario* scenario = map.GetScenario();
    const float multiplier = scenario ? scenario->GetWeaponRangeMultiplier() : 1.0f;
    for (const SIM_ShipDesign::FittedModule& module : m_design->GetModules()) {
        const float range = module.moduleType ? module.moduleType->GetConfigFloat("max_range") : 0.0f;
        if (range == 0.0f)
            continue;
        auto circle = std::make_unique<RangeCircle>();
        circle->radius = map.GetScale() * range * multiplier;
        circle->slotIndex = module.slotIndex;
        circle->module = &module;
        circle->sprite.SetTexture("deployment_range.dds");
        circle->sprite.SetSize(2.0f * circle->radius, 2.0f * circle->radius);
        circle->sprite.SetColour(0x10FFFFFFu);
        m_circles.push_back(std::move(circle));
    }
}

void GUI_DeploymentIcon::BuildTooltip()
{
    delete m_tooltip;
    m_tooltip = nullptr;
    if (!m_ship)
        return;
    const std::string designName = m_design ? m_design->GetGuiName() : m_ship->design;
    m_tooltip = new GUI_Tooltip(m_ship->name + " (" + designName + ")", 30);
}

float GUI_DeploymentIcon::ElementSize() const
{
    const float scale = GUI_DeploymentMap::GetInstance().GetScale();
    if (m_ship && m_ship->quantity != 1)
        return 4.0f * scale * HullSize(m_design) * kSquadronCell;
    return std::max(kMinSize, scale * HullSize(m_design));
}

void GUI_DeploymentIcon::SetMapPosition(float x, float y)
{
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    mapX = x;
    mapY = y;
    screenX = map.MapToScreenX(x);
    screenY = map.MapToScreenY(y);
    const float size = ElementSize();
    SetSize(size, size);
    MoveTo(screenX - static_cast<float>(width / 2), screenY - static_cast<float>(height / 2));
}

void GUI_DeploymentIcon::ScreenToMap()
{
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    mapX = map.ScreenToMapX(screenX);
    mapY = map.ScreenToMapY(screenY);
    if (m_ship) {
        m_ship->x = mapX;
        m_ship->y = mapY;
    }
}

bool GUI_DeploymentIcon::IsInsideZone() const
{
    const GRect& zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    const int halfW = width / 2, halfH = height / 2;
    return static_cast<float>(zone.left + halfW) <= screenX && screenX <= static_cast<float>(zone.right - halfW) &&
           static_cast<float>(zone.top + halfH) <= screenY && screenY <= static_cast<float>(zone.bottom - halfH);
}

uint32_t GUI_DeploymentIcon::StateColour() const
{
    if (!IsInsideZone())
        return 0xFFC8C8u;
    const CInput& input = CInput::GetInstance();
    const bool picking = GUI_DeploymentTools::GetInstance().pickMode == 1 &&
                         Contains(input.GetMouseX(), input.GetMouseY());
    if (selected || picking)
        return 0xFFFFFFu;
    return 0xC8FFC8u;
}

std::vector<std::pair<int, int>> GUI_DeploymentIcon::SquadronCells() const
{
    std::vector<std::pair<int, int>> cells;
    const int quantity = m_ship ? m_ship->quantity : 1;
    const float cell = GUI_DeploymentMap::GetInstance().GetScale() * HullSize(m_design) * kSquadronCell;
    const float l = screenX - 2.0f * cell, t = screenY - 2.0f * cell;
    cells.resize(static_cast<size_t>(std::clamp(quantity, 0, 16)));
    for (int i = 0; i < 16; ++i) {
        const int rank = kSquadronLayout[i];
        if (rank >= quantity)
            continue;
        const int column = i % 4, row = i / 4;
        cells[static_cast<size_t>(rank)] = {static_cast<int>(l + cell / 2.0f + static_cast<float>(column) * cell),
                                            static_cast<int>(t + cell / 2.0f + static_cast<float>(row) * cell)};
    }
    return cells;
}

bool GUI_DeploymentIcon::OnLeftClick(float x, float y)
{
    if ((g_current && g_current->dragging) || !Contains(x, y))
        return false;
    GUI_DeploymentTools& tools = GUI_DeploymentTools::GetInstance();
    if (tools.pickMode == 1) {
        tools.Pick(this);
        PlayGui(4);
        return true;
    }
    PlayGui(0);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("SELECTSHIP")) {
        tutorial.LaunchTutorial("SHIPDETAILS");
        tutorial.SetWaitFor("");
    }
    bool deselected = false;
    if (!selected) {
        GUI_DeploymentDetails::Open(m_ship.get());
        if (!CtrlHeld()) {
            ClearDeploymentSelection();
            GUI_DeploymentDetails::Open(m_ship.get());
        }
    } else if (CtrlHeld()) {
        selected = false;
        deselected = true;
        if (GUI_DeploymentDetails::GetShown() == m_ship.get())
            GUI_DeploymentDetails::Close();
    }
    if (!deselected && CInput::GetInstance().IsDoubleClick() && g_lastClicked == this && m_ship) {
        SelectDeploymentIconsOfDesign(m_ship->design);
        return true;
    }
    if (!deselected)
        SelectDeploymentIcon(this, x, y);
    g_lastClicked = this;
    return true;
}

void GUI_DeploymentIcon::UpdateIcon()
{
    ScreenToMap();
    const CInput& input = CInput::GetInstance();
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    if (!dragging) {
        if (!GUI_RCMenuBase::GetOpen() && !GUI_WindowManager::GetInstance().IsMouseOverWindow() && Contains(mx, my)) {
            if (m_tooltip) {
                m_tooltip->SetAnchor(mx, my);
                m_tooltip->CheckShowTime();
            }
            GUI_Cursor::GetInstance().SetHand();
        }
        return;
    }
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    const GUI_DeploymentZone::Point previous{mapX, mapY};
    screenX = mx - dragOffsetX;
    screenY = my - dragOffsetY;
    ScreenToMap();
    const GUI_DeploymentZone::Point snapped =
        GUI_DeploymentZone::GetInstance().Snap(mapX, mapY, previous, [this](int x, int y) {
            for (const GUI_DeploymentIcon* other : g_icons) {
                if (other == this || other->dragging)
                    continue;
                if (static_cast<int>(std::lround(other->mapX)) == x && static_cast<int>(std::lround(other->mapY)) == y)
                    return true;
            }
            return false;
        });
    screenX = map.MapToScreenX(snapped.x);
    screenY = map.MapToScreenY(snapped.y);
    ScreenToMap();
    SetSize(ElementSize(), ElementSize());
    MoveTo(screenX - static_cast<float>(width / 2), screenY - static_cast<float>(height / 2));

    if (!input.IsLeftButtonDown() && g_current == this && !carried) {
        // A new ship let go where it was picked up waits for a click on the map.
        GUI_DeploymentDesignPicker* picker = GUI_DeploymentDesignPicker::GetOpen();
        if (newlyPlaced && owner == DEPLOYMENT_SCREEN && picker && picker->Contains(mx, my)) {
            carried = true;
            return;
        }
        DropDraggedDeploymentIcons();
    }
}

void GUI_DeploymentIcon::Drop()
{
    dragging = false;
    carried = false;
    if (!IsInsideZone()) {
        QueueDeploymentIconDeletion(this);
        newlyPlaced = false;
        return;
    }
    if (newlyPlaced && owner == DEPLOYMENT_SCREEN) {
        PlayGui(4);
        GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
        if (tutorial.IsWaitingFor("DRAGSHIP")) {
            tutorial.SetWaitFor("");
            tutorial.LaunchTutorial("ADDED_NEW_SHIP");
        } else if (APP_UsageMetrics::GetInstance().GetEventCount("depscreenactivated") == 2) {
            tutorial.LaunchTutorial("DEPICON_RCMENU");
        }
        if (tutorial.IsWaitingFor("HITBUDGET") && !AnyShipIconAvailable()) {
            tutorial.SetWaitFor("");
            tutorial.LaunchTutorial("BUDGET_REACHED");
        }
    }
    newlyPlaced = false;
}

void GUI_DeploymentIcon::DrawShape(int alphaValue)
{
    alpha = alphaValue;
    if (!m_ship)
        return;
    const uint32_t colour = (static_cast<uint32_t>(alphaValue) << 24) | StateColour();
    m_sprite.SetColour(colour);
    m_sprite.SetAngle(m_ship->angle);
    const float scale = GUI_DeploymentMap::GetInstance().GetScale();
    if (m_ship->quantity == 1) {
        const float side = std::max(kMinSize, scale * HullSize(m_design));
        SetSize(side, side);
        MoveTo(screenX - static_cast<float>(width / 2), screenY - static_cast<float>(height / 2));
        m_sprite.SetSize(side, side);
        m_sprite.PlaceCentred(screenX, screenY);
        m_sprite.Draw();
        return;
    }
    const float cell = scale * HullSize(m_design) * kSquadronCell;
    SetSize(4.0f * cell, 4.0f * cell);
    MoveTo(screenX - static_cast<float>(width / 2), screenY - static_cast<float>(height / 2));
    m_sprite.SetSize(std::max(4.0f, scale * HullSize(m_design)), std::max(4.0f, scale * HullSize(m_design)));
    for (const auto& [x, y] : SquadronCells()) {
        m_sprite.PlaceCentred(static_cast<float>(x), static_cast<float>(y));
        m_sprite.Draw();
    }
}

bool GUI_DeploymentIcon::IsCircleLit(const RangeCircle& circle) const
{
    // A design's module: the circles of its type on the ship whose orders
    // are shown, not on every ship of the design.
    if (const SIM_ShipModuleType* type = GUI_DeployedShipModuleIcon::GetHoveredType())
        return circle.module && circle.module->moduleType == type && m_ship &&
               GUI_DeploymentDetails::GetShown() == m_ship.get();
    // A campaign ship's module: only on that ship's own icon.
    const int index = GUI_DeployedShipModuleIcon::GetHoveredModuleIndex();
    const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
    return index >= 0 && circle.slotIndex == index && m_ship && box && box->GetCampaignShip() &&
           box->GetCampaignShip()->id == m_ship->shipId;
}

void GUI_DeploymentIcon::DrawRangeCircles()
{
    const GRect& clip = GUI_DeploymentMap::GetInstance().GetRect();
    for (const auto& circle : m_circles) {
        circle->sprite.SetColour(IsCircleLit(*circle) ? 0x80FFFFFFu : 0x10FFFFFFu);
        circle->sprite.SetSize(2.0f * circle->radius, 2.0f * circle->radius);
        circle->sprite.PlaceCentred(screenX, screenY);
        circle->sprite.DrawClipped(clip);
    }
}

void GUI_DeploymentIcon::Draw()
{
    UpdateIcon();
    DrawShape(255);
    if (m_tooltip)
        m_tooltip->Draw();
}

// ---------------------------------------------------------------------------
// The icon list

std::vector<GUI_DeploymentIcon*>& GetDeploymentIcons()
{
    return g_icons;
}

GUI_DeploymentIcon* GetCurrentDeploymentIcon()
{
    return g_current;
}

GUI_DeploymentIcon* GetLastClickedDeploymentIcon()
{
    return g_lastClicked;
}

void CreateDeploymentIcons(SIM_DeployedFleet& fleet)
{
    for (const SIM_DeployedFleet::ShipPtr& ship : fleet.GetShips()) {
        if (!SIM_ShipDesign::Find(ship->design))
            continue;
        auto* icon = new GUI_DeploymentIcon(GUI_DeploymentIcon::DEPLOYMENT_SCREEN);
        icon->SetDeployedShip(ship);
    }
    SortDeploymentIcons();
}

void SelectDeploymentIcon(GUI_DeploymentIcon* icon, float x, float y)
{
    if (!icon)
        return;
    g_current = icon;
    if (!icon->selected && !GUI_DeploymentDetails::IsOpen())
        GUI_DeploymentDetails::Open(icon->GetShip());
    icon->selected = true;
    for (GUI_DeploymentIcon* each : g_icons) {
        if (!each->selected)
            continue;
        each->dragging = true;
        each->dragOffsetX = x - each->screenX;
        each->dragOffsetY = y - each->screenY;
    }
    MarkFleetChanged(icon);
}

void ClearDeploymentSelection()
{
    for (GUI_DeploymentIcon* icon : g_icons)
        icon->selected = false;
    GUI_DeploymentDetails::Close();
}

void SelectDeploymentIconsOfDesign(const std::string& designName)
{
    ClearDeploymentSelection();
    for (GUI_DeploymentIcon* icon : g_icons) {
        if (!icon->GetShip() || icon->GetShip()->design != designName)
            continue;
        icon->selected = true;
        if (!GUI_DeploymentDetails::IsOpen())
            GUI_DeploymentDetails::Open(icon->GetShip());
    }
}

void SelectDeploymentIconsCarrying(const std::string& moduleType)
{
    ClearDeploymentSelection();
    for (GUI_DeploymentIcon* icon : g_icons) {
        const SIM_ShipDesign* design = icon->GetShip() ? SIM_ShipDesign::Find(icon->GetShip()->design) : nullptr;
        if (!design || design->CountModulesByTypeName(moduleType) < 1)
            continue;
        icon->selected = true;
        if (!GUI_DeploymentDetails::IsOpen())
            GUI_DeploymentDetails::Open(icon->GetShip());
    }
}

GUI_DeploymentIcon* FindDeploymentIconByShipId(int shipId)
{
    for (GUI_DeploymentIcon* icon : g_icons)
        if (icon->GetShip() && icon->GetShip()->shipId == shipId)
            return icon;
    return nullptr;
}

GUI_DeploymentIcon* FindDeploymentIconOf(const SIM_DeployedShip* ship)
{
    for (GUI_DeploymentIcon* icon : g_icons)
        if (ship && icon->GetShip() == ship)
            return icon;
    return nullptr;
}

void FollowPlacedShip(GUI_WindowBase& window, const SIM_DeployedShip* ship)
{
    if (!ship)
        return;
    window.Follow(ship->lifetime);
    if (const GUI_DeploymentIcon* icon = FindDeploymentIconOf(ship))
        window.Follow(icon->lifetime);
}

std::vector<GUI_DeploymentIcon*> GetSelectedDeploymentIcons()
{
    std::vector<GUI_DeploymentIcon*> out;
    for (GUI_DeploymentIcon* icon : g_icons)
        if (icon->selected)
            out.push_back(icon);
    return out;
}

bool OnDeploymentMapClick(float x, float y)
{
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    GUI_DeploymentIcon* best = nullptr;
    float bestDistance = 999.0f;
    // While an order waits for its ship any ship may be picked, the current
    // one included.
    const bool picking = GUI_DeploymentTools::GetInstance().pickMode == 1;
    for (GUI_DeploymentIcon* icon : g_icons) {
        if (icon == g_current && !picking)
            continue;
        const float cx = static_cast<float>(icon->left + icon->right) / 2.0f;
        const float cy = static_cast<float>(icon->top + icon->bottom) / 2.0f;
        const float d = std::sqrt((cx - x) * (cx - x) + (cy - y) * (cy - y));
        if (d < bestDistance) {
            bestDistance = d;
            best = icon;
        }
    }
    if (best && best->OnLeftClick(x, y)) {
        screen.ClearPlacingGhost();
        return true;
    }
    g_lastClicked = nullptr;
    if (GUI_DeploymentTools::GetInstance().pickMode == 1) {
        for (GUI_DeploymentIcon* icon : g_icons)
            if (icon->selected && icon->GetShip())
                icon->GetShip()->orders.RemoveUntargetedShipOrders();
        GUI_DeploymentDetails::Refresh();
    } else {
        ClearDeploymentSelection();
    }
    const SIM_ShipDesign* ghost = screen.GetPlacingGhost();
    if (ghost && screen.GetAvailability(ghost) == 0) {
        screen.PlaceShip(ghost, x, y);
        return true;
    }
    screen.ClearPlacingGhost();
    return false;
}

void OnDeploymentMapRightClick(float x, float y)
{
    for (GUI_DeploymentIcon* icon : g_icons) {
        if (icon->Contains(x, y)) {
            OpenDeploymentIconMenu(icon);
            return;
        }
    }
}

void SetCampaignIconRemovedHandler(CampaignIconRemoved handler)
{
    g_campaignRemoved = handler;
}

void QueueDeploymentIconDeletion(GUI_DeploymentIcon* icon)
{
    if (!icon || std::find(g_pending.begin(), g_pending.end(), icon) != g_pending.end())
        return;
    g_pending.push_back(icon);
    // The dialogs that work on the placed ship (naming, squadron size, its
    // menu, the order picker and editor) follow the icon and close now.
    icon->lifetime.End();
    icon->selected = false;
    icon->dragging = false;
    if (SIM_DeployedShip* ship = icon->GetShip()) {
        for (GUI_DeploymentIcon* other : g_icons)
            if (other != icon && other->GetShip())
                other->GetShip()->orders.RemoveOrdersTargeting(*ship);
    }
    if (icon->owner == GUI_DeploymentIcon::CAMPAIGN_DEPLOYMENT && g_campaignRemoved)
        g_campaignRemoved(icon);
    if (icon->owner == GUI_DeploymentIcon::DEPLOYMENT_SCREEN) {
        GUI_DeploymentGUI::GetInstance().RemoveShipFromFleet(icon->GetShip());
        if (GUI_DeploymentDetails::GetShown() == icon->GetShip()) {
            GUI_DeploymentDetails::Close();
            g_detailsLostShip = true;
        }
    }
    if (g_current == icon)
        g_current = nullptr;
    MarkFleetChanged(icon);
}

void DeleteSelectedDeploymentIcons()
{
    for (GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons())
        QueueDeploymentIconDeletion(icon);
}

void ProcessPendingIconDeletions()
{
    if (g_pending.empty())
        return;
    PlayGui(6);
    bool detailsShowedOne = g_detailsLostShip;
    g_detailsLostShip = false;
    const std::vector<GUI_DeploymentIcon*> pending = g_pending;
    g_pending.clear();
    for (GUI_DeploymentIcon* icon : pending) {
        if (GUI_DeploymentDetails::GetShown() == icon->GetShip())
            detailsShowedOne = true;
        delete icon;
    }
    if (detailsShowedOne && !g_icons.empty()) {
        g_icons.front()->selected = true;
        GUI_DeploymentDetails::Open(g_icons.front()->GetShip());
    }
    if (g_icons.size() > 1)
        SortDeploymentIcons();
}

void DeleteAllDeploymentIcons()
{
    const std::vector<GUI_DeploymentIcon*> all = g_icons;
    for (GUI_DeploymentIcon* icon : all) {
        icon->DetachShip();
        delete icon;
    }
    g_icons.clear();
    g_pending.clear();
    g_detailsLostShip = false;
    g_current = nullptr;
    g_lastClicked = nullptr;
}

void SortDeploymentIcons()
{
    std::stable_sort(g_icons.begin(), g_icons.end(), [](const GUI_DeploymentIcon* a, const GUI_DeploymentIcon* b) {
        return a->textureName < b->textureName;
    });
}

void DropDraggedDeploymentIcons()
{
    g_current = nullptr;
    const std::vector<GUI_DeploymentIcon*> all = g_icons;
    for (GUI_DeploymentIcon* icon : all)
        if (icon->dragging)
            icon->Drop();
}

void DrawDeploymentIcons()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    for (GUI_DeploymentIcon* icon : g_icons) {
        if (!icon->GetShip())
            continue;
        for (const auto& order : icon->GetShip()->orders.GetOrders()) {
            if (order->shipId == -1)
                continue;
            const GUI_DeploymentIcon* target = FindDeploymentIconByShipId(order->shipId);
            if (target)
                engine.DrawLine(static_cast<float>(icon->left + icon->right) / 2.0f,
                                static_cast<float>(icon->top + icon->bottom) / 2.0f,
                                static_cast<float>(target->left + target->right) / 2.0f,
                                static_cast<float>(target->top + target->bottom) / 2.0f, 0xFFFFFFFFu);
        }
    }
    for (GUI_DeploymentIcon* icon : g_icons)
        if (icon->selected && icon->GetShip())
            icon->DrawRangeCircles();
    // Under the ships, on every screen that places them.
    GUI_RangeBehaviorEditor::DrawRangePreview();
    // Each hull as a silhouette in its state's colour, then its picture
    // over it at half strength, so the colour still shows through.
    const std::vector<GUI_DeploymentIcon*> all = g_icons;
    engine.SetFlatColour(true);
    for (GUI_DeploymentIcon* icon : all)
        if (icon != g_current)
            icon->Draw();
    engine.SetFlatColour(false);
    for (GUI_DeploymentIcon* icon : all)
        if (icon != g_current)
            icon->DrawShape(GUI_DeploymentIcon::kTexturedAlpha);
    ProcessPendingIconDeletions();
}

namespace {
// Icons as their flat shape in their state's colour, opaque.
template <class Icons>
void DrawFlatShapes(const Icons& icons)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetFlatColour(true);
    for (GUI_DeploymentIcon* icon : icons)
        icon->DrawShape(255);
    engine.SetFlatColour(false);
}
} // namespace

void DrawDraggedDeploymentIcon()
{
    if (g_current) {
        g_current->UpdateIcon();
        if (g_current)
            DrawFlatShapes(std::initializer_list<GUI_DeploymentIcon*>{g_current});
    }
    ProcessPendingIconDeletions();
}

void DrawDeploymentIconsPlain()
{
    DrawFlatShapes(g_icons);
}

void FollowDeploymentSelectionBand()
{
    GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    if (!map.IsSelecting())
        return;
    const CInput& input = CInput::GetInstance();
    map.UpdateSelectionBox(input.GetMouseX(), input.GetMouseY(), input.IsLeftButtonDown());
    const GRect& band = map.GetSelectionRect();
    SelectDeploymentIconsInRect(band.left, band.top, band.right, band.bottom);
}

bool SelectDeploymentIconsInRect(int l, int t, int r, int b)
{
    std::vector<GUI_DeploymentIcon*> inside;
    for (GUI_DeploymentIcon* icon : g_icons) {
        const int cx = static_cast<int>(std::lround(static_cast<float>(icon->left + icon->right) / 2.0f));
        const int cy = static_cast<int>(std::lround(static_cast<float>(icon->top + icon->bottom) / 2.0f));
        if (cx >= l && cx <= r && cy >= t && cy <= b)
            inside.push_back(icon);
    }
    if (inside.empty())
        return false;
    for (GUI_DeploymentIcon* icon : g_icons)
        icon->selected = false;
    for (GUI_DeploymentIcon* icon : inside) {
        if (!GUI_DeploymentDetails::IsOpen())
            GUI_DeploymentDetails::Open(icon->GetShip());
        icon->selected = true;
    }
    return true;
}
