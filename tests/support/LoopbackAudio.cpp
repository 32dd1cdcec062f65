#include "support/LoopbackAudio.h"

#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "platform/OggVorbisWriter.h"

#include <AL/alext.h>

#include <cmath>
#include <filesystem>

namespace LoopbackAudio {

std::unique_ptr<OpenALSoundSystem> Open(int channelLimit)
{
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
        return nullptr;
    auto openLoopback =
        reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    if (!openLoopback)
        return nullptr;
    ALCdevice* device = openLoopback(nullptr);
    if (!device)
        return nullptr;
    const ALCint attrs[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                            ALC_FREQUENCY, kRate, ALC_HRTF_SOFT, ALC_FALSE, 0};
    return OpenALSoundSystem::Create(device, true, channelLimit, attrs);
}

std::vector<float> Render(OpenALSoundSystem& system, int frames, int updateEvery)
{
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    std::vector<float> out(static_cast<size_t>(frames) * 2, 0.0f);
    if (!render)
        return out;
    const int block = updateEvery > 0 ? updateEvery : frames;
    for (int done = 0; done < frames; done += block) {
        int n = std::min(block, frames - done);
        render(system.GetDevice(), out.data() + static_cast<size_t>(done) * 2, n);
        if (updateEvery > 0)
            system.Update();
    }
    return out;
}

double Rms(const std::vector<float>& stereo, int side)
{
    double sum = 0.0;
    size_t count = 0;
    for (size_t i = 0; i < stereo.size(); ++i) {
        if (side >= 0 && static_cast<int>(i % 2) != side)
            continue;
        sum += static_cast<double>(stereo[i]) * stereo[i];
        ++count;
    }
    return count ? std::sqrt(sum / count) : 0.0;
}

double Frequency(const std::vector<float>& stereo)
{
    size_t frames = stereo.size() / 2;
    int crossings = 0;
    float prev = 0.0f;
    for (size_t i = 0; i < frames; ++i) {
        float v = stereo[2 * i] + stereo[2 * i + 1];
        if (prev <= 0.0f && v > 0.0f && i > 0)
            ++crossings;
        prev = v;
    }
    return frames ? crossings * static_cast<double>(kRate) / frames : 0.0;
}

bool WriteTone(const std::string& path, float hz, float seconds, int rate, float amplitude)
{
    std::vector<float> samples(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = amplitude * std::sin(2.0f * 3.14159265f * hz * static_cast<float>(i) / rate);
    std::string bytes;
    if (!OggVorbisWriter::Encode(samples, 1, rate, 0.4f, bytes))
        return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return WriteFileAtomically(path, bytes);
}

} // namespace LoopbackAudio
