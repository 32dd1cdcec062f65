#include "battle/GUI_Ship.h"

#include <algorithm>

#include "battle/GUI_BattleGUI.h"
#include "engine/GDebugLog.h"
#include "engine/GTokenizer.h"
#include "engine/RandomTables.h"
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

std::string Trimmed(const std::string& text)
{
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return std::string();
    const size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

float FrameTime()
{
    return GUI_BattleGUI::GetInstance().scaledFrameTime;
}

// Stand-in warp-in: a short wait, then the arrival.
constexpr float kWarpDelayMin = 50.0f;
constexpr float kWarpDelayMax = 100.0f;
constexpr float kWarpDurationMin = 500.0f;
constexpr float kWarpDurationMax = 700.0f;

} // namespace

int GUI_Ship::FindExplosionType(const std::string& typeName)
{
    const std::string name = Trimmed(typeName);
    if (!name.empty()) {
        const int count = static_cast<int>(sizeof(kExplosionTypeNames) / sizeof(kExplosionTypeNames[0]));
        for (int i = 0; i < count; ++i) {
            if (name == kExplosionTypeNames[i])
                return i;
        }
    }
    LOG_ERROR("unknown explosion type");
    return kDefaultExplosion;
}

GUI_Ship::GUI_Ship(SIM_Ship* owner)
    : ship(owner)
{
    QLM_ASSERT(ship != nullptr);
}

GUI_Ship::~GUI_Ship() = default;

void GUI_Ship::BuildAttachments()
{
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    QLM_ASSERT(hull != nullptr);
    if (!hull)
        return;
    spriteWidth = hull->GetWidth();
    spriteHeight = hull->GetHeight();
    if (hull->GetClass() == SIM_ShipHull::FIGHTER)
        homeLayer = RandomChanceAlt(0.5f) ? 2 : 0;
    else
        homeLayer = 1;
    currentLayer = pendingLayer = homeLayer;
    ParseDestructionLines();
}

void GUI_Ship::ParseDestructionLines()
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
        event.x = (px - 128.0f) / 256.0f * spriteWidth;
        event.y = (py - 128.0f) / 256.0f * spriteHeight;
        destructionEvents.push_back(event);
    }
}

void GUI_Ship::Draw()
{
    if (!ship || ship->docked)
        return;
    switch (ship->state) {
    case SIM_Ship::OFF_FIELD:
        // A ship jumping out stays off the field; others warp in by themselves.
        if (!warpOutArmed) {
            if (!warpEffectRunning)
                StartWarpEffect();
            warpTime += FrameTime();
            if (warpTime > warpDelay + warpDuration) {
                warpEffectRunning = false;
                ship->state = SIM_Ship::ACTIVE;
                ActivateTractorBeams();
            }
        }
        break;
    case SIM_Ship::ACTIVE:
    case SIM_Ship::DYING:
    case SIM_Ship::DESTROYED:
        ship->Update();
        break;
    default:
        break;
    }
}

void GUI_Ship::UpdateDestruction()
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
        if (event.type == kStartBreakup)
            breakupStarted = true;
        else
            FireDestructionEvent(event);
        // Whatever the last event is, it ends the timeline.
        if (AllEventsDone()) {
            FinishDestruction();
            return;
        }
    }
}

void GUI_Ship::FireDestructionEvent(const DestructionEvent& /*event*/)
{
    ++firedExplosionCount;
}

bool GUI_Ship::AllEventsDone() const
{
    return std::all_of(destructionEvents.begin(), destructionEvents.end(),
                       [](const DestructionEvent& e) { return e.done != 0; });
}

void GUI_Ship::FinishDestruction()
{
    killed = true;
    ship->Kill();
}

void GUI_Ship::ApplyPendingLayer()
{
    currentLayer = pendingLayer;
}

void GUI_Ship::StartWarpEffect()
{
    warpEffectRunning = true;
    warpTime = 0.0f;
    warpDelay = RandomRangeAlt(kWarpDelayMin, kWarpDelayMax);
    warpDuration = RandomRangeAlt(kWarpDurationMin, kWarpDurationMax);
}

void GUI_Ship::ArmWarpOut()
{
    warpOutArmed = true;
}

void GUI_Ship::ActivateTractorBeams() {}

void GUI_Ship::DeleteShipEmmiters()
{
    emitterCount = 0;
}

void GUI_Ship::DeleteDamageSprites()
{
    damageMarksShown = 0;
}

int GUI_Ship::CountDamageLocations() const
{
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    if (!hull)
        return 0;
    return static_cast<int>(std::count_if(hull->GetTargets().begin(), hull->GetTargets().end(),
                                          [](const SIM_ShipHull::Target& t) { return t.hasRect != 0; }));
}

void GUI_Ship::ShowHitEffects(float /*x*/, float /*y*/, float /*damage*/, float /*dx*/, float /*dy*/)
{
    ++hitEffectCount;
}

void GUI_Ship::ShowHullDamage(float /*x*/, float /*y*/, float /*damage*/)
{
    ++hitEffectCount;
}

void GUI_Ship::ShowArmourSpark(float /*x*/, float /*y*/)
{
    ++armourSparkCount;
}

void GUI_Ship::ShowDamageText(float /*amount*/)
{
    ++damageTextCount;
}

void GUI_Ship::ShowShieldImpact(float /*x*/, float /*y*/)
{
    ++shieldImpactCount;
}

void GUI_Ship::ShowShieldCollapse()
{
    ++shieldCollapseCount;
    shieldEffectOn = false;
}

void GUI_Ship::SetShieldEffect(bool on)
{
    shieldEffectOn = on;
}

void GUI_Ship::ShowECMShock() {}

void GUI_Ship::StopSound() {}

void GUI_Ship::ShowSmartBomb(float /*strength*/) {}
