#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GLifetime.h"
#include "gui/GUI_BaseElement.h"
#include "sim/SIM_ShipDesign.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class GUI_Tooltip;
class GUI_WindowBase;
class SIM_DeployedFleet;
class SIM_DeployedShip;

// One placed ship (or squadron) on the deployment map: its hull picture in
// the colour of its state, its tooltip, range circles and order lines. The
// player selects (Ctrl adds, a double click takes every ship of the design),
// drags and drops it; a drop snaps it to a free grid point of the zone, a
// drop outside the zone removes the ship from the fleet.
class GUI_DeploymentIcon : public GUI_BaseElement {
public:
    enum Owner { DEPLOYMENT_SCREEN = 0, CAMPAIGN_DEPLOYMENT = 1 };
    static constexpr float kMinSize = 8.0f;
    static constexpr float kSquadronCell = 1.5f;
    // The picture drawn over the flat silhouette: half of full strength.
    static constexpr int kTexturedAlpha = 255 / 2;
    // Rank of each cell of the 4 x 4 squadron grid in the order cells fill.
    static const int kSquadronLayout[16];

    struct RangeCircle {
        float radius = 0.0f;
        int slotIndex = 0; // the design slot of the module it belongs to
        const SIM_ShipDesign::FittedModule* module = nullptr;
        CTexturedSprite sprite;
    };

    explicit GUI_DeploymentIcon(int owner);
    ~GUI_DeploymentIcon() override;

    void SetDeployedShip(std::shared_ptr<SIM_DeployedShip> ship);
    bool OnLeftClick(float x, float y) override;
    // Updates (drag, hover) and draws.
    void Draw() override;
    void UpdateIcon();
    void DrawShape(int alpha);
    void DrawRangeCircles();
    // True when the module icon under the pointer (or in the popup) stands
    // for the circle's weapon: its type, with this ship's orders shown; or a
    // campaign ship's own module.
    bool IsCircleLit(const RangeCircle& circle) const;

    void SetMapPosition(float mapX, float mapY);
    void ScreenToMap();
    bool IsInsideZone() const;
    void Drop();
    // Screen colour of the current state (alpha left out).
    uint32_t StateColour() const;
    // Centres of the squadron's drawn cells, in rank order of the layout.
    std::vector<std::pair<int, int>> SquadronCells() const;

    SIM_DeployedShip* GetShip() const { return m_ship.get(); }
    const std::shared_ptr<SIM_DeployedShip>& GetShipPtr() const { return m_ship; }
    const SIM_ShipDesign* GetDesign() const { return m_design; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    const std::vector<std::unique_ptr<RangeCircle>>& GetRangeCircles() const { return m_circles; }
    // The record stays with its fleet when the icon goes.
    void DetachShip() { m_ship.reset(); }

    std::string textureName;
    bool dragging = false;
    float screenX = 0.0f, screenY = 0.0f;
    float mapX = 0.0f, mapY = 0.0f;
    float dragOffsetX = 0.0f, dragOffsetY = 0.0f;
    bool selected = false;
    bool newlyPlaced = false;
    // A new ship let go over the design picker keeps following the pointer
    // until the next click puts it down: click a design, click the map.
    bool carried = false;
    int alpha = 255;
    int owner = DEPLOYMENT_SCREEN;

    // After the ship's name changed.
    void BuildTooltip();

    // Windows tied to the placed ship watch this; it ends when the icon is
    // queued for deletion, so they close before it goes.
    GLifetime lifetime;

private:
    void BuildRangeCircles();
    float ElementSize() const;

    std::shared_ptr<SIM_DeployedShip> m_ship;
    const SIM_ShipDesign* m_design = nullptr;
    CTexturedSprite m_sprite;
    std::vector<std::unique_ptr<RangeCircle>> m_circles;
    GUI_Tooltip* m_tooltip = nullptr;
};

// The one list of placed icons (both deployment screens share it), in
// drawing order, and what works on it.
std::vector<GUI_DeploymentIcon*>& GetDeploymentIcons();
GUI_DeploymentIcon* GetCurrentDeploymentIcon();
GUI_DeploymentIcon* GetLastClickedDeploymentIcon();
void CreateDeploymentIcons(SIM_DeployedFleet& fleet);
void SelectDeploymentIcon(GUI_DeploymentIcon* icon, float x, float y);
void ClearDeploymentSelection();
void SelectDeploymentIconsOfDesign(const std::string& designName);
// A supply line's click: every ship whose design carries the module type.
void SelectDeploymentIconsCarrying(const std::string& moduleType);
GUI_DeploymentIcon* FindDeploymentIconByShipId(int shipId);
// The placed icon that holds the record, or null.
GUI_DeploymentIcon* FindDeploymentIconOf(const SIM_DeployedShip* ship);
// A dialog about a placed ship follows the record and its icon: it closes when
// the ship is removed, dropped outside, reloaded or its screen left.
void FollowPlacedShip(GUI_WindowBase& window, const SIM_DeployedShip* ship);
std::vector<GUI_DeploymentIcon*> GetSelectedDeploymentIcons();
// A left click on the map: true when an icon took it.
bool OnDeploymentMapClick(float x, float y);
void OnDeploymentMapRightClick(float x, float y);
void QueueDeploymentIconDeletion(GUI_DeploymentIcon* icon);
// Told of every campaign icon queued for removal (its ship goes back to the
// campaign deployment's list); null for none.
using CampaignIconRemoved = void (*)(GUI_DeploymentIcon* icon);
void SetCampaignIconRemovedHandler(CampaignIconRemoved handler);
void DeleteSelectedDeploymentIcons();
void DeleteAllDeploymentIcons();
void ProcessPendingIconDeletions();
void SortDeploymentIcons();
void DropDraggedDeploymentIcons();
void DrawDeploymentIcons();
void DrawDraggedDeploymentIcon();
// Every placed ship as its flat shape alone, nothing else (a thumbnail of the fleet).
void DrawDeploymentIconsPlain();
// While the rubber band is pulled: follows the mouse and selects what it holds.
void FollowDeploymentSelectionBand();
// The selected icons of the rubber band; true when any lay inside it.
bool SelectDeploymentIconsInRect(int left, int top, int right, int bottom);
