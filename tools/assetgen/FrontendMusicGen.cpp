// "setting_up_ships.ogg": the calm loop that plays on the screens between
// the main menu and a battle. Slow pad chords over a soft pulse; the loop's
// ends meet because every voice fades in and out within its bar.
#include "AssetGen.h"

#include "platform/OggVorbisWriter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 32000;
constexpr float kBarSeconds = 4.0f;

float Midi(int note)
{
    return 440.0f * std::pow(2.0f, (note - 69) / 12.0f);
}

bool GenerateSettingUpMusic(const std::string& dataDir)
{
    const int chords[4][4] = {{45, 52, 57, 60}, {41, 48, 53, 57}, {43, 50, 55, 59}, {40, 47, 52, 56}};
    const size_t barSamples = static_cast<size_t>(kBarSeconds * kRate);
    std::vector<float> s(barSamples * 8, 0.0f);
    for (int bar = 0; bar < 8; ++bar) {
        const int* chord = chords[bar % 4];
        for (size_t i = 0; i < barSamples; ++i) {
            const float t = static_cast<float>(i) / kRate;
            // rises and falls inside the bar, so bars join without clicks
            const float env = std::sin(3.14159265f * t / kBarSeconds);
            float v = 0.0f;
            for (int k = 0; k < 4; ++k) {
                const float hz = Midi(chord[k]);
                v += std::sin(6.2831853f * hz * t) * 0.6f + std::sin(6.2831853f * hz * 2.003f * t) * 0.15f;
            }
            const float pulse = std::exp(-std::fmod(t, 1.0f) * 6.0f) * std::sin(6.2831853f * Midi(chord[0] - 12) * t);
            s[static_cast<size_t>(bar) * barSamples + i] = (v * 0.08f * env) + pulse * 0.25f * env;
        }
    }
    float peak = 0.0f;
    for (float v : s)
        peak = std::max(peak, std::fabs(v));
    if (peak > 0.0f)
        for (float& v : s)
            v *= 0.7f / peak;
    std::string bytes;
    return OggVorbisWriter::Encode(s, 1, kRate, 0.0f, bytes) &&
           WriteAssetIfChanged(dataDir + "/sounds/music/setting_up_ships.ogg", bytes);
}

} // namespace

QLM_GENERATOR(frontend_music, GenerateSettingUpMusic);
