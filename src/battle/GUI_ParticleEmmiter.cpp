#include "battle/GUI_ParticleEmmiter.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleConfig.h"
#include "battle/VisualStep.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/QuadRunBatch.h"
#include "engine/SinCosTables.h"

namespace {

constexpr float kDegToRad = 0.017453292519943295f;

std::vector<std::unique_ptr<GUI_ParticleEmmiter>>& ActiveList()
{
    static std::vector<std::unique_ptr<GUI_ParticleEmmiter>> list;
    return list;
}

std::vector<std::unique_ptr<GUI_ParticleEmmiter>>& SpareList()
{
    static std::vector<std::unique_ptr<GUI_ParticleEmmiter>> list;
    return list;
}

uint32_t WhiteWithAlpha(float a)
{
    // Rounds half away from zero as lround does: a float in 0..255 plus a
    // half is exact in a double, so truncating it is the same rounding
    // without a library call per particle.
    const double scaled = static_cast<double>(std::clamp(a, 0.0f, 1.0f) * 255.0f);
    const auto byte = static_cast<uint32_t>(scaled + 0.5);
    return (byte << 24) | 0x00FFFFFFu;
}

} // namespace

GUI_ParticleEmmiter::GUI_ParticleEmmiter(const std::string& configName, float px, float py, float bx, float by)
    : x(px)
    , y(py)
    , biasX(bx)
    , biasY(by)
{
    config = FindParticleConfig(configName);
    if (!config)
        return; // inactive for good; the name was logged once
    if (config->Type == "BURN")
        blend = 1;
    else if (config->Type != "STANDARD")
        LOG_ERROR_ONCE("invalid particle type: " + config->Type + " in " + config->Name);
    Start();
}

GUI_ParticleEmmiter* GUI_ParticleEmmiter::Create(const std::string& configName, float px, float py, float bx,
                                                 float by)
{
    return new GUI_ParticleEmmiter(configName, px, py, bx, by);
}

void GUI_ParticleEmmiter::Start()
{
    steppedX = x;
    steppedY = y;
    elapsed = 0.0f;
    active = 1;
    highestSlot = 0;
    liveCount = 0;
    for (GUI_Particle& p : particles)
        p.alive = 0;
    const int initial = std::clamp(config->InitialParticles, 0, kMaxParticles);
    for (int i = 0; i < initial; ++i)
        SpawnParticle(i);
    firstFree = initial;
    spawnAccumulator = 0.0f;
}

void GUI_ParticleEmmiter::Restart(float px, float py, float bx, float by)
{
    x = px;
    y = py;
    biasX = bx;
    biasY = by;
    rateScale = 1.0f;
    alphaScale = 1.0f;
    if (!config)
        return;
    Start();
}

