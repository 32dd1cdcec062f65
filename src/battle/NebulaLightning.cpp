#include "battle/NebulaLightning.h"

#include "battle/VisualRandom.h"
#include "engine/GFileHelpers.h"

#include <algorithm>
#include <cmath>

NebulaLightning& GetNebulaLightning()
{
    static NebulaLightning instance;
    return instance;
}

void NebulaLightning::LoadEffect()
{
    // Only a shader we ship is loaded; a missing one leaves the slot empty.
    if (!effect.IsLoaded() && (FileExists(kEffectFile) || FileExists(std::string(kEffectFile) + ".frag")))
        effect.Load(kEffectFile);
}

void NebulaLightning::SetUp(float lightningInterval, float lightningStrength)
{
    interval = lightningInterval;
    strength = lightningStrength;
    flashCount = 1;
    state = 0;
    idleTime = flashTime = flashLength = 0.0f;
    flashesDone = 0;
    wait = strength > 0.0f ? VisualRange(interval * 0.5f, interval) : 0.0f;
    intensity = 0.0f;
}

void NebulaLightning::Update(float dt)
{
    if (strength <= 0.0f)
        return;
    if (state == 0) {
        idleTime += dt;
        if (idleTime > wait) {
            state = 1;
            flashCount = static_cast<int>(VisualRange(0.0f, 5.0f)) + 1;
            flashCount = std::min(flashCount, 5);
            flashTime = 0.0f;
            flashesDone = 0;
            flashLength = VisualRange(30.0f, 70.0f);
        }
        return;
    }
    flashTime += dt;
    if (flashTime > flashLength) {
        ++flashesDone;
        if (flashesDone <= flashCount) {
            flashTime = 0.0f;
            flashLength = VisualRange(100.0f, 200.0f);
        } else {
            idleTime = 0.0f;
            state = 0;
            wait = VisualRange(interval * 0.5f, interval);
            intensity = 0.0f;
        }
        return;
    }
    intensity = std::clamp(std::sin(3.14159265f * flashTime / flashLength), 0.0f, 1.0f);
}
