#pragma once
#include <vector>

#include "battle/hud/HudWindow.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

class GUI_FleetOverlayIcon;
class GUI_FleetOverlayScrollButton;
class SIM_Fleet;

// The column at the left edge with an entry for every ship of the player's
// fleet that is no fighter and one for each fighter squadron. It scrolls
// (buttons and a draggable thumb) when they do not all fit, and collapses
// to one small button.
class GUI_FleetOverlay : public GUI_WindowBase, public HudSingleWindow<GUI_FleetOverlay> {
public:
    static constexpr int kLeft = 10;
    static constexpr int kTop = 90;
    static constexpr int kRight = 52;
    static constexpr int kBottomMargin = 196;
    static constexpr int kEntrySize = 30;
    static constexpr int kBarSpace = 12;
    static constexpr const char* kTexture = "fleet_overlay_icon.dds";
    enum ButtonId { UP = 0, DOWN, EXPAND, COLLAPSE, kButtons };

    static void Open(int screenHeight);
    static void Expand(std::intptr_t = 0);
    static void Collapse(std::intptr_t = 0);
    static void ScrollUp(std::intptr_t = 0);
    static void ScrollDown(std::intptr_t = 0);

    GUI_FleetOverlay(const SIM_Fleet* fleet, int screenHeight);
    ~GUI_FleetOverlay() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Layout();
    // One frame of the thumb drag.
    void DragThumb();

    const std::vector<GUI_FleetOverlayIcon*>& GetEntries() const { return m_entries; }
    const std::vector<GUI_FleetOverlayIcon*>& GetShown() const { return m_shown; }
    GUI_FleetOverlayScrollButton* GetButton(int id) const { return m_buttons[id]; }
    int GetOffset() const { return m_offset; }
    int GetMaxOffset() const { return m_maxOffset; }
    bool IsScrollable() const { return m_scrollable; }
    bool IsExpanded() const { return m_expanded; }
    bool IsDraggingThumb() const { return m_draggingThumb; }
    const GRect& GetScrollBar() const { return m_bar; }
    const GRect& GetThumb() const { return m_thumb; }

private:
    void ShowScrollButtons();

    std::vector<GUI_FleetOverlayIcon*> m_entries;
    std::vector<GUI_FleetOverlayIcon*> m_shown;
    GUI_FleetOverlayScrollButton* m_buttons[kButtons] = {};
    int m_offset = 0;
    int m_maxOffset = 0;
    GRect m_bar{};
    GRect m_thumb{};
    bool m_draggingThumb = false;
    float m_grab = 0.0f;
    bool m_scrollable = false;
    bool m_expanded = true;
};
