// Mutated Ogg Vorbis bytes through our decoder, whole and streamed.
#include "FuzzFiles.h"
#include "platform/OggVorbisDecoder.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

// libvorbisfile's own leak on damaged headers is suppressed for every
// program (sanitizers/lsan.supp); a leak anywhere else fails the run.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile("sound.ogg", data, size);
    std::vector<int16_t> samples;
    int channels = 0, rate = 0;
    const size_t maxFrames = 1 << 16;
    if (OggVorbisDecoder::DecodeWhole(path, true, maxFrames, samples, channels, rate) == SOUND_OK &&
        samples.size() > maxFrames)
        abort();
    OggVorbisDecoder stream;
    if (stream.Open(path) != SOUND_OK)
        return 0;
    if (stream.GetChannels() < 1 || stream.GetChannels() > 2)
        abort();
    int16_t buffer[4096];
    for (int chunk = 0; chunk < 64; ++chunk)
        if (stream.Read(buffer, 4096 / stream.GetChannels()) <= 0)
            break;
    stream.Rewind();
    stream.Read(buffer, 1024);
    return 0;
}