void GUI_ParticleEmmiter::SpawnParticle(int slot)
{
    const GUI_ParticleConfig& c = *config;
    GUI_Particle& p = particles[slot];
    const float s = scale;
    p.x = x + VisualRange(-c.XScatter * s, c.XScatter * s);
    p.y = y + VisualRange(-c.YScatter * s, c.YScatter * s);
    p.size = VisualRange(c.MinSize * s, c.MaxSize * s);
    p.alpha = 1.0f;
    p.age = 0.0f;
    p.alphaFalloff = c.AlphaFalloff;
    p.sizeFalloff = c.SizeFalloff;
    p.speedFalloff = c.SpeedFalloff;
    p.alive = 1;

    int frame = c.UVFrame;
    if (c.UVFrameSpan != 0)
        frame += VisualInt() & c.UVFrameSpan;
    // A frame past the sheet would sample a neighbour's picture or nothing.
    p.frame = static_cast<unsigned char>(
        std::clamp(frame, 0, GUI_ParticleConfig::kSheetColumns * GUI_ParticleConfig::kSheetRows - 1));

    p.angle = VisualRange(0.0f, 360.0f);
    p.sine = std::sin(p.angle * kDegToRad);
    p.cosine = std::cos(p.angle * kDegToRad);

    float vx, vy;
    if (c.IsAngled) {
        const float speed = VisualRange(c.MinXVelocity, c.MaxXVelocity);
        vx = speed * p.sine;
        vy = -speed * p.cosine;
    } else {
        vx = VisualRange(c.MinXVelocity, c.MaxXVelocity);
        vy = VisualRange(c.MinYVelocity, c.MaxYVelocity);
    }
    vx *= s;
    vy *= s;
    if (rotation != 0.0f) {
        const float cr = std::cos(rotation * kDegToRad), sr = std::sin(rotation * kDegToRad);
        const float tx = vx * cr - vy * sr;
        vy = vx * sr + vy * cr;
        vx = tx;
    }
    p.vx = vx;
    p.vy = vy;
    p.spin = (c.MinSpinSpeed != 0.0f || c.MaxSpinSpeed != 0.0f) ? VisualRange(c.MinSpinSpeed, c.MaxSpinSpeed) : 0.0f;

    ++liveCount;
    highestSlot = std::max(highestSlot, slot);

    if (!c.IsAngled && (biasX != 0.0f || biasY != 0.0f)) {
        const float m = std::sqrt(p.vx * p.vx + p.vy * p.vy);
        p.vx += m * c.BiasScalar * biasX;
        p.vy += m * c.BiasScalar * biasY;
    }
}

void GUI_ParticleEmmiter::SpawnContinuous(float ms, int laterFrames, float step)
{
    if (config->Lifetime > 0.0f) {
        elapsed += ms;
        if (elapsed >= config->Lifetime)
            return;
    }
    spawnAccumulator += ms;
    const int n = static_cast<int>(spawnAccumulator / 1000.0f * config->ParticlesPerSecond * rateScale);
    if (n <= 0)
        return;
    spawnAccumulator = 0.0f;
    // Each particle takes the lowest free slot, searched from the first
    // that can be free rather than through every live particle.
    int slot = firstFree;
    for (int k = 0; k < n; ++k) {
        while (slot < kMaxParticles && particles[slot].alive)
            ++slot;
        firstFree = slot;
        if (slot >= kMaxParticles)
            return; // full: the rest are not made
        SpawnParticle(slot);
        if (laterFrames > 0 && !StepParticle(particles[slot], laterFrames, step))
            --liveCount;
    }
}

void GUI_ParticleEmmiter::EndCheck()
{
    if (liveCount < 1 && config->Lifetime >= 0.0f) {
        active = 0;
        highestSlot = 0;
    }
}

GUI_ParticleEmmiter::View GUI_ParticleEmmiter::View::Current()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    return View{map.cameraX, map.cameraY, ZoomScale, static_cast<float>(map.GetScreenWidth()),
                static_cast<float>(map.GetScreenHeight())};
}

bool GUI_ParticleEmmiter::BuildQuad(GUI_Particle& p, float step, const View& view, ScreenVertex q[4]) const
{
    float a = p.alpha, z = p.size;
    if (p.age < kFadeInMs) {
        a *= p.age / kFadeInMs;
        z *= p.age / kFadeInMs;
    }
    p.screenX = static_cast<int>((p.x - view.cameraX) * view.zoom);
    p.screenY = static_cast<int>((p.y - view.cameraY) * view.zoom);
    const float half = z * view.zoom;
    const float sx = static_cast<float>(p.screenX), sy = static_cast<float>(p.screenY);
    if (sx < -half || sx > view.width + half || sy < -half || sy > view.height + half)
        return false;
    if (p.spin != 0.0f) {
        p.angle += step * p.spin;
        p.angle = std::fmod(p.angle, 360.0f);
        if (p.angle < 0.0f)
            p.angle += 360.0f;
        LookupSinCos(static_cast<int>(p.angle), p.sine, p.cosine);
    }
    const int row = p.frame / GUI_ParticleConfig::kSheetColumns;
    const int column = p.frame - GUI_ParticleConfig::kSheetColumns * row;
    const float u = static_cast<float>(column) * 0.125f;
    const float v = static_cast<float>(row) * 0.25f;
    const float c = half * p.cosine, s = half * p.sine;
    const float ox[4] = {-c + s, c + s, -c - s, c - s};
    const float oy[4] = {-s - c, -c + s, c - s, s + c};
    const float us[4] = {u, u + 0.125f, u, u + 0.125f};
    const float vs[4] = {v, v, v + 0.25f, v + 0.25f};
    const uint32_t colour = WhiteWithAlpha(alphaScale * a);
    for (int k = 0; k < 4; ++k) {
        q[k].x = sx + ox[k];
        q[k].y = sy + oy[k];
        q[k].z = 0.0f;
        q[k].rhw = 1.0f;
        q[k].colour = colour;
        q[k].u = us[k];
        q[k].v = vs[k];
    }
    return true;
}

