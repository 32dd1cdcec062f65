// Synthesises the game's sound effects, engine drones and music as small Ogg
// Vorbis files: everything is built from sines, harmonics and filtered noise
// with a fixed seed, so every run writes the same bytes.
#include "AssetGen.h"

#include "engine/GRandom.h"
#include "platform/OggVorbisWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kFxRate = 22050;
constexpr int kMusicRate = 32000;

using Samples = std::vector<float>;

float NoteHz(int midi)
{
    return 440.0f * std::pow(2.0f, (midi - 69) / 12.0f);
}

Samples Silence(float seconds, int rate)
{
    return Samples(static_cast<size_t>(seconds * rate), 0.0f);
}

// Attack, then exponential decay at the given rate (per second).
float Pluck(float t, float attack, float decay)
{
    if (t < 0.0f)
        return 0.0f;
    float a = attack > 0.0f ? std::min(t / attack, 1.0f) : 1.0f;
    return a * std::exp(-t * decay);
}

// Linear attack, sustain, linear release ending at length.
float Swell(float t, float length, float attack, float release)
{
    if (t < 0.0f || t > length)
        return 0.0f;
    float a = attack > 0.0f ? std::min(t / attack, 1.0f) : 1.0f;
    float r = release > 0.0f ? std::min((length - t) / release, 1.0f) : 1.0f;
    return a * r;
}

void Normalise(Samples& s, float peak)
{
    float m = 0.0f;
    for (float v : s)
        m = std::max(m, std::fabs(v));
    if (m > 0.0f)
        for (float& v : s)
            v *= peak / m;
}

// Short ramps at both ends keep one-shots from clicking.
void Declick(Samples& s, int rate, float seconds = 0.004f)
{
    size_t n = std::min(s.size() / 2, static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < n; ++i) {
        float g = static_cast<float>(i) / static_cast<float>(n);
        s[i] *= g;
        s[s.size() - 1 - i] *= g;
    }
}

bool Write(const std::string& dataDir, const std::string& name, const Samples& s, int rate, float quality)
{
    std::string bytes;
    if (!OggVorbisWriter::Encode(s, 1, rate, quality, bytes)) {
        fprintf(stderr, "SoundGen: could not encode %s\n", name.c_str());
        return false;
    }
    return WriteAssetIfChanged(dataDir + "/sounds/" + name, bytes);
}

// ---- interface sounds ------------------------------------------------------------

Samples Tone(float seconds, float hz, float attack, float decay, int harmonics = 2)
{
    Samples s = Silence(seconds, kFxRate);
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        float v = 0.0f;
        for (int h = 1; h <= harmonics; ++h)
            v += std::sin(2.0f * kPi * hz * h * t) / static_cast<float>(h * h);
        s[i] = v * Pluck(t, attack, decay);
    }
    return s;
}

Samples Click(float hz, float seconds, GRandom& rng)
{
    Samples s = Tone(seconds, hz, 0.001f, 90.0f, 3);
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        s[i] += (rng.NextFloat() * 2.0f - 1.0f) * 0.3f * std::exp(-t * 400.0f);
    }
    return s;
}

Samples Chime(const std::vector<int>& notes, float step, float tail)
{
    Samples s = Silence(step * notes.size() + tail, kFxRate);
    for (size_t n = 0; n < notes.size(); ++n) {
        float hz = NoteHz(notes[n]);
        for (size_t i = 0; i < s.size(); ++i) {
            float t = static_cast<float>(i) / kFxRate - step * n;
            if (t >= 0.0f)
                s[i] += (std::sin(2.0f * kPi * hz * t) + 0.3f * std::sin(4.0f * kPi * hz * t)) * Pluck(t, 0.005f, 9.0f);
        }
    }
    return s;
}

