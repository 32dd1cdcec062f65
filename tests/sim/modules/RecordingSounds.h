#pragma once
// A sound system that records which files the battle opens and which
// channels it starts and stops (one by one or by their group) and at what
// volume, for tests of looping weapon sounds, the engine drones, the
// battle's silences, the volume sliders and the interface's clicks.
#include <map>
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
    SoundChannelId PlaySound(SoundHandle sound, SoundGroupHandle group, bool, int) override
    {
        if (sound > 0 && sound <= files.size())
            played.push_back(files[sound - 1]);
        groupOf[++lastChannel] = group;
        if (sound > 0 && sound <= files.size())
            fileOf[lastChannel] = files[sound - 1];
        return lastChannel;
    }
    void StopChannel(SoundChannelId ch) override { stopped.insert(ch); }
    SoundGroupHandle CreateChannelGroup() override { return ++lastGroup; }
    void StopGroup(SoundGroupHandle group) override
    {
        for (const auto& [ch, in] : groupOf)
            if (in == group)
                stopped.insert(ch);
    }
    bool IsStopped(SoundChannelId ch) const { return stopped.count(ch) != 0; }
    void SetChannelVolume(SoundChannelId ch, float volume) override
    {
        volumes[ch] = volume;
        firstVolumes.emplace(ch, volume);
    }

    std::vector<std::string> files;
    // The file of every channel started, in order.
    std::vector<std::string> played;
    bool looping = false;
    SoundChannelId lastChannel = 0;
    SoundGroupHandle lastGroup = 0;
    std::map<SoundChannelId, SoundGroupHandle> groupOf;
    std::set<SoundChannelId> stopped;
    // The last volume set on each channel, and the one it started at.
    std::map<SoundChannelId, float> volumes;
    std::map<SoundChannelId, float> firstVolumes;
    std::map<SoundChannelId, std::string> fileOf;
};