void GUI_ParticleEmmiter::Advance(float ms, float step, bool draw)
{
    if (!active || !config)
        return;
    QuadRunBatch& batch = QuadRunBatch::Shared();
    const bool ownBatch = draw && !batch.IsOpen();
    const bool additive = blend == 1;
    TextureHandle texture = 0;
    View view{};
    if (draw) {
        texture = config->texture.GetHandle();
        view = View::Current();
        if (ownBatch) {
            const GUI_Map& map = GUI_Map::GetInstance();
            batch.Begin(map.GetScreenWidth(), map.GetScreenHeight());
        }
    }
    liveCount = 0;
    // Slots above the last live particle are all free: later walks stop
    // there instead of reading every slot ever used.
    int lastLive = -1;
    for (int i = 0; i <= highestSlot; ++i) {
        GUI_Particle& p = particles[i];
        if (!p.alive)
            continue;
        p.age += 12.0f * step;
        if (p.age > kFadeInMs) {
            p.alpha -= p.alphaFalloff * step;
            p.size -= p.sizeFalloff * step;
            if (p.alpha <= 0.0f || p.size < kMinSize) {
                p.alive = 0;
                firstFree = std::min(firstFree, i);
                continue;
            }
        }
        p.x += p.vx * step;
        p.y += p.vy * step;
        if (p.speedFalloff != 0.0f) {
            p.vx *= 1.0f - step * p.speedFalloff;
            p.vy *= 1.0f - step * p.speedFalloff;
        }
        ++liveCount;
        lastLive = i;
        ScreenVertex quad[4];
        if (draw && BuildQuad(p, step, view, quad))
            batch.Add(texture, additive, quad);
    }
    highestSlot = std::max(lastLive, 0);
    if (ownBatch)
        batch.End(); // one flush for the whole emitter
    SpawnContinuous(ms);
    EndCheck();
    steppedX = x;
    steppedY = y;
}

