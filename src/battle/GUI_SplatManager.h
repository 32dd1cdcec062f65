#pragma once
#include <vector>

#include "engine/CTexturedSprite.h"

class SIM_Ship;

// Short-lived glowing patches on a ship's hull, masked by the hull's own
// picture so they show only on its silhouette: an armour glow where armour
// took a hit (250 ms, growing from 2 to 50 units) and a radiation splat
// where radiation burns (900 ms). A patch is keyed by its centre, copied
// when it is added (ship-local units): a new event at the same centre
// restarts that patch, and the source of the event is never read again.
class GUI_SplatManager {
public:
    static constexpr float kGlowMs = 250.0f;
    static constexpr float kRadiationMs = 900.0f;

    struct Key {
        float x = 0.0f, y = 0.0f;
        bool operator==(const Key& o) const { return x == o.x && y == o.y; }
    };
    struct Splat {
        Key key;
        float time = 0.0f;
        float alpha = 1.0f;
        float size = 2.0f;
        float fullSize = 0.0f;                  // radiation only
        float u0 = 0, v0 = 0, u1 = 1, v1 = 1;   // tile of the splat texture
        bool active = true;
    };

    explicit GUI_SplatManager(SIM_Ship* ship);
    virtual ~GUI_SplatManager() = default;

    void AddArmourGlow(float x, float y);
    void AddRadiation(float x, float y);
    void Update(float dt);
    virtual void Draw();
    // Nothing to age, draw or reset: most ships' draws pass over it.
    bool IsIdle() const { return glows.empty() && radiation.empty() && lastDrawn == 0; }

    const std::vector<Splat>& GetGlows() const { return glows; }
    const std::vector<Splat>& GetRadiation() const { return radiation; }
    // Quads staged by the last draw (tests).
    int GetLastDrawnCount() const { return lastDrawn; }

    // A radiation tile 0..3 of the 2 x 2 sheet from a value in 0..1.
    static int RadiationTile(float value);

private:
    bool StageSplat(const Splat& splat, ScreenVertex2 quad[4]) const;

    CTexturedSprite hullSprite;
    SIM_Ship* ship = nullptr;
    std::vector<Splat> glows;
    std::vector<Splat> radiation;
    int lastDrawn = 0;
};
