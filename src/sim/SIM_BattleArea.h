#pragma once

class SIM_Scenario;

// The battle's map as the simulation sees it: its size, the part in view (for
// sounds) and the camera (for screen positions). The battle screen's map fills
// this in; without a screen the whole map counts as in view at zoom 1.
class SIM_BattleArea {
public:
    virtual ~SIM_BattleArea() = default;

    // The area in use: the screen's map when the program has one, else a
    // plain headless area.
    static SIM_BattleArea& Get();
    using Provider = SIM_BattleArea& (*)();
    // Set once at start-up by the screen's map; the area is made on first use.
    static void SetProvider(Provider newProvider) { provider = newProvider; }

    virtual void SetUpForBattle(const SIM_Scenario* scenario);
    // Outside the visible map rectangle grown by margin on every side.
    virtual bool IsOffScreen(float x, float y, float margin) const;
    virtual float MapWidth() const { return width; }
    virtual float MapHeight() const { return height; }
    virtual float CameraX() const { return 0.0f; }
    virtual float CameraY() const { return 0.0f; }
    virtual float Zoom() const { return 1.0f; }

private:
    static inline Provider provider = nullptr;
    float width = 0.0f;
    float height = 0.0f;
};
