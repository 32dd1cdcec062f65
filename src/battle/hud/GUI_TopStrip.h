#pragma once
#include "battle/hud/HudWindow.h"
#include "gui/GUI_WindowBase.h"

class GUI_TopStripButton;

// The battle's button column beside the mini-map (damage texts, camera
// mode, grid, screenshot, ship overlays, ending exactly on the bottom edge)
// and the three speed buttons along the mini-map's top edge. The buttons
// only flip the battle screen's flags and call its operations.
class GUI_TopStrip : public GUI_WindowBase, public HudSingleWindow<GUI_TopStrip> {
public:
    static constexpr float kButtonSize = 190.0f / 7.0f;
    static constexpr float kColumnHeight = 5.0f * kButtonSize;
    static constexpr float kSpeedButtonSize = 20.0f;
    enum Button { DAMAGE = 0, CAMERA, GRID, SCREENSHOT, OVERLAY, SLOWER, PAUSE, FASTER, kButtons };

    // Needs the mini-map open (it places itself by it); else opens none.
    static void Open(int screenHeight);

    explicit GUI_TopStrip(int screenHeight);
    ~GUI_TopStrip() override;

    void Draw() override;

    GUI_TopStripButton* GetButton(int which) const { return m_buttons[which]; }

    static void OnDamageButton(std::intptr_t);
    static void OnCameraModeButton(std::intptr_t);
    static void OnGridButton(std::intptr_t);
    static void OnOverlayButton(std::intptr_t);
    static void OnScreenshotButton(std::intptr_t);

private:
    GUI_TopStripButton* m_buttons[kButtons] = {};
};
