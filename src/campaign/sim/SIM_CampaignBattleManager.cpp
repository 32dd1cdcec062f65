#include "campaign/sim/SIM_CampaignBattleManager.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignArmsRace.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignEnemiesDB.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GHashTable.h"
#include "engine/GRandom.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "sim/SIM_ChallengeFile.h"

#include <algorithm>
#include <cstdio>

namespace {
// ",<challenge id>" after a battle's saved numbers, once its opponent is drawn.
std::string OpponentField(const SIM_PendingBattle& b)
{
    return b.opponent.empty() ? std::string() : "," + b.opponent;
}

// Three numbers and, after them, the kept opponent of a saved battle line:
// false when the numbers are not there. An opponent that could not name a
// file is logged (file, section and key) and left out: the battle draws anew.
bool ReadBattleLine(const std::string& value, const char* section, const std::string& key, int& a, int& b, int& c,
                    std::string& opponent)
{
    int used = 0;
    if (std::sscanf(value.c_str(), "%d,%d,%d%n", &a, &b, &c, &used) != 3)
        return false;
    opponent.clear();
    if (value[static_cast<size_t>(used)] != ',')
        return true;
    opponent = TrimWhitespace(value.substr(static_cast<size_t>(used) + 1));
    if (!SIM_ChallengeFile::IsSafeChallengeId(opponent)) {
        LOG_ERROR(StrFormat("progress.txt [%s] %s: the battle's opponent is no challenge id, drawn anew", section,
                            key.c_str()));
        opponent.clear();
    }
    return true;
}
} // namespace

SIM_CampaignBattleManager& SIM_CampaignBattleManager::GetInstance()
{
    static SIM_CampaignBattleManager instance;
    return instance;
}

SIM_PendingBattle* SIM_CampaignBattleManager::FindAt(const SIM_CampaignEncounter* encounter) const
{
    for (const auto& b : m_pending)
        if (b->encounter == encounter)
            return b.get();
    return nullptr;
}

void SIM_CampaignBattleManager::AddAIAttack(SIM_CampaignEncounter* target, SIM_CampaignEncounter* source)
{
    if (!target || !source || target == source)
        return;
    if (FindAt(target)) {
        LOG_ERROR("Duplicate ai battle discovered");
        return;
    }
    auto b = std::make_unique<SIM_PendingBattle>();
    b->encounter = target;
    b->kind = SIM_PendingBattle::AI_ATTACK;
    b->source = source;
    m_pending.push_back(std::move(b));
    CampaignLog("AI Attack added from %d to %d", source->encounterId, target->encounterId);
}

void SIM_CampaignBattleManager::AddPlayerAttack(SIM_CampaignEncounter* target, SIM_CampaignFleet* fleet)
{
    if (!target || !fleet)
        return;
    if (SIM_PendingBattle* existing = FindAt(target)) {
        existing->fleets.push_back(fleet);
        return;
    }
    auto b = std::make_unique<SIM_PendingBattle>();
    b->encounter = target;
    b->kind = SIM_PendingBattle::PLAYER_ATTACK;
    b->fleets.push_back(fleet);
    m_pending.push_back(std::move(b));
    fleet->attacking = true;
    SIM_CampaignScreenHooks::Get().RefreshFleetIcons();
    CampaignLog("Player Attack added at %d using fleet %d", target->encounterId, fleet->id);
}

std::unique_ptr<SIM_PendingBattle> SIM_CampaignBattleManager::RemovePendingBattle(const SIM_CampaignEncounter* encounter)
{
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if ((*it)->encounter != encounter)
            continue;
        std::unique_ptr<SIM_PendingBattle> b = std::move(*it);
        m_pending.erase(it);
        for (SIM_CampaignFleet* f : b->fleets)
            f->attacking = false;
        SIM_CampaignScreenHooks::Get().RefreshFleetIcons();
        return b;
    }
    LOG_ERROR("Failed to remove pending battle");
    return nullptr;
}

float SIM_CampaignBattleManager::GetAttackStrength(const SIM_PendingBattle& battle) const
{
    return battle.encounter->ai->currentFleet * difficultyMultiplier;
}

