#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"

#include "gui/GUI_WindowManager.h"
#include "gui/GUI_WindowBase.h"

#include <cstdint>

class GUI_ButtonBase;
class GUI_Dialog;
class GUI_Interlace;
class GUIButtonList;
class SIM_ShipModuleType;

// What the front-end screens share around their content: the menu backdrop,
// the dark bar along the bottom edge (the top 45 rows of the box texture) and
// the place of the button that leads back.
class GUI_MenuChrome {
public:
    static constexpr float kBarHeight = 45.0f;
    static constexpr float kBarV = 45.0f / 1024.0f;

    // backdropV: how much of the backdrop picture, from its top, is shown.
    explicit GUI_MenuChrome(float backdropV = 1.0f);

    // For a screen of w x h pixels.
    void LayOut(int w, int h);
    void DrawBackdrop() { m_backdrop.Draw(); }
    void DrawBottomBar() { m_bar.Draw(); }

    // The box texture tiled over a rectangle at one texel a pixel, framed
    // with "border_depth.dds".
    static void DrawPanel(CTexturedSprite& boxSprite, const GRect& rect);

    // A dialog's client area: the client box texture and the scan lines.
    static void DrawClientArea(const GUI_Dialog& dialog, GUI_Interlace& interlace, float cornerSize = 32.0f);

    // The windows first; behind a modal window nothing of the screen
    // lights up. False when a modal window is open.
    static bool UpdateWindowsThenButtons(GUIButtonList& buttons);

    // A module type's picture: its icon, or for turret weapons the frame of
    // the player's race's turret sheet.
    static void SetModuleIcon(CTexturedSprite& sprite, const SIM_ShipModuleType& type);

    // (32, h - 32) to (232, h - 12).
    static void PlaceBackButton(GUI_ButtonBase& button, int h);
    // The back button's callback everywhere: back to the main menu.
    static void GoToMainMenu(std::intptr_t);

    // Interface sounds of these screens (0 click, 2 mouse-over, 3 accepted,
    // 4 selected, 5 refused), counted so that a test can hear them.
    static void PlaySound(int index);
    static int GetSoundCount(int index);

private:
    CTexturedSprite m_backdrop;
    CTexturedSprite m_bar;
};
