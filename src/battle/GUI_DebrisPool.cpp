#include "battle/GUI_DebrisPool.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "battle/EffectDrawing.h"
#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/VisualRandom.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Ship.h"
#include "engine/GeometryHelpers.h"

namespace {

constexpr float kDegToRad = 0.017453292519943295f;
constexpr int kSheetSide = 4; // the debris sheet is 4 x 4 cells

// The top-left texture coordinates of each cell of the sheet.
struct SheetCorner {
    float u, v;
};
constexpr std::array<SheetCorner, kSheetSide * kSheetSide> MakeSheetCorners()
{
    std::array<SheetCorner, kSheetSide * kSheetSide> corners{};
    for (int c = 0; c < kSheetSide * kSheetSide; ++c)
        corners[static_cast<size_t>(c)] = SheetCorner{static_cast<float>(c % kSheetSide) / kSheetSide,
                                                      static_cast<float>(c / kSheetSide) / kSheetSide};
    return corners;
}
constexpr std::array<SheetCorner, kSheetSide * kSheetSide> kSheetCorners = MakeSheetCorners();

int RandomInt()
{
    return VisualInt();
}

} // namespace

GUI_Debris::GUI_Debris()
{
    sizeSeed = VisualFloat();
    minZoom = 2.6f - 2.0f * sizeSeed;
}

static_assert(offsetof(GUI_Debris, pushY) + sizeof(float) <= 64, "what a frame reads of a piece fits one cache line");
static_assert(sizeof(GUI_Debris) == 128);

void GUI_Debris::Birth(float velX, float velY, float sizeFactor, int cell, bool heavy, float px, float py)
{
    scale = VisualRange(0.9f, 1.1f);
    alpha = 1.0f;
    x = px;
    y = py;
    spin = VisualFloat() * 10.0f - 5.0f;
    endSpin = spin * 0.2f;
    vx = velX;
    vy = velY;
    angle = VisualFloat() * 360.0f;
    size = (sizeSeed + 0.25f) * sizeFactor;
    frame = std::clamp(cell, 0, 255);
    permanent = heavy || VisualChance(0.25f) ? 1 : 0;
    alive = 1;
    resting = 0;
    pushed = 0;
    pushX = pushY = 0.0f;
}

inline bool GUI_Debris::Advance(const Pace& pace)
{
    const float d = pace.step, drag = pace.drag;
    // The spin decays towards its end value but never past it.
    const float nextSpin = spin - d * spin * 0.001f;
    spin = std::fabs(nextSpin) < std::fabs(endSpin) ? endSpin : nextSpin;
    if (resting)
        return true;
    if (pushed && !DecayPush(d, pushX, pushY))
        pushed = 0;
    if (!permanent) {
        alpha -= pace.fade;
        size *= pace.shrink;
        if (alpha <= 0.0f) {
            alive = 0;
            if (pool)
                pool->NoteDied(slot);
            return false;
        }
    } else if (std::fabs(vx) < 0.001f && std::fabs(vy) < 0.001f) {
        vx = vy = 0.0f;
        resting = 1;
        return true;
    }
    vx -= drag * vx;
    vy -= drag * vy;
    x += d * vx;
    y += d * vy;
    if (pushed) {
        x += d * pushX;
        y += d * pushY;
    }
    return true;
}

bool GUI_Debris::Advance(float step)
{
    return Advance(Pace(step));
}

inline void GUI_Debris::PlaceQuad(ScreenVertex quad[4], float cx, float cy, float h, float s, float c, uint32_t colour) const
{
    PlaceTurnedQuad(quad, cx, cy, h, h, s, c, colour);
    // Birth keeps the frame in 0..255: the low bits are the cell.
    const SheetCorner corner = kSheetCorners[static_cast<unsigned>(frame) % (kSheetSide * kSheetSide)];
    const float u0 = corner.u, v0 = corner.v;
    const float d = 1.0f / kSheetSide;
    quad[0].u = u0; quad[0].v = v0;
    quad[1].u = u0 + d; quad[1].v = v0;
    quad[2].u = u0; quad[2].v = v0 + d;
    quad[3].u = u0 + d; quad[3].v = v0 + d;
}

bool GUI_Debris::TestPush(float p, float bx, float by)
{
    if (!BlastPush(p, kPushStrength, kPushRadiusSq, bx, by, x, y, pushX, pushY)) {
        pushed = 0;
        return false;
    }
    pushed = 1;
    resting = 0;
    return true;
}

bool GUI_Debris::IsOffScreen(float margin) const
{
    return GUI_Map::GetInstance().IsOffScreen(x, y, margin);
}

// ---- the pool ----------------------------------------------------------------

GUI_DebrisPool::GUI_DebrisPool()
    : storage(std::make_unique<GUI_Debris[]>(kPieces))
{
    for (int i = 0; i < kPieces; ++i) {
        pieces[i] = &storage[i];
        pieces[i]->pool = this;
        pieces[i]->slot = i;
    }
    Reset();
}

