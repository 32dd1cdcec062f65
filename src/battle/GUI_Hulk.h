#pragma once
#include <memory>
#include <string>
#include <vector>

#include "battle/GUI_RenderObject.h"
#include "engine/SmartTexture.h"
#include "platform/IGraphicsDevice.h"

class GUI_ParticleEmmiter;
class GUI_Hulk;
class SIM_Ship;

// A particle emitter (smoke, sparks) riding on a hulk piece; it shows only
// from its own random minimum zoom upward.
class GUI_HulkEmmiter : public GUI_RenderObject {
public:
    GUI_HulkEmmiter(GUI_Hulk* hulk, const std::string& config, float offsetX, float offsetY);
    ~GUI_HulkEmmiter() override;
    void Draw() override;
    GUI_ParticleEmmiter* GetEmitter() const { return emitter.get(); }

private:
    std::unique_ptr<GUI_ParticleEmmiter> emitter;
    GUI_Hulk* hulk = nullptr;
    float offsetX = 0.0f, offsetY = 0.0f;
};

// One wreck piece of a destroyed ship, cut from the hull's hulk texture: it
// appears as the hull fades, drifts, turns slowly, darkens over ten seconds
// and shrinks to half its size over fifty.
class GUI_Hulk : public GUI_RenderObject {
public:
    static constexpr float kFadeInMs = 250.0f;
    static constexpr float kPushRadiusSq = 65536.0f;

    GUI_Hulk(const std::string& texture, float u0, float v0, float u1, float v1, float width, float height,
             float offsetX, float offsetY, int kind);
    ~GUI_Hulk() override;

    void Release(const SIM_Ship* ship);
    void Draw() override;
    void AddEmitter(const std::string& config, float offsetX, float offsetY);
    bool TestPush(float p, float bx, float by);
    // 1.0 when fresh, 0.75 from ten seconds on.
    float Contrast() const;

    float x = 0.0f, y = 0.0f;
    float width = 0.0f, height = 0.0f;
    float offsetX = 0.0f, offsetY = 0.0f;
    float heading = 0.0f;
    float scale = 1.0f;
    float age = 0.0f;
    float releaseAge = 0.0f;
    unsigned char visible = 0;
    unsigned char released = 0;
    int kind = 0;
    float driftSpeed = 0.0f;
    float driftSine = 0.0f, driftCosine = 1.0f;
    float spin = 0.0f;
    float pushStrength = 4.0f;
    float pushX = 0.0f, pushY = 0.0f;
    unsigned char pushed = 0;
    unsigned char drawFirst = 0;
    bool drewLastFrame = false;

private:
    SmartTexture texture;
    ScreenVertex quad[4];
    std::vector<std::unique_ptr<GUI_HulkEmmiter>> emitters;
};

// The hulk pieces a ship's hull makes, hidden until the ship dies; empty
// when the hull has no hulk texture or HULKS is off.
std::vector<std::unique_ptr<GUI_Hulk>> BuildHulks(const SIM_Ship* ship);
// Hands a ship's pieces to the battle's hulk list.
void ReleaseHulks(std::vector<std::unique_ptr<GUI_Hulk>>& hulks, const SIM_Ship* ship);
void DrawHulks();
void ClearHulks();
void PushHulks(float strength, float x, float y);
const std::vector<std::unique_ptr<GUI_Hulk>>& GetHulks();