void SIM_CampaignBattleManager::ProcessEndOfTurn()
{
    m_turnEndOpen = true;
    if (m_pending.empty())
        return;
    // A defence of 0 never makes an attack futile; equal to the threshold keeps it.
    const float threshold = CampaignOption("futile_attacks_threshold");
    m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                   [&](const std::unique_ptr<SIM_PendingBattle>& b) {
                                       if (b->kind != SIM_PendingBattle::AI_ATTACK)
                                           return false;
                                       const float defence = b->encounter->GetGarrisonStrength();
                                       if (defence <= 0.0f)
                                           return false;
                                       const float ratio = GetAttackStrength(*b) / defence;
                                       return ratio < threshold;
                                   }),
                    m_pending.end());

    // More AI attacks than the cap: the latest ones are dropped. A cap of 0
    // (option missing) leaves them all.
    const int cap = CampaignOptionInt("max_ai_attacks_per_turn");
    if (cap > 0) {
        int seen = 0;
        m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                       [&](const std::unique_ptr<SIM_PendingBattle>& b) {
                                           return b->kind == SIM_PendingBattle::AI_ATTACK && ++seen > cap;
                                       }),
                        m_pending.end());
    }

    for (auto& b : m_pending)
        if (b->kind == SIM_PendingBattle::AI_ATTACK)
            AssignDefenders(*b);
}

void SIM_CampaignBattleManager::AssignDefenders(SIM_PendingBattle& b)
{
    if (!b.encounter->fleets.empty()) {
        for (SIM_CampaignFleet* f : b.encounter->fleets)
            b.fleets.push_back(f);
        return;
    }
    b.kind = SIM_PendingBattle::AI_CONQUEST;
    b.encounter->SetTerritory(SIM_CampaignEncounter::ENEMY);
    SIM_CampaignScreenHooks::Get().RefreshEncounterView(b.encounter);
}

void SIM_CampaignBattleManager::Clear()
{
    m_pending.clear();
    m_current.reset();
    m_turnEndOpen = false;
    // Not saved: another campaign, or this one loaded again, starts even
    // until its next turn ends.
    difficultyMultiplier = 1.0f;
    SIM_CampaignCaptureManager::GetInstance().Clear();
}

SIM_PendingBattle* SIM_CampaignBattleManager::BeginBattle(const SIM_CampaignEncounter* encounter)
{
    m_current = RemovePendingBattle(encounter);
    return m_current.get();
}

void SIM_CampaignBattleManager::RemoveConquests()
{
    m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                   [](const std::unique_ptr<SIM_PendingBattle>& b) {
                                       return b->kind == SIM_PendingBattle::AI_CONQUEST;
                                   }),
                    m_pending.end());
}

void SIM_CampaignBattleManager::FinishTurnEnd()
{
    RemoveConquests();
    m_turnEndOpen = false;
    SIM_CampaignEncounter::ClearAllChangeLogs();
    // The save still holds the report just read: a load would show it again
    // at the top of the next one.
    SIM_CampaignProgress::GetInstance().Save();
}

void SIM_CampaignBattleManager::ReturnCurrentToPending()
{
    if (!m_current)
        return;
    if (m_current->kind == SIM_PendingBattle::PLAYER_ATTACK)
        for (SIM_CampaignFleet* f : m_current->fleets)
            f->attacking = true;
    m_pending.push_back(std::move(m_current));
}

void SIM_CampaignBattleManager::UpdateEnemyFleet(SIM_PendingBattle& battle, const SIM_CampaignBattleOutcome& outcome)
{
    if (!battle.enemyFleet)
        return;
    // A squadron's craft share their ship id: the entry keeps as many as
    // survived, and the damage of the first survivor.
    std::vector<int> seen;
    for (const auto& r : outcome.enemyShips) {
        if (std::find(seen.begin(), seen.end(), r.shipId) != seen.end())
            continue;
        seen.push_back(r.shipId);
        int alive = 0;
        const SIM_BattleShipResult* survivor = nullptr;
        for (const auto& craft : outcome.enemyShips) {
            if (craft.shipId != r.shipId || craft.destroyed)
                continue;
            ++alive;
            if (!survivor)
                survivor = &craft;
        }
        if (!survivor) {
            battle.enemyFleet->RecordShipDestroyed(r.shipId);
            continue;
        }
        std::vector<SIM_CampaignEnemyModuleDamage> modules;
        for (const auto& m : survivor->modules)
            if (m.slot >= 0)
                modules.push_back({m.integrity, m.slot, m.typeName});
        battle.enemyFleet->RecordShipDamage(r.shipId, modules);
        battle.enemyFleet->RecordSurvivors(r.shipId, alive);
    }
}

