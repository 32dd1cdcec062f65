#include "platform/OpenALSoundSystem.h"

#include "platform/OggVorbisDecoder.h"

#include <algorithm>
#include <cmath>

namespace {

// Effects are loaded whole; anything longer than this is not an effect.
constexpr size_t kMaxEffectFrames = 44100u * 60u * 5u;

float Finite(float v, float fallback)
{
    return std::isfinite(v) ? v : fallback;
}

ALenum FormatFor(int channels)
{
    return channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

} // namespace

struct OpenALSoundSystem::Sound {
    std::string path;
    unsigned flags = 0;
    ALuint buffer = 0;
    int channels = 0;
    int rate = 0;
    float minDistance = 1.0f;
    float maxDistance = 10000.0f;
};

struct OpenALSoundSystem::Stream {
    OggVorbisDecoder decoder;
    ALuint buffers[kStreamBuffers] = {};
    bool loop = false;
    bool ended = false;
    std::vector<int16_t> scratch;
};

struct OpenALSoundSystem::Channel {
    ALuint source = 0;
    uint32_t generation = 0;
    bool active = false;
    bool started = false;
    SoundHandle sound = kNoSound;
    SoundGroupHandle group = kMasterGroup;
    float volume = 1.0f;
    float pitch = 1.0f;
    bool paused = false;
    bool mute = false;
    bool loop = false;
    bool is3D = false;
    int priority = kDefaultSoundPriority;
    uint64_t order = 0;
    SoundVector position;
    std::unique_ptr<Stream> stream;
};

std::unique_ptr<OpenALSoundSystem> OpenALSoundSystem::Create(ALCdevice* device, bool ownsDevice,
                                                             int channelLimit, const ALCint* contextAttributes)
{
    if (!device)
        return nullptr;
    ALCcontext* context = alcCreateContext(device, contextAttributes);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context)
            alcDestroyContext(context);
        if (ownsDevice)
            alcCloseDevice(device);
        return nullptr;
    }
    return std::unique_ptr<OpenALSoundSystem>(new OpenALSoundSystem(device, context, ownsDevice, channelLimit));
}

OpenALSoundSystem::OpenALSoundSystem(ALCdevice* device, ALCcontext* context, bool ownsDevice, int channelLimit)
    : m_device(device), m_context(context), m_ownsDevice(ownsDevice)
{
    m_channelLimit = std::clamp(channelLimit, 1, kMaxChannels);
    m_sourceCap = m_channelLimit;
    m_groups[kMasterGroup] = Group{};
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alGetError();
}

OpenALSoundSystem::~OpenALSoundSystem()
{
    alcMakeContextCurrent(m_context);
    for (auto& ch : m_channels) {
        FreeChannel(*ch);
        alDeleteSources(1, &ch->source);
    }
    m_channels.clear();
    for (auto& [handle, sound] : m_sounds)
        if (sound->buffer)
            alDeleteBuffers(1, &sound->buffer);
    m_sounds.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(m_context);
    if (m_ownsDevice)
        alcCloseDevice(m_device);
}

// ---- sounds ---------------------------------------------------------------

SoundHandle OpenALSoundSystem::CreateSound(const std::string& path, unsigned flags)
{
    auto sound = std::make_unique<Sound>();
    sound->path = path;
    sound->flags = flags;
    if (flags & SOUND_STREAM) {
        // Opened once here so that a missing or broken file fails now, not when played.
        OggVorbisDecoder probe;
        SoundResult r = probe.Open(path);
        if (r != SOUND_OK) {
            Fail(r);
            return kNoSound;
        }
        sound->channels = probe.GetChannels();
        sound->rate = probe.GetRate();
    } else {
        std::vector<int16_t> samples;
        // Positional sounds must be mono: OpenAL does not place stereo sources.
        SoundResult r = OggVorbisDecoder::DecodeWhole(path, (flags & SOUND_3D) != 0, kMaxEffectFrames, samples,
                                                      sound->channels, sound->rate);
        if (r != SOUND_OK) {
            Fail(r);
            return kNoSound;
        }
        alGetError();
        alGenBuffers(1, &sound->buffer);
        if (alGetError() != AL_NO_ERROR) {
            Fail(SOUND_ERR_DEVICE);
            return kNoSound;
        }
        alBufferData(sound->buffer, FormatFor(sound->channels), samples.data(),
                     static_cast<ALsizei>(samples.size() * sizeof(int16_t)), sound->rate);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &sound->buffer);
            Fail(SOUND_ERR_DEVICE);
            return kNoSound;
        }
    }
    SoundHandle handle = m_nextSound++;
    m_sounds[handle] = std::move(sound);
    return handle;
}

