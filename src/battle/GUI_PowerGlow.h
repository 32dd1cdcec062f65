#pragma once
#include <string>

#include "battle/AttachmentView.h"
#include "battle/GUI_RenderObject.h"
#include "engine/CTexturedSprite.h"
#include "sim/SIM_Prefetch.h"

class SIM_Ship;

// A textured spot on a hull that rises and falls once per period, drawn over
// the hull while the ship is in battle and not cloaked.
class GUI_PowerGlow : public GUI_RenderObject {
public:
    // px, py on the 256 grid; size on a 512 grid; all by the hull's width.
    GUI_PowerGlow(SIM_Ship* ship, float size, float period, const std::string& texture, float px, float py);
    void Draw() override;
    void Draw(const AttachmentView& view);

    // 0..255 at the current phase; the alpha of the last draw.
    int GetAlpha() const { return alpha; }
    // Starts loading what Draw reads before it knows whether the glow shows.
    void PrefetchDraw() const
    {
        PrefetchObject(&timer);
        PrefetchObject(&reach);
    }
    float timer = 0.0f;

private:
    CTexturedSprite sprite;
    float period = 1000.0f;
    float localX = 0.0f, localY = 0.0f;
    SIM_Ship* ship = nullptr;
    float size = 0.0f;
    // How far from the ship's centre the quad may reach, in map units.
    float reach = 0.0f;
    int alpha = 0;
};
