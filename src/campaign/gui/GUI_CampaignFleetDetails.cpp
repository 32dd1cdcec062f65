#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignRepairs.h"

#include "app/GUI_Sounds.h"
#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_CampaignWindows.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
std::vector<GUI_CampaignFleetDetails*> g_windows;

// A drop waiting for the end of the frame's window update: tiles are not
// rebuilt while the update walks them.
struct PendingDrop {
    GWatch<SIM_CampaignShip> ship;
    GUI_CampaignFleetDetails* from = nullptr;
    float x = 0.0f;
    float y = 0.0f;
    float centreX = 0.0f;
    float centreY = 0.0f;
};
PendingDrop g_drop;
bool g_dropPending = false;

// The open fleet windows as the screen stacks them, the top one first.
std::vector<GUI_CampaignFleetDetails*> TopmostFirst()
{
    std::vector<GUI_CampaignFleetDetails*> order;
    const std::vector<GUI_WindowBase*>& stack = GUI_WindowManager::GetInstance().GetTopLevelWindows();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        for (GUI_CampaignFleetDetails* w : g_windows)
            if (w == *it)
                order.push_back(w);
    return order;
}

bool IsInPendingBattle(const SIM_CampaignFleet* fleet)
{
    const SIM_CampaignBattleManager& battles = SIM_CampaignBattleManager::GetInstance();
    for (const auto& b : battles.GetPending())
        if (std::find(b->fleets.begin(), b->fleets.end(), fleet) != b->fleets.end())
            return true;
    const SIM_PendingBattle* current = battles.GetCurrent();
    return current && std::find(current->fleets.begin(), current->fleets.end(), fleet) != current->fleets.end();
}
} // namespace

const std::vector<GUI_CampaignFleetDetails*>& GUI_CampaignFleetDetails::GetAll()
{
    return g_windows;
}

int GUI_CampaignFleetDetails::HeightFor(int shipCount)
{
    const int rows = std::min(kMaxRows, (std::max(0, shipCount) + kColumns - 1) / kColumns);
    return rows * kCell + 42 + 46;
}

bool GUI_CampaignFleetDetails::CanMerge(const SIM_CampaignShip* dragged, const SIM_CampaignShip* target)
{
    if (!dragged || !target || dragged == target || !dragged->design || dragged->design != target->design)
        return false;
    const SIM_ShipHull* hull = dragged->design->GetHull();
    QLM_ASSERT(hull);
    return hull && hull->GetClass() == 2 && dragged->quantity + target->quantity <= kMaxSquadron;
}

bool GUI_CampaignFleetDetails::MayTakeShipFrom(const SIM_CampaignFleet* fleet)
{
    return !fleet || fleet->GetShips().size() > 1 || !IsInPendingBattle(fleet);
}

GUI_CampaignFleetDetails* GUI_CampaignFleetDetails::FindForFleet(const SIM_CampaignFleet* fleet)
{
    for (GUI_CampaignFleetDetails* w : g_windows)
        if (w->m_fleet.Is(fleet) && !GUI_WindowManager::GetInstance().IsQueuedForDelete(w))
            return w;
    return nullptr;
}

GUI_CampaignFleetDetails* GUI_CampaignFleetDetails::ShowForFleet(SIM_CampaignFleet* fleet)
{
    if (GUI_CampaignFleetDetails* open = FindForFleet(fleet)) {
        GUI_WindowManager::GetInstance().BringToFront(open);
        return open;
    }
    return fleet ? new GUI_CampaignFleetDetails(fleet) : nullptr;
}

void GUI_CampaignFleetDetails::CloseForFleet(const SIM_CampaignFleet* fleet)
{
    for (GUI_CampaignFleetDetails* w : std::vector<GUI_CampaignFleetDetails*>(g_windows))
        if (w->m_fleet.Is(fleet)) {
            w->visible = false;
            w->m_fleet.Reset();
            GUI_WindowManager::GetInstance().CloseWindow(w);
        }
}

void GUI_CampaignFleetDetails::CloseAll()
{
    g_dropPending = false;
    while (!g_windows.empty())
        delete g_windows.front();
}

