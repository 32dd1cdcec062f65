#include "platform/OggVorbisDecoder.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>

struct OggVorbisDecoder::Impl {
    OggVorbis_File file{};
};

OggVorbisDecoder::OggVorbisDecoder() : m_impl(std::make_unique<Impl>()) {}

OggVorbisDecoder::~OggVorbisDecoder()
{
    Close();
}

SoundResult OggVorbisDecoder::Open(const std::string& path)
{
    Close();
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return SOUND_ERR_FILE_NOT_FOUND;
    // On success vorbisfile owns the FILE and closes it in ov_clear.
    if (ov_open_callbacks(f, &m_impl->file, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
        fclose(f);
        return SOUND_ERR_FORMAT;
    }
    m_open = true;
    const vorbis_info* info = ov_info(&m_impl->file, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 4000 || info->rate > 192000) {
        Close();
        return SOUND_ERR_FORMAT;
    }
    m_channels = info->channels;
    m_rate = static_cast<int>(info->rate);
    return SOUND_OK;
}

void OggVorbisDecoder::Close()
{
    if (m_open)
        ov_clear(&m_impl->file);
    m_open = false;
    m_channels = 0;
    m_rate = 0;
}

long OggVorbisDecoder::Read(int16_t* out, long maxFrames)
{
    if (!m_open || maxFrames <= 0)
        return m_open ? 0 : -1;
    const long frameBytes = 2L * m_channels;
    long wanted = maxFrames * frameBytes;
    long got = 0;
    char* dst = reinterpret_cast<char*>(out);
    while (got < wanted) {
        int section = 0;
        long n = ov_read(&m_impl->file, dst + got, static_cast<int>(wanted - got), 0, 2, 1, &section);
        if (n == OV_HOLE)
            continue; // a gap in the data; vorbisfile carries on after it
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        // A chained file whose later part changes the layout can't share our buffer.
        const vorbis_info* info = ov_info(&m_impl->file, section);
        if (!info || info->channels != m_channels)
            return -1;
        got += n;
    }
    return got / frameBytes;
}

bool OggVorbisDecoder::Rewind()
{
    return m_open && ov_pcm_seek(&m_impl->file, 0) == 0;
}

SoundResult OggVorbisDecoder::DecodeWhole(const std::string& path, bool toMono, size_t maxFrames,
                                          std::vector<int16_t>& samples, int& channels, int& rate)
{
    samples.clear();
    OggVorbisDecoder dec;
    SoundResult r = dec.Open(path);
    if (r != SOUND_OK)
        return r;
    const int inChannels = dec.GetChannels();
    std::vector<int16_t> chunk(4096 * inChannels);
    size_t frames = 0;
    for (;;) {
        long n = dec.Read(chunk.data(), 4096);
        if (n < 0)
            return SOUND_ERR_FORMAT;
        if (n == 0)
            break;
        frames += static_cast<size_t>(n);
        if (frames > maxFrames) {
            samples.clear();
            return SOUND_ERR_TOO_LARGE;
        }
        for (long i = 0; i < n; ++i) {
            if (toMono && inChannels == 2) {
                int mixed = (chunk[2 * i] + chunk[2 * i + 1]) / 2;
                samples.push_back(static_cast<int16_t>(mixed));
            } else {
                for (int c = 0; c < inChannels; ++c)
                    samples.push_back(chunk[i * inChannels + c]);
            }
        }
    }
    if (frames == 0)
        return SOUND_ERR_FORMAT;
    channels = toMono ? 1 : inChannels;
    rate = dec.GetRate();
    return SOUND_OK;
}
