#include "battle/GUI_AsteroidField.h"

#include <algorithm>
#include <cmath>

#include "battle/BattleView.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/GeometryHelpers.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_BattleClock.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

constexpr float kMinHittableSize = 8.0f;
constexpr float kBusyFrameSpare = 0.05f;

} // namespace

void GUI_Asteroid::Init(float newDepth, int newKind, float x, float y)
{
    depth = newDepth;
    kind = newKind;
    minZoom = 0.0f;
    maxZoom = -1.0f;
    if (kind == DISTANT) {
        size = VisualRange(1.0f, 4.0f);
        // Small distant rocks show only close up.
        minZoom = 5.0f - size;
    } else {
        size = VisualChance(0.07f) ? VisualRange(32.0f, 100.0f) : VisualRange(4.0f, 32.0f);
    }
    // Small rocks take the 8 x 8 cells of the sheet's lower quarter, big ones
    // the first twelve cells of its 4 x 4 reading.
    if (size < 64.0f) {
        const int cell = 48 + SheetCell(VisualFloat(), 16);
        uv[0] = static_cast<float>(cell % 8) / 8.0f;
        uv[2] = static_cast<float>(cell / 8) / 8.0f;
        uv[1] = uv[0] + 0.125f;
        uv[3] = uv[2] + 0.125f;
    } else {
        const int cell = SheetCell(VisualFloat(), 12);
        uv[0] = static_cast<float>(cell % 4) / 4.0f;
        uv[2] = static_cast<float>(cell / 4) / 4.0f;
        uv[1] = uv[0] + 0.25f;
        uv[3] = uv[2] + 0.25f;
    }
    angle = VisualFloat() * 360.0f;
    const float turn = 1.0f - size / 100.0f;
    spin = VisualRange(-turn, turn);
    worldX = x;
    worldY = y;
    cullRadius = size * 1.5f;
    canBePushed = depth > 0.8f && depth < 1.2f;
    pushX = pushY = 0.0f;
    pushStrength = canBePushed ? 100.0f / size : 0.0f;
    pushed = false;
}

bool GUI_Asteroid::DecayPush(float step)
{
    if (pushX * pushX + pushY * pushY < kPushRest) {
        pushX = pushY = 0.0f;
        return false;
    }
    pushX -= step * kPushDecay * pushX;
    pushY -= step * kPushDecay * pushY;
    return true;
}

bool GUI_Asteroid::TestPush(float p, float blastX, float blastY)
{
    const float d2 = DistanceSquared(blastX, blastY, worldX, worldY);
    if (d2 > kPushRadiusSq) {
        pushed = false;
        return false;
    }
    const float f = std::clamp(1.0f - d2 / kPushRadiusSq, 0.0f, 1.0f);
    const float speed = f * p * pushStrength;
    const float g = AngleBetweenPoints(blastX, blastY, worldX, worldY) * BattleView::kDegToRad;
    pushX = std::sin(g) * speed;
    pushY = -std::cos(g) * speed;
    pushed = true;
    return true;
}

bool GUI_Asteroid::Draw(QuadRunBatch& batch, TextureHandle texture, float step)
{
    if (kind == DISTANT && !UpdateLodAlpha())
        return false;
    if (kind == FIELD && pushed) {
        pushed = DecayPush(step);
        worldX += step * pushX;
        worldY += step * pushY;
    }
    Project();
    const float r = ZoomScale * cullRadius;
    const GUI_Map& map = GUI_Map::GetInstance();
    const float sw = static_cast<float>(map.GetScreenWidth()), sh = static_cast<float>(map.GetScreenHeight());
    if (screenX < -r || screenX > sw + r || screenY < -r || screenY > sh + r)
        return false;
    angle = FmodTurn(angle + spin * step);
    if (angle < 0.0f)
        angle += 360.0f;
    const float side = ZoomScale * size;
    const float a = angle * BattleView::kDegToRad;
    const uint32_t colour = kind == DISTANT ? WhiteAlpha(lodAlpha) : 0xFFFFFFFFu;
    PlaceHeadingQuad(screenX, screenY, side, side, std::sin(a), std::cos(a), uv, colour, quad);
    batch.Add(texture, false, quad);
    return true;
}

GUI_AsteroidField& GUI_AsteroidField::GetInstance()
{
    static GUI_AsteroidField instance;
    return instance;
}