void GUI_CampaignFleetDetails::RefreshAll()
{
    for (GUI_CampaignFleetDetails* w : g_windows) {
        SIM_CampaignFleet* fleet = w->GetFleet();
        if (!fleet || fleet->GetShips().empty()) {
            w->visible = false;
            GUI_WindowManager::GetInstance().QueueDelete(w);
            if (fleet)
                SIM_CampaignScreenHooks::Get().RefreshEncounterView(fleet->location);
            w->m_fleet.Reset();
        } else {
            w->rebuildPending = true;
        }
    }
}

GUI_CampaignFleetDetails::GUI_CampaignFleetDetails(SIM_CampaignFleet* fleet) : GUI_Dialog(true), m_fleet(fleet)
{
    QLM_ASSERT(fleet);
    Follow(m_fleet);
    bottomMargin = 42.0f;
    const int h = HeightFor(static_cast<int>(fleet->GetShips().size()));
    if (g_windows.empty()) {
        SetSize(static_cast<float>(kWidth), static_cast<float>(h));
        Centre();
    } else {
        const GUI_CampaignFleetDetails* last = g_windows.back();
        SetRect(static_cast<float>(last->left + kCascade), static_cast<float>(last->top + kCascade),
                static_cast<float>(last->left + kCascade + kWidth), static_cast<float>(last->top + kCascade + h));
    }
    SetClientRect();
    const int w = (clientRight - clientLeft) / 3;
    const auto arg = reinterpret_cast<std::intptr_t>(this);
    const int y = clientBottom + 10;
    m_repair = AddPanelButton(this, "CFD_REPAIR", OnRepair, arg, clientLeft, y, clientLeft + w, y + 20);
    m_rename = AddPanelButton(this, "CFD_RENAME", OnRename, arg, clientLeft + w, y, clientLeft + 2 * w, y + 20);
    m_build = AddPanelButton(this, "CFD_BUILD", OnBuild, arg, clientLeft + 2 * w, y, clientLeft + 3 * w, y + 20);
    const SIM_CampaignEncounter* at = fleet->location;
    m_build->enabled = at && (at->HasFacilityOfType("shipyarda") || at->HasFacilityOfType("shipyardb") ||
                              at->HasFacilityOfType("shipyardc"));
    m_build->SetName("CampaignFleetBuild");
    m_scroll = AddClientScrollBar();
    RebuildIcons();
    LayOut();
    QLM_ASSERT(at);
    m_repair->enabled = at && at->HasRepairFacility() && fleet->NeedsRepair();
    draggable = true;
    g_windows.push_back(this);
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    // A lesson is shown once: asking again for one already seen does nothing.
    if (!tutorial.LaunchTutorial("CAMPAIGN_FLEET_DETAILS")) {
        const auto& ships = fleet->GetShips();
        bool found = false;
        for (size_t i = 0; i < ships.size() && !found; ++i)
            for (size_t j = 0; j < ships.size() && !found; ++j)
                if (i != j && ships[i]->design == ships[j]->design && ships[i]->quantity + ships[j]->quantity <= 16)
                    found = true;
        if (found)
            tutorial.LaunchTutorial("CAMPAIGN_MERGE_FIGHTERS");
    }
}

GUI_CampaignFleetDetails::~GUI_CampaignFleetDetails()
{
    // Tiles scrolled out of view are not children: they go here.
    for (GUI_CampaignShipIcon* icon : m_icons)
        if (icon->GetParent() != this)
            delete icon;
    m_icons.clear();
    g_windows.erase(std::remove(g_windows.begin(), g_windows.end(), this), g_windows.end());
    if (g_dropPending && g_drop.from == this)
        g_drop.from = nullptr;
}

void GUI_CampaignFleetDetails::RebuildIcons()
{
    for (GUI_CampaignShipIcon* icon : m_icons) {
        RemoveChild(icon);
        delete icon;
    }
    m_icons.clear();
    const SIM_CampaignFleet* fleet = GetFleet();
    if (!fleet)
        return;
    for (SIM_CampaignShip* ship : fleet->GetShips())
        m_icons.push_back(new GUI_CampaignShipIcon(ship));
    SetTitle(fleet->GetName());
}

