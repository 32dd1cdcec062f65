#include "platform/JpegHuffmanCheck.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kFastBits = 9;         // the decoder's direct lookup width
constexpr int kMaxTablesChecked = 64; // real files define 4 to about 20

// Builds one table from its 16 code counts as the decoder does, then tries
// every 16-bit input on its slow path: each must land on a code of the
// table with the length it was found at.
const char* CheckTable(const uint8_t counts[16])
{
    uint8_t size[257] = {};
    uint16_t code[256] = {};
    int delta[17] = {};
    uint32_t maxcode[18] = {};
    uint8_t fast[1 << kFastBits];
    int n = 0;
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < counts[i]; ++j) {
            if (n >= 256)
                return "Huffman table of more than 256 codes";
            size[n++] = static_cast<uint8_t>(i + 1);
        }
    size[n] = 0;
    uint32_t next = 0;
    int k = 0;
    for (int j = 1; j <= 16; ++j) {
        delta[j] = k - static_cast<int>(next);
        if (size[k] == j) {
            while (size[k] == j)
                code[k++] = static_cast<uint16_t>(next++);
            if (next - 1 >= (1u << j))
                return nullptr; // the decoder refuses this table by itself
        }
        maxcode[j] = next << (16 - j);
        next <<= 1;
    }
    maxcode[17] = 0xffffffffu;
    std::memset(fast, 255, sizeof fast);
    for (int i = 0; i < n; ++i)
        if (size[i] <= kFastBits) {
            const int first = code[i] << (kFastBits - size[i]);
            const int span = 1 << (kFastBits - size[i]);
            for (int j = 0; j < span; ++j)
                fast[first + j] = static_cast<uint8_t>(i);
        }
    for (uint32_t bits = 0; bits < 65536; ++bits) {
        if (fast[bits >> (16 - kFastBits)] != 255)
            continue;
        int length = kFastBits + 1;
        while (bits >= maxcode[length])
            ++length;
        if (length == 17)
            continue; // no code: the decoder reports a damaged stream
        const int c = static_cast<int>(bits >> (16 - length)) + delta[length];
        if (c < 0 || c >= n || size[c] != length || (bits >> (16 - length)) != code[c])
            return "Huffman table whose codes do not fit together";
    }
    return nullptr;
}
} // namespace

const char* FindJpegHuffmanFault(const uint8_t* b, size_t size)
{
    if (size < 2 || b[0] != 0xFF || b[1] != 0xD8)
        return nullptr;
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
                    return "a scan uses a Huffman table the file never defines";
            }
        }
        if (marker == 0xC4) {
            for (size_t t = i + 4; t < i + 2 + length;) {
                if (++tables > kMaxTablesChecked)
                    return "too many Huffman tables";
                const int kind = at(t) >> 4, id = at(t) & 15;
                if (kind < 2 && id < 4)
                    defined[kind][id] = true;
                uint8_t counts[16];
                size_t codes = 0;
                for (size_t k = 0; k < 16; ++k) {
                    counts[k] = at(t + 1 + k);
                    codes += counts[k];
                }
                if (const char* fault = CheckTable(counts))
                    return fault;
                t += 17 + codes;
            }
        }
        i += 2 + std::max<size_t>(length, 2);
    }
    return nullptr;
}