void SIM_CampaignBattleManager::ApplyBattleResult(bool won, const SIM_CampaignBattleOutcome& outcome)
{
    std::unique_ptr<SIM_PendingBattle> b = std::move(m_current);
    if (!b || !b->encounter) {
        LOG_ERROR("No campaign battle to apply a result to");
        return;
    }
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_CampaignStats& stats = progress.GetStats();
    SIM_CampaignEncounter* e = b->encounter;
    CampaignLog(won ? "player won battle" : "player lost battle");
    for (SIM_CampaignFleet* f : b->fleets)
        f->ApplyBattleLosses(outcome);
    SIM_CampaignArmsRace::SpreadFear(CampaignOption("ai_armsrace_fear_spread_multiplier"), won, *b);
    const int destroyed = outcome.CountEnemyDestroyed();
    if (destroyed > 0)
        stats.AddToStat("enemy_ships_destroyed", destroyed);
    SIM_CampaignCaptureManager& captures = SIM_CampaignCaptureManager::GetInstance();
    if (won && !b->fleets.empty())
        captures.CollectCaptures(b->fleets[0], outcome);
    stats.AddToStat(won ? "battles_won" : "battles_lost", 1);
    if (b->kind == SIM_PendingBattle::AI_ATTACK)
        e->ai->FreezeAttacks(e->homeworld ? CampaignOptionInt("ai_homeworld_spam_freeze")
                                          : CampaignOptionInt("ai_attack_spam_freeze"));
    if (won) {
        if (b->kind == SIM_PendingBattle::AI_ATTACK)
            e->ai->AddThreatChange(-0.25f, GetString("THREAT_REASON_REPELLED_ATTACK"), true);
        else
            e->ai->FreezeAttacks(CampaignOptionInt("ai_new_conquered_attack_freeze"));
        progress.GetEnemiesDB().ClearEntry(e->encounterId);
        b->enemyFleet = nullptr;
        e->SetTerritory(SIM_CampaignEncounter::PLAYER);
        // The planet is held now: a later retreat from it goes to a planet of
        // ours nearby, never back to where the attack came from.
        for (SIM_CampaignFleet* f : b->fleets)
            f->origin = nullptr;
        // Fleets that lost every ship go; the one receiving captures waits for them.
        for (SIM_CampaignFleet* f : b->fleets)
            if (f != captures.GetReceivingFleet() || !captures.HasWaiting())
                f->DeleteIfEmpty();
    } else {
        UpdateEnemyFleet(*b, outcome);
        e->SetTerritory(SIM_CampaignEncounter::ENEMY);
        if (b->enemyFleet)
            b->enemyFleet->encounterId = e->encounterId;
        for (SIM_CampaignFleet* f : b->fleets) {
            f->ClearShips();
            f->DeleteIfEmpty();
        }
        b->fleets.clear();
    }
    SIM_CampaignScreenHooks::Get().RefreshEncounterView(e);
    progress.Save();
    SIM_CampaignScreenHooks::Get().ReturnToCampaignScreen();
    if (captures.HasWaiting())
        SIM_CampaignScreenHooks::Get().OpenCapturesDialog();
    else
        SIM_CampaignScreenHooks::Get().OpenEndTurnDialog();
}

SIM_CampaignEncounter* SIM_CampaignBattleManager::ChooseRetreatDestination(const SIM_PendingBattle& battle) const
{
    std::vector<SIM_CampaignEncounter*> ours;
    for (SIM_CampaignEncounter* n : battle.encounter->neighbours)
        if (n->territory == SIM_CampaignEncounter::PLAYER)
            ours.push_back(n);
    if (ours.empty())
        return nullptr;
    size_t index = static_cast<size_t>(QlmRand() * (1.0 / 32768.0) * static_cast<double>(ours.size()));
    return ours[index < ours.size() ? index : ours.size() - 1];
}