void GUI_CampaignFleetDetails::LayOut()
{
    for (GUI_CampaignShipIcon* icon : m_icons) {
        RemoveChild(icon);
        RemoveChildElement(icon);
    }
    const size_t first = static_cast<size_t>(std::max(0, m_scroll->position)) * kColumns;
    int x = clientLeft;
    int y = clientTop;
    int inRow = 0;
    m_rowsShown = 0;
    for (size_t i = first; i < m_icons.size(); ++i) {
        if (y > clientBottom - kCell)
            break;
        GUI_CampaignShipIcon* icon = m_icons[i];
        icon->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kCell),
                      static_cast<float>(y + kCell));
        AddChild(icon);
        AddChildElement(icon);
        icon->draggable = true;
        if (inRow == 0)
            ++m_rowsShown;
        x += kCell;
        if (++inRow == kColumns) {
            inRow = 0;
            x = clientLeft;
            y += kCell;
        }
    }
    const int total = (static_cast<int>(m_icons.size()) + kColumns - 1) / kColumns;
    m_scroll->maximum = std::max(0, total - m_rowsShown);
    m_scroll->contentSize = static_cast<float>(total);
    m_scroll->visibleSize = static_cast<float>(m_rowsShown);
    m_scroll->visible = total - m_rowsShown >= 1;
}

void GUI_CampaignFleetDetails::RebuildNow()
{
    RebuildIcons();
    LayOut();
    rebuildPending = false;
}

void GUI_CampaignFleetDetails::OnWheelUp()
{
    m_scroll->ScrollUp();
}

void GUI_CampaignFleetDetails::OnWheelDown()
{
    m_scroll->ScrollDown();
}

void GUI_CampaignFleetDetails::Draw()
{
    if (!visible)
        return;
    if (rebuildPending)
        RebuildNow();
    if (m_scroll->changed) {
        m_scroll->changed = false;
        LayOut();
    }
    drawButtons = false;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    GUI_CampaignShipIcon::DrawShipIconBatch();
    DrawButtons();
    LibText::GetInstance().Render();
}

void GUI_CampaignFleetDetails::OnRepair(std::intptr_t window)
{
    auto* self = reinterpret_cast<GUI_CampaignFleetDetails*>(window);
    SIM_CampaignFleet* fleet = self ? self->GetFleet() : nullptr;
    if (!fleet)
        return;
    // The yard takes the fleet's place on the screen.
    if (GUI_CampaignRepairs::Open(fleet))
        CloseForFleet(fleet);
}

void GUI_CampaignFleetDetails::OnRename(std::intptr_t window)
{
    auto* self = reinterpret_cast<GUI_CampaignFleetDetails*>(window);
    if (SIM_CampaignFleet* fleet = self ? self->GetFleet() : nullptr)
        GUI_FleetRename::Open(fleet);
}

void GUI_CampaignFleetDetails::OnBuild(std::intptr_t window)
{
    auto* self = reinterpret_cast<GUI_CampaignFleetDetails*>(window);
    SIM_CampaignFleet* fleet = self ? self->GetFleet() : nullptr;
    if (!fleet)
        return;
    QLM_ASSERT(fleet->location);
    if (!fleet->location)
        return;
    GUI_Shipyard::Open(fleet->location, fleet);
    self->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(self);
}

void GUI_CampaignFleetDetails::OnShipIconDropped(GUI_CampaignShipIcon* icon)
{
    if (!icon || !icon->GetShip())
        return;
    const CInput& input = CInput::GetInstance();
    g_drop.ship = GWatch<SIM_CampaignShip>(icon->GetShip());
    g_drop.from = nullptr;
    for (GUI_CampaignFleetDetails* w : g_windows)
        if (std::find(w->m_icons.begin(), w->m_icons.end(), icon) != w->m_icons.end())
            g_drop.from = w;
    g_drop.x = input.GetMouseX();
    g_drop.y = input.GetMouseY();
    g_drop.centreX = static_cast<float>((icon->left + icon->right) / 2);
    g_drop.centreY = static_cast<float>((icon->top + icon->bottom) / 2);
    g_dropPending = true;
    icon->StopDragging();
    if (g_drop.from)
        g_drop.from->rebuildPending = true;
}