void OpenALSoundSystem::ReleaseSound(SoundHandle handle)
{
    auto it = m_sounds.find(handle);
    if (it == m_sounds.end())
        return;
    // A buffer still attached to a source can't be deleted.
    for (auto& ch : m_channels)
        if (ch->active && ch->sound == handle)
            FreeChannel(*ch);
    if (it->second->buffer)
        alDeleteBuffers(1, &it->second->buffer);
    m_sounds.erase(it);
}

void OpenALSoundSystem::SetSoundMinMaxDistance(SoundHandle handle, float minDistance, float maxDistance)
{
    auto it = m_sounds.find(handle);
    if (it == m_sounds.end())
        return;
    float lo = std::max(Finite(minDistance, 1.0f), 0.0001f);
    it->second->minDistance = lo;
    it->second->maxDistance = std::max(Finite(maxDistance, 10000.0f), lo);
}

// ---- channels -------------------------------------------------------------

SoundChannelId OpenALSoundSystem::MakeId(size_t index) const
{
    return (m_channels[index]->generation << 12) | static_cast<uint32_t>(index + 1);
}

OpenALSoundSystem::Channel* OpenALSoundSystem::Find(SoundChannelId id)
{
    return const_cast<Channel*>(static_cast<const OpenALSoundSystem*>(this)->Find(id));
}

const OpenALSoundSystem::Channel* OpenALSoundSystem::Find(SoundChannelId id) const
{
    uint32_t slot = id & 0xFFFu;
    if (slot == 0 || slot > m_channels.size())
        return nullptr;
    const Channel* ch = m_channels[slot - 1].get();
    if (!ch->active || ch->generation != (id >> 12))
        return nullptr;
    return ch;
}

bool OpenALSoundSystem::IsFinished(const Channel& ch) const
{
    if (!ch.active)
        return true;
    // A looping buffer never stops by itself: no need to ask the source
    // (every frame, for every drone and beam in a battle).
    if (!ch.started || (ch.loop && !ch.stream))
        return false;
    ALint state = AL_STOPPED;
    alGetSourcei(ch.source, AL_SOURCE_STATE, &state);
    if (state != AL_STOPPED)
        return false;
    if (!ch.stream)
        return true;
    ALint queued = 0;
    alGetSourcei(ch.source, AL_BUFFERS_QUEUED, &queued);
    ALint processed = 0;
    alGetSourcei(ch.source, AL_BUFFERS_PROCESSED, &processed);
    return ch.stream->ended && queued == processed;
}

void OpenALSoundSystem::FreeChannel(Channel& ch)
{
    if (!ch.active)
        return;
    alSourceStop(ch.source);
    alSourcei(ch.source, AL_BUFFER, 0);
    if (ch.stream) {
        alDeleteBuffers(kStreamBuffers, ch.stream->buffers);
        ch.stream.reset();
    }
    ch.active = false;
    ch.started = false;
    ch.generation = (ch.generation + 1) & 0xFFFFFu;
    alGetError();
}

void OpenALSoundSystem::ReapFinished()
{
    for (auto& ch : m_channels)
        if (ch->active && IsFinished(*ch))
            FreeChannel(*ch);
}

int OpenALSoundSystem::AcquireSlot(int priority)
{
    auto freeSlot = [this]() -> int {
        for (size_t i = 0; i < m_channels.size(); ++i)
            if (!m_channels[i]->active)
                return static_cast<int>(i);
        return -1;
    };
    int slot = freeSlot();
    const bool atCap = static_cast<int>(m_channels.size()) >= m_sourceCap;
    if (slot < 0 && !(atCap && m_reapedSinceUpdate)) {
        ReapFinished();
        m_reapedSinceUpdate = atCap;
        slot = freeSlot();
    }
    if (slot >= 0)
        return slot;
    if (static_cast<int>(m_channels.size()) < m_sourceCap) {
        auto ch = std::make_unique<Channel>();
        ch->generation = 1;
        alGetError();
        alGenSources(1, &ch->source);
        if (alGetError() == AL_NO_ERROR) {
            m_channels.push_back(std::move(ch));
            return static_cast<int>(m_channels.size() - 1);
        }
        // The device has no more sources to give: that is the real limit.
        m_sourceCap = static_cast<int>(m_channels.size());
    }
    int victim = -1;
    for (size_t i = 0; i < m_channels.size(); ++i) {
        const Channel& c = *m_channels[i];
        if (c.priority < priority)
            continue;
        if (victim < 0 || c.priority > m_channels[victim]->priority ||
            (c.priority == m_channels[victim]->priority && c.order < m_channels[victim]->order))
            victim = static_cast<int>(i);
    }
    if (victim >= 0)
        FreeChannel(*m_channels[victim]);
    return victim;
}

