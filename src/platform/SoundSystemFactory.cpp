#include "platform/ISoundSystem.h"

#include "platform/NullSoundSystem.h"
#include "platform/OpenALSoundSystem.h"

const char* SoundResultText(SoundResult result)
{
    switch (result) {
    case SOUND_OK: return "No errors.";
    case SOUND_ERR_FILE_NOT_FOUND: return "File not found.";
    case SOUND_ERR_FORMAT: return "Unsupported or damaged sound file.";
    case SOUND_ERR_INVALID_HANDLE: return "An invalid sound handle was used.";
    case SOUND_ERR_NO_CHANNEL: return "No channel is free.";
    case SOUND_ERR_DEVICE: return "The audio device failed.";
    case SOUND_ERR_TOO_LARGE: return "The sound is too long to load whole.";
    }
    return "Unknown error.";
}

std::unique_ptr<ISoundSystem> CreateSoundSystem(int channelLimit, const char* deviceName, std::string* whySilent)
{
    ALCdevice* device = alcOpenDevice(deviceName);
    std::unique_ptr<ISoundSystem> system;
    if (device)
        system = OpenALSoundSystem::Create(device, true, channelLimit);
    if (!system) {
        // Machines without sound are normal (servers, CI): the caller says so once.
        if (whySilent)
            *whySilent = device ? "The audio device could not be started; the game runs without sound"
                                : "No audio device could be opened; the game runs without sound";
        system = std::make_unique<NullSoundSystem>(channelLimit);
    }
    return system;
}