Samples Buzz(const std::vector<int>& notes, float step)
{
    Samples s = Silence(step * notes.size(), kFxRate);
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        size_t n = std::min(static_cast<size_t>(t / step), notes.size() - 1);
        float local = t - step * n;
        float hz = NoteHz(notes[n]);
        float v = 0.0f;
        for (int h = 1; h <= 7; h += 2) // odd harmonics: a soft square
            v += std::sin(2.0f * kPi * hz * h * t) / h;
        s[i] = v * Swell(local, step, 0.005f, 0.03f);
    }
    return s;
}

// ---- battle sounds --------------------------------------------------------------

// Noise through a one-pole low-pass whose cutoff falls, plus a low thump.
Samples Explosion(float seconds, float startCut, float endCut, float decay, float thumpHz, GRandom& rng)
{
    Samples s = Silence(seconds, kFxRate);
    float low = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        float cut = startCut + (endCut - startCut) * (t / seconds);
        float k = 1.0f - std::exp(-2.0f * kPi * cut / kFxRate);
        low += k * ((rng.NextFloat() * 2.0f - 1.0f) - low);
        float sweep = thumpHz * (1.0f + 2.0f * std::exp(-t * 20.0f));
        float thump = std::sin(2.0f * kPi * sweep * t) * std::exp(-t * 8.0f);
        s[i] = (low * 3.0f + thump) * Pluck(t, 0.002f, decay);
    }
    return s;
}

Samples TractorBeam()
{
    Samples s = Silence(1.5f, kFxRate);
    float phase = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        float hz = 180.0f + 40.0f * std::sin(2.0f * kPi * 6.0f * t) + 60.0f * t;
        phase += 2.0f * kPi * hz / kFxRate;
        s[i] = (std::sin(phase) + 0.5f * std::sin(2.0f * phase) + 0.25f * std::sin(3.0f * phase)) *
               Swell(t, 1.5f, 0.08f, 0.4f);
    }
    return s;
}

// A falling tone with a noisy edge: lasers and pulse guns.
Samples Zap(float seconds, float fromHz, float toHz, float noise, float decay, GRandom& rng)
{
    Samples s = Silence(seconds, kFxRate);
    float phase = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        float hz = toHz + (fromHz - toHz) * std::exp(-t * 18.0f);
        phase += 2.0f * kPi * hz / kFxRate;
        float v = std::sin(phase) + 0.35f * std::sin(3.0f * phase) + noise * (rng.NextFloat() * 2.0f - 1.0f);
        s[i] = v * Pluck(t, 0.002f, decay);
    }
    return s;
}

// Noise rising then fading under a low rumble: launches and torpedoes.
Samples Whoosh(float seconds, float cut, float rumbleHz, GRandom& rng)
{
    Samples s = Silence(seconds, kFxRate);
    float low = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        float k = 1.0f - std::exp(-2.0f * kPi * cut * (0.4f + t) / kFxRate);
        low += k * ((rng.NextFloat() * 2.0f - 1.0f) - low);
        float rumble = std::sin(2.0f * kPi * rumbleHz * t) * 0.5f;
        s[i] = (low * 2.5f + rumble) * Swell(t, seconds, 0.05f, seconds * 0.6f);
    }
    return s;
}

// Crackling arcs: random spikes through a band of buzzing harmonics.
Samples Crackle(float seconds, float hz, GRandom& rng)
{
    Samples s = Silence(seconds, kFxRate);
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        float buzz = 0.0f;
        for (int h = 1; h <= 9; h += 2)
            buzz += std::sin(2.0f * kPi * hz * h * t) / h;
        float spike = rng.NextFloat() < 0.02f ? (rng.NextFloat() * 2.0f - 1.0f) * 2.0f : 0.0f;
        s[i] = (buzz * 0.6f + spike) * Pluck(t, 0.003f, 5.0f);
    }
    return s;
}

