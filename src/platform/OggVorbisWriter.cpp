#include "platform/OggVorbisWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace {

void AppendPage(const ogg_page& page, std::string& out)
{
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

struct Encoder {
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};
    bool analysing = false;

    Encoder() { vorbis_info_init(&info); }
    ~Encoder()
    {
        if (analysing) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
            vorbis_comment_clear(&comment);
        }
        vorbis_info_clear(&info);
    }

    bool Start(int channels, int rate, float quality, std::string& out)
    {
        if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0)
            return false;
        vorbis_comment_init(&comment);
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_init(&stream, 0x51AB);
        analysing = true;
        ogg_packet id, com, code;
        vorbis_analysis_headerout(&dsp, &comment, &id, &com, &code);
        ogg_stream_packetin(&stream, &id);
        ogg_stream_packetin(&stream, &com);
        ogg_stream_packetin(&stream, &code);
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0)
            AppendPage(page, out);
        return true;
    }

    void Drain(std::string& out)
    {
        ogg_packet packet;
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                    AppendPage(page, out);
            }
        }
    }
};

} // namespace

bool OggVorbisWriter::Encode(const std::vector<float>& samples, int channels, int rate, float quality,
                             std::string& out)
{
    out.clear();
    if (channels < 1 || channels > 2 || rate <= 0 || samples.size() < static_cast<size_t>(channels))
        return false;
    Encoder enc;
    if (!enc.Start(channels, rate, quality, out))
        return false;
    const size_t frames = samples.size() / static_cast<size_t>(channels);
    const size_t chunk = 4096;
    for (size_t start = 0; start < frames; start += chunk) {
        const size_t n = std::min(chunk, frames - start);
        float** buf = vorbis_analysis_buffer(&enc.dsp, static_cast<int>(n));
        for (size_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buf[c][i] = std::clamp(samples[(start + i) * channels + c], -1.0f, 1.0f);
        vorbis_analysis_wrote(&enc.dsp, static_cast<int>(n));
        enc.Drain(out);
    }
    vorbis_analysis_wrote(&enc.dsp, 0);
    enc.Drain(out);
    ogg_page page;
    while (ogg_stream_flush(&enc.stream, &page) != 0)
        AppendPage(page, out);
    return true;
}
