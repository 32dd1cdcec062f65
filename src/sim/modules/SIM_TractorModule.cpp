#include "sim/modules/SIM_TractorModule.h"

#include <algorithm>
#include <cmath>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_SoundSink.h"
#include "sim/SIM_ShipModuleType.h"

namespace {

std::vector<SIM_TractorModule*>& Instances()
{
    // Never destroyed: modules leave it in their destructors, also at exit.
    static auto* list = new std::vector<SIM_TractorModule*>();
    return *list;
}

} // namespace

SIM_TractorModule::SIM_TractorModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        beamWeight = moduleType->GetConfigFloat("beamweight", 0.0f);
        maxBeamPower = moduleType->GetConfigFloat("beampower", 0.0f);
        powerUsage = moduleType->GetConfigFloat("powerusage", 0.0f);
        powerRecharge = moduleType->GetConfigFloat("powerrecharge", 0.0f);
        const float range = moduleType->GetConfigFloat("range", 0.0f);
        rangeSq = range * range;
        SetBaseRange(range);
    }
    beamPower = maxBeamPower;
    Instances().push_back(this);
}

SIM_TractorModule::~SIM_TractorModule()
{
    // The held ship may already be gone with the battle: only the sound stops.
    StopSound();
    auto& list = Instances();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<SIM_TractorModule*>& SIM_TractorModule::GetInstances()
{
    return Instances();
}

void SIM_TractorModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
    enemyShips = (ship && ship->fleet) ? ship->fleet->GetOpponent() : nullptr;
}

void SIM_TractorModule::ApplyScenarioRules()
{
    if (IsKindDisabled(TRACTOR_INOPERABLE))
        enabled = 0;
}

float SIM_TractorModule::ChargeFraction() const
{
    if (!(maxBeamPower > 0.0f))
        return 0.0f;
    return std::clamp(beamPower / maxBeamPower, 0.0f, 1.0f);
}

void SIM_TractorModule::Think()
{
    if (!ship)
        return;
    const float dt = GetThinkStep();
    if (tractorState == IDLE) {
        // A wrecked tractor neither charges nor grabs.
        if (ship->ecmShocked || health <= 0.0f)
            return;
        if (beamPower >= maxBeamPower) {
            grabTimer += dt;
            if (grabTimer > kGrabInterval) {
                grabTimer = 0.0f;
                TryGrab();
            }
        } else {
            beamPower = std::min(beamPower + powerRecharge * dt, maxBeamPower);
        }
        return;
    }
    QLM_ASSERT(target != nullptr);
    if (!target) {
        tractorState = IDLE;
        return;
    }
    beamPower -= powerUsage * dt;
    if (target->IsDead()) {
        Release();
    } else if (beamPower <= 0.0f) {
        beamPower = 0.0f;
        Release();
    } else if (DistanceSquared(target->x, target->y, ship->x, ship->y) > rangeSq || health <= 0.0f) {
        Release();
    }
}

void SIM_TractorModule::TryGrab()
{
    if (target) {
        target->RemoveTractor(this);
        target = nullptr;
        targetPoint = nullptr;
    }
    if (!enemyShips || !ship)
        return;
    SIM_Ship* best = nullptr;
    float bestScore = 2.0f * rangeSq;
    int bestOrder = 0;
    auto consider = [&](SIM_Ship* candidate, int order) {
        // Dying and destroyed ships are past holding.
        if (!candidate || candidate->docked || candidate->IsDead())
            return;
        if (candidate->state == SIM_Ship::OFF_FIELD || candidate->state == SIM_Ship::RETREATED)
            return;
        const float d2 = DistanceSquared(ship->x, ship->y, candidate->x, candidate->y);
        if (d2 > rangeSq)
            return;
        float score = d2;
        if (candidate->IsHeldByTractor())
            score *= 4.0f;
        if (candidate->GetHullClass() != SIM_ShipHull::FIGHTER)
            score *= 2.0f;
        // The lowest wins; between equals the ship the fleet lists first.
        if (score < bestScore || (best && score == bestScore && order < bestOrder)) {
            best = candidate;
            bestScore = score;
            bestOrder = order;
        }
    };
    SIM_ShipGrid::VisitNear(enemyShips, ship->x, ship->y, std::sqrt(rangeSq) * 1.001f + 1.0f, consider);
    if (!best)
        return;
    tractorState = HOLDING;
    target = best;
    targetPoint = best->NextTargetPoint();
    best->AddTractor(this, beamWeight);
    textureScroll = 0.0f;
    beamEnd = {best->x, best->y};
    StartSound();
    if (ship->isPlayerShip)
        SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_TRACTORATTACHED, 0.4f, ship);
}

void SIM_TractorModule::Release()
{
    if (!target)
        return;
    target->RemoveTractor(this);
    grabTimer = 0.0f;
    tractorState = IDLE;
    target = nullptr;
    targetPoint = nullptr;
    StopSound();
}

void SIM_TractorModule::Update()
{
    if (!enabled || tractorState != HOLDING || !target)
        return;
    aimPoint = {target->x, target->y};
    AimTurrets();
    beamEnd = aimPoint;
    // The beam texture crawls along once a second.
    textureScroll += SIM_BattleClock::GetInstance().scaledFrameTime;
    if (textureScroll > 1000.0f)
        textureScroll = std::fmod(textureScroll, 1000.0f);
}

void SIM_TractorModule::OnDestroyed()
{
    SIM_TargetedModule::OnDestroyed();
    // The grip itself goes at the next think; the hum stops now.
    StopSound();
}

void SIM_TractorModule::StartSound()
{
    if (soundChannel != kNoChannel)
        return;
    SIM_SoundSink* sounds = SIM_BattleClock::GetInstance().GetSounds();
    if (!sounds || sounds->IsPlayedTooOften(kSound))
        return;
    const float volume = sounds->GetEffectsVolume() * sounds->GetMasterVolume();
    soundChannel = sounds->PlaySound3D(kSound, sounds->GetBank(SIM_SoundSink::BANK_WEAPONS), volume, true,
                                       kSoundMinDistance, ship->x, ship->y);
    sounds->RememberRecent(kSound);
}

void SIM_TractorModule::StopSound()
{
    if (soundChannel == kNoChannel)
        return;
    if (SIM_SoundSink* sounds = SIM_BattleClock::GetInstance().GetSounds())
        sounds->StopChannel(soundChannel);
    soundChannel = kNoChannel;
}

void SIM_TractorModule::StopSoundsOfShip(const SIM_Ship* dying)
{
    for (SIM_TractorModule* tractor : Instances())
        if (tractor->ship == dying)
            tractor->StopSound();
}

void SIM_TractorModule::StopAllSounds()
{
    for (SIM_TractorModule* tractor : Instances())
        tractor->StopSound();
}

void SIM_TractorModule::ForgetAllSounds()
{
    for (SIM_TractorModule* tractor : Instances())
        tractor->soundChannel = kNoChannel;
}
