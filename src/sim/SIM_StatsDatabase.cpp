#include "sim/SIM_StatsDatabase.h"

#include "sim/SIM_BattleClock.h"

SIM_StatsDatabase& SIM_StatsDatabase::GetInstance()
{
    static SIM_StatsDatabase instance;
    return instance;
}

void SIM_StatsDatabase::RecordEvent(SIM_DamageEvent& record)
{
    RecordEvent(record, SIM_BattleClock::GetInstance().battleTime);
}

void SIM_StatsDatabase::RecordEvent(SIM_DamageEvent& record, float battleTime)
{
    // Several steps of one hit may record it; the first stands.
    if (record.recorded)
        return;
    record.time = battleTime;
    record.recorded = 1;
    m_events.push_back(record);
}

void SIM_StatsDatabase::AddSample(uint32_t playerStrength, uint32_t enemyStrength, float time)
{
    m_samples.push_back(SIM_StrengthSample{playerStrength, enemyStrength, time});
}

void SIM_StatsDatabase::Clear()
{
    m_events.clear();
    m_events.shrink_to_fit();
    m_samples.clear();
    m_samples.shrink_to_fit();
}
