#include "sim/SIM_ShipVisual.h"

#include <algorithm>

#include "engine/GDebugLog.h"
#include "engine/GTokenizer.h"
#include "engine/RandomTables.h"
#include "engine/TextHelpers.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"

namespace {

// Names the hull files use, by explosion type number; empty: no name.
const char* const kExplosionTypeNames[] = {
    "EXP_FRIGATE",          "EXP_FRIGATEBREAKUP", "EXP_FIGHTER_DESTROYED", "EXP_FIGHTER_DESTROYED_LOD",
    "EXP_SMALL",            "EXP_SMALL2",         "",                      "",
    "EXP_MEDIUM2",          "",                   "EXP_STARTBREAKUP",      "EXP_CRUISERDEBRIS",
    "EXP_FRIGATEDEBRIS",    "EXP_DESTRUCTION_PLACED", "EXP_PLUMES",        "EXP_ANGLED_DEBRIS",
    "EXP_SMALL_ANGLED_DEBRIS", "EXP_BLASTGLARE",  "EXP_BLASTGLARESMALL",   "",
    "EXP_SPARKBURST",       "EXP_CRUISER_PLUMECENTER",
};

// Warp-in: a short wait, then the arrival.
constexpr float kWarpDelayMin = 50.0f;
constexpr float kWarpDelayMax = 100.0f;
constexpr float kWarpDurationMin = 500.0f;
constexpr float kWarpDurationMax = 700.0f;

float FrameTime()
{
    return SIM_BattleClock::GetInstance().scaledFrameTime;
}

// Hull effect lines are on a 256-pixel grid centred at 128.
float GridToLocal(float value, float size)
{
    return (value - 128.0f) / 256.0f * size;
}

} // namespace

std::unique_ptr<SIM_ShipVisual> SIM_ShipVisual::Create(SIM_Ship* ship)
{
    if (s_factory)
        return s_factory(ship);
    return std::make_unique<SIM_ShipVisual>(ship);
}

SIM_ShipVisual::SIM_ShipVisual(SIM_Ship* owner)
    : ship(owner)
{
    QLM_ASSERT(ship != nullptr);
}

int SIM_ShipVisual::FindExplosionType(const std::string& typeName)
{
    const std::string name = TrimWhitespace(typeName);
    if (!name.empty()) {
        const int count = static_cast<int>(sizeof(kExplosionTypeNames) / sizeof(kExplosionTypeNames[0]));
        for (int i = 0; i < count; ++i) {
            if (name == kExplosionTypeNames[i])
                return i;
        }
    }
    LOG_ERROR_ONCE("unknown explosion type");
    return kDefaultExplosion;
}

void SIM_ShipVisual::BuildAttachments()
{
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    QLM_ASSERT(hull != nullptr);
    if (!hull)
        return;
    // The layer draw comes from the tables the battle was seeded with, screen
    // or not, so both make the same draws in the same order.
    if (hull->GetClass() == SIM_ShipHull::FIGHTER)
        homeLayer = RandomChanceAlt(0.5f) ? 2 : 0;
    else
        homeLayer = 1;
    currentLayer = pendingLayer = homeLayer;
    spriteWidth = ship->GetWidth() > 0.0f ? ship->GetWidth() : hull->GetWidth();
    spriteHeight = ship->GetHeight() > 0.0f ? ship->GetHeight() : hull->GetHeight();
    const SIM_Shield* shield = ship->GetShield();
    shieldBubbleUp = shield && !shield->GetModules().empty();
    shieldBubbleRadius = ShieldBubbleRadius(ship->GetWidth(), ship->GetHeight());
    ParseDestructionLines();
}

void SIM_ShipVisual::ParseDestructionLines()
{
    destructionEvents.clear();
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    if (!hull)
        return;
    for (const std::string& line : hull->GetExplosions()) {
        GTokenizer tok(line, ',');
        DestructionEvent event;
        event.time = tok.NextFloat();
        const float px = tok.NextFloat();
        const float py = tok.NextFloat();
        event.type = FindExplosionType(tok.NextString());
        event.x = GridToLocal(px, spriteWidth);
        event.y = GridToLocal(py, spriteHeight);
        destructionEvents.push_back(event);
    }
}

void SIM_ShipVisual::UpdateWarpIn()
{
    if (!ship || ship->state != SIM_Ship::OFF_FIELD || warpOutArmed)
        return;
    if (!warpEffectRunning)
        StartWarpEffect();
    warpTime += FrameTime();
    if (warpTime > warpDelay + warpDuration) {
        warpEffectRunning = false;
        ship->state = SIM_Ship::ACTIVE;
        ActivateTractorBeams();
    }
}

