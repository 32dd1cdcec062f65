#pragma once
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_RenderObject.h"
#include "battle/VisualStep.h"
#include "engine/CTexturedSprite.h"

class SIM_Ship;

// The exhaust flame at one engine of a ship: brightness follows the ship's
// throttle, size flickers. Glows of large ships draw under the hull through
// the ship's child tree with a scrolling flame mask and carry an engine
// particle trail; fighters' glows are "batched": filed by the fighter's draw
// layer (0 or 2) and drawn by the battle frame in one run per layer.
class GUI_EngineGlow : public GUI_RenderObject {
public:
    static constexpr float kFlickerStepMs = 100.0f;

    GUI_EngineGlow(SIM_Ship* ship, const std::string& texture, const std::string& config, bool batched,
                   float offsetScale, float px, float py, float width, float length);
    ~GUI_EngineGlow() override;

    void Draw() override;
    // Places the glow for this frame; false when the ship stands still.
    bool Update();
    // The flame cannot show: its ship is out of view by more than its reach.
    bool FarOutOfView() const;
    void UpdateFlicker();
    void DrawMasked();
    // Steps the particle trail; out of view and beyond its reach it steps
    // only now and then, catching up the frames between.
    void EmitterStep();
    // How far from the engine the trail's particles can be (-1: unknown).
    float TrailReach() const;
    void SetLayer(int drawLayer);

    static void DrawLayerBatch(int drawLayer);
    static const std::vector<GUI_EngineGlow*>& GetLayerList(int drawLayer);
    // The masked flames of every large ship in one two-texture batch, drawn
    // by the battle frame before the large ships (the flames lie under the
    // hulls); their particle trails stay with each ship's drawing.
    static void DrawMaskedFlames();

    int GetDrawLayer() const { return drawLayer; }
    bool IsVisible() const { return visible != 0; }
    float GetThrottle() const { return throttle; }
    float GetFlickerScale() const
    {
        const float t = flickerTimer / kFlickerStepMs;
        return flickerPrevious * (1.0f - t) + flickerTarget * t;
    }
    float GetLocalX() const { return localX; }
    float GetLocalY() const { return localY; }
    float GetWorldX() const { return worldX; }
    float GetWorldY() const { return worldY; }
    const CTexturedSprite& GetSprite() const { return drawLayer == 1 ? maskedSprite : glowSprite; }
    GUI_ParticleEmmiter* GetEmitter() const { return emitter.get(); }
    SIM_Ship* GetShip() const { return ship; }

    float flickerTimer = 0.0f;
    float flickerTarget = 1.0f;
    float flickerPrevious = 1.0f;

private:
    friend class GUI_EngineGlowCollection;

    void LeaveList();
    void RefreshAlpha();
    // Update without the flame's sprite: the glow, its screen point and its
    // trail's emitter; false when the ship stands still.
    bool Locate();
    void PlaceSprite();
    // Whether the flame's sprite, placed, could be on the screen: false only
    // when it is off by far more than its size and any rounding.
    bool MayBeOnScreen() const;
    bool FlameOnScreen();

    float offsetScale = 1.0f;
    SIM_Ship* ship = nullptr;
    float localX = 0.0f, localY = 0.0f;
    float glowWidth = 0.0f, glowLength = 0.0f;
    std::unique_ptr<GUI_ParticleEmmiter> emitter;
    float worldX = 0.0f, worldY = 0.0f;
    float screenX = 0.0f, screenY = 0.0f;
    float maskScroll = 0.0f;
    float throttle = 0.0f;
    unsigned char visible = 0;
    int drawLayer = 1;
    // The sprite shows this frame's place (Locate alone leaves it behind).
    bool spritePlaced = false;
    VisualLag trailLag;
    // The trail's reach, for the emitter scale it was worked out at (NaN:
    // not yet).
    mutable float reachScale = std::numeric_limits<float>::quiet_NaN();
    mutable GUI_ParticleEmmiter::Reach reach;
    // Last: the sprites are large, and most glows place neither in a frame,
    // so the fields every glow reads stay on a few lines together.
    CTexturedSprite glowSprite;
    CTexturedSprite maskedSprite;
};

// Two or more glows of one ship: their places and particle trails each frame.
class GUI_EngineGlowCollection : public GUI_RenderObject {
public:
    GUI_EngineGlowCollection() { layer = 0; }
    void Draw() override;
    void Add(GUI_EngineGlow* glow) { glows.push_back(glow); }
    const std::vector<GUI_EngineGlow*>& GetGlows() const { return glows; }

private:
    std::vector<GUI_EngineGlow*> glows; // not owned
};
