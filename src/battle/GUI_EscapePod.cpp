#include "battle/GUI_EscapePod.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectDrawing.h"
#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/GeometryHelpers.h"
#include "engine/QuadRunBatch.h"

namespace {
constexpr float kRadToDeg = 57.29577951308232f;
constexpr float kDegToRad = 0.017453292519943295f;
constexpr float kPodSide = 4.0f; // world units
} // namespace

std::vector<GUI_EscapePod>& GetEscapePods()
{
    static auto* list = NewReservedList<GUI_EscapePod>(128);
    return *list;
}

GUI_EscapePod::GUI_EscapePod(float px, float py, bool left, float h)
    : x(px), y(py), sine(std::sin(h * kDegToRad)), cosine(std::cos(h * kDegToRad)), leftSide(left)
{
    const float mapWidth = GUI_Map::GetInstance().mapWidth;
    targetX = leftSide ? -100.0f : mapWidth + 100.0f;
    targetY = y + VisualFloat() * 128.0f - 64.0f;
}

void GUI_EscapePod::Move(float step)
{
    // It leaves the map before it reaches its target; were it there, it
    // would point up.
    if (!BearingOfWay(targetX - x, targetY - y, sine, cosine)) {
        sine = 0.0f;
        cosine = 1.0f;
    }
    x += sine * kSpeed * step;
    y -= cosine * kSpeed * step;
}

float GUI_EscapePod::Heading() const
{
    const float a = std::atan2(sine, cosine) * kRadToDeg;
    return a < 0.0f ? a + 360.0f : a;
}

bool GUI_EscapePod::HasLeftMap() const
{
    return x < -10.0f || x > GUI_Map::GetInstance().mapWidth + 10.0f;
}

void LaunchEscapePod(float x, float y, float heading, bool playerSide)
{
    if (!GUI_BattleGUI::GetInstance().escapePods)
        return;
    GetEscapePods().emplace_back(x, y, playerSide, heading);
}

void DrawEscapePods()
{
    auto& list = GetEscapePods();
    if (list.empty())
        return;
    const float step = GUI_BattleGUI::GetInstance().frameStep;
    const GUI_Map& map = GUI_Map::GetInstance();
    EffectBatchScope scope;
    QuadRunBatch& batch = scope.Batch();
    const TextureHandle glow = EffectTextures::Get(EffectTextures::ESCAPE_POD_ENGINES);
    // A pod is its engine's glow, kPodSide world units on a side.
    const float glowSide = kPodSide * ZoomScale;
    // The glow's corners lie within its side of its centre, and the screen
    // test grows the screen by 1.5 sides for a turned sprite: a pod farther
    // out than that (and a pixel) cannot show, and most are. Near the edge
    // the sprite's own test decides.
    const D3DEngine& engine = D3DEngine::GetInstance();
    const float reach = 2.5f * std::fabs(glowSide) + 1.0f;
    const float lowest = -reach;
    const float rightmost = static_cast<float>(engine.GetScreenWidth()) + reach;
    const float lowermost = static_cast<float>(engine.GetScreenHeight()) + reach;
    for (GUI_EscapePod& pod : list) {
        pod.Move(step);
        const float sx = (pod.x - map.cameraX) * ZoomScale, sy = (pod.y - map.cameraY) * ZoomScale;
        if (sx < lowest || sy < lowest || sx > rightmost || sy > lowermost)
            continue;
        pod.engine.SetSize(glowSide, glowSide);
        // The angle only for the screen test, which grows for a turned sprite.
        pod.engine.SetAngle(pod.Heading());
        pod.engine.PlaceRotatedSinCos(sx, sy, pod.sine, pod.cosine);
        if (!pod.engine.IsOnScreen())
            continue;
        batch.Add(glow, true, pod.engine.m_vertices);
    }
}

void PurgeEscapePods()
{
    auto& list = GetEscapePods();
    list.erase(std::remove_if(list.begin(), list.end(), [](const GUI_EscapePod& p) { return p.HasLeftMap(); }),
               list.end());
}

void ClearEscapePods()
{
    GetEscapePods().clear();
}