// Loops cleanly: every frequency is a whole number of cycles over the length.
Samples Drone(float seconds, const std::vector<std::pair<float, float>>& partials, float wobbleHz)
{
    Samples s = Silence(seconds, kFxRate);
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / kFxRate;
        float v = 0.0f;
        for (const auto& [hz, amp] : partials)
            v += amp * std::sin(2.0f * kPi * hz * t);
        s[i] = v * (0.8f + 0.2f * std::sin(2.0f * kPi * wobbleHz * t));
    }
    return s;
}

// ---- music ----------------------------------------------------------------------

enum Instrument { PAD, LEAD, BASS, BRASS, KICK };

struct Note {
    float beat;
    float beats;
    int midi;
    float velocity;
    Instrument instrument;
};

float Voice(Instrument inst, float hz, float t, float length)
{
    switch (inst) {
    case PAD: {
        float v = 0.0f;
        for (int h = 1; h <= 5; ++h) {
            v += std::sin(2.0f * kPi * hz * h * t) / (h * 1.5f);
            v += std::sin(2.0f * kPi * hz * 1.003f * h * t) / (h * 1.5f);
        }
        return 0.5f * v * Swell(t, length + 0.4f, 0.35f, 0.6f);
    }
    case LEAD: {
        float vib = 1.0f + 0.004f * std::sin(2.0f * kPi * 5.0f * t) * std::min(t * 2.0f, 1.0f);
        float p = 2.0f * kPi * hz * vib * t;
        float v = std::sin(p) + 0.35f * std::sin(2.0f * p) + 0.15f * std::sin(3.0f * p);
        return v * Pluck(t, 0.01f, 1.8f) * Swell(t, length + 0.25f, 0.0f, 0.25f);
    }
    case BASS: {
        float p = 2.0f * kPi * hz * t;
        return (std::sin(p) + 0.3f * std::sin(2.0f * p)) * Pluck(t, 0.008f, 2.5f) * Swell(t, length + 0.1f, 0.0f, 0.1f);
    }
    case BRASS: {
        float v = 0.0f;
        float bright = std::min(t * 8.0f, 1.0f);
        for (int h = 1; h <= 8; ++h)
            v += std::sin(2.0f * kPi * hz * h * t) * std::pow(0.55f + 0.25f * bright, static_cast<float>(h - 1)) / h;
        return v * Swell(t, length + 0.15f, 0.05f, 0.15f);
    }
    case KICK: {
        float sweep = 45.0f + 90.0f * std::exp(-t * 30.0f);
        return std::sin(2.0f * kPi * sweep * t) * std::exp(-t * 9.0f);
    }
    }
    return 0.0f;
}

