#include "sim/SIM_HeadlessBattle.h"

#include <map>

#include "engine/GDebugLog.h"
#include "engine/GRandom.h"
#include "engine/StrFormat.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipNameGenerator.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/SIM_SurvivalMode.h"

SIM_HeadlessBattle::SIM_HeadlessBattle(const std::string& scoresFolder)
    : m_scores(scoresFolder)
{
    LoadContent();
    SIM_Battle& battle = SIM_Battle::GetInstance();
    battle.SetHighScores(&m_scores);
    battle.SetUsageMetrics(&m_metrics);
    SIM_BattleClock::GetInstance().ResetForBattle();
}

SIM_HeadlessBattle::~SIM_HeadlessBattle()
{
    SIM_Battle& battle = SIM_Battle::GetInstance();
    battle.Clear();
    battle.SetHighScores(nullptr);
    battle.SetUsageMetrics(nullptr);
    FreeContent();
    SIM_BattleClock::GetInstance().ResetForBattle();
}

void SIM_HeadlessBattle::LoadContent()
{
    FreeContent();
    LoadBattleContent();
    SIM_ShipNameGenerator::GetInstance().LoadAll();
}

void SIM_HeadlessBattle::FreeContent()
{
    // Ships point at designs and module types: the battle goes first.
    SIM_Battle::GetInstance().Clear();
    FreeBattleContent();
    SIM_ShipNameGenerator::GetInstance().Clear();
}

bool SIM_HeadlessBattle::Start(const std::string& scenarioName, const std::string& playerFleetFile,
                               int difficulty, uint64_t seed)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName(scenarioName);
    if (!scenario)
        return false;
    return StartSeededBattleFromDeploymentFile(scenario, playerFleetFile, difficulty, seed);
}

bool SIM_HeadlessBattle::StartCustom(SIM_Scenario* scenario, SIM_DeployedFleet& player, SIM_DeployedFleet& enemy,
                                     uint64_t seed)
{
    SeedBattle(seed);
    SIM_BattleClock::GetInstance().ResetForBattle();
    return SIM_Battle::GetInstance().Start(scenario, &player, &enemy, true);
}

void SIM_HeadlessBattle::Frame(float scaledMs)
{
    RunHeadlessBattleFrame(scaledMs);
}

bool SIM_HeadlessBattle::Run(float scaledMs, float maxBattleMs)
{
    SIM_Battle& battle = SIM_Battle::GetInstance();
    if (!battle.IsStarted() || !(scaledMs > 0.0f))
        return battle.IsEnded();
    while (!battle.IsEnded() && BattleTime() < maxBattleMs)
        RunHeadlessBattleFrame(scaledMs);
    return battle.IsEnded();
}

float SIM_HeadlessBattle::BattleTime()
{
    return SIM_BattleClock::GetInstance().battleTime;
}

SIM_HeadlessBattle::Totals SIM_HeadlessBattle::CollectTotals()
{
    Totals totals;
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    const SIM_Fleet* fleets[2] = {battle.GetPlayerFleet(), battle.GetEnemyFleet()};
    auto sideOf = [&](const SIM_Ship* ship) {
        if (!ship || !ship->fleet)
            return -1;
        return ship->fleet == fleets[0] ? 0 : (ship->fleet == fleets[1] ? 1 : -1);
    };
    for (int side = 0; side < 2; ++side) {
        if (!fleets[side])
            continue;
        for (const SIM_Ship* ship : fleets[side]->GetAllShips()) {
            ++totals.ships[side];
            if (ship->IsDead())
                ++totals.shipsLost[side];
            totals.shots[side] += ship->GetStats().shotsFired;
            totals.hits[side] += ship->GetStats().hitsLanded;
        }
    }
    for (const SIM_DamageEvent& e : SIM_StatsDatabase::GetInstance().GetEvents()) {
        const int side = sideOf(e.attacker);
        if (side < 0 || e.flag != 1)
            continue;
        totals.damageDealt[side] += e.shieldAbsorbed + e.armourAbsorbed + e.moduleDamage;
        totals.hullDamageDealt[side] += e.moduleDamage;
    }
    return totals;
}

