#include "ModuleWorth.h"

#include <algorithm>

#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

namespace {

// The battle's own constants (SIM_Ship, SIM_SmartBombModule).
constexpr float kDeflectionLeak = 0.03f;
constexpr float kSmartBombTrigger = 3.0f;
// SIM_PointDefenceModule's kill chance: tracking against the missile's speed.
constexpr float kPointDefenceSpeedFactor = 30.0f;
constexpr float kMinKillChance = 0.05f;
// SIM_ECMBeamModule's chance that a lock scrambles its missile.
constexpr float kScrambleChance = 0.75f;
constexpr float kMaxKillChance = 0.95f;

float PerSecond(float amount, float intervalMs)
{
    return intervalMs > 0.0f ? amount * 1000.0f / intervalMs : 0.0f;
}

// Damage a shot does, and what else a weapon class does, per second.
void MeasureWeapon(const SIM_ShipModuleType& t, const std::vector<ModuleWorth::Target>& targets,
                   std::map<std::string, float>& f)
{
    const std::string& c = t.GetClassName();
    const float interval = t.GetConfigFloat("fire_interval", 0.0f);
    const float tracking = t.GetConfigFloat("tracking_speed", 0.0f);
    const float damage = t.GetConfigFloat("damage", 0.0f);
    const std::string warhead = t.GetConfigString("warhead");
    f["range"] = t.GetConfigFloat("max_range", 0.0f);
    if (t.GetConfigFloat("min_range", 0.0f) <= 0.0f)
        f["point blank"] = 1.0f;

    const bool hurts = c == "SIM_BeamWeaponModule" || c == "SIM_BulletWeaponModule" || c == "SIM_KineticWeapon" ||
                       c == "SIM_LightningGunModule" || c == "SIM_PlasmaLauncherModule" ||
                       (c == "SIM_MissileModule" && (warhead == "EXPLOSIVE" || warhead == "RADIATION"));
    if (hurts) {
        const float shieldPen = t.GetConfigFloat("shield_penetration", 0.0f);
        const float armourPen = t.GetConfigFloat("armour_penetration", 0.0f);
        // Guided missiles meet the target's point defence; decoys draw its fire.
        const bool shotDown = c == "SIM_MissileModule" && t.GetConfigFloat("has_decoys", 0.0f) <= 0.0f;
        for (const ModuleWorth::Target& target : targets) {
            float landed = PerSecond(damage, interval) * ModuleWorth::HitChance(tracking, target);
            if (shotDown)
                landed *= ModuleWorth::PointDefenceShare(t.GetConfigFloat("missilespeed", 0.0f), target);
            if (target.shieldResistance > 0.0f)
                f["shield of " + target.name] = landed * ModuleWorth::ShieldShare(shieldPen, target);
            f["hull of " + target.name] = landed * ModuleWorth::ArmourShare(armourPen, target);
        }
        if (warhead == "RADIATION")
            f["radiation"] = PerSecond(t.GetConfigFloat("radiation_damage", 0.0f), interval);
    } else if (warhead == "SHIELD_DISRUPTOR") {
        // Drains the shield whatever its resistance.
        for (const ModuleWorth::Target& target : targets)
            if (target.shieldResistance > 0.0f)
                f["shield of " + target.name] = PerSecond(damage, interval) * ModuleWorth::HitChance(tracking, target) *
                                                ModuleWorth::PointDefenceShare(t.GetConfigFloat("missilespeed", 0.0f), target);
    } else if (warhead == "DUMMY") {
        f["lures"] = PerSecond(1.0f, interval);
    }

    const float stun = PerSecond(t.GetConfigFloat("ecm_strength", 0.0f) * t.GetConfigFloat("shock_duration", 0.0f),
                                 interval) / 1000.0f;
    if (c == "SIM_ECMShockModule")
        f["stun around"] = stun;
    else if (stun > 0.0f)
        f["stun"] = stun;
    if (c == "SIM_ECMBeamModule")
        f["scramble"] = PerSecond(ModuleWorth::ScrambleShare(t.GetConfigFloat("beam_duration", 0.0f),
                                                             t.GetConfigFloat("max_range", 0.0f),
                                                             ModuleWorth::FastestMissileSpeed()),
                                  interval);
    if (c == "SIM_LimpetLauncher")
        f["slow"] = PerSecond(t.GetConfigFloat("limpet_weight", 0.0f), interval);
    if (c == "SIM_PointDefenseModule")
        f["missile kills"] = PerSecond(1.0f, interval);
    if (c == "SIM_SmartBombModule") {
        f["missile kills"] = PerSecond(kSmartBombTrigger * t.GetConfigFloat("sb_trigger_percentage", 0.0f), interval);
        f["missile salvo"] = t.GetConfigFloat("sb_trigger_percentage", 0.0f);
    }
    if (c == "SIM_TargetPainterModule")
        f["paint"] = t.GetConfigFloat("beam_duration", 0.0f) / std::max(interval, 1.0f);
    if (c == "SIM_TractorModule")
        f["hold"] = t.GetConfigFloat("beampower", 0.0f);
    if (c == "SIM_ShieldSupportBeam")
        f["shield support"] = t.GetConfigFloat("ssb_rechargerate", 0.0f);
    if (c == "SIM_PointDefenseModule" || c == "SIM_SmartBombModule" || c == "SIM_ECMBeamModule")
        f["tracking"] = tracking;
}

// Modules that act on their own ship: the keys of their files that say how
// much (some lower-is-better ones negated).
void MeasureOwnShip(const SIM_ShipModuleType& t, std::map<std::string, float>& f)
{
    struct Key {
        const char* key;
        float sign;
    };
    static const Key kKeys[] = {
        {"maxdamageabsorbable", 1.0f}, {"shieldpoints", 1.0f},       {"resistance", 1.0f},
        {"recharge_rate", 1.0f},       {"thrust", 1.0f},             {"powerproduced", 1.0f},
        {"crewsupply", 1.0f},          {"repair_rate", 1.0f},        {"maxrepairsupplies", 1.0f},
        {"peace_interval", -1.0f},     {"max_cloak_power", 1.0f},    {"cloak_rechargerate", 1.0f},
        {"cloak_consumptionrate", -1.0f}, {"ecm_strength", 1.0f},    {"scanner_accuracy", 1.0f},
        {"targetboost", 1.0f},
    };
    for (const Key& k : kKeys) {
        const char* text = t.GetConfigString(k.key);
        if (text && *text)
            f[k.key] = k.sign * t.GetConfigFloat(k.key, 0.0f);
    }
    const std::string& c = t.GetClassName();
    // Armour's own hit points soak hits too; a lighter engine is a faster ship.
    if (c == "SIM_ArmourModule")
        f["hitpoints"] = t.GetHitpoints();
    if (c == "SIM_EngineModule")
        f["lightness"] = -t.GetWeight();
    if (c == "SIM_RepairModule" || c == "SIM_CarrierModule") {
        const std::string kind = t.GetConfigString("repair_type");
        f["repairs armour"] = 1.0f;
        if (kind != "ARMOR" && kind != "ARMOUR")
            f["repairs modules"] = 1.0f;
    }
    if (c == "SIM_CarrierModule")
        f["docks fighters"] = 1.0f;
}

} // namespace

