#pragma once
#include <cstdint>
#include <memory>
#include <string>

// Handles of the sound layer. 0 is never a live handle, so callers can keep a
// handle after the thing behind it went and find it simply does nothing.
using SoundHandle = uint32_t;
using SoundChannelId = uint32_t;
using SoundGroupHandle = uint32_t;

constexpr SoundHandle kNoSound = 0;
constexpr SoundChannelId kNoChannel = 0;
constexpr SoundGroupHandle kNoGroup = 0;

// Positions and directions in the game's left-handed sound space: +x right,
// +y up, +z away from the listener.
struct SoundVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

enum SoundFlags : unsigned {
    SOUND_DEFAULT = 0,
    SOUND_LOOP = 1u << 0,
    SOUND_3D = 1u << 1,
    // Decoded while playing instead of loaded whole (music).
    SOUND_STREAM = 1u << 2,
};

enum SoundResult : int {
    SOUND_OK = 0,
    SOUND_ERR_FILE_NOT_FOUND = 1,
    SOUND_ERR_FORMAT = 2,
    SOUND_ERR_INVALID_HANDLE = 3,
    SOUND_ERR_NO_CHANNEL = 4,
    SOUND_ERR_DEVICE = 5,
    SOUND_ERR_TOO_LARGE = 6,
};

const char* SoundResultText(SoundResult result);

// Channel priorities: 0 is the most important, 256 the least. A play that finds
// no free channel takes the least important one of no greater importance.
constexpr int kDefaultSoundPriority = 128;
constexpr float kNominalSoundRate = 44100.0f;

// The sound device as the game sees it: sounds (loaded or streamed files),
// channels (one playing instance of a sound), channel groups (a volume, pitch
// and pause that multiply into every channel of the group, under one master
// group), 3D settings and one listener.
class ISoundSystem {
public:
    virtual ~ISoundSystem() = default;

    // True for the stand-in that plays nothing.
    virtual bool IsSilent() const = 0;
    virtual int GetChannelLimit() const = 0;
    // Why the last call that failed failed.
    virtual SoundResult GetLastResult() const = 0;

    virtual SoundHandle CreateSound(const std::string& path, unsigned flags) = 0;
    virtual void ReleaseSound(SoundHandle sound) = 0;
    virtual void SetSoundMinMaxDistance(SoundHandle sound, float minDistance, float maxDistance) = 0;

    // kNoChannel when the sound is invalid or every channel is busy with
    // something more important.
    virtual SoundChannelId PlaySound(SoundHandle sound, SoundGroupHandle group, bool paused,
                                     int priority = kDefaultSoundPriority) = 0;

    virtual bool IsChannelPlaying(SoundChannelId channel) const = 0;
    virtual void StopChannel(SoundChannelId channel) = 0;
    virtual void SetChannelPaused(SoundChannelId channel, bool paused) = 0;
    virtual void SetChannelMute(SoundChannelId channel, bool mute) = 0;
    virtual void SetChannelVolume(SoundChannelId channel, float volume) = 0;
    // Playback rate relative to the file's own rate (2 = an octave up).
    virtual void SetChannelPitch(SoundChannelId channel, float pitch) = 0;
    virtual void SetChannelLoop(SoundChannelId channel, bool loop) = 0;
    virtual void SetChannelPriority(SoundChannelId channel, int priority) = 0;
    virtual void SetChannelPosition(SoundChannelId channel, const SoundVector& position) = 0;
    virtual void SetChannelGroup(SoundChannelId channel, SoundGroupHandle group) = 0;

    virtual SoundGroupHandle GetMasterGroup() const = 0;
    virtual SoundGroupHandle CreateChannelGroup() = 0;
    // Its channels move to the master group.
    virtual void ReleaseChannelGroup(SoundGroupHandle group) = 0;
    virtual void SetGroupVolume(SoundGroupHandle group, float volume) = 0;
    virtual void SetGroupPitch(SoundGroupHandle group, float pitch) = 0;
    virtual void SetGroupPaused(SoundGroupHandle group, bool paused) = 0;
    // Stops every channel playing in the group (its own channels only, also
    // for the master group).
    virtual void StopGroup(SoundGroupHandle group) = 0;

    virtual void Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale) = 0;
    virtual void SetListener(const SoundVector& position, const SoundVector& forward, const SoundVector& up) = 0;

    // Once a frame: refills streams and frees channels that have finished.
    virtual void Update() = 0;
};

// Opens the default audio device (or the named one). With no device the game
// runs silent on the null system, never a half-built one; whySilent then says
// why, for the one log line.
std::unique_ptr<ISoundSystem> CreateSoundSystem(int channelLimit, const char* deviceName = nullptr,
                                                std::string* whySilent = nullptr);