SoundChannelId OpenALSoundSystem::PlaySound(SoundHandle handle, SoundGroupHandle group, bool paused, int priority)
{
    auto it = m_sounds.find(handle);
    if (it == m_sounds.end()) {
        Fail(SOUND_ERR_INVALID_HANDLE);
        return kNoChannel;
    }
    const Sound& sound = *it->second;
    priority = std::clamp(priority, 0, 256);
    int slot = AcquireSlot(priority);
    if (slot < 0) {
        Fail(SOUND_ERR_NO_CHANNEL);
        return kNoChannel;
    }
    Channel& ch = *m_channels[slot];
    ch.active = true;
    ch.started = false;
    ch.sound = handle;
    ch.group = m_groups.count(group) ? group : kMasterGroup;
    ch.volume = 1.0f;
    ch.pitch = 1.0f;
    ch.paused = paused;
    ch.mute = false;
    ch.loop = (sound.flags & SOUND_LOOP) != 0;
    ch.is3D = (sound.flags & SOUND_3D) != 0;
    ch.priority = priority;
    ch.order = ++m_playCounter;
    ch.position = SoundVector{};

    alGetError();
    alSourceRewind(ch.source);
    alSourcei(ch.source, AL_BUFFER, 0);
    if (sound.flags & SOUND_STREAM) {
        alSourcei(ch.source, AL_LOOPING, AL_FALSE);
        if (!StartStream(ch, sound)) {
            FreeChannel(ch);
            return kNoChannel;
        }
    } else {
        alSourcei(ch.source, AL_BUFFER, static_cast<ALint>(sound.buffer));
        alSourcei(ch.source, AL_LOOPING, ch.loop ? AL_TRUE : AL_FALSE);
    }
    alSourcef(ch.source, AL_REFERENCE_DISTANCE, sound.minDistance);
    alSourcef(ch.source, AL_MAX_DISTANCE, sound.maxDistance);
    ApplyPosition(ch);
    ApplyGain(ch);
    ApplyPitch(ch);
    ApplyRunState(ch);
    return MakeId(static_cast<size_t>(slot));
}

bool OpenALSoundSystem::StartStream(Channel& ch, const Sound& sound)
{
    auto stream = std::make_unique<Stream>();
    SoundResult r = stream->decoder.Open(sound.path);
    if (r != SOUND_OK) {
        Fail(r);
        return false;
    }
    stream->loop = ch.loop;
    alGenBuffers(kStreamBuffers, stream->buffers);
    if (alGetError() != AL_NO_ERROR) {
        Fail(SOUND_ERR_DEVICE);
        return false;
    }
    int queued = 0;
    for (ALuint buffer : stream->buffers) {
        if (!FillStreamBuffer(*stream, buffer))
            break;
        alSourceQueueBuffers(ch.source, 1, &buffer);
        ++queued;
    }
    ch.stream = std::move(stream);
    if (queued == 0) {
        Fail(SOUND_ERR_FORMAT);
        return false;
    }
    return true;
}

bool OpenALSoundSystem::FillStreamBuffer(Stream& stream, ALuint buffer)
{
    if (stream.ended)
        return false;
    const int channels = stream.decoder.GetChannels();
    stream.scratch.resize(static_cast<size_t>(kStreamFrames) * channels);
    long got = 0;
    bool rewound = false;
    while (got < kStreamFrames) {
        long n = stream.decoder.Read(stream.scratch.data() + got * channels, kStreamFrames - got);
        if (n > 0) {
            got += n;
            rewound = false;
            continue;
        }
        // At the end a looping stream starts over; twice in a row means it is empty.
        if (n == 0 && stream.loop && !rewound && stream.decoder.Rewind()) {
            rewound = true;
            continue;
        }
        stream.ended = true;
        break;
    }
    if (got == 0)
        return false;
    alGetError();
    alBufferData(buffer, FormatFor(channels), stream.scratch.data(),
                 static_cast<ALsizei>(got * channels * sizeof(int16_t)), stream.decoder.GetRate());
    return alGetError() == AL_NO_ERROR;
}

