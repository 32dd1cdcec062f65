#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GLifetime.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <string>
#include <vector>

class GUI_Tooltip;
class SIM_CampaignShip;

// The integrity bar under a campaign ship's icon: green for what is whole,
// red for the rest.
class GUI_CampaignHealthBar : public GUI_WindowBase {
public:
    static constexpr uint32_t kIntactColour = 0xC800A800u;
    static constexpr uint32_t kDamagedColour = 0xC8A80000u;
    static constexpr uint32_t kOutlineColour = 0xFFC8C8C8u;

    explicit GUI_CampaignHealthBar(float value) : m_value(value) {}
    void Draw() override;
    // Where green meets red.
    static int SplitX(int left, int right, float value);
    float GetValue() const { return m_value; }

private:
    float m_value;
};

// The 64-pixel tile of one campaign ship (or fighter squadron): its hull, the
// squadron size, its integrity and a marker when it has no engines. Owners
// make it draggable; a right click opens the ship menu. Tiles queue
// themselves and their owner draws the queue in three sweeps.
class GUI_CampaignShipIcon : public GUI_WindowBase {
public:
    static constexpr int kSize = 64;

    explicit GUI_CampaignShipIcon(SIM_CampaignShip* ship);
    ~GUI_CampaignShipIcon() override;

    bool OnLeftClick(float x, float y) override;
    bool OnRightClick(float x, float y) override;
    void Update() override;
    void Draw() override;
    void StartDrag() override;
    void OnDragEnd() override;

    // Frames, then hulls, then overlays of every queued icon; empties the queue.
    static void DrawShipIconBatch();
    static GUI_CampaignShipIcon* GetSelected();
    static void SetSelected(GUI_CampaignShipIcon* icon);

    // What a click on a tile that cannot be dragged does (the deployment
    // dialog places the ship); null for nothing.
    using ClickHandler = void (*)(GUI_CampaignShipIcon* icon);
    static ClickHandler s_clickHandler;

    void StopDragging();
    // Null once the ship is gone; its owner rebuilds its tiles then.
    SIM_CampaignShip* GetShip() const { return m_ship.Get(); }
    bool HasEngines() const { return m_hasEngines; }
    const std::string& GetQuantityText() const { return m_quantityText; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip.get(); }
    GUI_CampaignHealthBar* GetHealthBar() const { return m_health; }

private:
    void DrawFrame();
    void DrawHull();
    void DrawOverlays();

    std::unique_ptr<GUI_Tooltip> m_tooltip;
    CTexturedSprite m_frame;
    CTexturedSprite m_frameLit;
    CTexturedSprite m_hull;
    GWatch<SIM_CampaignShip> m_ship;
    std::string m_quantityText;
    GUI_CampaignHealthBar* m_health = nullptr;
    bool m_highlighted = false;
    CTexturedSprite m_noEngines;
    bool m_hasEngines = true;
};

// The ship menu: show the details, or change a squadron's size. It goes with
// its ship; its rows find the ship by id when clicked.
class GUI_CampaignShipRCMenu : public GUI_RCMenuBase {
public:
    static constexpr int kWidth = 150;
    // Tall enough for both rows (the first at 28, the second 24 below).
    static constexpr int kHeight = 76;

    explicit GUI_CampaignShipRCMenu(GUI_CampaignShipIcon* icon);
    static void Open(GUI_CampaignShipIcon* icon);
    // Top-left corner for a mouse position on a screen of that size.
    static void PlaceFor(float mouseX, float mouseY, int screenWidth, int screenHeight, float& x, float& y);

    GUI_ButtonBase* GetDetailsRow() const { return m_details; }
    GUI_ButtonBase* GetQuantityRow() const { return m_quantity; }

private:
    static void OnShowDetails(std::intptr_t shipId);
    static void OnQuantity(std::intptr_t shipId);

    GUI_ButtonBase* m_details = nullptr;
    GUI_ButtonBase* m_quantity = nullptr;
};