bool SIM_CampaignBattleManager::HasRetreatDestination() const
{
    const SIM_PendingBattle* b = m_current.get();
    if (!b || !b->encounter || b->fleets.empty())
        return false;
    const bool neighbourOfOurs =
        std::any_of(b->encounter->neighbours.begin(), b->encounter->neighbours.end(),
                    [](const SIM_CampaignEncounter* n) { return n->territory == SIM_CampaignEncounter::PLAYER; });
    return neighbourOfOurs || std::all_of(b->fleets.begin(), b->fleets.end(), [](const SIM_CampaignFleet* f) {
               return f->origin && f->origin != f->location;
           });
}

void SIM_CampaignBattleManager::ApplyPlayerRetreat(const SIM_CampaignBattleOutcome& outcome)
{
    std::unique_ptr<SIM_PendingBattle> b = std::move(m_current);
    if (!b || !b->encounter) {
        LOG_ERROR("No campaign battle to retreat from");
        return;
    }
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    CampaignLog("Player retreated");
    for (SIM_CampaignFleet* f : b->fleets)
        f->ApplyBattleLosses(outcome);
    UpdateEnemyFleet(*b, outcome);
    progress.GetStats().AddToStat("fleets_retreated", 1);
    for (SIM_CampaignFleet* f : b->fleets) {
        SIM_CampaignEncounter* to = f->origin ? f->origin : ChooseRetreatDestination(*b);
        // Nowhere to go: the fleet holds where it is rather than vanish.
        if (to && to != f->location)
            f->SetLocation(to);
    }
    b->encounter->SetTerritory(SIM_CampaignEncounter::ENEMY);
    if (b->enemyFleet)
        b->enemyFleet->encounterId = b->encounter->encounterId;
    for (SIM_CampaignFleet* f : b->fleets) {
        f->origin = nullptr;
        f->DeleteIfEmpty();
    }
    SIM_CampaignScreenHooks::Get().RefreshEncounterView(b->encounter);
    progress.Save();
    SIM_CampaignScreenHooks::Get().ReturnToCampaignScreen();
    SIM_CampaignScreenHooks::Get().OpenEndTurnDialog();
}

void SIM_CampaignBattleManager::ForgetFleet(const SIM_CampaignFleet* fleet)
{
    for (auto& b : m_pending)
        b->fleets.erase(std::remove(b->fleets.begin(), b->fleets.end(), fleet), b->fleets.end());
    // The battle being prepared or fought names its fleets in the next save.
    if (m_current)
        m_current->fleets.erase(std::remove(m_current->fleets.begin(), m_current->fleets.end(), fleet),
                                m_current->fleets.end());
}

void SIM_CampaignBattleManager::JoinBattlesOf(const SIM_CampaignFleet* from, SIM_CampaignFleet* fleet)
{
    if (!from || !fleet || from == fleet)
        return;
    const auto joinIfThere = [&](SIM_PendingBattle* b) {
        if (!b || std::find(b->fleets.begin(), b->fleets.end(), from) == b->fleets.end())
            return;
        if (std::find(b->fleets.begin(), b->fleets.end(), fleet) == b->fleets.end())
            b->fleets.push_back(fleet);
        if (b->kind == SIM_PendingBattle::PLAYER_ATTACK)
            fleet->origin = from->origin;
    };
    for (auto& b : m_pending)
        joinIfThere(b.get());
    joinIfThere(m_current.get());
}