void OpenALSoundSystem::ServiceStream(Channel& ch)
{
    Stream& stream = *ch.stream;
    stream.loop = ch.loop;
    ALint processed = 0;
    alGetSourcei(ch.source, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0 && !stream.ended) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(ch.source, 1, &buffer);
        if (FillStreamBuffer(stream, buffer))
            alSourceQueueBuffers(ch.source, 1, &buffer);
    }
    // A frame that came too late lets the source run dry; carry on where it stopped.
    ALint state = AL_STOPPED;
    alGetSourcei(ch.source, AL_SOURCE_STATE, &state);
    ALint queued = 0;
    alGetSourcei(ch.source, AL_BUFFERS_QUEUED, &queued);
    if (state == AL_STOPPED && ch.started && !stream.ended && queued > 0)
        ApplyRunState(ch);
}

const OpenALSoundSystem::Group& OpenALSoundSystem::GroupOf(const Channel& ch) const
{
    auto it = m_groups.find(ch.group);
    return it != m_groups.end() ? it->second : m_groups.at(kMasterGroup);
}

void OpenALSoundSystem::ApplyGain(Channel& ch)
{
    const Group& master = m_groups.at(kMasterGroup);
    float gain = ch.mute ? 0.0f : ch.volume * GroupOf(ch).volume * master.volume;
    alSourcef(ch.source, AL_GAIN, std::max(gain, 0.0f));
}

void OpenALSoundSystem::ApplyPitch(Channel& ch)
{
    const Group& master = m_groups.at(kMasterGroup);
    float pitch = ch.pitch * GroupOf(ch).pitch * master.pitch;
    alSourcef(ch.source, AL_PITCH, std::clamp(pitch, 0.01f, 255.0f));
}

