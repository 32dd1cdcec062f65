#pragma once
#include "gui/GUI_IconButton.h"

// A button of the fleet overlay, cut from a region of "fleet_overlay_icon.dds"
// (another region while the mouse is on it) and drawn faint.
class GUI_FleetOverlayScrollButton : public GUI_IconButton {
public:
    static constexpr uint32_t kTint = 0x20FFFFFFu;
    static constexpr uint32_t kHoverTint = 0x40FFFFFFu;
    static constexpr const char* kTexture = "fleet_overlay_icon.dds";

    struct Region {
        float u0, v0, u1, v1;
    };

    GUI_FleetOverlayScrollButton(GUI_Callback callback, Region normal, Region hover);

    void Draw() override;
};