bool GUI_ParticleEmmiter::StepParticle(GUI_Particle& p, int frames, float step)
{
    if (frames < 1 || !(step > 0.0f))
        return true;
    // Each frame: age, then (past the fade-in) fade and shrink, die at the
    // limits, move, slow. Fading and shrinking are linear, so a particle
    // dies within the frames exactly when it is past a limit at the first or
    // the last fading frame.
    const float ageStep = 12.0f * step;
    int firstFading = 1;
    if (!(p.age + ageStep > kFadeInMs)) {
        firstFading = static_cast<int>((kFadeInMs - p.age) / ageStep) + 1;
        while (firstFading > 1 && p.age + ageStep * static_cast<float>(firstFading - 1) > kFadeInMs)
            --firstFading;
        while (!(p.age + ageStep * static_cast<float>(firstFading) > kFadeInMs))
            ++firstFading;
    }
    p.age += ageStep * static_cast<float>(frames);
    const int fading = frames - firstFading + 1;
    if (fading > 0) {
        const float alpha1 = p.alpha - p.alphaFalloff * step, size1 = p.size - p.sizeFalloff * step;
        p.alpha -= p.alphaFalloff * step * static_cast<float>(fading);
        p.size -= p.sizeFalloff * step * static_cast<float>(fading);
        if (alpha1 <= 0.0f || size1 < kMinSize || p.alpha <= 0.0f || p.size < kMinSize) {
            p.alive = 0;
            return false;
        }
    }
    if (p.speedFalloff != 0.0f) {
        // v, v r, v r^2 ...: the distance is a geometric sum.
        const float r = 1.0f - step * p.speedFalloff;
        float rk = 1.0f, sum = 0.0f;
        for (int k = 0; k < frames; ++k) {
            sum += rk;
            rk *= r;
        }
        p.x += p.vx * step * sum;
        p.y += p.vy * step * sum;
        p.vx *= rk;
        p.vy *= rk;
    } else {
        p.x += p.vx * step * static_cast<float>(frames);
        p.y += p.vy * step * static_cast<float>(frames);
    }
    return true;
}

void GUI_ParticleEmmiter::CatchUp(int frames, float ms)
{
    if (!active || !config || frames < 1)
        return;
    const float step = ms / 12.0f;
    liveCount = 0;
    for (int i = 0; i <= highestSlot; ++i) {
        GUI_Particle& p = particles[i];
        if (!p.alive)
            continue;
        if (StepParticle(p, frames, step))
            ++liveCount;
        else
            firstFree = std::min(firstFree, i);
    }
    // The emitter moved in a line from its last step to here; frame j's
    // particles are born at j / (frames + 1) of the way (the current frame,
    // stepped after this, is the last).
    const float endX = x, endY = y;
    const float span = static_cast<float>(frames + 1);
    for (int j = 1; j <= frames; ++j) {
        const float t = static_cast<float>(j) / span;
        x = steppedX + (endX - steppedX) * t;
        y = steppedY + (endY - steppedY) * t;
        SpawnContinuous(ms, frames - j, step);
    }
    x = endX;
    y = endY;
    EndCheck();
    steppedX = x;
    steppedY = y;
}

void GUI_ParticleEmmiter::Step(bool draw)
{
    const VisualStep span = VisualStep::Current();
    if (span.frames > 1)
        CatchUp(span.frames - 1, span.EarlierFrameMs());
    Advance(span.lastMs, span.lastMs / 12.0f, draw);
}

void GUI_ParticleEmmiter::Update()
{
    Step(false);
}

void GUI_ParticleEmmiter::Draw()
{
    Step(D3DEngine::GetInstance().IsInitialised());
}

// ---- free-standing effects --------------------------------------------------

void SpawnParticleEmmiter(const std::string& configName, float px, float py, float bx, float by)
{
    auto& spare = SpareList();
    for (auto it = spare.begin(); it != spare.end(); ++it) {
        const GUI_ParticleConfig* config = (*it)->GetConfig();
        if (config && config->Name == configName) {
            (*it)->Restart(px, py, bx, by);
            ActiveList().push_back(std::move(*it));
            spare.erase(it);
            return;
        }
    }
    ActiveList().push_back(std::make_unique<GUI_ParticleEmmiter>(configName, px, py, bx, by));
}

void DrawParticleEmmiters()
{
    auto& active = ActiveList();
    for (auto& emitter : active)
        emitter->Draw();
    auto& spare = SpareList();
    for (auto it = active.begin(); it != active.end();) {
        if (!(*it)->IsActive()) {
            spare.push_back(std::move(*it));
            it = active.erase(it);
        } else {
            ++it;
        }
    }
}

void ClearParticleEmmiters()
{
    ActiveList().clear();
    SpareList().clear();
}

int CountActiveParticleEmmiters()
{
    return static_cast<int>(ActiveList().size());
}

int CountSpareParticleEmmiters()
{
    return static_cast<int>(SpareList().size());
}
