#pragma once

class SIM_Ship;

// Where a hit's floating damage text goes: the battle screen's HUD sets it
// when it is made; without one the texts go nowhere.
class SIM_DamageFeedbackSink {
public:
    using Sink = void (*)(SIM_Ship* ship, float hullDamage, float armourDamage, float shieldDamage, bool lucky,
                          float offsetX, float offsetY);
    static void Set(Sink newSink) { sink = newSink; }
    static void Add(SIM_Ship* ship, float hullDamage, float armourDamage, float shieldDamage, bool lucky,
                    float offsetX, float offsetY)
    {
        if (sink)
            sink(ship, hullDamage, armourDamage, shieldDamage, lucky, offsetX, offsetY);
    }

private:
    static inline Sink sink = nullptr;
};
