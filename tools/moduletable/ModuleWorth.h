#pragma once
// What a module type buys for its price. Every type is turned into figures
// (higher is better): the damage per second it lands on each shipped design
// under the combat rules (hit chance from tracking, shields that block weak
// penetration, armour that deflects it), its reach, and what its class does
// besides damage (stuns, holds, paints, stops missiles, repairs, ...). A type
// is dominated when another of its size costs no more and is at least as good
// in every figure: nobody would ever fit it.
#include <map>
#include <string>
#include <vector>

class SIM_ShipDesign;
class SIM_ShipModuleType;

class ModuleWorth {
public:
    // A shipped design as a weapon sees it, at full health and full speed.
    struct Target {
        std::string name;
        int hullClass = 0; // SIM_ShipHull's CRUISER, FRIGATE, FIGHTER
        float shieldResistance = 0.0f; // 0: no shield
        float armourAverage = 0.0f;
        float speed = 0.0f;
        float width = 0.0f;
        struct PointDefence {
            float tracking = 0.0f;
            float range = 0.0f;
            float interval = 0.0f;
        };
        std::vector<PointDefence> pointDefence;
    };

    struct Entry {
        std::string name;
        std::string className;
        int size = 0;
        int category = 0;
        float cost = 0.0f;
        std::map<std::string, float> figures; // a missing figure is 0
    };

    struct Row {
        Entry entry;
        std::vector<std::string> dominatedBy;
        // Figures in which no other type of its size gives as much per
        // credit, and those in which none gives as much per slot (as much at
        // all). A
        // damage figure is a fight at the type's own reach: only types that
        // reach as far compete in it.
        std::vector<std::string> bestPerCredit;
        std::vector<std::string> bestPerSlot;
        bool IsBestSomewhere() const { return !bestPerCredit.empty() || !bestPerSlot.empty(); }
    };

    static Target TargetOf(const SIM_ShipDesign& design);
    static Entry Measure(const SIM_ShipModuleType& type, const std::vector<Target>& targets);

    // The combat rules the figures are made of.
    static float HitChance(float trackingSpeed, const Target& target);
    // Share of a hit's damage that reaches the shield (0 or 1) or, with the
    // shield down, the hull through the armour (1, or the deflection leak).
    static float ShieldShare(float shieldPenetration, const Target& target);
    static float ArmourShare(float armourPenetration, const Target& target);
    // Share of missiles at this speed (per ms) that get through the target's
    // point defence: each turret fires at one missile per reload while it is
    // in range, killing it with its chance (tracking against speed, 5 to 95 %).
    static float PointDefenceShare(float missileSpeed, const Target& target);

    // Share of an ECM beam's locks that scramble: its chance, times the share
    // of locks that end before the missile, met at the beam's edge at this
    // speed (per ms) and flying straight in, crosses the beam's range.
    static float ScrambleShare(float beamDuration, float range, float missileSpeed);
    // The fastest missile of the loaded types (per ms of battle time).
    static float FastestMissileSpeed();

    // True when b makes a pointless: no dearer, nowhere worse, and cheaper
    // or better somewhere.
    static bool Dominates(const Entry& b, const Entry& a);

    // True for the figures of damage dealt, which depend on reaching the target.
    static bool IsDamageFigure(const std::string& name);

    // Every type compared with the others of its size.
    static std::vector<Row> Compare(const std::vector<Entry>& entries);

    // The loaded designs, as targets.
    static std::vector<Target> LoadedTargets();
    // The loaded module types (hidden ones left out) measured against the
    // loaded designs.
    static std::vector<Row> CompareLoadedContent();
};
