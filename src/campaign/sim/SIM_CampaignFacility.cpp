#include "campaign/sim/SIM_CampaignFacility.h"

#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "sim/SIM_ContentFiles.h"

SIM_CampaignFacility::SIM_CampaignFacility(SIM_CampaignEncounter* encounter, SIM_CampaignFacilityType* type)
    : m_encounter(encounter), m_type(type)
{
}

void SIM_CampaignFacility::UpdateCurrent(const char* perTurn, const char* current)
{
    if (!m_encounter || !m_type || m_encounter->territory != SIM_CampaignEncounter::PLAYER)
        return;
    m_attributes.Clear();
    m_attributes.SetValue(current, m_type->attributes.GetValue(perTurn) * m_encounter->loyalty.value);
}

void SIM_CampaignFacility::UpdateCurrentCash()
{
    UpdateCurrent("cash_per_turn", "current_cash");
}

void SIM_CampaignFacility::UpdateCurrentCrew()
{
    UpdateCurrent("crew_per_turn", "current_crew");
}

void SIM_CampaignFacility::CollectCash()
{
    UpdateCurrentCash();
    if (!m_encounter || m_encounter->territory != SIM_CampaignEncounter::PLAYER)
        return;
    const int n = TruncateToInt(GetCurrentCash());
    if (n >= 1) {
        SIM_CampaignProgress::GetInstance().AddCash(n);
        SIM_CampaignScreenHooks::Get().UpdateCashCounter();
    }
}

void SIM_CampaignFacility::CollectCrew()
{
    UpdateCurrentCrew();
    if (!m_encounter || m_encounter->territory != SIM_CampaignEncounter::PLAYER)
        return;
    const int n = TruncateToInt(GetCurrentCrew());
    if (n >= 1) {
        SIM_CampaignProgress::GetInstance().AddCrew(n);
        SIM_CampaignScreenHooks::Get().UpdateCrewCounter();
    }
}
