#pragma once
// A sound system that records which files the battle opens and which
// channels it starts and stops, for tests of looping weapon sounds.
#include <set>
#include <string>
#include <vector>

#include "platform/NullSoundSystem.h"

class RecordingSounds : public NullSoundSystem {
public:
    RecordingSounds() : NullSoundSystem(64) {}
    bool IsSilent() const override { return false; }
    SoundHandle CreateSound(const std::string& path, unsigned flags) override
    {
        files.push_back(path);
        looping = (flags & SOUND_LOOP) != 0;
        return static_cast<SoundHandle>(files.size());
    }
    SoundChannelId PlaySound(SoundHandle, SoundGroupHandle, bool, int) override { return ++lastChannel; }
    void StopChannel(SoundChannelId ch) override { stopped.insert(ch); }
    bool IsStopped(SoundChannelId ch) const { return stopped.count(ch) != 0; }

    std::vector<std::string> files;
    bool looping = false;
    SoundChannelId lastChannel = 0;
    std::set<SoundChannelId> stopped;
};