std::string SIM_CampaignBattleManager::AttacksText() const
{
    std::string out = "\n[attacks]\n";
    int index = 0;
    const auto write = [&](const SIM_PendingBattle* b) {
        if (!b || b->kind != SIM_PendingBattle::PLAYER_ATTACK || !b->encounter)
            return;
        for (const SIM_CampaignFleet* f : b->fleets)
            out += StrFormat("%d = %d,%d,%d%s\n", index++, b->encounter->encounterId, f->id,
                             f->origin ? f->origin->encounterId : -1, OpponentField(*b).c_str());
    };
    for (const auto& b : m_pending)
        write(b.get());
    write(m_current.get());
    if (!m_turnEndOpen)
        return out;
    out += "\n[turnend]\nopen = 1\n";
    index = 0;
    const auto writeAI = [&](const SIM_PendingBattle* b) {
        if (!b || b->kind == SIM_PendingBattle::PLAYER_ATTACK || !b->encounter || !b->source)
            return;
        out += StrFormat("battle%d = %d,%d,%d%s\n", index++, b->kind, b->encounter->encounterId,
                         b->source->encounterId, OpponentField(*b).c_str());
    };
    for (const auto& b : m_pending)
        writeAI(b.get());
    writeAI(m_current.get());
    return out;
}

void SIM_CampaignBattleManager::LoadAttacks(const std::string& progressText)
{
    GIniFile attacks;
    attacks.LoadFromText("attacks", progressText);
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    for (size_t i = 0; i < attacks.GetEntryCount(); ++i) {
        const std::string& v = attacks.GetValueAt(i);
        int target = -1, fleetId = -1, origin = -1;
        std::string opponent;
        if (!ReadBattleLine(v, "attacks", attacks.GetKeyAt(i), target, fleetId, origin, opponent)) {
            LOG_ERROR("Unreadable saved attack: " + v);
            continue;
        }
        SIM_CampaignEncounter* at = SIM_CampaignEncounter::FindByID(target);
        SIM_CampaignFleet* fleet = progress.FindFleet(fleetId);
        const SIM_PendingBattle* there = at ? FindAt(at) : nullptr;
        if (!at || !fleet || fleet->location != at ||
            (there && std::find(there->fleets.begin(), there->fleets.end(), fleet) != there->fleets.end())) {
            LOG_ERROR(StrFormat("Saved attack of fleet %d on %d does not match the fleets", fleetId, target));
            continue;
        }
        fleet->origin = SIM_CampaignEncounter::FindByID(origin);
        AddPlayerAttack(at, fleet);
        if (SIM_PendingBattle* b = FindAt(at); b && b->opponent.empty())
            b->opponent = opponent;
    }
    LoadTurnEnd(progressText);
}

void SIM_CampaignBattleManager::LoadTurnEnd(const std::string& progressText)
{
    GIniFile turnEnd;
    turnEnd.LoadFromText("turnend", progressText);
    m_turnEndOpen = turnEnd.GetInt("open") == 1;
    if (!m_turnEndOpen)
        return;
    // An edited save may hold any number of lines: one log line tells of them all.
    size_t refused = 0;
    std::string firstRefused;
    for (size_t i = 0; i < turnEnd.GetEntryCount(); ++i) {
        if (turnEnd.GetKeyAt(i) == "open")
            continue;
        const std::string& v = turnEnd.GetValueAt(i);
        int kind = -1, target = -1, source = -1;
        std::string opponent;
        SIM_CampaignEncounter* at = nullptr;
        SIM_CampaignEncounter* from = nullptr;
        if (ReadBattleLine(v, "turnend", turnEnd.GetKeyAt(i), kind, target, source, opponent)) {
            at = SIM_CampaignEncounter::FindByID(target);
            from = SIM_CampaignEncounter::FindByID(source);
        }
        if (!at || !from || at == from ||
            (kind != SIM_PendingBattle::AI_ATTACK && kind != SIM_PendingBattle::AI_CONQUEST) || FindAt(at)) {
            if (refused++ == 0)
                firstRefused = v;
            continue;
        }
        auto b = std::make_unique<SIM_PendingBattle>();
        b->encounter = at;
        b->kind = kind;
        b->source = from;
        b->opponent = opponent;
        if (kind == SIM_PendingBattle::AI_ATTACK)
            AssignDefenders(*b);
        m_pending.push_back(std::move(b));
    }
    if (refused > 0)
        LOG_ERROR(StrFormat("progress.txt [turnend]: %zu saved battles passed over, the first: %s", refused,
                            firstRefused.substr(0, 64).c_str()));
}
