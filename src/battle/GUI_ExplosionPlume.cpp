#include "battle/GUI_ExplosionPlume.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectDrawing.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_Ship.h"
#include "battle/VisualRandom.h"
#include "battle/VisualStep.h"

namespace {

constexpr float kDegToRad = 0.017453292519943295f;

std::vector<GUI_ExplosionPlume*>& List()
{
    static auto* list = NewReservedList<GUI_ExplosionPlume*>(64);
    return *list;
}

float Wrap360(float a)
{
    if (a >= 360.0f)
        a -= 360.0f;
    if (a < 0.0f)
        a += 360.0f;
    return a;
}

} // namespace

const std::vector<GUI_ExplosionPlume*>& GetPlumes()
{
    return List();
}

GUI_ExplosionPlume::GUI_ExplosionPlume(float f, float h, float px, float py)
    : x(px), y(py), heading(h)
{
    layer = 2;
    minZoom = 0.0f;
    scale = VisualFloat() * 0.95f + 0.25f;
    if (scale < 1.0f)
        minZoom = 4.0f - scale * 4.0f;
    maxZoom = -1.0f;
    const float k = VisualFloat() * 0.8f + 0.4f;
    startSpeed = speed = k * f * scale;
    turn = VisualRange(-k * 69.5f, k * 69.5f);
    life = (VisualFloat() * 1000.0f - 500.0f + 2800.0f) * scale;
    delay = VisualFloat() * 300.0f;
    smoke.reset(GUI_ParticleEmmiter::Create("plume", x, y, 0.0f, 0.0f));
    burn.reset(GUI_ParticleEmmiter::Create("plumeburn", x, y, 0.0f, 0.0f));
    smoke->scale = scale;
    burn->scale = scale;
    List().push_back(this);
}

GUI_ExplosionPlume::~GUI_ExplosionPlume()
{
    auto& list = List();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (parent)
        parent->RemoveFromParent(this);
}

bool GUI_ExplosionPlume::IsFinished() const
{
    return !smoke->IsActive();
}

void GUI_ExplosionPlume::Draw()
{
    const float ms = VisualStep::Current().ms;
    elapsed += ms;
    if (!started) {
        if (!(elapsed > delay))
            return;
        started = 1;
        elapsed -= delay;
    }
    const float t = life > 0.0f ? std::clamp(elapsed / life, 0.0f, 1.0f) : 1.0f;
    speed = std::max(startSpeed * (1.0f - t), 0.0f);
    const float h = Wrap360(heading + turn * t) * kDegToRad;
    x += std::sin(h) * speed * ms;
    y -= std::cos(h) * speed * ms;
    smoke->x = burn->x = x;
    smoke->y = burn->y = y;
    if (!UpdateLodAlpha()) {
        smoke->Update();
        burn->Update();
        return;
    }
    const float a = (1.0f - t) * lodAlpha;
    smoke->rateScale = burn->rateScale = 1.0f - t;
    smoke->alphaScale = burn->alphaScale = a;
    smoke->Draw();
    burn->Draw();
}

int PlumeBaseCount(float shipSize)
{
    return static_cast<int>(static_cast<float>(static_cast<int>(shipSize)) * 0.125f);
}

void SpawnPlumes(GUI_Ship* parent, float x, float y)
{
    if (!parent || !parent->GetShip())
        return;
    const float size = parent->GetHullWidth();
    float b = VisualFloat() * 360.0f;
    const int base = PlumeBaseCount(size);
    const int count = base + VisualInt() % std::max(1, base / 3);
    if (count < 1)
        return;
    const float step = 360.0f / static_cast<float>(count);
    const float jitter = step / 1.5f;
    for (int i = 0; i < count; ++i) {
        const float h = Wrap360(b + VisualRange(-jitter, jitter));
        auto* plume = new GUI_ExplosionPlume(0.125f, h, x, y);
        plume->layer = (i % 2 == 0) ? 0 : 2;
        parent->AddChild(plume);
        b += step;
        if (b >= 360.0f)
            b -= 360.0f;
    }
    parent->UpdateEmptyLayers();
}

void PurgeFinishedPlumes()
{
    auto& list = List();
    for (size_t i = 0; i < list.size();) {
        GUI_ExplosionPlume* plume = list[i];
        // A plume whose ship visual is gone is never drawn again.
        if (plume->IsFinished() || !plume->GetParent())
            delete plume; // leaves the list
        else
            ++i;
    }
}

void ClearPlumes()
{
    auto& list = List();
    while (!list.empty())
        delete list.back();
}
