#pragma once
#include <string>
#include <vector>

// Encodes float samples (-1..1, interleaved) as an Ogg Vorbis file in memory.
// The serial number is fixed so that the same samples give the same bytes.
class OggVorbisWriter {
public:
    // quality: vorbisenc's -0.1 (smallest) .. 1.0 (best). False when the
    // encoder refuses the settings or the input is empty.
    static bool Encode(const std::vector<float>& samples, int channels, int rate, float quality,
                       std::string& out);
};
