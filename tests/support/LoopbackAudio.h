#pragma once
#include "platform/OpenALSoundSystem.h"

#include <memory>
#include <string>
#include <vector>

// OpenAL Soft's loopback device: the mix is rendered into our own buffer,
// synchronously, so sound tests need no sound card and no waiting.
namespace LoopbackAudio {

constexpr int kRate = 44100;

// Null when the library has no loopback support.
std::unique_ptr<OpenALSoundSystem> Open(int channelLimit = 64);

// frames of interleaved stereo float samples; with updateEvery > 0 the
// system's Update runs between blocks of that many frames (streams need it).
std::vector<float> Render(OpenALSoundSystem& system, int frames, int updateEvery = 0);

// RMS of one side (0 left, 1 right) or of both (-1).
double Rms(const std::vector<float>& stereo, int side = -1);

// Rising zero crossings per second of the left+right mix.
double Frequency(const std::vector<float>& stereo);

// A mono sine of the given length as an Ogg Vorbis file; returns false on failure.
bool WriteTone(const std::string& path, float hz, float seconds, int rate = 22050, float amplitude = 0.5f);

} // namespace LoopbackAudio
