#pragma once

class SIM_CampaignEncounter;
struct SIM_PendingBattle;

// A battle won with more force than the planet's enemy was worth makes the
// enemy arm: every planet's fear grows by the excess, shrinking by the spread
// multiplier with each wormhole hop from the battle.
class SIM_CampaignArmsRace {
public:
    static void SpreadFear(float multiplier, bool won, const SIM_PendingBattle& battle);
    static void AddFearToEncounters(float multiplier, float excess, const SIM_CampaignEncounter* source);
};

// Sets the multiplier of AI attack strength from how far the player's
// conquest runs ahead of or behind the planned game length, held within the
// configured least and greatest adjusters.
void AdjustDifficulty(float& multiplier);
