// The repair yard's pictures and sounds: the ship arrows of its header, the
// bar of its integrity gauges, and the welding, workshop and ambience sounds.
#include "ArtCommon.h"
#include "AssetGen.h"

#include "engine/GRandom.h"
#include "platform/OggVorbisWriter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace art;

namespace {

constexpr int kRate = 22050;
constexpr float kPi = 3.14159265f;

// A chevron pointing left or right on a dark rounded plate.
Image ShipArrow(bool right, bool lit)
{
    Image img(32, 32);
    const Tint plate = lit ? Blend(kFillTop, kCyan, 0.25f) : kFillTop;
    img.Box(3, 3, 28, 28, plate);
    img.HLine(3, 28, 3, kBevelLight);
    img.HLine(3, 28, 28, kBevelDark);
    const Tint ink = lit ? kCyanBright : kCyan;
    const float tip = right ? 21.0f : 10.0f;
    const float back = right ? 12.0f : 19.0f;
    img.Stroke(back, 8.0f, tip, 16.0f, 3.0f, ink);
    img.Stroke(tip, 16.0f, back, 24.0f, 3.0f, ink);
    return img;
}

// One segment of a gauge: white (tinted when drawn), darker at its edges.
Image GaugeSegment()
{
    Image img(6, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 6; ++x) {
            const float edge = (x == 0 || x == 5) ? 0.0f : (y < 2 || y > 13 ? 0.6f : 1.0f);
            img.Set(x, y, Tint{edge, edge, edge, edge > 0.0f ? 1.0f : 0.0f});
        }
    return img;
}

std::vector<float> WhiteNoise(float seconds, GRandom& rng)
{
    std::vector<float> s(static_cast<size_t>(seconds * kRate));
    for (float& v : s)
        v = rng.NextFloat() * 2.0f - 1.0f;
    return s;
}

void Envelope(std::vector<float>& s, float attack, float release, float peak)
{
    const size_t n = s.size();
    for (size_t i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / kRate;
        const float left = static_cast<float>(n - i) / kRate;
        float g = std::min(1.0f, t / attack) * std::min(1.0f, left / release);
        s[i] *= g * peak;
    }
}

// A welding torch: crackling noise that flutters.
std::vector<float> Weld(GRandom& rng)
{
    std::vector<float> s = WhiteNoise(0.7f, rng);
    float low = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        low += 0.35f * (s[i] - low);
        const float t = static_cast<float>(i) / kRate;
        const float flutter = 0.6f + 0.4f * std::sin(2.0f * kPi * 23.0f * t);
        s[i] = (s[i] - low) * flutter;
    }
    Envelope(s, 0.02f, 0.2f, 0.6f);
    return s;
}

// A workshop knock: a short ringing metal hit at its own pitch.
std::vector<float> Clank(float hz, float decay, GRandom& rng)
{
    std::vector<float> s = WhiteNoise(0.6f, rng);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / kRate;
        const float ring = std::sin(2.0f * kPi * hz * t) + 0.5f * std::sin(2.0f * kPi * hz * 2.76f * t);
        s[i] = (ring * 0.8f + s[i] * std::exp(-t * 60.0f)) * std::exp(-t * decay);
    }
    Envelope(s, 0.002f, 0.05f, 0.5f);
    return s;
}

// The yard's hum: a low drone with a slow breath of filtered noise; it loops.
std::vector<float> Ambience(GRandom& rng)
{
    const float seconds = 4.0f;
    std::vector<float> s = WhiteNoise(seconds, rng);
    float low = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        low += 0.02f * (s[i] - low);
        const float t = static_cast<float>(i) / kRate;
        // Whole cycles in four seconds, so the loop has no seam.
        const float hum = std::sin(2.0f * kPi * 55.0f * t) + 0.4f * std::sin(2.0f * kPi * 110.0f * t);
        const float breath = 0.5f + 0.5f * std::sin(2.0f * kPi * 0.5f * t);
        s[i] = 0.25f * hum + low * 3.0f * breath;
    }
    return s;
}

bool WriteSound(const std::string& dir, const char* name, const std::vector<float>& s)
{
    std::string bytes;
    return OggVorbisWriter::Encode(s, 1, kRate, 0.1f, bytes) && WriteAssetIfChanged(dir + name, bytes);
}

bool GenerateRepairArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/campaign/";
    bool ok = WriteAssetIfChanged(dir + "gui_scrollleft.dds", ShipArrow(false, false).ToDds());
    ok = WriteAssetIfChanged(dir + "gui_scrollleft_h.dds", ShipArrow(false, true).ToDds()) && ok;
    ok = WriteAssetIfChanged(dir + "gui_scrollright.dds", ShipArrow(true, false).ToDds()) && ok;
    ok = WriteAssetIfChanged(dir + "gui_scrollright_h.dds", ShipArrow(true, true).ToDds()) && ok;
    ok = WriteAssetIfChanged(dir + "campaign_repair_status.dds", GaugeSegment().ToDds()) && ok;

    // The campaign's sounds live with the campaign's data, beside "data".
    const std::string sounds = dataDir + "/../campaign/data/sounds/";
    GRandom rng(4711);
    ok = WriteSound(sounds, "campaign_weld.ogg", Weld(rng)) && ok;
    ok = WriteSound(sounds, "campaign_repair_ambience.ogg", Ambience(rng)) && ok;
    const float pitches[6] = {310.0f, 420.0f, 530.0f, 260.0f, 700.0f, 380.0f};
    for (int i = 0; i < 6; ++i) {
        const std::string name = "campaign_repair_snd" + std::to_string(i + 1) + ".ogg";
        const std::vector<float> s = i % 3 == 2 ? Weld(rng) : Clank(pitches[i], 6.0f + i, rng);
        ok = WriteSound(sounds, name.c_str(), s) && ok;
    }
    return ok;
}

} // namespace

QLM_GENERATOR(repair_art, GenerateRepairArt);