std::vector<SIM_HeadlessBattle::WeaponClassTotals> SIM_HeadlessBattle::CollectWeaponClassTotals()
{
    std::map<std::string, WeaponClassTotals> byClass;
    auto entry = [&byClass](const SIM_ShipModuleType* weapon) -> WeaponClassTotals& {
        const std::string name = weapon ? weapon->GetClassName() : std::string("detonation");
        WeaponClassTotals& totals = byClass[name];
        totals.className = name;
        return totals;
    };
    std::map<const SIM_Ship*, const SIM_ShipModuleType*> lastHullHit;
    for (const SIM_DamageEvent& e : SIM_StatsDatabase::GetInstance().GetEvents()) {
        if (e.flag != 1 || !e.target)
            continue;
        if (e.weapon)
            ++entry(e.weapon).hits;
        if (e.moduleDamage > 0.0f)
            lastHullHit[e.target] = e.weapon;
    }
    for (const auto& [target, weapon] : lastHullHit) {
        if (target->IsDead())
            ++entry(weapon).kills;
    }
    std::vector<WeaponClassTotals> result;
    for (const auto& [name, totals] : byClass)
        result.push_back(totals);
    return result;
}

std::vector<SIM_HeadlessBattle::ModuleClassTotals> SIM_HeadlessBattle::CollectModuleClassTotals()
{
    std::map<std::string, ModuleClassTotals> byClass;
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()}) {
        if (!fleet)
            continue;
        for (const SIM_Ship* ship : fleet->GetAllShips())
            for (const SIM_ShipModule* module : ship->GetModules()) {
                const SIM_ShipModuleType* type = module->GetType();
                int shots = 0, hits = 0;
                for (const SIM_ModuleStatistics::Entry& e : module->GetStatistics().entries) {
                    shots += e.kind == SIM_ModuleStatistics::SHOT ? 1 : 0;
                    hits += e.kind == SIM_ModuleStatistics::HIT ? 1 : 0;
                }
                if (!type || shots == 0)
                    continue;
                ModuleClassTotals& totals = byClass[type->GetClassName()];
                totals.className = type->GetClassName();
                totals.shots += shots;
                totals.hits += hits;
            }
    }
    std::vector<ModuleClassTotals> result;
    for (const auto& [name, totals] : byClass)
        result.push_back(totals);
    return result;
}

const char* SIM_HeadlessBattle::OutcomeName()
{
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    if (!battle.IsEnded())
        return "unfinished";
    switch (battle.GetLost()) {
    case SIM_Battle::WON:
        return "won";
    case SIM_Battle::RETREATED:
        return "retreated";
    default:
        return "lost";
    }
}

std::string SIM_HeadlessBattle::Summary()
{
    std::string text = StrFormat("outcome: %s\n", OutcomeName());
    text += StrFormat("battle time: %.2f s\n", BattleTime() / 1000.0f);
    const Totals t = CollectTotals();
    const char* sides[2] = {"player", "enemy"};
    for (int s = 0; s < 2; ++s)
        text += StrFormat("%s: ships lost %d of %d, damage dealt %.1f (hull %.1f), shots %d, hits %d\n", sides[s],
                          t.shipsLost[s], t.ships[s], t.damageDealt[s], t.hullDamageDealt[s], t.shots[s], t.hits[s]);
    const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    if (scenario && scenario->GetType() == SIM_Scenario::SURVIVAL) {
        const SIM_SurvivalMode& survival = SIM_SurvivalMode::GetInstance();
        text += StrFormat("survival: score %d, waves arrived %d\n", static_cast<int>(survival.GetScore()),
                          survival.GetWavesSent());
    }
    for (const WeaponClassTotals& w : CollectWeaponClassTotals())
        text += StrFormat("weapon %s: hits %d, kills %d\n", w.className.c_str(), w.hits, w.kills);
    for (const ModuleClassTotals& m : CollectModuleClassTotals())
        text += StrFormat("module %s: shots %d, hits %d\n", m.className.c_str(), m.shots, m.hits);
    return text;
}
