#include "battle/hud/StatSeriesTable.h"

#include <cmath>

#include "sim/SIM_Ship.h"
#include "sim/SIM_StatsDatabase.h"

float StatSeriesTable::BucketWidthFor(float battleClockMs)
{
    const float width = battleClockMs / static_cast<float>(kBuckets);
    return width >= kMinBucketWidth ? width : kMinBucketWidth;
}

int StatSeriesTable::BucketIndex(float timeMs, float bucketWidth)
{
    if (!(bucketWidth > 0.0f) || !(timeMs > 0.0f))
        return 0;
    const float index = std::floor(timeMs / bucketWidth);
    return index >= static_cast<float>(kBuckets - 1) ? kBuckets - 1 : static_cast<int>(index);
}

void StatSeriesTable::Rebuild(const std::vector<SIM_DamageEvent>& events, const SIM_Fleet* playerFleet,
                              const StatEventFilter& filter, bool byWeapon, float bucketWidth)
{
    for (auto& series : buckets)
        for (float& value : series)
            value = 0.0f;
    for (float& total : totals)
        total = 0.0f;
    if (!playerFleet)
        return;
    for (const SIM_DamageEvent& event : events) {
        if (!event.attacker || !event.target)
            continue;
        if (!byWeapon && !(filter.IsShipSelected(event.attacker) && filter.IsShipSelected(event.target)))
            continue;
        const bool delivered = event.attacker->fleet == playerFleet;
        if (byWeapon && !filter.IsWeaponSelected(event.weapon, delivered))
            continue;
        // The record's figures in series order: missed (counted only when
        // the shot hit nothing), reflected, shield, armour absorbed, armour
        // damage, hull.
        const float figures[kKinds] = {event.flag == 0 ? event.damage : 0.0f, event.shieldBlocked,
                                       event.shieldAbsorbed,                  event.armourDeflected,
                                       event.armourAbsorbed,                  event.moduleDamage};
        const int bucket = BucketIndex(event.time, bucketWidth);
        const int first = delivered ? 0 : kKinds;
        for (int k = 0; k < kKinds; ++k) {
            buckets[first + k][bucket] += figures[k];
            totals[first + k] += figures[k];
        }
    }
}

float StatSeriesTable::Largest() const
{
    float largest = 0.0f;
    for (const auto& series : buckets)
        for (float value : series)
            if (value > largest)
                largest = value;
    return largest;
}