GUI_DebrisPool::~GUI_DebrisPool() = default;

GUI_DebrisPools& GetDebrisPools()
{
    static GUI_DebrisPools pools;
    return pools;
}

void GUI_DebrisPool::Reset()
{
    for (int i = 0; i < kPieces; ++i) {
        pieces[i]->alive = 0;
        pieces[i]->slot = i;
    }
    died = 0;
    inUse = 0;
    cursor = 0;
    std::fill(std::begin(offScreenCache), std::end(offScreenCache), -1);
    offScreenCached = 0;
    std::fill(std::begin(freedCache), std::end(freedCache), -1);
}

int GUI_DebrisPool::CountAlive() const
{
    int n = 0;
    for (const GUI_Debris* piece : pieces)
        n += piece->alive ? 1 : 0;
    return n;
}

void GUI_DebrisPool::NoteDied(int slot)
{
    ++died;
    for (int& entry : freedCache) {
        if (entry < 0) {
            entry = slot;
            return;
        }
    }
}

int GUI_DebrisPool::FindFreeSlot()
{
    for (int& entry : freedCache) {
        if (entry >= 0) {
            const int slot = entry;
            entry = -1;
            if (!pieces[slot]->alive)
                return slot;
        }
    }
    // A full pool is the common case once a battle is under way: the block
    // is looked through without the pointers first (the pointers order the
    // same pieces), and the ordered search only runs when a piece is free.
    if (AllAlive())
        return TakeOffScreen();
    // From the cursor round to it again, in two plain runs rather than a
    // remainder per piece looked at.
    for (int i = cursor; i < kPieces; ++i) {
        if (!pieces[i]->alive) {
            cursor = i;
            inUse = std::max(inUse, i + 1);
            return i;
        }
    }
    for (int i = 0; i < cursor; ++i) {
        if (!pieces[i]->alive) {
            cursor = i;
            inUse = std::max(inUse, i + 1);
            return i;
        }
    }
    return TakeOffScreen();
}

bool GUI_DebrisPool::AllAlive() const
{
    // Eight flags a step, joined without a branch each.
    static_assert(kPieces % 8 == 0);
    for (int i = 0; i < kPieces; i += 8) {
        const GUI_Debris* const p = &storage[i];
        const unsigned all = p[0].alive & p[1].alive & p[2].alive & p[3].alive & p[4].alive & p[5].alive &
                             p[6].alive & p[7].alive;
        if (!all)
            return false;
    }
    return true;
}

int GUI_DebrisPool::TakeOffScreen()
{
    for (int& entry : offScreenCache) {
        if (entry >= 0) {
            const int slot = entry;
            entry = -1;
            --offScreenCached;
            return slot;
        }
    }
    for (int i = 0; i < kPieces; ++i) {
        if (pieces[i]->IsOffScreen(pieces[i]->size + 200.0f))
            return i;
    }
    return RandomInt() % kPieces;
}

void GUI_DebrisPool::Emit(int count, float sizeFactor, int frameFirst, int frameEnd, bool heavy, float px, float py,
                          float dx, float dy)
{
    if (count <= 0 || !GUI_BattleGUI::GetInstance().debris)
        return;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0f) {
        dx /= length;
        dy /= length;
    }
    GUI_DebrisPools& pools = GetDebrisPools();
    float a = VisualFloat() * 360.0f;
    const float step = 360.0f / static_cast<float>(count);
    for (int n = 0; n < count; ++n) {
        GUI_DebrisPool& pool = pools.toggle ? pools.second : pools.first;
        pools.toggle ^= 1;
        const float f = VisualFloat() * 0.9f + 0.1f;
        const float vx = std::sin(a * kDegToRad) * f, vy = -std::cos(a * kDegToRad) * f;
        const float m = 4.0f * std::sqrt(vx * vx + vy * vy);
        // An empty range (end not past first) gives the first cell.
        const int range = frameEnd - frameFirst;
        const int frame = range > 0 ? frameFirst + RandomInt() % range : frameFirst;
        const int slot = pool.FindFreeSlot();
        pool.pieces[slot]->Birth(m * dx + vx, m * dy + vy, sizeFactor, frame, heavy, px, py);
        a += step;
        if (a > 360.0f)
            a -= 360.0f;
    }
}

