#pragma once
#include "platform/ISoundSystem.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// The sound system on OpenAL Soft: a pool of sources handed out as channels
// (the least important one is taken when the pool is full), channel groups
// kept by us and multiplied into their sources, whole-file buffers for
// effects and queued buffers, refilled in Update, for streamed music.
class OpenALSoundSystem : public ISoundSystem {
public:
    // Builds the system on a device that is already open: the default one, or a
    // loopback device in tests. Null when no context can be made on it; an owned
    // device is closed in that case too, so nothing is left half built.
    static std::unique_ptr<OpenALSoundSystem> Create(ALCdevice* device, bool ownsDevice, int channelLimit,
                                                     const ALCint* contextAttributes = nullptr);
    ~OpenALSoundSystem() override;
    OpenALSoundSystem(const OpenALSoundSystem&) = delete;
    OpenALSoundSystem& operator=(const OpenALSoundSystem&) = delete;

    ALCdevice* GetDevice() const { return m_device; }

    bool IsSilent() const override { return false; }
    int GetChannelLimit() const override { return m_channelLimit; }
    SoundResult GetLastResult() const override { return m_lastResult; }

    SoundHandle CreateSound(const std::string& path, unsigned flags) override;
    void ReleaseSound(SoundHandle sound) override;
    void SetSoundMinMaxDistance(SoundHandle sound, float minDistance, float maxDistance) override;
    SoundChannelId PlaySound(SoundHandle sound, SoundGroupHandle group, bool paused,
                             int priority = kDefaultSoundPriority) override;

    bool IsChannelPlaying(SoundChannelId channel) const override;
    void StopChannel(SoundChannelId channel) override;
    void SetChannelPaused(SoundChannelId channel, bool paused) override;
    void SetChannelMute(SoundChannelId channel, bool mute) override;
    void SetChannelVolume(SoundChannelId channel, float volume) override;
    void SetChannelPitch(SoundChannelId channel, float pitch) override;
    void SetChannelLoop(SoundChannelId channel, bool loop) override;
    void SetChannelPriority(SoundChannelId channel, int priority) override;
    void SetChannelPosition(SoundChannelId channel, const SoundVector& position) override;
    void SetChannelGroup(SoundChannelId channel, SoundGroupHandle group) override;

    SoundGroupHandle GetMasterGroup() const override { return kMasterGroup; }
    SoundGroupHandle CreateChannelGroup() override;
    void ReleaseChannelGroup(SoundGroupHandle group) override;
    void SetGroupVolume(SoundGroupHandle group, float volume) override;
    void SetGroupPitch(SoundGroupHandle group, float pitch) override;
    void SetGroupPaused(SoundGroupHandle group, bool paused) override;
    void StopGroup(SoundGroupHandle group) override;

    void Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale) override;
    void SetListener(const SoundVector& position, const SoundVector& forward, const SoundVector& up) override;
    void Update() override;

    // Sources made so far (they are made on demand up to the limit).
    size_t GetSourceCount() const { return m_channels.size(); }

private:
    static constexpr SoundGroupHandle kMasterGroup = 1;
    static constexpr int kMaxChannels = 4095;
    static constexpr int kStreamBuffers = 4;
    static constexpr int kStreamFrames = 8192;

    struct Sound;
    struct Group {
        float volume = 1.0f;
        float pitch = 1.0f;
        bool paused = false;
    };
    struct Stream;
    struct Channel;

    OpenALSoundSystem(ALCdevice* device, ALCcontext* context, bool ownsDevice, int channelLimit);

    Channel* Find(SoundChannelId id);
    const Channel* Find(SoundChannelId id) const;
    SoundChannelId MakeId(size_t index) const;
    int AcquireSlot(int priority);
    void ReapFinished();
    bool IsFinished(const Channel& ch) const;
    void FreeChannel(Channel& ch);
    const Group& GroupOf(const Channel& ch) const;
    void ApplyGain(Channel& ch);
    void ApplyPitch(Channel& ch);
    void ApplyPosition(Channel& ch);
    void ApplyRunState(Channel& ch);
    bool StartStream(Channel& ch, const Sound& sound);
    bool FillStreamBuffer(Stream& stream, ALuint buffer);
    void ServiceStream(Channel& ch);
    void Fail(SoundResult result) { m_lastResult = result; }

    ALCdevice* m_device = nullptr;
    ALCcontext* m_context = nullptr;
    bool m_ownsDevice = false;
    int m_channelLimit = 0;
    int m_sourceCap = 0;
    float m_rolloff = 1.0f;
    SoundResult m_lastResult = SOUND_OK;

    std::map<SoundHandle, std::unique_ptr<Sound>> m_sounds;
    SoundHandle m_nextSound = 1;
    std::map<SoundGroupHandle, Group> m_groups;
    SoundGroupHandle m_nextGroup = kMasterGroup + 1;
    std::vector<std::unique_ptr<Channel>> m_channels;
    uint64_t m_playCounter = 0;
    // Set by Update and by a reap of the full pool: asking every source its
    // state again before the next Update would cost a locked query per source
    // for every sound started into a full pool (a big battle starts several a
    // frame), and finds next to nothing that Update missed.
    bool m_reapedSinceUpdate = false;
};