Samples Render(const std::vector<Note>& notes, float bpm, float beats, bool fadeOut)
{
    const float spb = 60.0f / bpm;
    Samples s = Silence(beats * spb, kMusicRate);
    for (const Note& n : notes) {
        const float start = n.beat * spb;
        const float length = n.beats * spb;
        const float hz = NoteHz(n.midi);
        const float tail = n.instrument == PAD ? 0.6f : 0.8f;
        size_t first = static_cast<size_t>(start * kMusicRate);
        size_t last = std::min(s.size(), static_cast<size_t>((start + length + tail) * kMusicRate));
        for (size_t i = first; i < last; ++i) {
            float t = static_cast<float>(i) / kMusicRate - start;
            s[i] += n.velocity * Voice(n.instrument, hz, t, length);
        }
    }
    Normalise(s, 0.8f);
    if (fadeOut) {
        size_t n = std::min(s.size(), static_cast<size_t>(1.5f * kMusicRate));
        for (size_t i = 0; i < n; ++i)
            s[s.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
    }
    Declick(s, kMusicRate, 0.01f);
    return s;
}

void AddChord(std::vector<Note>& out, float beat, float beats, std::initializer_list<int> midi, float velocity)
{
    for (int m : midi)
        out.push_back({beat, beats, m, velocity, PAD});
}

// A line of (beat, length, note) triples played on one instrument.
template <size_t N>
void AddLine(std::vector<Note>& out, const float (&line)[N][3], float velocity, Instrument instrument)
{
    for (const auto& m : line)
        out.push_back({m[0], m[1], static_cast<int>(m[2]), velocity, instrument});
}

// D minor, i - VI - III - VII twice, with a melody that answers itself.
Samples MainTitle()
{
    std::vector<Note> n;
    const int chords[4][3] = {{50, 53, 57}, {46, 50, 53}, {53, 57, 60}, {48, 52, 55}};
    const int roots[4] = {38, 34, 41, 36};
    for (int bar = 0; bar < 8; ++bar) {
        const int c = bar % 4;
        const float b = bar * 4.0f;
        AddChord(n, b, 4.0f, {chords[c][0], chords[c][1], chords[c][2]}, 0.18f);
        for (int beat = 0; beat < 4; ++beat)
            n.push_back({b + beat, 0.9f, roots[c] + (beat == 2 ? 12 : 0), 0.5f, BASS});
        n.push_back({b, 1.0f, 0, 0.6f, KICK});
        n.push_back({b + 2.0f, 1.0f, 0, 0.45f, KICK});
    }
    // Melody: (beat, length, note), the second half an octave-leaning answer.
    const float melody[][3] = {
        {0, 1.5f, 74}, {1.5f, 0.5f, 76}, {2, 2, 77},    {4, 1, 74},   {5, 1, 72},    {6, 2, 70},
        {8, 1.5f, 72}, {9.5f, 0.5f, 74}, {10, 2, 77},   {12, 1, 76},  {13, 1, 74},   {14, 2, 72},
        {16, 1.5f, 81}, {17.5f, 0.5f, 79}, {18, 2, 77}, {20, 1, 79},  {21, 1, 77},   {22, 2, 74},
        {24, 1, 72},   {25, 1, 74},      {26, 1, 76},   {27, 1, 77},  {28, 4, 74},
    };
    AddLine(n, melody, 0.45f, LEAD);
    return Render(n, 100.0f, 32.0f, false);
}

// C major fanfare: a rising call over I - IV - V - I, ending on a held chord.
Samples Victory()
{
    std::vector<Note> n;
    AddChord(n, 0, 2, {48, 52, 55}, 0.2f);
    AddChord(n, 2, 2, {53, 57, 60}, 0.2f);
    AddChord(n, 4, 2, {55, 59, 62}, 0.2f);
    AddChord(n, 6, 6, {48, 55, 60, 64}, 0.22f);
    const float fanfare[][3] = {
        {0, 0.5f, 67}, {0.5f, 0.5f, 72}, {1, 1, 76}, {2, 0.5f, 77}, {2.5f, 0.5f, 76},
        {3, 1, 72},    {4, 0.5f, 74},    {4.5f, 0.5f, 76}, {5, 1, 79}, {6, 5, 84},
    };
    AddLine(n, fanfare, 0.5f, BRASS);
    for (float b : {0.0f, 2.0f, 4.0f, 6.0f})
        n.push_back({b, 1.0f, 0, 0.6f, KICK});
    n.push_back({0, 2, 36, 0.5f, BASS});
    n.push_back({2, 2, 41, 0.5f, BASS});
    n.push_back({4, 2, 43, 0.5f, BASS});
    n.push_back({6, 5, 36, 0.6f, BASS});
    return Render(n, 110.0f, 12.0f, true);
}

// A minor, slow: Am - F - Dm - E, the melody falling and settling on A.
Samples Defeat()
{
    std::vector<Note> n;
    AddChord(n, 0, 3, {57, 60, 64}, 0.2f);
    AddChord(n, 3, 3, {53, 57, 60}, 0.2f);
    AddChord(n, 6, 3, {50, 53, 57}, 0.2f);
    AddChord(n, 9, 3, {52, 56, 59}, 0.2f);
    AddChord(n, 12, 5, {45, 52, 57, 60}, 0.2f);
    const float lament[][3] = {
        {0, 1.5f, 76}, {1.5f, 1.5f, 74}, {3, 1.5f, 72}, {4.5f, 1.5f, 69}, {6, 1.5f, 69},
        {7.5f, 1.5f, 65}, {9, 1.5f, 68}, {10.5f, 1.5f, 71}, {12, 4.5f, 69},
    };
    AddLine(n, lament, 0.4f, LEAD);
    const int bass[] = {33, 29, 26, 28, 21};
    for (int i = 0; i < 5; ++i)
        n.push_back({i * 3.0f, i == 4 ? 5.0f : 3.0f, bass[i] + 12, 0.55f, BASS});
    return Render(n, 72.0f, 17.0f, true);
}

// ---- race and screen themes -------------------------------------------------------
// Looped while a battle or a screen lasts, so they end where they begin.

// The Federation: G major, a marching brass call over G - D - Em - C that
// climbs an octave the second time round.
Samples FederationTheme()
{
    std::vector<Note> n;
    const int chords[4][3] = {{55, 59, 62}, {54, 57, 62}, {52, 55, 59}, {48, 52, 55}};
    const int roots[4] = {43, 38, 40, 36};
    for (int bar = 0; bar < 8; ++bar) {
        const int c = bar % 4;
        const float b = bar * 4.0f;
        AddChord(n, b, 4.0f, {chords[c][0], chords[c][1], chords[c][2]}, 0.15f);
        for (float beat : {0.0f, 1.5f, 2.0f, 3.0f})
            n.push_back({b + beat, beat == 1.5f ? 0.4f : 0.9f, roots[c], 0.5f, BASS});
        for (int beat = 0; beat < 4; ++beat)
            n.push_back({b + beat, 1.0f, 0, beat % 2 == 0 ? 0.55f : 0.3f, KICK});
    }
    const float call[][3] = {
        {0, 1, 67},     {1, 1, 71},       {2, 2, 74},    {4, 1.5f, 74},  {5.5f, 0.5f, 72}, {6, 1, 71},
        {7, 1, 69},     {8, 2, 71},       {10, 1, 67},   {11, 1, 71},    {12, 3, 72},      {15, 1, 74},
        {16, 1, 79},    {17, 1, 78},      {18, 2, 74},   {20, 1.5f, 78}, {21.5f, 0.5f, 76}, {22, 1, 74},
        {23, 1, 78},    {24, 2, 79},      {26, 1, 76},   {27, 1, 79},    {28, 2, 76},      {30, 2, 74},
    };
    AddLine(n, call, 0.5f, BRASS);
    return Render(n, 116.0f, 32.0f, false);
}

// The Korrath: E Phrygian, fast and low; a driving bass that grinds a
// semitone against the root, power chords and a leaning, threatening line.
Samples KorrathTheme()
{
    std::vector<Note> n;
    const int power[4][3] = {{40, 47, 52}, {41, 48, 53}, {40, 47, 52}, {38, 45, 50}};
    const int ostinato[2][8] = {{28, 28, 40, 28, 28, 41, 28, 40}, {29, 29, 41, 29, 28, 28, 40, 28}};
    for (int bar = 0; bar < 8; ++bar) {
        const float b = bar * 4.0f;
        const int c = (bar / 2) % 4;
        for (float stab : {0.0f, 0.75f, 1.5f})
            for (int m : power[c])
                n.push_back({b + stab, 0.5f, m, 0.22f, BRASS});
        AddChord(n, b + 2.0f, 2.0f, {power[c][0], power[c][1], power[c][2]}, 0.12f);
        for (int e = 0; e < 8; ++e)
            n.push_back({b + e * 0.5f, 0.45f, ostinato[bar % 2][e], 0.55f, BASS});
        for (float k : {0.0f, 1.0f, 2.0f, 2.5f, 3.0f, 3.5f})
            n.push_back({b + k, 1.0f, 0, k == 0.0f ? 0.7f : 0.45f, KICK});
    }
    const float line[][3] = {
        {16, 2, 64}, {18, 1, 65}, {19, 1, 67}, {20, 3, 65}, {23, 1, 64},
        {24, 1, 71}, {25, 1, 72}, {26, 2, 71}, {28, 2, 65}, {30, 2, 64},
    };
    AddLine(n, line, 0.45f, LEAD);
    return Render(n, 138.0f, 32.0f, false);
}

// Fitting out a fleet before a battle: F Lydian, slow and open, a soft
// arpeggio over Fmaj7 - G/F - Em7 - Am7 and roots that hold.
Samples SettingUpShips()
{
    std::vector<Note> n;
    const int chords[4][4] = {{53, 57, 60, 64}, {55, 59, 62, 65}, {52, 55, 59, 62}, {57, 60, 64, 67}};
    const int roots[4] = {41, 41, 40, 45};
    for (int bar = 0; bar < 8; ++bar) {
        const int c = bar % 4;
        const float b = bar * 4.0f;
        AddChord(n, b, 4.0f, {chords[c][0], chords[c][1], chords[c][2], chords[c][3]}, 0.12f);
        n.push_back({b, 3.5f, roots[c], 0.45f, BASS});
        for (int e = 0; e < 8; ++e) {
            const int tone = chords[c][e < 4 ? e : 7 - e] + 12;
            n.push_back({b + e * 0.5f, 0.45f, tone, e == 0 ? 0.28f : 0.2f, LEAD});
        }
        n.push_back({b, 1.0f, 0, 0.2f, KICK});
    }
    return Render(n, 84.0f, 32.0f, false);
}

bool GenerateSounds(const std::string& dataDir)
{
    GRandom rng(0x50D5);
    bool ok = true;
    auto fx = [&](const char* name, Samples s, float peak = 0.7f) {
        Normalise(s, peak);
        Declick(s, kFxRate);
        ok = Write(dataDir, name, s, kFxRate, 0.1f) && ok;
    };
    fx("gui_button.ogg", Click(2000.0f, 0.05f, rng));
    fx("gui_key.ogg", Click(1300.0f, 0.035f, rng), 0.5f);
    fx("gui_mouseover.ogg", Tone(0.06f, 1760.0f, 0.004f, 60.0f), 0.3f);
    fx("gui_accepted.ogg", Chime({76, 83}, 0.09f, 0.25f));
    fx("gui_beep1.ogg", Tone(0.14f, 660.0f, 0.004f, 18.0f));
    fx("gui_beep2.ogg", Tone(0.14f, 880.0f, 0.004f, 18.0f));
    fx("gui_beep3.ogg", Tone(0.14f, 1100.0f, 0.004f, 18.0f));
    fx("gui_error.ogg", Buzz({52, 47}, 0.14f), 0.6f);
    fx("small_explosion.ogg", Explosion(0.9f, 4000.0f, 300.0f, 4.5f, 50.0f, rng), 0.9f);
    fx("explosion_missile_destroyed.ogg", Explosion(0.45f, 6000.0f, 800.0f, 9.0f, 80.0f, rng), 0.8f);
    fx("tractorbeam.ogg", TractorBeam(), 0.6f);

    // Hits on a hull and ships blowing up: heavier and lower for bigger
    // classes, a few of each so repeats do not sound the same.
    const struct {
        const char* kind;
        const char* hull;
        int count;
        float seconds, cut, decay, thump;
    } blasts[] = {
        {"impact", "cruiser", 4, 0.8f, 2500.0f, 6.0f, 45.0f},     {"impact", "frigate", 2, 0.55f, 3500.0f, 6.0f, 65.0f},
        {"impact", "fighter", 1, 0.35f, 5000.0f, 6.0f, 90.0f},    {"destruction", "cruiser", 2, 2.4f, 3000.0f, 1.6f, 35.0f},
        {"destruction", "frigate", 2, 1.6f, 3800.0f, 2.2f, 50.0f}, {"destruction", "fighter", 3, 0.9f, 5000.0f, 4.0f, 80.0f},
    };
    for (const auto& b : blasts)
        for (int i = 1; i <= b.count; ++i)
            fx((std::string("explosion_") + b.kind + "_" + b.hull + std::to_string(i) + ".ogg").c_str(),
               Explosion(b.seconds * (0.9f + 0.1f * i), b.cut * (1.0f + 0.15f * i), 200.0f, b.decay, b.thump, rng),
               0.85f);

    // ---- battle effects: a shield giving way (a falling electric crackle) ----
    {
        GRandom shieldRng(0x5A1E); // its own numbers: the sounds after it stay as they were
        fx("shields_fail.ogg", Crackle(0.9f, 60.0f, shieldRng), 0.75f);
    }
    // ---- end of battle effects ----

    // Weapons, named by the module types' "sound" keys.
    fx("weapons/laser_fire.ogg", Zap(0.35f, 1800.0f, 600.0f, 0.15f, 7.0f, rng), 0.6f);
    fx("weapons/pulse_fire.ogg", Zap(0.18f, 1200.0f, 300.0f, 0.3f, 16.0f, rng), 0.6f);
    fx("weapons/kinetic_fire.ogg", Explosion(0.3f, 5000.0f, 900.0f, 14.0f, 90.0f, rng), 0.8f);
    fx("weapons/missile_launch.ogg", Whoosh(0.8f, 1500.0f, 70.0f, rng), 0.7f);
    fx("weapons/plasma_fire.ogg", Whoosh(0.6f, 900.0f, 110.0f, rng), 0.7f);
    fx("weapons/lightning_fire.ogg", Crackle(0.5f, 95.0f, rng), 0.7f);
    fx("weapons/ecm_fire.ogg", Buzz({79, 74, 79}, 0.06f), 0.5f);
    fx("weapons/ecm_shock.ogg", Explosion(0.7f, 9000.0f, 2000.0f, 6.0f, 160.0f, rng), 0.8f);
    fx("weapons/smartbomb.ogg", Explosion(1.2f, 3000.0f, 150.0f, 3.0f, 40.0f, rng), 0.9f);
    // The crackle over a shocked ship's hull, apart from the shock's own launch.
    fx("ecmshock.ogg", Explosion(0.5f, 12000.0f, 3000.0f, 10.0f, 220.0f, rng), 0.6f);

    // The drones loop, so no de-click ramps: their ends already meet.
    auto drone = [&](const char* name, Samples s) {
        Normalise(s, 0.6f);
        ok = Write(dataDir, name, s, kFxRate, 0.1f) && ok;
    };
    drone("cruiser_engine_drone.ogg",
          Drone(2.0f, {{55.0f, 1.0f}, {110.0f, 0.5f}, {110.5f, 0.4f}, {165.0f, 0.25f}, {220.0f, 0.1f}}, 0.5f));
    drone("fighter_engine_drone.ogg",
          Drone(1.0f, {{220.0f, 0.7f}, {223.0f, 0.6f}, {440.0f, 0.3f}, {661.0f, 0.15f}}, 4.0f));

    struct Track {
        const char* name;
        Samples (*make)();
    };
    for (const Track& t : {Track{"main_title.ogg", MainTitle}, Track{"victory.ogg", Victory},
                           Track{"defeat.ogg", Defeat}, Track{"federation_theme.ogg", FederationTheme},
                           Track{"korrath_theme.ogg", KorrathTheme},
                           Track{"setting_up_ships.ogg", SettingUpShips}})
        ok = Write(dataDir, std::string("music/") + t.name, t.make(), kMusicRate, 0.0f) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(sounds, GenerateSounds);
