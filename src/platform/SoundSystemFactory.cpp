#include "platform/ISoundSystem.h"

#include "platform/NullSoundSystem.h"
#include "platform/OpenALSoundSystem.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

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

namespace {
// True when there is plainly nothing to play on: no sound card and no sound
// server, and OpenAL not told otherwise. Asking OpenAL then only fills the
// terminal with the audio libraries' own complaints.
bool ObviouslySilent()
{
    if (getenv("ALSOFT_DRIVERS") || getenv("ALSOFT_CONF") || getenv("PULSE_SERVER"))
        return false;
    if (const char* runtime = getenv("XDG_RUNTIME_DIR")) {
        struct stat st;
        for (const char* socket : {"/pulse/native", "/pipewire-0"})
            if (stat((std::string(runtime) + socket).c_str(), &st) == 0)
                return false;
    }
    std::string cards;
    if (FILE* f = fopen("/proc/asound/cards", "r")) {
        char buf[256];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0)
            cards.append(buf, n);
        fclose(f);
    } else {
        // No ALSA in the kernel at all: only an old OSS device could play.
        struct stat st;
        return stat("/dev/dsp", &st) != 0;
    }
    return cards.find("no soundcards") != std::string::npos;
}
} // namespace

std::unique_ptr<ISoundSystem> CreateSoundSystem(int channelLimit, const char* deviceName, std::string* whySilent)
{
    ALCdevice* device = (deviceName || !ObviouslySilent()) ? alcOpenDevice(deviceName) : nullptr;
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
