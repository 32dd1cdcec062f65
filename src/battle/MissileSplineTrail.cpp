#include "battle/MissileSplineTrail.h"

#include <algorithm>
#include <cmath>

#include "battle/VisualRandom.h"
#include "engine/QuadRunBatch.h"

namespace {
// Smoke cells of the 8 x 4 particle sheet: the second row and two more.
constexpr int kFirstTile = 8;
constexpr int kTiles = 10;
} // namespace

MissileSplineTrail::MissileSplineTrail()
{
    for (Puff& puff : puffs) {
        const int n = VisualInt() % kTiles + kFirstTile;
        puff.uv[0] = static_cast<float>(n % 8) * 0.125f;
        puff.uv[1] = puff.uv[0] + 0.125f;
        puff.uv[2] = static_cast<float>(n / 8) * 0.25f;
        puff.uv[3] = puff.uv[2] + 0.25f;
    }
}

void MissileSplineTrail::Reset(float x, float y)
{
    accumulator = 0.0f;
    active = true;
    next = 0;
    orphaned = false;
    notStarted = true;
    // The first puffs are laid from the launch point, not from wherever the
    // last flight ended.
    previousX = x;
    previousY = y;
}

int MissileSplineTrail::CountAlive() const
{
    return static_cast<int>(std::count_if(std::begin(puffs), std::end(puffs), [](const Puff& p) { return p.alive; }));
}

void MissileSplineTrail::MakePuff(float x, float y)
{
    Puff& puff = puffs[next];
    next = (next + 1) % kPuffs;
    puff.x = x;
    puff.y = y;
    puff.angle = VisualFloat() * 360.0f;
    puff.size = 1.2f + VisualFloat() * 0.79999995f;
    puff.alive = true;
    puff.age = 0.0f;
    puff.vx = VisualRange(-kDrift, kDrift);
    puff.vy = VisualRange(-kDrift, kDrift);
}

void MissileSplineTrail::Update(float time, float x, float y, float angle, float frameMs)
{
    accumulator += time;
    if (accumulator - kSpacing > 0.0f) {
        const float s = std::sin(angle * BattleView::kDegToRad), c = std::cos(angle * BattleView::kDegToRad);
        float d = 0.0f;
        do {
            d += kSpacing;
            MakePuff(previousX + s * d, previousY - c * d);
            notStarted = false;
        } while (d < accumulator - kSpacing);
        accumulator -= d;
    }
    for (Puff& puff : puffs)
        puff.age += time;
    ageRatio = frameMs > 0.0f ? time / frameMs : 0.0f;
    previousX = x;
    previousY = y;
}

bool MissileSplineTrail::AdvancePuff(Puff& puff, const BattleView& view, float frameMs)
{
    const float t = puff.age / kLife;
    if (t > 1.0f) {
        puff.alive = false;
        return false;
    }
    puff.alpha = 1.0f - t;
    if (view.IsOffScreen(puff.x, puff.y, kScreenMargin))
        return true;
    puff.x += puff.vx * frameMs;
    puff.y += puff.vy * frameMs;
    const float side = 2.0f * puff.size * (1.0f + 2.0f * t) * view.zoom;
    const float a = puff.angle * BattleView::kDegToRad;
    PlaceHeadingQuad(view.ScreenX(puff.x), view.ScreenY(puff.y), side, side, std::sin(a), std::cos(a), puff.uv,
                     WhiteAlpha(puff.alpha), puff.quad);
    return true;
}

void MissileSplineTrail::Draw(const BattleView& view, float frameMs, QuadRunBatch& batch, TextureHandle texture)
{
    if (!active)
        return;
    bool anyAlive = false;
    for (Puff& puff : puffs) {
        if (!puff.alive || !AdvancePuff(puff, view, frameMs))
            continue;
        anyAlive = true;
        if (!view.IsOffScreen(puff.x, puff.y, kScreenMargin))
            batch.Add(texture, false, puff.quad);
    }
    if (!anyAlive && !notStarted)
        active = false;
    if (orphaned)
        for (Puff& puff : puffs)
            puff.age += ageRatio * frameMs;
}