void GUI_AsteroidField::Build(int n, float topX, float bottomX, float mapWidth, float mapHeight)
{
    count = std::max(n, 0);
    ax = topX * mapWidth;
    ay = 0.0f;
    bx = bottomX * mapWidth;
    by = mapHeight;
    length = DistanceBetweenPoints(ax, ay, bx, by);
    const float heading = AngleBetweenPoints(ax, ay, bx, by) * BattleView::kDegToRad;
    sine = std::sin(heading);
    cosine = std::cos(heading);
    asteroids = count > 0 ? std::make_unique<GUI_Asteroid[]>(static_cast<size_t>(3 * count)) : nullptr;
    backCount = frontCount = 0;
    auto place = [this](GUI_Asteroid& rock, float depth, int kind) {
        const float r = VisualRange(0.0f, length);
        const float x = ax + r * sine + VisualFloat() * 400.0f - 200.0f;
        const float y = ay - r * cosine + VisualFloat() * 400.0f - 200.0f;
        rock.Init(depth, kind, x, y);
    };
    int i = 0;
    const int distant = 2 * count, middle = 2 * (count / 3), nearCount = count - 2 * (count / 3);
    for (int k = 0; k < distant; ++k, ++i, ++backCount)
        place(asteroids[i], 0.25f + 0.25f / static_cast<float>(distant) * static_cast<float>(k), GUI_Asteroid::DISTANT);
    for (int k = 0; k < middle; ++k, ++i, ++backCount)
        place(asteroids[i], 0.5f + 0.5f / static_cast<float>(middle) * static_cast<float>(k), GUI_Asteroid::FIELD);
    for (int k = 0; k < nearCount; ++k, ++i, ++frontCount)
        place(asteroids[i], 1.0f + 0.8f / static_cast<float>(nearCount) * static_cast<float>(k), GUI_Asteroid::FIELD);
}

void GUI_AsteroidField::DrawRange(int first, int last, QuadRunBatch& batch)
{
    const TextureHandle handle = texture.GetHandle();
    const float step = SIM_BattleClock::GetInstance().frameStep;
    for (int i = first; i < last; ++i)
        asteroids[static_cast<size_t>(i)].Draw(batch, handle, step);
}

void GUI_AsteroidField::DrawBack()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (count == 0 || !engine.IsInitialised())
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    batch.Begin(engine.GetScreenWidth(), engine.GetScreenHeight());
    // The distant specks only show close up.
    if (ZoomScale > 1.0f) {
        DrawRange(0, 2 * count, batch);
        batch.Flush();
    }
    DrawRange(2 * count, backCount, batch);
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    Effect& depth = gui.GetEffect(GUI_BattleGUI::FX_DEPTH);
    const bool begun = gui.shadersOn && depth.IsLoaded() && depth.Begin();
    batch.End();
    if (begun)
        depth.End();
    engine.SetNormalBlend();
}

void GUI_AsteroidField::DrawFront()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (count == 0 || !engine.IsInitialised())
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    batch.Begin(engine.GetScreenWidth(), engine.GetScreenHeight());
    DrawRange(backCount, backCount + frontCount, batch);
    batch.End();
}

void GUI_AsteroidField::ApplyBlast(float strength, float x, float y, float frameSpare)
{
    if (count == 0 || frameSpare < kBusyFrameSpare)
        return;
    for (int i = 2 * count; i < 3 * count; ++i) {
        GUI_Asteroid& rock = asteroids[static_cast<size_t>(i)];
        if (rock.canBePushed)
            rock.TestPush(strength, x, y);
    }
}

bool GUI_AsteroidField::HitTest(float sx, float sy)
{
    const GUI_Map& map = GUI_Map::GetInstance();
    const float sw = static_cast<float>(map.GetScreenWidth()), sh = static_cast<float>(map.GetScreenHeight());
    for (int i = backCount; i < backCount + frontCount; ++i) {
        GUI_Asteroid& rock = asteroids[static_cast<size_t>(i)];
        if (!(rock.size > kMinHittableSize))
            continue;
        rock.Project();
        const float r = ZoomScale * rock.cullRadius;
        if (rock.screenX < -r || rock.screenX > sw + r || rock.screenY < -r || rock.screenY > sh + r)
            continue;
        const float reach = ZoomScale * rock.size * 0.25f * ZoomScale;
        if (DistanceSquared(sx, sy, rock.screenX, rock.screenY) < reach * reach) {
            SpawnParticleEmmiter("debris_destroyed", rock.screenX / ZoomScale + map.viewLeft,
                                 rock.screenY / ZoomScale + map.viewTop, 0.0f, 0.0f);
            return true;
        }
    }
    return false;
}

int GUI_AsteroidField::SceneryProbe(float screenX, float screenY, bool asteroidsToo)
{
    if (asteroidsToo && GetInstance().HitTest(screenX, screenY))
        return SIM_GunProjectiles::ASTEROID;
    return SIM_GunProjectiles::NO_SCENERY;
}
