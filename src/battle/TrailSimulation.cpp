#include "battle/TrailSimulation.h"

#include <algorithm>
#include <cmath>

#include "engine/QuadRunBatch.h"

TrailSimulation::TrailSimulation() = default;

void TrailSimulation::Init(int style, float /*startValue*/, float pointCount, float newWidth, float segmentLength)
{
    detached = false;
    segmentLengthSq = segmentLength * segmentLength;
    width = newWidth;
    count = std::clamp(static_cast<int>(pointCount), 1, kMaxPoints);
    const bool right = style != 0 && style != 2;
    const bool lower = style == 2 || style == 3;
    uv[0] = right ? 0.5f : 0.0f;
    uv[1] = uv[0] + 0.5f;
    uv[2] = lower ? 0.55f : 0.05f;
    uv[3] = lower ? 0.95f : 0.45f;
    drawnCount = 0;
    Reset();
}

void TrailSimulation::Reset()
{
    residual = 0.0f;
    headAngle = 0.0f;
    std::fill(std::begin(active), std::end(active), false);
    std::fill(std::begin(age), std::end(age), 0.0f);
}

bool TrailSimulation::HasActivePoint() const
{
    return std::any_of(active, active + count, [](bool on) { return on; });
}

void TrailSimulation::AddAge(float ms)
{
    for (int i = 0; i < count; ++i)
        age[i] += ms;
}

void TrailSimulation::MoveHead(float angle, float x, float y)
{
    const float dx = x - px[1 < count ? 1 : 0], dy = y - py[1 < count ? 1 : 0];
    const float d2 = dx * dx + dy * dy;
    residual = d2;
    if (d2 <= segmentLengthSq)
        return;
    for (int i = count - 1; i > 0; --i) {
        px[i] = px[i - 1];
        py[i] = py[i - 1];
        active[i] = active[i - 1];
        age[i] = age[i - 1];
        sine[i] = sine[i - 1];
        cosine[i] = cosine[i - 1];
    }
    px[0] = x;
    py[0] = y;
    active[0] = true;
    age[0] = 0.0f;
    sine[0] = std::sin(angle * BattleView::kDegToRad);
    cosine[0] = std::cos(angle * BattleView::kDegToRad);
    residual = d2 - segmentLengthSq;
    headAngle = angle;
}

void TrailSimulation::Draw(const BattleView& view, QuadRunBatch& batch, TextureHandle texture, bool additive)
{
    anyVisible = HasActivePoint();
    drawnCount = 0;
    if (!anyVisible)
        return;
    const float w = view.zoom * width * 0.5f;
    int staging = 0;
    int previousAlpha = 255;
    bool first = true;
    for (int i = 0; i < count; ++i) {
        if (!active[i])
            continue;
        ++drawnCount;
        const float sx = view.ScreenX(px[i]), sy = view.ScreenY(py[i]);
        if (sx < -kScreenMargin || sx > view.width + kScreenMargin || sy < -kScreenMargin ||
            sy > view.height + kScreenMargin) {
            // Kept until it is old, so a ribbon coming back on screen is whole.
            if (age[i] > lifetime)
                active[i] = false;
            continue;
        }
        int alpha = 255 - static_cast<int>(std::min(age[i] / lifetime, 1.0f) * 255.0f);
        alpha = std::min(alpha, 255);
        if (previousAlpha < 1) {
            active[i] = false;
            break;
        }
        bool last = false;
        if (i == 0 && !detached) {
            alpha = 255;
        } else if (alpha < 1) {
            active[i] = false;
            last = i == 0;
        }
        const uint32_t colour = (static_cast<uint32_t>(alpha) << 24) | 0x00FFFFFFu;
        const float s = sine[i], c = cosine[i];
        ScreenVertex* q = &staged[staging * 4];
        if (first) {
            q[0] = {sx + w * s - w * c, sy - w * c - w * s, 0.0f, 1.0f, colour, uv[0], uv[2]};
            q[1] = {sx + w * s + w * c, sy - w * c + w * s, 0.0f, 1.0f, colour, uv[1], uv[2]};
        } else {
            // The near edge is the previous drawn point's far edge, in its colour.
            const ScreenVertex* p = &staged[(staging - 1) * 4];
            q[0] = {p[2].x, p[2].y, 0.0f, 1.0f, p[2].colour, uv[0], uv[2]};
            q[1] = {p[3].x, p[3].y, 0.0f, 1.0f, p[3].colour, uv[1], uv[2]};
        }
        q[2] = {sx - w * s - w * c, sy - w * s + w * c, 0.0f, 1.0f, colour, uv[0], uv[3]};
        q[3] = {sx - w * s + w * c, sy + w * s + w * c, 0.0f, 1.0f, colour, uv[1], uv[3]};
        ++staging;
        first = false;
        previousAlpha = alpha;
        if (last)
            break;
    }
    for (int k = 0; k < staging; ++k)
        batch.Add(texture, additive, &staged[k * 4]);
}
