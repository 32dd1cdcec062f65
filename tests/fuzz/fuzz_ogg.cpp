// Mutated Ogg Vorbis bytes through our decoder, whole and streamed.
#include "FuzzFiles.h"
#include "platform/OggVorbisDecoder.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

// libvorbisfile 1.3.7 loses the first page's serial number list (8 bytes a
// stream) when the headers after that page are damaged: its own leak, on the
// failure path we must take anyway. Anything leaked outside it still fails.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libvorbisfile.so\n";
}

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
