#pragma once
#include <memory>
#include <vector>

#include "battle/GUI_RenderObject.h"
#include "engine/BaseSprite.h"

class GUI_Ship;
class SIM_Ship;

// One glowing band holding parts of a hull together, its pattern flowing
// along it. Points are fractions of the ship's width and height, centred.
class GUI_TractorBeam : public GUI_RenderObject {
public:
    GUI_TractorBeam(SIM_Ship* ship, float widthFactor, int direction, float angleOffset, float x1, float y1,
                    float x2, float y2);

    void Scroll(float ms);
    void Place();
    // Stages the band into the open masked batch.
    void Draw() override;
    // Every ship's bands in one two-texture batch, drawn by the battle frame
    // before the large ships (the bands lie under the hulls).
    static void DrawAll();

    float GetLength() const { return length; }
    float GetWidth() const { return width; }
    float GetAngle() const { return sprite.GetAngle(); }
    float GetScroll() const { return scroll; }
    float GetPeriod() const { return period; }
    // How far from the ship's centre the band can reach, however it turns.
    float GetReach() const;
    const SIM_Ship* GetShip() const { return ship; }
    float intensity = 1.0f;
    ScreenVertex2 quad[4];

private:
    SIM_Ship* ship = nullptr;
    float centreX = 0.0f, centreY = 0.0f;
    float length = 0.0f;
    float width = 0.0f;
    BaseSprite sprite;
    float scroll = 0.0f;
    int direction = 0;
    float period = 600.0f;
    float angleOffset = 0.0f;
};

// A ship's bands, switched on when the ship has arrived and faded in over
// one second of battle time; all bands draw in one two-texture batch.
class GUI_TractorBeamCollection : public GUI_RenderObject {
public:
    static constexpr float kFadeInMs = 1000.0f;

    // The bands of the owner's ship; without an owner, of the first band's
    // ship's visual.
    explicit GUI_TractorBeamCollection(const GUI_Ship* owner = nullptr);
    ~GUI_TractorBeamCollection() override;
    void Add(std::unique_ptr<GUI_TractorBeam> beam);
    void Activate(float battleTime);
    void Draw() override;
    // Every ship's bands in one two-texture batch, drawn by the battle frame
    // before the large ships (the bands lie under the hulls).
    static void DrawAll();
    // The bands' intensity at this battle time.
    float IntensityAt(float battleTime);

    bool IsActive() const { return active != 0; }
    const std::vector<std::unique_ptr<GUI_TractorBeam>>& GetBeams() const { return beams; }

private:
    std::vector<std::unique_ptr<GUI_TractorBeam>> beams;
    // Found once, not looked up each frame.
    const GUI_Ship* visual = nullptr;
    float startTime = 0.0f;
    // The farthest any band reaches from the ship's centre: a ship farther
    // off the screen than that has nothing of its bands to place.
    float reach = 0.0f;
    unsigned char fadingIn = 0;
    unsigned char active = 0;
};