ModuleWorth::Target ModuleWorth::TargetOf(const SIM_ShipDesign& design)
{
    Target t;
    t.name = design.GetName();
    const SIM_ShipHull* hull = design.GetHull();
    t.hullClass = hull ? hull->GetClass() : 0;
    t.width = hull ? hull->GetWidth() : 0.0f;
    t.shieldResistance = design.GetTotalShieldPoints() > 0.0f ? design.GetShieldResistance() : 0.0f;
    // The ship spreads its armour over every module it carries, the
    // tactical module included.
    int modules = 1;
    for (const SIM_ShipDesign::FittedModule& m : design.GetModules())
        if (m.moduleType)
            ++modules;
    t.armourAverage = design.GetTotalArmour() / static_cast<float>(modules);
    t.speed = design.GetSpeed();
    for (const SIM_ShipDesign::FittedModule& m : design.GetModules())
        if (m.moduleType && m.moduleType->GetClassName() == "SIM_PointDefenseModule")
            t.pointDefence.push_back({m.moduleType->GetConfigFloat("tracking_speed", 0.0f),
                                      m.moduleType->GetConfigFloat("max_range", 0.0f),
                                      m.moduleType->GetConfigFloat("fire_interval", 0.0f)});
    return t;
}

float ModuleWorth::HitChance(float trackingSpeed, const Target& target)
{
    float c = 0.02f;
    if (target.speed <= trackingSpeed)
        c = trackingSpeed > 0.0f ? 1.0f - target.speed / trackingSpeed : 1.0f;
    const float s = std::clamp(target.width / 256.0f, 0.0f, 1.0f);
    return c * (0.5f + 0.5f * s);
}

float ModuleWorth::ShieldShare(float shieldPenetration, const Target& target)
{
    return shieldPenetration < target.shieldResistance ? 0.0f : 1.0f;
}

float ModuleWorth::ArmourShare(float armourPenetration, const Target& target)
{
    return armourPenetration < target.armourAverage ? kDeflectionLeak : 1.0f;
}

