#pragma once
#include <cstdint>
#include <vector>

class SIM_Fleet;
class SIM_Ship;
class SIM_ShipModuleType;
struct SIM_DamageEvent;

// Which events count: the pickers answer for ships and weapon types.
class StatEventFilter {
public:
    virtual ~StatEventFilter() = default;
    virtual bool IsShipSelected(const SIM_Ship* ship) const = 0;
    // delivered: the player's weapon (else the enemy's).
    virtual bool IsWeaponSelected(const SIM_ShipModuleType* type, bool delivered) const = 0;
};

// The after-battle damage figures sorted into twelve series (six kinds of
// figure, delivered by the player's fleet or received by it) and one
// hundred time buckets, plus each series' total.
class StatSeriesTable {
public:
    static constexpr int kSeries = 12;
    static constexpr int kKinds = 6;
    static constexpr int kBuckets = 100;
    // A battle quit on its first frame still gets buckets of some width.
    static constexpr float kMinBucketWidth = 1.0f;
    static constexpr float kMinScale = 20.0f;
    static constexpr float kHeadroom = 1.1f;

    static float BucketWidthFor(float battleClockMs);
    // Always 0..99, whatever the time or width.
    static int BucketIndex(float timeMs, float bucketWidth);
    // The value that maps to the top of the plot.
    static float ScaleFor(float largest) { return largest * kHeadroom > kMinScale ? largest * kHeadroom : kMinScale; }

    // Rebuilds from the events. Without a player fleet everything stays 0.
    // byWeapon: the weapon-type filter replaces the ship filter.
    void Rebuild(const std::vector<SIM_DamageEvent>& events, const SIM_Fleet* playerFleet,
                 const StatEventFilter& filter, bool byWeapon, float bucketWidth);
    float Largest() const;

    float buckets[kSeries][kBuckets] = {};
    float totals[kSeries] = {};
};
