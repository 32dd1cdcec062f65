#pragma once
#include <string>

#include "platform/ISoundSystem.h"

class GUI_SoundBank;

// What the simulation plays: positional battle sounds, their channels and the
// result music. The program's sound manager implements it and the battle
// screen hands it to the battle clock; without one battles are silent. The
// names and signatures are the sound manager's own, so a module reads the same
// whether it talks to the manager or to this.
class SIM_SoundSink {
public:
    enum BankIndex {
        BANK_WEAPONS = 0,
        BANK_EXPLOSIONS = 1,
        BANK_SHIELDS = 2,
        BANK_DRONES = 3,
        BANK_INTERFACE = 4,
        BANK_COUNT = 5
    };

    virtual ~SIM_SoundSink() = default;

    virtual SoundChannelId PlaySound(const char* file, GUI_SoundBank* bank, float volume, bool loop) = 0;
    virtual SoundChannelId PlaySound3D(const char* file, GUI_SoundBank* bank, float volume, bool loop,
                                       float minDistance, float x, float y) = 0;
    // The throttled battle play: skipped (kNoChannel) when the file has played
    // too often lately, else played at ownVolume x effects x master and
    // remembered.
    virtual SoundChannelId PlayBattleSound(const char* file, int bankIndex, float ownVolume, float minDistance,
                                           float x, float y) = 0;
    virtual void StopChannel(SoundChannelId channel) = 0;
    virtual bool IsPlayedTooOften(const char* file) const = 0;
    virtual void RememberRecent(const char* file) = 0;
    // A track played once as the music (victory, defeat).
    virtual SoundChannelId PlayMusicOnce(const std::string& path) = 0;
    // Null for an index outside the banks.
    virtual GUI_SoundBank* GetBank(int index) = 0;
    virtual float GetMasterVolume() const = 0;
    virtual float GetEffectsVolume() const = 0;
};