float ModuleWorth::PointDefenceShare(float missileSpeed, const Target& target)
{
    float through = 1.0f;
    for (const Target::PointDefence& pd : target.pointDefence) {
        const float against = missileSpeed * kPointDefenceSpeedFactor;
        const float kill = std::clamp(against > 0.0f ? pd.tracking / against : kMaxKillChance, kMinKillChance,
                                      kMaxKillChance);
        // Shots while the missile crosses the turret's range, at least one.
        const float crossing = missileSpeed > 0.0f ? pd.range / missileSpeed : 0.0f;
        const int shots = std::max(1, pd.interval > 0.0f ? static_cast<int>(crossing / pd.interval) : 1);
        for (int i = 0; i < shots; ++i)
            through *= 1.0f - kill;
    }
    return through;
}

float ModuleWorth::ScrambleShare(float beamDuration, float range, float missileSpeed)
{
    if (!(range > 0.0f))
        return 0.0f;
    return kScrambleChance * std::clamp(1.0f - beamDuration * missileSpeed / range, 0.0f, 1.0f);
}

float ModuleWorth::FastestMissileSpeed()
{
    float fastest = 0.0f;
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList())
        if (type->GetClassName() == "SIM_MissileModule")
            fastest = std::max(fastest, type->GetConfigFloat("missilespeed", 0.0f));
    return fastest;
}

ModuleWorth::Entry ModuleWorth::Measure(const SIM_ShipModuleType& type, const std::vector<Target>& targets)
{
    Entry e;
    e.name = type.GetName();
    e.className = type.GetClassName();
    e.size = type.GetSize();
    e.category = type.GetCategory();
    e.cost = type.GetCost();
    if (type.GetSlotType() == SIM_ShipModuleType::TURRET || type.GetCategory() == SIM_ShipModuleType::WEAPONS)
        MeasureWeapon(type, targets, e.figures);
    else
        MeasureOwnShip(type, e.figures);
    return e;
}

bool ModuleWorth::Dominates(const Entry& b, const Entry& a)
{
    if (b.size != a.size || b.cost > a.cost)
        return false;
    bool better = b.cost < a.cost;
    for (const auto& [name, value] : a.figures) {
        auto it = b.figures.find(name);
        const float theirs = it == b.figures.end() ? 0.0f : it->second;
        if (theirs < value)
            return false;
    }
    for (const auto& [name, value] : b.figures) {
        auto it = a.figures.find(name);
        const float mine = it == a.figures.end() ? 0.0f : it->second;
        if (value > mine)
            better = true;
    }
    return better;
}

bool ModuleWorth::IsDamageFigure(const std::string& name)
{
    return name.rfind("hull of ", 0) == 0 || name.rfind("shield of ", 0) == 0;
}

std::vector<ModuleWorth::Row> ModuleWorth::Compare(const std::vector<Entry>& entries)
{
    auto figure = [](const Entry& e, const std::string& name) {
        auto it = e.figures.find(name);
        return it == e.figures.end() ? 0.0f : it->second;
    };
    std::vector<Row> rows;
    for (const Entry& a : entries) {
        Row row;
        row.entry = a;
        for (const Entry& b : entries)
            if (&a != &b && Dominates(b, a))
                row.dominatedBy.push_back(b.name);
        const float reach = figure(a, "range");
        for (const auto& [name, value] : a.figures) {
            if (value <= 0.0f)
                continue;
            bool perCredit = a.cost > 0.0f;
            bool perSlot = true;
            for (const Entry& b : entries) {
                if (&a == &b || b.size != a.size)
                    continue;
                if (IsDamageFigure(name) && figure(b, "range") < reach)
                    continue;
                // A tie leads nowhere: only the one best type is the choice.
                const float theirs = figure(b, name);
                if (theirs >= value)
                    perSlot = false;
                if (b.cost > 0.0f && theirs / b.cost >= value / a.cost)
                    perCredit = false;
            }
            if (perCredit)
                row.bestPerCredit.push_back(name);
            if (perSlot)
                row.bestPerSlot.push_back(name);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ModuleWorth::Target> ModuleWorth::LoadedTargets()
{
    std::vector<Target> targets;
    for (const SIM_ShipDesign* design : SIM_ShipDesign::GetList())
        if (design->GetHull())
            targets.push_back(TargetOf(*design));
    return targets;
}

std::vector<ModuleWorth::Row> ModuleWorth::CompareLoadedContent()
{
    const std::vector<Target> targets = LoadedTargets();
    std::vector<Entry> entries;
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList()) {
        if (type->GetConfigFloat("hidden", 0.0f) > 0.0f)
            continue;
        entries.push_back(Measure(*type, targets));
    }
    return Compare(entries);
}
