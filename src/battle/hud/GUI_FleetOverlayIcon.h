#pragma once
#include "engine/GLifetime.h"
#include <cstdint>

#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"
#include "platform/IGraphicsDevice.h"

class GUI_Tooltip;
class GVertexBuffer;
class SIM_FighterSquadron;
class SIM_Ship;

// One entry of the fleet overlay: a ship (or a fighter squadron, by its
// lead ship) as its hull picture over a health bar, green from the bottom
// for what is left and red above. A click centres the camera on the ship and
// inspects it; a lost ship's entry stays, all red.
class GUI_FleetOverlayIcon : public GUI_WindowBase {
public:
    static constexpr float kBarHeight = 28.0f;
    static constexpr float kBarWidth = 8.0f;
    static constexpr float kHullSize = 24.0f;
    static constexpr uint32_t kGreen = 0x20FF20u;
    static constexpr uint32_t kRed = 0xFF2020u;
    static constexpr uint32_t kHullTint = 0x80FFFFFFu;

    // squadron may be null: a single ship.
    GUI_FleetOverlayIcon(SIM_Ship* ship, SIM_FighterSquadron* squadron);
    ~GUI_FleetOverlayIcon() override;

    bool OnLeftClick(float x, float y) override;
    void Update() override;
    // Places the bars for the health now and adds them to the batch.
    void AddBars(GVertexBuffer& batch);
    void DrawHull();

    // A ship's health share, or its squadron's mean.
    float Health() const;
    // 0x40, or 0x80 while the mouse is on the entry or its ship is inspected.
    uint32_t BarAlpha() const;
    // Null once the ship is freed (its squadron goes with it); the entry is
    // then inert until the overlay closes.
    SIM_Ship* GetShip() const { return m_ship.Get(); }
    bool IsSquadron() const { return m_squadron != nullptr; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    const ScreenVertex* GetGreenQuad() const { return m_green; }
    const ScreenVertex* GetRedQuad() const { return m_red; }
    float GetGreenHeight() const { return m_greenHeight; }
    float GetRedHeight() const { return m_redHeight; }

private:
    void PlaceQuad(ScreenVertex* quad, float top, float bottom, float vTop, float vBottom, uint32_t colour) const;

    GWatch<SIM_Ship> m_ship;
    SIM_FighterSquadron* m_squadron;
    ScreenVertex m_green[4];
    float m_greenHeight = 0.0f;
    ScreenVertex m_red[4];
    float m_redHeight = 0.0f;
    CTexturedSprite m_hull;
    GUI_Tooltip* m_tooltip = nullptr;
    float m_tooltipHealth = -1.0f;
};
