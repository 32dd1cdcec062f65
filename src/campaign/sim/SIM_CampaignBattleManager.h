#pragma once
#include "engine/GLifetime.h"

#include <memory>
#include <string>
#include <vector>

class SIM_CampaignEncounter;
class SIM_CampaignEnemyFleet;
class SIM_CampaignFleet;
struct SIM_CampaignBattleOutcome;

// A battle this turn produced, waiting to be fought.
struct SIM_PendingBattle {
    enum Kind { PLAYER_ATTACK = 0, AI_ATTACK = 1, AI_CONQUEST = 2 };
    SIM_CampaignEncounter* encounter = nullptr; // the attacked planet
    int kind = PLAYER_ATTACK;
    SIM_CampaignEncounter* source = nullptr;    // the enemy planet of an AI attack
    std::vector<SIM_CampaignFleet*> fleets;      // the player's fleets that fight
    bool reusedFleet = false;
    SIM_CampaignEnemyFleet* enemyFleet = nullptr; // owned by the enemies database
    // The challenge drawn for it, kept from its first preparation through
    // saves, so that a battle left unfought meets the same enemy again.
    std::string opponent;
    // Windows showing the battle watch this (GWatch).
    GLifetime lifetime;
};

// The battles of a turn: the player's attacks and the AI's. At the end of a
// turn futile AI attacks are dropped, their number is capped, and defenders
// are assigned (an undefended planet falls to the enemy).
class SIM_CampaignBattleManager {
public:
    static SIM_CampaignBattleManager& GetInstance();

    void AddAIAttack(SIM_CampaignEncounter* target, SIM_CampaignEncounter* source);
    void AddPlayerAttack(SIM_CampaignEncounter* target, SIM_CampaignFleet* fleet);
    // Takes the battle at that planet off the list and hands it to the caller.
    std::unique_ptr<SIM_PendingBattle> RemovePendingBattle(const SIM_CampaignEncounter* encounter);
    void ProcessEndOfTurn();
    float GetAttackStrength(const SIM_PendingBattle& battle) const;

    // AI conquests need no fight: they go when the turn's summary closes.
    void RemoveConquests();
    // Whether the turn has ended and its report waits for the player: set
    // when a turn ends, cleared when the player continues past the report
    // (FinishTurnEnd, which also clears the turn's report and saves). A save
    // made meanwhile keeps the turn's battles, and a load offers them again
    // before the map, with no second turn step.
    bool IsTurnEndOpen() const { return m_turnEndOpen; }
    void FinishTurnEnd();
    // The pending battle at that planet becomes the one being prepared; it
    // counts as fought once its preparation succeeded.
    SIM_PendingBattle* BeginBattle(const SIM_CampaignEncounter* encounter);
    SIM_PendingBattle* GetCurrent() const { return m_current.get(); }
    // A battle that could not be prepared waits again with the others.
    void ReturnCurrentToPending();
    // The fought battle's result: losses, fear, captures, statistics,
    // freezes, the planet's owner, and the save.
    void ApplyBattleResult(bool won, const SIM_CampaignBattleOutcome& outcome);
    // The player's fleets fall back where they came from (or to a neighbour
    // of ours; with neither they hold their place) and the planet is lost.
    void ApplyPlayerRetreat(const SIM_CampaignBattleOutcome& outcome);
    SIM_CampaignEncounter* ChooseRetreatDestination(const SIM_PendingBattle& battle) const;
    // Whether a retreat from the battle being fought moves its fleets
    // anywhere: each came from elsewhere this turn or the planet has a
    // neighbour of ours. Draws no random number.
    bool HasRetreatDestination() const;
    // Forgets every battle and the difficulty factor (a campaign ends or
    // another is loaded).
    void Clear();
    // A fleet that goes away leaves the battles it was in.
    void ForgetFleet(const SIM_CampaignFleet* fleet);
    // A fleet split off another joins every battle the other is in, and
    // falls back with it to where it came from.
    void JoinBattlesOf(const SIM_CampaignFleet* from, SIM_CampaignFleet* fleet);

    // The player's attacks ordered this turn, the section "progress.txt"
    // keeps them in: the fleets stand on the attacked planets in the same
    // save, so the one cannot be kept without the other. One line per fleet,
    // "target,fleet,origin" (EncounterIDs and the fleet id; origin -1 when none).
    // While the turn's end is open, a section "[turnend]" follows with
    // "open = 1" and the AI's battles, "kind,target,source" each. A battle
    // whose opponent was drawn adds ",<challenge id>" to its lines.
    std::string AttacksText() const;
    // Orders the saved attacks again once the fleets are placed; a line naming
    // a fleet that is not on its target is logged and passed over. The AI's
    // battles of an open turn end come back with the planet's fleets as
    // defenders (none left: the planet falls, as at the turn's end).
    void LoadAttacks(const std::string& progressText);

    const std::vector<std::unique_ptr<SIM_PendingBattle>>& GetPending() const { return m_pending; }

    // Scales every AI attack (each turn's end sets it for the next; 1 after
    // a load until then).
    float difficultyMultiplier = 1.0f;

private:
    SIM_CampaignBattleManager() = default;
    SIM_PendingBattle* FindAt(const SIM_CampaignEncounter* encounter) const;
    void UpdateEnemyFleet(SIM_PendingBattle& battle, const SIM_CampaignBattleOutcome& outcome);
    // An AI attack's defenders are the planet's fleets; without any the planet falls.
    static void AssignDefenders(SIM_PendingBattle& battle);
    void LoadTurnEnd(const std::string& progressText);
    std::vector<std::unique_ptr<SIM_PendingBattle>> m_pending;
    std::unique_ptr<SIM_PendingBattle> m_current;
    bool m_turnEndOpen = false;
};
