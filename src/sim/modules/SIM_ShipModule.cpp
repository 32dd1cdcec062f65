#include "sim/modules/SIM_ShipModule.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "sim/SIM_Battle.h"
#include "sim/SIM_Anomaly.h"
#include "sim/SIM_ModuleStatsSink.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_TacticalModule.h"

SIM_ShipModule::SIM_ShipModule(const SIM_ShipModuleType* moduleType)
    : type(moduleType), statistics(std::make_unique<SIM_ModuleStatistics>())
{
    statistics->module = this;
    if (type) {
        weight = type->GetWeight();
        maxHitpoints = type->GetHitpoints();
        hitpoints = maxHitpoints;
    }
}

SIM_ShipModule::~SIM_ShipModule() = default;

void SIM_ShipModule::RefreshHealth()
{
    health = maxHitpoints > 0.0f ? hitpoints / maxHitpoints : 0.0f;
}

float SIM_ShipModule::HullBonus(int kind) const
{
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    return hull ? hull->GetBonusTotal(kind) : 0.0f;
}

void SIM_ShipModule::ApplyHullBonus()
{
    const float b = HullBonus(SIM_ShipHull::INTEGRITYBOOST);
    maxHitpoints = maxHitpoints * b + maxHitpoints;
    hitpoints = maxHitpoints;
    RefreshHealth();
}

void SIM_ShipModule::LoseHitpoints(float amount)
{
    hitpoints -= amount;
    // Exactly 0 is wrecked too: a module left at 0 must not keep working.
    if (hitpoints <= 0.0f) {
        hitpoints = 0.0f;
        // Health first: the tactical re-check must see this module as wrecked.
        RefreshHealth();
        OnDestroyed();
    }
}

void SIM_ShipModule::TakeDamage(float amount)
{
    LoseHitpoints(amount);
    RefreshHealth();
}

void SIM_ShipModule::Repair(float amount)
{
    hitpoints = std::min(hitpoints + amount, maxHitpoints);
    repairActive = 1;
    RefreshHealth();
    // After the health update, or a weapon repaired from 0 would still count as lost.
    if (IsWeapon())
        NotifyWeaponsChanged();
    if (ship)
        ship->RecalculateStats();
}

bool SIM_ShipModule::IsWeapon() const
{
    return type && type->GetCategory() == SIM_ShipModuleType::WEAPONS;
}

void SIM_ShipModule::NotifyWeaponsChanged()
{
    if (ship && ship->tacticalModule)
        ship->tacticalModule->CheckWeaponsDestroyed();
}

void SIM_ShipModule::OnDestroyed()
{
    if (IsWeapon())
        NotifyWeaponsChanged();
}

void SIM_ShipModule::SetEfficiency(float value)
{
    efficiency = std::clamp(value, 0.0f, 1.0f);
}

void SIM_ShipModule::SetTurretOffsets(const std::vector<Point>& offsets)
{
    // Weapons keep per-turret arrays of four.
    const size_t n = std::min(offsets.size(), SIM_ShipHull::kMaxTurretPoints);
    turretOffsets.assign(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(n));
}

void SIM_ShipModule::AddDamageStat(int kind, float amount)
{
    if (kind < 0 || kind >= SIM_ModuleStatistics::kDamageKinds)
        return;
    statistics->damage[kind] += amount;
    SIM_ModuleStatsSink::Changed(this);
}

void SIM_ShipModule::ApplyStackEffectiveness()
{
    if (!type || !ship || !ship->design)
        return;
    const float s = type->GetStackEffectiveness();
    if (s >= 1.0f)
        return;
    const int n = ship->design->CountModulesOfClass(type->GetClassName());
    if (n < 1)
        return;
    SetEfficiency(std::pow(s, static_cast<float>(n - 1)));
}

bool SIM_ShipModule::IsKindDisabled(int flag) const
{
    const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    // Modules built outside a battle (designer previews, tools) see no anomalies.
    if (!scenario)
        return false;
    return scenario->GetAnomalyFlag(SIM_Anomaly::kFirstFlag + flag);
}

int SIM_ShipModule::GetTypeInt(const char* key) const
{
    if (!type || !key)
        return 0;
    const char* text = type->GetConfigString(key);
    if (!text)
        return 0;
    // Only the first 63 characters ever counted.
    std::string value(text, std::min<size_t>(std::char_traits<char>::length(text), 63));
    return static_cast<int>(std::strtol(value.c_str(), nullptr, 10));
}

bool SIM_ShipModule::GetTypeBool(const char* key) const
{
    return GetTypeInt(key) != 0;
}
