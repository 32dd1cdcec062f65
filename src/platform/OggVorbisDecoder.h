#pragma once
#include "platform/ISoundSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Reads an Ogg Vorbis file as signed 16-bit interleaved frames, either a
// chunk at a time (streamed music) or whole (sound effects). Only mono and
// stereo files at sane rates are accepted.
class OggVorbisDecoder {
public:
    OggVorbisDecoder();
    ~OggVorbisDecoder();
    OggVorbisDecoder(const OggVorbisDecoder&) = delete;
    OggVorbisDecoder& operator=(const OggVorbisDecoder&) = delete;

    SoundResult Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_open; }

    int GetChannels() const { return m_channels; }
    int GetRate() const { return m_rate; }

    // Up to maxFrames frames into out (room for maxFrames * channels values).
    // The number of frames read, 0 at the end, -1 on a damaged stream.
    long Read(int16_t* out, long maxFrames);
    bool Rewind();

    // A whole file, downmixed to mono when asked. Files longer than maxFrames
    // are refused rather than read into an unbounded buffer.
    static SoundResult DecodeWhole(const std::string& path, bool toMono, size_t maxFrames,
                                   std::vector<int16_t>& samples, int& channels, int& rate);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    bool m_open = false;
    int m_channels = 0;
    int m_rate = 0;
};