void SIM_ShipVisual::StartWarpEffect()
{
    warpEffectRunning = true;
    warpTime = 0.0f;
    warpDelay = RandomRangeAlt(kWarpDelayMin, kWarpDelayMax);
    warpDuration = RandomRangeAlt(kWarpDurationMin, kWarpDurationMax);
}

void SIM_ShipVisual::ArmWarpOut()
{
    warpOutArmed = true;
}

void SIM_ShipVisual::SetLayer(int newLayer)
{
    if (newLayer < 0 || newLayer > 2)
        return;
    currentLayer = newLayer;
}

void SIM_ShipVisual::UpdateDestruction()
{
    if (killed || !ship)
        return;
    if (destructionEvents.empty()) {
        // Nothing to play: the ship must still leave the battle.
        FinishDestruction();
        return;
    }
    destructionClock += FrameTime();
    for (DestructionEvent& event : destructionEvents) {
        if (event.done || event.time > destructionClock)
            continue;
        event.done = 1;
        if (event.type == kStartBreakup) {
            breakupStarted = true;
            breakupTime = 0.0f;
            OnBreakupStarted();
        } else {
            FireDestructionEvent(event);
        }
        // Whatever the last event is, it ends the timeline.
        if (AllEventsDone()) {
            FinishDestruction();
            return;
        }
    }
}

void SIM_ShipVisual::FireDestructionEvent(const DestructionEvent& event)
{
    ++firedExplosionCount;
    if (event.type == kBlastGlare) {
        ApplyBlast(ship->GetWidth() / 3.0f, ship->x, ship->y);
    } else if (event.type == kBlastGlareSmall) {
        float wx, wy;
        ship->LocalToWorld(event.x, event.y, ship->sine, ship->cosine, wx, wy);
        ApplyBlast(ship->GetWidth() * 0.125f, wx, wy);
    }
    OnDestructionEvent(event);
}

void SIM_ShipVisual::ApplyBlast(float size, float x, float y)
{
    if (!(size > kBlastPushSize))
        return;
    ApplyShockwaveToShips(std::clamp(size / 256.0f, 0.0f, 1.0f), x, y);
}

bool SIM_ShipVisual::AllEventsDone() const
{
    return std::all_of(destructionEvents.begin(), destructionEvents.end(),
                       [](const DestructionEvent& e) { return e.done != 0; });
}

void SIM_ShipVisual::FinishDestruction()
{
    killed = true;
    ship->Kill();
    OnDestroyed();
}

void SIM_ShipVisual::DeleteShipEmmiters()
{
    emitterCount = 0;
}

void SIM_ShipVisual::DeleteDamageSprites()
{
    damageMarksShown = 0;
}

int SIM_ShipVisual::CountDamageLocations() const
{
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    if (!hull)
        return 0;
    return static_cast<int>(std::count_if(hull->GetTargets().begin(), hull->GetTargets().end(),
                                          [](const SIM_ShipHull::Target& t) { return t.hasRect != 0; }));
}

void SIM_ShipVisual::ShowHitEffects(const SIM_ShipHull::Target& location, float, float, float)
{
    ++hitEffectCount;
    hitGlareDue = false;
    if (!ship)
        return;
    const float now = SIM_BattleClock::GetInstance().battleTime;
    // A clock behind the last glare belongs to a new battle.
    if (lastHitGlareTime >= 0.0f && now >= lastHitGlareTime && now - lastHitGlareTime <= kHitGlareInterval)
        return;
    lastHitGlareTime = now;
    hitGlareDue = true;
    float wx, wy;
    ship->LocalToWorld(location.x, location.y, ship->sine, ship->cosine, wx, wy);
    ApplyBlast(0.25f * spriteWidth, wx, wy);
}

void SIM_ShipVisual::ShowHullDamage(float, float, float)
{
    ++hitEffectCount;
}

void SIM_ShipVisual::ShowArmourSpark(float, float)
{
    ++armourSparkCount;
}

void SIM_ShipVisual::ShowDamageText(float)
{
    ++damageTextCount;
}

void SIM_ShipVisual::ShowShieldImpact(float, float)
{
    ++shieldImpactCount;
}

void SIM_ShipVisual::ShowShieldCollapse()
{
    ++shieldCollapseCount;
    shieldEffectOn = false;
    shieldBubbleUp = false;
    shieldCollapsed = true;
}

void SIM_ShipVisual::SetShieldEffect(bool on)
{
    shieldEffectOn = on;
    const SIM_Shield* shield = ship ? ship->GetShield() : nullptr;
    shieldBubbleUp = on && !shieldCollapsed && shield && !shield->GetModules().empty();
}
