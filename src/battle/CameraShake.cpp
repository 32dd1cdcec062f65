#include "battle/CameraShake.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_BattleGUI.h"
#include "battle/VisualRandom.h"

CameraShake& CameraShake::GetInstance()
{
    static CameraShake instance;
    return instance;
}

void CameraShake::Start(float intensity)
{
    if (!GUI_BattleGUI::GetInstance().cameraShake || !(intensity > 0.0f))
        return;
    duration = intensity * kMsPerIntensity;
    elapsed = 0.0f;
    baseAmplitude = amplitude = intensity * kAmplitudePerIntensity;
    period = kStartPeriod;
    phaseX = VisualRange(0.0f, period);
    phaseY = VisualRange(0.0f, period);
    active = 1;
}

void CameraShake::Update(float dt)
{
    if (!active)
        return;
    elapsed += dt;
    float t = duration > 0.0f ? elapsed / duration : 1.0f;
    if (t >= 1.0f)
        active = 0; // this frame's offsets still follow, at amplitude 0
    t = std::clamp(t, 0.0f, 1.0f);
    amplitude = (1.0f - t) * baseAmplitude;
    period = t * kPeriodGrowth + kStartPeriod;
    phaseX += dt;
    phaseY += dt;
    if (phaseX > period)
        phaseX -= period;
    if (phaseY > period)
        phaseY -= period;
    constexpr float kTwoPi = 6.283185307179586f;
    offsetX = std::sin(phaseX / period * kTwoPi) * amplitude;
    offsetY = std::sin(phaseY / period * kTwoPi) * amplitude;
}

void CameraShake::Reset()
{
    *this = CameraShake();
}
