#pragma once
#include <vector>

#include "battle/GUI_RenderObject.h"
#include "engine/ShockwaveQuad.h"

// The bright flickering flash of a big blast, 400 ms long, drawn over its
// ship. Making one shakes the view when it is on screen and, for blasts
// above size 32, pushes the debris and hulks around it away.
class GUI_BlastGlare : public GUI_RenderObject {
public:
    static constexpr float kLifetimeMs = 400.0f;
    static constexpr float kFlickerMs = 6.0f;

    GUI_BlastGlare(float size, float x, float y);
    ~GUI_BlastGlare() override;
    void Draw() override;

    // The view shake a glare of this size at (x, y) gives; 0: none.
    static float ShakeStrength(float size, float x, float y);

    float x = 0.0f, y = 0.0f;
    float size = 0.0f;
    float lifetime = kLifetimeMs;
    float elapsed = 0.0f;
    ShockwaveQuad flash;
    unsigned char alive = 1;
    float flickerLevel = 1.0f;
    float flickerTimer = 0.0f;
    unsigned char flickerFlag = 1;
    int lastAlpha = 0;
};

// Made under the parent's visual (it draws the glare); null parent: the
// glare still shakes and pushes, and is purged unseen.
GUI_BlastGlare* SpawnBlastGlare(float size, float x, float y, GUI_RenderObject* parent);
void PurgeBlastGlares();
void ClearBlastGlares();
const std::vector<GUI_BlastGlare*>& GetBlastGlares();
