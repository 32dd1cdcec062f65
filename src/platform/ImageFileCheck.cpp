#include "platform/ImageFileCheck.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kMaxTablesChecked = 64; // real files define 4 to about 20
constexpr size_t kMaxCodes = 256;     // the decoder's tables hold this many

const char* FindPngFault(const uint8_t* b, size_t size)
{
    // Signature, then chunks of length, type, data and CRC. Only the data
    // must be there: a missing last CRC is the decoder's own business.
    size_t at = 8;
    while (at + 8 <= size) {
        const uint32_t length =
            uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
        if (length > size - at - 8)
            return "damaged PNG (a chunk longer than the file)";
        if (std::memcmp(b + at + 4, "IEND", 4) == 0)
            break;
        at += 12 + size_t(length);
    }
    return nullptr;
}

const char* FindJpegFault(const uint8_t* b, size_t size)
{
    // The decoder reads past the end of a cut-off file as zeros.
    auto at = [&](size_t k) { return k < size ? b[k] : uint8_t(0); };
    int tables = 0;
    // Which tables (DC, AC; ids 0 to 3) the file has defined so far: the
    // decoder's tables start as uninitialised memory.
    bool defined[2][4] = {};
    bool progressive = false;
    size_t i = 2;
    while (i + 1 < size) {
        if (b[i] != 0xFF) { // entropy-coded data between the markers
            ++i;
            continue;
        }
        const uint8_t marker = b[i + 1];
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2; // stuffed byte or a marker without a length
            continue;
        }
        if (marker == 0xD9 || i + 3 >= size)
            break;
        const size_t length = size_t(b[i + 2]) << 8 | b[i + 3];
        if (marker >= 0xC0 && marker <= 0xC2)
            progressive = marker == 0xC2;
        if (marker == 0xDA) {
            const size_t components = at(i + 4);
            const size_t after = i + 5 + 2 * components;
            const bool dcScan = at(after) == 0;
            const bool firstPass = (at(after + 2) >> 4) == 0;
            const bool needDc = !progressive || (dcScan && firstPass);
            const bool needAc = !progressive || !dcScan;
            for (size_t c = 0; c < components; ++c) {
                const uint8_t ids = at(i + 6 + 2 * c);
                const int dc = ids >> 4, ac = ids & 15;
                if ((needDc && dc < 4 && !defined[0][dc]) || (needAc && ac < 4 && !defined[1][ac]))
                    return "damaged JPEG (a scan uses a Huffman table the file never defines)";
            }
        }
        if (marker == 0xC4) {
            for (size_t t = i + 4; t < i + 2 + length;) {
                if (++tables > kMaxTablesChecked)
                    return "damaged JPEG (too many Huffman tables)";
                const int kind = at(t) >> 4, id = at(t) & 15;
                if (kind < 2 && id < 4)
                    defined[kind][id] = true;
                size_t codes = 0;
                for (size_t k = 1; k <= 16; ++k)
                    codes += at(t + k);
                // Within 256 codes the decoder builds canonical tables whose
                // codes always fit; it refuses lengths that overflow by itself.
                if (codes > kMaxCodes)
                    return "damaged JPEG (Huffman table of more than 256 codes)";
                t += 17 + codes;
            }
        }
        i += 2 + std::max<size_t>(length, 2);
    }
    return nullptr;
}
} // namespace

const char* FindImageFileFault(const uint8_t* data, size_t size)
{
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= sizeof kPng && std::memcmp(data, kPng, sizeof kPng) == 0)
        return FindPngFault(data, size);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        return FindJpegFault(data, size);
    return nullptr;
}
