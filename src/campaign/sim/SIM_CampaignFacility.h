#pragma once
#include "engine/GAttributeList.h"
#include "engine/GLifetime.h"

class SIM_CampaignEncounter;
class SIM_CampaignFacilityType;

// One facility on one planet. Factories and academies pay cash and crew each
// turn while the planet is the player's, scaled by its loyalty and truncated
// to whole credits and crew.
class SIM_CampaignFacility {
public:
    SIM_CampaignFacility(SIM_CampaignEncounter* encounter, SIM_CampaignFacilityType* type);
    virtual ~SIM_CampaignFacility() = default;

    void UpdateCurrentCash();
    void UpdateCurrentCrew();
    void CollectCash();
    void CollectCrew();

    SIM_CampaignFacilityType* GetType() const { return m_type; }
    SIM_CampaignEncounter* GetEncounter() const { return m_encounter; }
    float GetCurrentCash() const { return m_attributes.GetValue("current_cash"); }
    float GetCurrentCrew() const { return m_attributes.GetValue("current_crew"); }

    // Windows showing the facility watch this (GWatch).
    GLifetime lifetime;

private:
    // Recomputes "current_<what>" from "<what>_per_turn" on a player planet.
    void UpdateCurrent(const char* perTurn, const char* current);

    GAttributeList m_attributes;
    SIM_CampaignEncounter* m_encounter;
    SIM_CampaignFacilityType* m_type;
};
