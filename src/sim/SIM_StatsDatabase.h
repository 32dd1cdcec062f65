#pragma once
#include <cstdint>
#include <vector>

class SIM_Ship;
class SIM_ShipModuleType;

// One hit or shot as the after-battle charts see it. Fill it during the hit
// and record it once at the end; the database keeps its own copy.
struct SIM_DamageEvent {
    const SIM_ShipModuleType* weapon = nullptr;
    SIM_Ship* target = nullptr;
    SIM_Ship* attacker = nullptr;
    float damage = 0.0f;          // the shot's damage
    float shieldBlocked = 0.0f;   // stopped whole by a shield
    float shieldAbsorbed = 0.0f;  // taken off shield points
    float armourDeflected = 0.0f;
    float armourAbsorbed = 0.0f;
    float moduleDamage = 0.0f;    // reached the modules
    uint32_t flag = 0;            // 1 for ship hits; graphs count damage only when 0
    float time = 0.0f;            // battle clock when recorded
    unsigned char recorded = 0;
};

struct SIM_StrengthSample {
    uint32_t playerStrength = 0;
    uint32_t enemyStrength = 0;
    float time = 0.0f;
};

// Damage events and strength samples of the current battle, read by the
// statistics screens after it.
class SIM_StatsDatabase {
public:
    static SIM_StatsDatabase& GetInstance();

    SIM_StatsDatabase() = default;
    virtual ~SIM_StatsDatabase() { Clear(); }
    SIM_StatsDatabase(const SIM_StatsDatabase&) = delete;
    SIM_StatsDatabase& operator=(const SIM_StatsDatabase&) = delete;

    // Stamps and stores the record unless it was recorded before (then the
    // first entry stands). The battle clock comes from the battle screen.
    void RecordEvent(SIM_DamageEvent& record);
    void RecordEvent(SIM_DamageEvent& record, float battleTime);
    void AddSample(uint32_t playerStrength, uint32_t enemyStrength, float time);
    void Clear();

    const std::vector<SIM_DamageEvent>& GetEvents() const { return m_events; }
    const std::vector<SIM_StrengthSample>& GetSamples() const { return m_samples; }

private:
    std::vector<SIM_DamageEvent> m_events;
    std::vector<SIM_StrengthSample> m_samples;
};