void OpenALSoundSystem::ApplyPosition(Channel& ch)
{
    if (ch.is3D) {
        // Our sound space is left-handed, OpenAL's right-handed: z flips.
        alSourcei(ch.source, AL_SOURCE_RELATIVE, AL_FALSE);
        alSource3f(ch.source, AL_POSITION, ch.position.x, ch.position.y, -ch.position.z);
        alSourcef(ch.source, AL_ROLLOFF_FACTOR, m_rolloff);
    } else {
        alSourcei(ch.source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(ch.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(ch.source, AL_ROLLOFF_FACTOR, 0.0f);
    }
}

void OpenALSoundSystem::ApplyRunState(Channel& ch)
{
    const bool run = !ch.paused && !GroupOf(ch).paused && !m_groups.at(kMasterGroup).paused;
    ALint state = AL_INITIAL;
    alGetSourcei(ch.source, AL_SOURCE_STATE, &state);
    if (run && state != AL_PLAYING) {
        // A one-shot that already ran to its end stays finished.
        if (state == AL_STOPPED && ch.started && !ch.stream)
            return;
        alSourcePlay(ch.source);
        ch.started = true;
    } else if (!run && state == AL_PLAYING) {
        alSourcePause(ch.source);
    }
}

bool OpenALSoundSystem::IsChannelPlaying(SoundChannelId id) const
{
    const Channel* ch = Find(id);
    return ch && !IsFinished(*ch);
}

void OpenALSoundSystem::StopChannel(SoundChannelId id)
{
    if (Channel* ch = Find(id))
        FreeChannel(*ch);
}

void OpenALSoundSystem::SetChannelPaused(SoundChannelId id, bool paused)
{
    if (Channel* ch = Find(id)) {
        ch->paused = paused;
        ApplyRunState(*ch);
    }
}

void OpenALSoundSystem::SetChannelMute(SoundChannelId id, bool mute)
{
    if (Channel* ch = Find(id)) {
        ch->mute = mute;
        ApplyGain(*ch);
    }
}

void OpenALSoundSystem::SetChannelVolume(SoundChannelId id, float volume)
{
    if (Channel* ch = Find(id)) {
        ch->volume = std::max(Finite(volume, 0.0f), 0.0f);
        ApplyGain(*ch);
    }
}

void OpenALSoundSystem::SetChannelPitch(SoundChannelId id, float pitch)
{
    if (Channel* ch = Find(id)) {
        ch->pitch = Finite(pitch, 1.0f);
        ApplyPitch(*ch);
    }
}

void OpenALSoundSystem::SetChannelLoop(SoundChannelId id, bool loop)
{
    if (Channel* ch = Find(id)) {
        ch->loop = loop;
        if (ch->stream)
            ch->stream->loop = loop;
        else
            alSourcei(ch->source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    }
}

void OpenALSoundSystem::SetChannelPriority(SoundChannelId id, int priority)
{
    if (Channel* ch = Find(id))
        ch->priority = std::clamp(priority, 0, 256);
}

void OpenALSoundSystem::SetChannelPosition(SoundChannelId id, const SoundVector& position)
{
    if (Channel* ch = Find(id)) {
        ch->position = {Finite(position.x, 0.0f), Finite(position.y, 0.0f), Finite(position.z, 0.0f)};
        ApplyPosition(*ch);
    }
}

void OpenALSoundSystem::SetChannelGroup(SoundChannelId id, SoundGroupHandle group)
{
    if (Channel* ch = Find(id)) {
        ch->group = m_groups.count(group) ? group : kMasterGroup;
        ApplyGain(*ch);
        ApplyPitch(*ch);
        ApplyRunState(*ch);
    }
}

// ---- groups ---------------------------------------------------------------

SoundGroupHandle OpenALSoundSystem::CreateChannelGroup()
{
    SoundGroupHandle handle = m_nextGroup++;
    m_groups[handle] = Group{};
    return handle;
}

void OpenALSoundSystem::ReleaseChannelGroup(SoundGroupHandle group)
{
    if (group == kMasterGroup || !m_groups.erase(group))
        return;
    for (auto& ch : m_channels)
        if (ch->active && ch->group == group)
            SetChannelGroup(MakeId(static_cast<size_t>(&ch - m_channels.data())), kMasterGroup);
}

void OpenALSoundSystem::SetGroupVolume(SoundGroupHandle group, float volume)
{
    auto it = m_groups.find(group);
    if (it == m_groups.end())
        return;
    it->second.volume = std::max(Finite(volume, 0.0f), 0.0f);
    for (auto& ch : m_channels)
        if (ch->active && (group == kMasterGroup || ch->group == group))
            ApplyGain(*ch);
}

void OpenALSoundSystem::SetGroupPitch(SoundGroupHandle group, float pitch)
{
    auto it = m_groups.find(group);
    if (it == m_groups.end())
        return;
    it->second.pitch = Finite(pitch, 1.0f);
    for (auto& ch : m_channels)
        if (ch->active && (group == kMasterGroup || ch->group == group))
            ApplyPitch(*ch);
}

void OpenALSoundSystem::SetGroupPaused(SoundGroupHandle group, bool paused)
{
    auto it = m_groups.find(group);
    if (it == m_groups.end())
        return;
    it->second.paused = paused;
    for (auto& ch : m_channels)
        if (ch->active && (group == kMasterGroup || ch->group == group))
            ApplyRunState(*ch);
}

void OpenALSoundSystem::StopGroup(SoundGroupHandle group)
{
    for (auto& ch : m_channels)
        if (ch->active && ch->group == group)
            FreeChannel(*ch);
}

// ---- 3D and frame ----------------------------------------------------------

void OpenALSoundSystem::Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale)
{
    (void)distanceFactor; // only Doppler depends on it, and nothing here moves
    alDopplerFactor(std::max(Finite(dopplerScale, 1.0f), 0.0f));
    m_rolloff = std::max(Finite(rolloffScale, 1.0f), 0.0f);
    for (auto& ch : m_channels)
        if (ch->active)
            ApplyPosition(*ch);
    alGetError();
}

void OpenALSoundSystem::SetListener(const SoundVector& position, const SoundVector& forward, const SoundVector& up)
{
    alListener3f(AL_POSITION, Finite(position.x, 0.0f), Finite(position.y, 0.0f), -Finite(position.z, 0.0f));
    const ALfloat orientation[6] = {forward.x, forward.y, -forward.z, up.x, up.y, -up.z};
    alListenerfv(AL_ORIENTATION, orientation);
    alGetError();
}

void OpenALSoundSystem::Update()
{
    if (alcGetCurrentContext() != m_context)
        alcMakeContextCurrent(m_context);
    for (auto& ch : m_channels) {
        if (!ch->active)
            continue;
        if (ch->stream)
            ServiceStream(*ch);
        if (IsFinished(*ch))
            FreeChannel(*ch);
    }
    m_reapedSinceUpdate = true;
    alGetError();
}
