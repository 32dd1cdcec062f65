#include "sim/modules/SIM_RepairModule.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/GRandom.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_ArmourModule.h"

SIM_RepairModule::SIM_RepairModule(const SIM_ShipModuleType* moduleType) : SIM_ShipModule(moduleType)
{
    searchTimer = kSearchInterval * RandomFloat();
    if (!moduleType)
        return;
    peaceInterval = moduleType->GetConfigFloat("peace_interval", 0.0f);
    repairRate = moduleType->GetConfigFloat("repair_rate", 0.0f);
    const char* kind = moduleType->GetConfigString("repair_type");
    repairType = (kind && std::strcmp(kind, "ARMOR") == 0) ? 1 : 0;
    maxSupplies = moduleType->GetConfigFloat("maxrepairsupplies", 0.0f);
    supplies = maxSupplies;
}

SIM_RepairModule::~SIM_RepairModule() = default;

void SIM_RepairModule::PostBuildInit()
{
    // The repair-bot swarm belongs to the battle view, which makes it when it
    // sees the module; nothing of the simulation waits for it.
}

void SIM_RepairModule::ApplyScenarioRules()
{
    if (IsKindDisabled(REPAIR_INOPERABLE))
        enabled = 0;
}

void SIM_RepairModule::SetEfficiency(float value)
{
    SIM_ShipModule::SetEfficiency(value);
    repairRate *= efficiency;
}

float SIM_RepairModule::GetSuppliesFraction() const
{
    // A type without supplies would divide by 0: it has none to give.
    if (!(maxSupplies > 0.0f))
        return 0.0f;
    return std::clamp(supplies / maxSupplies, 0.0f, 1.0f);
}

void SIM_RepairModule::DropTarget(bool clearActive)
{
    if (target && clearActive)
        target->ClearRepairActive();
    target = nullptr;
}

void SIM_RepairModule::ChooseTarget()
{
    searchTimer = 0.0f;
    DropTarget(true);
    if (!ship)
        return;
    std::vector<SIM_ShipModule*> candidates;
    auto consider = [&](SIM_ShipModule* m) {
        if (m == this || !(m->health > 0.0f) || !(m->health < 1.0f) || m->IsRepairActive())
            return;
        if (const auto* other = dynamic_cast<const SIM_RepairModule*>(m))
            if (!(other->GetSuppliesFraction() > 0.0f))
                return;
        candidates.push_back(m);
    };
    if (repairType == 1) {
        for (SIM_ArmourModule* plate : ship->GetArmourModules())
            consider(plate);
    } else {
        for (SIM_ShipModule* m : ship->GetModules())
            consider(m);
    }
    if (candidates.empty())
        return;
    size_t index = static_cast<size_t>(static_cast<float>(QlmRand()) / 32768.0f * static_cast<float>(candidates.size()));
    target = candidates[std::min(index, candidates.size() - 1)];
    if (ship->isPlayerShip)
        SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_REPAIRINITIATED, 0.2f, ship);
}

void SIM_RepairModule::Think()
{
    if (!ship)
        return;
    if (health <= 0.0f) {
        DropTarget(true);
        return;
    }
    if (supplies <= 0.0f)
        return;
    const float dt = GetThinkStep();
    peaceTimer += dt;
    if (peaceTimer < peaceInterval) {
        if (target)
            target->ClearRepairActive();
    } else {
        if (!target) {
            searchTimer += dt;
            if (searchTimer >= kSearchInterval)
                ChooseTarget();
        }
        if (target) {
            const float amount = std::min(dt / 10.0f * repairRate * (health * 0.5f + 0.5f), supplies);
            if (amount > 0.0f)
                SIM_BattleEffects::Get().RepairBotAtWork(this);
            supplies -= amount;
            if (supplies <= 0.0f && ship->isPlayerShip)
                SIM_CommsManager::GetInstance().AddMessage(SIM_CommsManager::COM_REPAIRSUPPLIESOUT, 0.9f, ship);
            target->Repair(amount);
            if (target->health >= 1.0f || supplies <= 0.0f)
                DropTarget(true);
        }
    }
    if (target && target->health <= 0.0f)
        DropTarget(false);
}
