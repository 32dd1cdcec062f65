#pragma once
#include "platform/ISoundSystem.h"

// The sound system of a machine without an audio device: every call is
// accepted and nothing plays, so the rest of the game needs no special case.
class NullSoundSystem : public ISoundSystem {
public:
    explicit NullSoundSystem(int channelLimit) : m_channelLimit(channelLimit) {}

    bool IsSilent() const override { return true; }
    int GetChannelLimit() const override { return m_channelLimit; }
    SoundResult GetLastResult() const override { return SOUND_ERR_DEVICE; }

    SoundHandle CreateSound(const std::string&, unsigned) override { return kNoSound; }
    void ReleaseSound(SoundHandle) override {}
    void SetSoundMinMaxDistance(SoundHandle, float, float) override {}
    SoundChannelId PlaySound(SoundHandle, SoundGroupHandle, bool, int) override { return kNoChannel; }

    bool IsChannelPlaying(SoundChannelId) const override { return false; }
    void StopChannel(SoundChannelId) override {}
    void SetChannelPaused(SoundChannelId, bool) override {}
    void SetChannelMute(SoundChannelId, bool) override {}
    void SetChannelVolume(SoundChannelId, float) override {}
    void SetChannelPitch(SoundChannelId, float) override {}
    void SetChannelLoop(SoundChannelId, bool) override {}
    void SetChannelPriority(SoundChannelId, int) override {}
    void SetChannelPosition(SoundChannelId, const SoundVector&) override {}
    void SetChannelGroup(SoundChannelId, SoundGroupHandle) override {}

    SoundGroupHandle GetMasterGroup() const override { return kNoGroup; }
    SoundGroupHandle CreateChannelGroup() override { return kNoGroup; }
    void ReleaseChannelGroup(SoundGroupHandle) override {}
    void SetGroupVolume(SoundGroupHandle, float) override {}
    void SetGroupPitch(SoundGroupHandle, float) override {}
    void SetGroupPaused(SoundGroupHandle, bool) override {}
    void StopGroup(SoundGroupHandle) override {}

    void Set3DSettings(float, float, float) override {}
    void SetListener(const SoundVector&, const SoundVector&, const SoundVector&) override {}
    void Update() override {}

private:
    int m_channelLimit;
};