void GUI_CampaignFleetDetails::ProcessDrop()
{
    if (!g_dropPending)
        return;
    g_dropPending = false;
    // The ship may have gone meanwhile (scrapped from a menu this frame).
    SIM_CampaignShip* ship = g_drop.ship.Get();
    g_drop.ship.Reset();
    if (!ship || !ship->fleet)
        return;
    // The window drawn on top takes the drop, as the player sees it. A press
    // raises the tile's own window, so a tile let go where it was taken up
    // stays and shows its ship, whatever window lies beneath.
    for (GUI_CampaignFleetDetails* w : TopmostFirst()) {
        if (!w->visible || !w->GetFleet())
            continue;
        if (w->AcceptShip(ship, g_drop.centreX, g_drop.centreY))
            return;
    }
    // Outside every fleet window: the ship becomes a fleet of its own.
    SIM_CampaignFleet* old = ship->fleet;
    if (old->GetShips().size() <= 1 && IsInPendingBattle(old)) {
        GUI_Sounds::GetInstance().PlayGuiSound(7);
        RefreshAll();
        return;
    }
    SIM_CampaignEncounter* at = old->location;
    ship->DetachToNewFleet();
    RefreshAll();
    // The last ship's fleet is left empty by the split: it goes now, and the
    // windows that showed it with it.
    if (old->GetShips().empty()) {
        old->DeleteIfEmpty();
        SIM_CampaignProgress::GetInstance().Save();
    }
    RebuildEncounterView(at);
    SIM_CampaignScreenHooks::Get().RefreshFleetManager();
}

bool GUI_CampaignFleetDetails::AcceptShip(SIM_CampaignShip* ship, float x, float y)
{
    if (!Contains(x, y))
        return false;
    QLM_ASSERT(ship && ship->fleet);
    SIM_CampaignFleet* fleet = GetFleet();
    SIM_CampaignFleet* owner = ship->fleet;
    if (!fleet)
        return false;
    if (owner != fleet) {
        if (owner->location != fleet->location || !MayTakeShipFrom(owner)) {
            RefreshAll();
            return true;
        }
        owner->RemoveShip(ship);
        fleet->AddShip(ship);
        RefreshAll();
        // An emptied fleet's going rebuilds the fleet manager; else the counts changed.
        if (!owner->DeleteIfEmpty())
            SIM_CampaignScreenHooks::Get().RefreshFleetManager();
        RebuildEncounterView(fleet->location);
        SIM_CampaignProgress::GetInstance().Save();
        GUI_Sounds::GetInstance().PlayGuiSound(4);
        return true;
    }
    if (!TryMergeFighters(ship, g_drop.x, g_drop.y)) {
        GUI_CampaignShipDetails::Open(ship);
        rebuildPending = true;
    }
    return true;
}

bool GUI_CampaignFleetDetails::TryMergeFighters(SIM_CampaignShip* dragged, float x, float y)
{
    SIM_CampaignShip* target = nullptr;
    for (GUI_CampaignShipIcon* icon : m_icons) {
        SIM_CampaignShip* s = icon->GetShip();
        if (s == dragged || !s || s->design != dragged->design || !icon->Contains(x, y))
            continue;
        target = s;
        break;
    }
    SIM_CampaignFleet* fleet = GetFleet();
    if (!fleet || !CanMerge(dragged, target))
        return false;
    target->quantity += dragged->quantity;
    fleet->RemoveShip(dragged);
    fleet->RecalculateTotals();
    // Every window that showed the dragged squadron (details, log, rename)
    // goes with it.
    dragged->log->DeleteLogFile();
    delete dragged;
    rebuildPending = true;
    SIM_CampaignProgress::GetInstance().Save();
    GUI_Sounds::GetInstance().PlayGuiSound(6);
    return true;
}