void GUI_DebrisPool::UpdateAndDraw()
{
    const GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    const float d = gui.frameStep;
    const GUI_Debris::Pace pace(d);
    const GUI_Map& map = GUI_Map::GetInstance();
    const TextureHandle texture = EffectTextures::Get(EffectTextures::DEBRIS);
    EffectBatchScope scope;
    // The view in locals: the pieces' float stores could otherwise alias it
    // and reload it for every piece.
    const float zoom = ZoomScale;
    const float viewLeft = map.viewLeft, viewTop = map.viewTop, viewRight = map.viewRight, viewBottom = map.viewBottom;
    // The quads go to the batch in order a run at a time, staged as one by
    // one but with the texture looked up once per run.
    constexpr int kRun = 32;
    ScreenVertex quads[kRun * 4];
    int built = 0;
    for (int i = 0; i < inUse; ++i) {
        GUI_Debris& piece = *pieces[i];
        if (!piece.alive || !piece.Advance(pace))
            continue;
        if (zoom < piece.minZoom)
            continue;
        // The map's own test with no margin.
        if (piece.x < viewLeft || piece.x > viewRight || piece.y < viewTop || piece.y > viewBottom) {
            // A full cache has no free entry to look for. A piece already
            // noted is not noted again: births would take it twice, the
            // second overwriting the first.
            if (offScreenCached < kCache &&
                std::find(std::begin(offScreenCache), std::end(offScreenCache), i) == std::end(offScreenCache)) {
                for (int& entry : offScreenCache) {
                    if (entry < 0) {
                        entry = i;
                        ++offScreenCached;
                        break;
                    }
                }
            }
            continue;
        }
        piece.angle += piece.spin * d;
        piece.angle = FmodTurn(piece.angle);
        if (piece.angle < 0.0f)
            piece.angle += 360.0f;
        const float h = piece.size * ZoomScale * piece.scale * 0.5f;
        const float a = piece.alpha * std::clamp(ZoomScale - piece.minZoom, 0.0f, 1.0f);
        piece.PlaceQuad(quads + 4 * built, (piece.x - map.cameraX) * ZoomScale, (piece.y - map.cameraY) * ZoomScale,
                        h, std::sin(piece.angle * kDegToRad), std::cos(piece.angle * kDegToRad), WhiteWithAlpha(a));
        if (++built == kRun) {
            scope.Batch().AddQuads(texture, false, quads, kRun);
            built = 0;
        }
    }
    if (built > 0)
        scope.Batch().AddQuads(texture, false, quads, static_cast<size_t>(built));
    if (inUse > 1000 && died > 100)
        Compact();
}

void GUI_DebrisPool::Compact()
{
    int live = 0, dead = 0;
    for (int i = 0; i < kPieces; ++i) {
        if (pieces[i]->alive)
            scratchLive[live++] = pieces[i];
        else
            scratchDead[dead++] = pieces[i];
    }
    for (int i = 0; i < live; ++i)
        pieces[i] = scratchLive[i];
    for (int i = 0; i < dead; ++i)
        pieces[live + i] = scratchDead[i];
    for (int i = 0; i < kPieces; ++i)
        pieces[i]->slot = i;
    inUse = live;
    died = 0;
    cursor = live % kPieces;
    std::fill(std::begin(offScreenCache), std::end(offScreenCache), -1);
    offScreenCached = 0;
    std::fill(std::begin(freedCache), std::end(freedCache), -1);
}

void GUI_DebrisPool::Shock(float p, float bx, float by)
{
    for (int i = 0; i < inUse; ++i)
        if (pieces[i]->alive)
            pieces[i]->TestPush(p, bx, by);
}

bool GUI_DebrisPool::HitTest(float px, float py)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    for (int i = 0; i < inUse; ++i) {
        GUI_Debris& piece = *pieces[i];
        if (!piece.alive || !piece.resting || piece.IsOffScreen(piece.size + 200.0f))
            continue;
        const float sx = (piece.x - map.cameraX) * ZoomScale, sy = (piece.y - map.cameraY) * ZoomScale;
        const float r = 8.0f * ZoomScale;
        if ((sx - px) * (sx - px) + (sy - py) * (sy - py) > r * r)
            continue;
        // Also under the piece as drawn: a small piece is not blown away by a
        // click beside it.
        ScreenVertex quad[4];
        const float h = piece.size * ZoomScale * piece.scale * 0.5f;
        piece.PlaceQuad(quad, sx, sy, h, std::sin(piece.angle * kDegToRad), std::cos(piece.angle * kDegToRad), 0u);
        float minX = quad[0].x, maxX = quad[0].x, minY = quad[0].y, maxY = quad[0].y;
        for (const ScreenVertex& v : quad) {
            minX = std::min(minX, v.x);
            maxX = std::max(maxX, v.x);
            minY = std::min(minY, v.y);
            maxY = std::max(maxY, v.y);
        }
        if (px < minX || px >= maxX || py < minY || py >= maxY)
            continue;
        SpawnParticleEmmiter("debris_destroyed", piece.x, piece.y, 0.0f, 0.0f);
        piece.alive = 0;
        NoteDied(i);
        return true;
    }
    return false;
}

void SpawnDebris(int count, float size, bool heavy, float x, float y, float dx, float dy, const SIM_Ship* ship)
{
    int first = 0, end = 16;
    if (ship && ship->race) {
        first = ship->race->GetDebrisStartUV();
        end = ship->race->GetDebrisEndUV();
    }
    GUI_DebrisPool::Emit(count, size, first, end, heavy, x, y, dx, dy);
}
