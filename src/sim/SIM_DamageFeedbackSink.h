#pragma once

class SIM_Ship;

// Where a hit's floating damage text goes: the battle screen's HUD sets it
// when it is made; without one the texts go nowhere.
class SIM_DamageFeedbackSink {
public:
    using Sink = void (*)(SIM_Ship* ship, float hullDamage, float armourDamage, float shieldDamage, bool lucky,
                          float offsetX, float offsetY);
    using ShockwaveNote = void (*)(SIM_Ship* ship);
    static void Set(Sink newSink) { sink = newSink; }
    static void SetShockwaveNote(ShockwaveNote note) { shockwaveNote = note; }
    static void Add(SIM_Ship* ship, float hullDamage, float armourDamage, float shieldDamage, bool lucky,
                    float offsetX, float offsetY)
    {
        if (sink)
            sink(ship, hullDamage, armourDamage, shieldDamage, lucky, offsetX, offsetY);
    }
    // The text just added for the ship was a blast's (a ship's detonation),
    // not a shot's: it says so.
    static void NoteShockwave(SIM_Ship* ship)
    {
        if (shockwaveNote)
            shockwaveNote(ship);
    }

private:
    static inline Sink sink = nullptr;
    static inline ShockwaveNote shockwaveNote = nullptr;
};
