#include "platform/DdsImage.h"

#include "platform/ImageEncode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

void PutU32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = char((v >> (8 * i)) & 0xFF);
}

// A DXT file of one or more levels with the given blocks after the header.
std::string DxtFile(const char* fourcc, int w, int h, int mips, const std::string& blocks)
{
    std::vector<uint8_t> dummy(size_t(w) * h * 4, 0);
    std::string f = WriteDdsBGRA(w, h, dummy.data()).substr(0, 128);
    PutU32(f, 8, 0x100F | (mips > 1 ? 0x20000 : 0));
    PutU32(f, 28, uint32_t(mips));
    PutU32(f, 80, 0x4);
    std::memcpy(&f[84], fourcc, 4);
    return f + blocks;
}

std::string Block(uint16_t c0, uint16_t c1, uint32_t bits)
{
    std::string b(8, '\0');
    b[0] = char(c0 & 0xFF);
    b[1] = char(c0 >> 8);
    b[2] = char(c1 & 0xFF);
    b[3] = char(c1 >> 8);
    PutU32(b, 4, bits);
    return b;
}

std::vector<uint8_t> Texel(const std::vector<uint8_t>& rgba, int w, int x, int y)
{
    size_t i = (size_t(y) * w + x) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}

using RGBA = std::vector<uint8_t>;

} // namespace

TEST(DdsImage, BgraRoundTrip)
{
    const int w = 3, h = 2;
    std::vector<uint8_t> bgra(w * h * 4);
    for (size_t i = 0; i < bgra.size(); ++i)
        bgra[i] = uint8_t(i * 7 + 1);
    std::string file = WriteDdsBGRA(w, h, bgra.data());
    ASSERT_EQ(file.size(), 128u + bgra.size());

    TextureData tex;
    std::string error;
    ASSERT_TRUE(ReadDds(Bytes(file), file.size(), tex, &error)) << error;
    EXPECT_EQ(tex.width, w);
    EXPECT_EQ(tex.height, h);
    EXPECT_EQ(tex.format, PixelFormat::BGRA8);
    ASSERT_EQ(tex.levels.size(), 1u);
    EXPECT_EQ(tex.levels[0], bgra);

    std::vector<uint8_t> rgba;
    ASSERT_TRUE(DecodeToRGBA(tex, 0, rgba));
    EXPECT_EQ(Texel(rgba, w, 0, 0), (RGBA{bgra[2], bgra[1], bgra[0], bgra[3]}));

    TempDir dir;
    std::string path = dir.Write("t.dds", file);
    TextureData fromFile;
    ASSERT_TRUE(ReadDdsFile(path, fromFile, &error)) << error;
    EXPECT_EQ(fromFile.levels[0], bgra);
    EXPECT_FALSE(ReadDdsFile(dir.File("none.dds"), fromFile, &error));
}

TEST(DdsImage, OpaqueBgrxGetsFullAlpha)
{
    std::vector<uint8_t> bgra = {10, 20, 30, 0};
    std::string file = WriteDdsBGRA(1, 1, bgra.data());
    PutU32(file, 80, 0x40); // RGB without alpha pixels
    PutU32(file, 104, 0);
    TextureData tex;
    ASSERT_TRUE(ReadDds(Bytes(file), file.size(), tex, nullptr));
    EXPECT_EQ(tex.levels[0], (RGBA{10, 20, 30, 255}));
}

TEST(DdsImage, DecodesKnownDxt1Blocks)
{
    // Four-colour block: red and blue ends, texels 0..3 use indices 0..3.
    std::string file = DxtFile("DXT1", 4, 4, 1, Block(0xF800, 0x001F, 0xE4));
    TextureData tex;
    std::string error;
    ASSERT_TRUE(ReadDds(Bytes(file), file.size(), tex, &error)) << error;
    EXPECT_EQ(tex.format, PixelFormat::DXT1);
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(DecodeToRGBA(tex, 0, rgba));
    EXPECT_EQ(Texel(rgba, 4, 0, 0), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(Texel(rgba, 4, 1, 0), (RGBA{0, 0, 255, 255}));
    EXPECT_EQ(Texel(rgba, 4, 2, 0), (RGBA{170, 0, 85, 255}));
    EXPECT_EQ(Texel(rgba, 4, 3, 0), (RGBA{85, 0, 170, 255}));
    EXPECT_EQ(Texel(rgba, 4, 3, 3), (RGBA{255, 0, 0, 255}));

    // c0 <= c1: three colours and transparent black.
    std::string punch = DxtFile("DXT1", 4, 4, 1, Block(0x001F, 0xF800, 0xE4));
    ASSERT_TRUE(ReadDds(Bytes(punch), punch.size(), tex, &error)) << error;
    ASSERT_TRUE(DecodeToRGBA(tex, 0, rgba));
    EXPECT_EQ(Texel(rgba, 4, 2, 0), (RGBA{127, 0, 127, 255}));
    EXPECT_EQ(Texel(rgba, 4, 3, 0), (RGBA{0, 0, 0, 0}));
}

TEST(DdsImage, DecodesDxt3AndDxt5Alpha)
{
    std::string colour = Block(0xFFFF, 0x0000, 0); // white everywhere
    std::string a3(8, '\0');
    a3[0] = char(0xF0); // texel 0 alpha 0, texel 1 alpha 15*17
    std::string f3 = DxtFile("DXT3", 4, 4, 1, a3 + colour);
    TextureData tex;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(ReadDds(Bytes(f3), f3.size(), tex, nullptr));
    ASSERT_TRUE(DecodeToRGBA(tex, 0, rgba));
    EXPECT_EQ(Texel(rgba, 4, 0, 0), (RGBA{255, 255, 255, 0}));
    EXPECT_EQ(Texel(rgba, 4, 1, 0), (RGBA{255, 255, 255, 255}));

    std::string a5(8, '\0');
    a5[0] = char(255);
    a5[1] = char(0);
    a5[2] = char((1 << 3) | (2 << 6)); // texel 1 index 1, texel 2 index 2
    std::string f5 = DxtFile("DXT5", 4, 4, 1, a5 + colour);
    ASSERT_TRUE(ReadDds(Bytes(f5), f5.size(), tex, nullptr));
    ASSERT_TRUE(DecodeToRGBA(tex, 0, rgba));
    EXPECT_EQ(Texel(rgba, 4, 0, 0)[3], 255);
    EXPECT_EQ(Texel(rgba, 4, 1, 0)[3], 0);
    EXPECT_EQ(Texel(rgba, 4, 2, 0)[3], 218);
}

TEST(DdsImage, ReadsMipLevelsAndPartialBlocks)
{
    // 8x4 DXT1 with three levels: 2 blocks, 1 block, 1 block.
    std::string blocks = Block(0xF800, 0, 0) + Block(0xF800, 0, 0) + Block(0x07E0, 0, 0) + Block(0x001F, 0, 0);
    std::string file = DxtFile("DXT1", 8, 4, 3, blocks);
    TextureData tex;
    std::string error;
    ASSERT_TRUE(ReadDds(Bytes(file), file.size(), tex, &error)) << error;
    ASSERT_EQ(tex.levels.size(), 3u);
    EXPECT_EQ(tex.levels[0].size(), 16u);
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(DecodeToRGBA(tex, 2, rgba)); // 2x1 level
    ASSERT_EQ(rgba.size(), 8u);
    EXPECT_EQ(Texel(rgba, 2, 1, 0), (RGBA{0, 0, 255, 255}));
    EXPECT_FALSE(DecodeToRGBA(tex, 3, rgba));
    EXPECT_FALSE(DecodeToRGBA(tex, -1, rgba));

    // A mip count beyond the full chain is cut to the chain.
    std::string many = DxtFile("DXT1", 8, 4, 30, blocks + Block(0, 0, 0));
    ASSERT_TRUE(ReadDds(Bytes(many), many.size(), tex, &error)) << error;
    EXPECT_EQ(tex.levels.size(), 4u); // 8x4, 4x2, 2x1, 1x1
    EXPECT_TRUE(ValidateTextureData(tex, nullptr));
}

TEST(DdsImage, RejectsTruncatedAndHostileHeaders)
{
    std::vector<uint8_t> px(16 * 16 * 4, 1);
    const std::string good = WriteDdsBGRA(16, 16, px.data());
    TextureData tex;
    std::string error;

    for (size_t cut : {size_t(0), size_t(3), size_t(100), size_t(127), size_t(128), good.size() - 1}) {
        EXPECT_FALSE(ReadDds(Bytes(good), cut, tex, &error)) << cut;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(ReadDds(nullptr, 500, tex, &error));

    auto mutated = [&](size_t at, uint32_t v) {
        std::string f = good;
        PutU32(f, at, v);
        return ReadDds(Bytes(f), f.size(), tex, &error);
    };
    EXPECT_FALSE(mutated(0, 0x11111111));  // magic
    EXPECT_FALSE(mutated(4, 125));         // header size
    EXPECT_FALSE(mutated(12, 0));          // zero height
    EXPECT_FALSE(mutated(16, 0xFFFFFFFF)); // huge width
    EXPECT_FALSE(mutated(16, 17));         // width larger than the data
    EXPECT_FALSE(mutated(76, 0));          // pixel format size
    EXPECT_FALSE(mutated(88, 24));         // the alpha mask lies outside a 24-bit pixel
    EXPECT_FALSE(mutated(88, 12));         // no whole number of bytes
    EXPECT_FALSE(mutated(92, 0x00F0F000)); // split channel mask
    EXPECT_FALSE(mutated(96, 0x00FF0000)); // two channels on one byte
    EXPECT_FALSE(mutated(112, 0x200));     // cube map
    // Mip levels announced but missing.
    std::string f = good;
    PutU32(f, 8, 0x2100F);
    PutU32(f, 28, 5);
    EXPECT_FALSE(ReadDds(Bytes(f), f.size(), tex, &error));

    std::string dx10 = DxtFile("DX10", 4, 4, 1, std::string(64, '\0'));
    EXPECT_FALSE(ReadDds(Bytes(dx10), dx10.size(), tex, &error));
    EXPECT_TRUE(tex.levels.empty()); // nothing half-filled is handed back
}

TEST(DdsImage, WriterRefusesBadInput)
{
    std::vector<uint8_t> px(4, 0);
    EXPECT_TRUE(WriteDdsBGRA(0, 1, px.data()).empty());
    EXPECT_TRUE(WriteDdsBGRA(1, -1, px.data()).empty());
    EXPECT_TRUE(WriteDdsBGRA(1, 1, nullptr).empty());
}

TEST(DdsImage, ReadsPngThroughImageLoader)
{
    std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128};
    std::string png;
    ASSERT_TRUE(EncodeImage(ImageFileType::Png, 2, 1, rgba, png));
    TempDir dir;
    TextureData tex;
    std::string error;
    ASSERT_TRUE(ReadImageFile(dir.Write("a.png", png), tex, &error)) << error;
    EXPECT_EQ(tex.width, 2);
    EXPECT_EQ(tex.height, 1);
    EXPECT_EQ(tex.levels[0], (RGBA{0, 0, 255, 255, 0, 255, 0, 128})); // stored as BGRA

    EXPECT_FALSE(ReadImageFile(dir.Write("bad.png", "not a picture"), tex, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReadImageFile(dir.File("missing.png"), tex, &error));
}

namespace {

// An uncompressed one-level file: bit count, pixel-format flags, the masks of
// red (or luminance), green, blue and alpha, then the packed pixels.
std::string UncompressedFile(int w, int h, uint32_t bits, uint32_t flags, const uint32_t (&masks)[4],
                             const std::string& pixels)
{
    std::vector<uint8_t> dummy(size_t(w) * h * 4, 0);
    std::string f = WriteDdsBGRA(w, h, dummy.data()).substr(0, 128);
    PutU32(f, 80, flags);
    PutU32(f, 88, bits);
    for (int i = 0; i < 4; ++i)
        PutU32(f, 92 + 4 * size_t(i), masks[i]);
    return f + pixels;
}

// Reads one pixel of the given layout; empty when the reader refuses it.
RGBA ReadOnePixel(uint32_t bits, uint32_t flags, const uint32_t (&masks)[4], const std::string& pixel)
{
    std::string f = UncompressedFile(1, 1, bits, flags, masks, pixel);
    TextureData tex;
    std::string error;
    if (!ReadDds(Bytes(f), f.size(), tex, &error))
        return {};
    std::vector<uint8_t> rgba;
    EXPECT_TRUE(DecodeToRGBA(tex, 0, rgba));
    return rgba;
}

} // namespace

TEST(DdsImage, ReadsWhatImageMagickWritesUncompressed)
{
    TempDir dir;
    // Three by two distinct pixels, and a grey square that gets a mip chain.
    dir.Write("in.ppm", "P3 3 2 255\n255 0 0  0 255 0  0 0 255\n10 20 30  200 150 100  255 255 255\n");
    const std::string cmd = "cd '" + dir.Path() +
                            "' && /usr/bin/convert in.ppm -define dds:compression=none -define dds:mipmaps=0 rgb.dds"
                            " && /usr/bin/convert in.ppm -alpha set -channel A -evaluate set 50% +channel"
                            " -define dds:compression=none -define dds:mipmaps=0 rgba.dds"
                            " && /usr/bin/convert -size 4x4 xc:gray50 -define dds:compression=none grey.dds";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << "ImageMagick is needed: " << cmd;

    const RGBA expected = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                           10, 20, 30, 255, 200, 150, 100, 255, 255, 255, 255, 255};
    TextureData tex;
    std::string error;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(ReadDdsFile(dir.File("rgb.dds"), tex, &error)) << error;
    EXPECT_EQ(dir.Read("rgb.dds").size(), 128u + 3 * 2 * 3); // really the 24-bit layout
    ASSERT_TRUE(DecodeToRGBA(tex, 0, rgba));
    EXPECT_EQ(rgba, expected);

    ASSERT_TRUE(ReadDdsFile(dir.File("rgba.dds"), tex, &error)) << error;
    ASSERT_TRUE(DecodeToRGBA(tex, 0, rgba));
    ASSERT_EQ(rgba.size(), expected.size());
    for (size_t i = 0; i < rgba.size(); ++i) {
        if (i % 4 == 3)
            EXPECT_NEAR(rgba[i], 128, 1) << i;
        else
            EXPECT_EQ(rgba[i], expected[i]) << i;
    }

    ASSERT_TRUE(ReadDdsFile(dir.File("grey.dds"), tex, &error)) << error;
    EXPECT_EQ(tex.levels.size(), 3u);
    ASSERT_TRUE(DecodeToRGBA(tex, 2, rgba));
    EXPECT_NEAR(rgba[0], 128, 1);
    EXPECT_EQ(rgba[3], 255);
}

TEST(DdsImage, ReadsEveryUncompressedLayoutTheMasksDescribe)
{
    const uint32_t kRgb = 0x40, kAlphaPixels = 0x1, kLuminance = 0x20000, kAlphaOnly = 0x2;
    // 5:6:5: full channels give 255; the middle values widen by rounding.
    EXPECT_EQ(ReadOnePixel(16, kRgb, {0xF800, 0x07E0, 0x001F, 0}, std::string("\xFF\xFF", 2)),
              (RGBA{255, 255, 255, 255}));
    EXPECT_EQ(ReadOnePixel(16, kRgb, {0xF800, 0x07E0, 0x001F, 0}, std::string("\x10\x84", 2)),
              (RGBA{132, 130, 132, 255}));
    // 1:5:5:5 with the alpha bit clear, and the same bits without the alpha flag (opaque).
    EXPECT_EQ(ReadOnePixel(16, kRgb | kAlphaPixels, {0x7C00, 0x03E0, 0x001F, 0x8000}, std::string("\x1F\x00", 2)),
              (RGBA{0, 0, 255, 0}));
    EXPECT_EQ(ReadOnePixel(16, kRgb, {0x7C00, 0x03E0, 0x001F, 0x8000}, std::string("\x1F\x00", 2)),
              (RGBA{0, 0, 255, 255}));
    // 4:4:4:4.
    EXPECT_EQ(ReadOnePixel(16, kRgb | kAlphaPixels, {0x0F00, 0x00F0, 0x000F, 0xF000}, std::string("\x8F\x1F", 2)),
              (RGBA{255, 136, 255, 17}));
    // 24-bit BGR as ImageMagick writes it, and a 24-bit RGB order.
    EXPECT_EQ(ReadOnePixel(24, kRgb, {0xFF0000, 0xFF00, 0xFF, 0}, "\x01\x02\x03"), (RGBA{3, 2, 1, 255}));
    EXPECT_EQ(ReadOnePixel(24, kRgb, {0xFF, 0xFF00, 0xFF0000, 0}, "\x01\x02\x03"), (RGBA{1, 2, 3, 255}));
    // 2:10:10:10 (wider than a byte): narrowed with rounding.
    EXPECT_EQ(ReadOnePixel(32, kRgb | kAlphaPixels, {0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000},
                           std::string("\xFF\x03\x08\x40", 4)),
              (RGBA{255, 128, 0, 85}));
    // Luminance alone, luminance with alpha, and alpha alone.
    EXPECT_EQ(ReadOnePixel(8, kLuminance, {0xFF, 0, 0, 0}, "\xC8"), (RGBA{200, 200, 200, 255}));
    EXPECT_EQ(ReadOnePixel(16, kLuminance | kAlphaPixels, {0xFF, 0, 0, 0xFF00}, "\x40\x80"),
              (RGBA{64, 64, 64, 128}));
    EXPECT_EQ(ReadOnePixel(8, kAlphaOnly, {0, 0, 0, 0xFF}, "\x4D"), (RGBA{0, 0, 0, 77}));
    // A channel the file leaves out reads as black.
    EXPECT_EQ(ReadOnePixel(16, kRgb, {0xFF, 0xFF00, 0, 0}, "\x10\x20"), (RGBA{16, 32, 0, 255}));

    // What no header can mean is refused.
    EXPECT_TRUE(ReadOnePixel(16, kRgb, {0xF0F0, 0x0F00, 0x000F, 0}, "\x00\x00").empty());     // split mask
    EXPECT_TRUE(ReadOnePixel(16, kRgb, {0xFF0000, 0xFF00, 0xFF, 0}, "\x00\x00").empty());     // beyond the pixel
    EXPECT_TRUE(ReadOnePixel(16, kRgb, {0xF800, 0x0FE0, 0x001F, 0}, "\x00\x00").empty());     // overlapping
    EXPECT_TRUE(ReadOnePixel(16, kRgb, {0, 0, 0, 0}, "\x00\x00").empty());                    // no channel
    EXPECT_TRUE(ReadOnePixel(16, kRgb | kAlphaPixels, {0, 0, 0, 0xFF00}, "\x00\x00").empty()); // alpha, no colour
    EXPECT_TRUE(ReadOnePixel(40, kRgb, {0xFF, 0xFF00, 0xFF0000, 0}, "\x00\x00\x00\x00\x00").empty());
    // Pixels are tightly packed: a 24-bit 2x2 level is 12 bytes, one short is truncated.
    const uint32_t bgr[4] = {0xFF0000, 0xFF00, 0xFF, 0};
    std::string f = UncompressedFile(2, 2, 24, kRgb, bgr, std::string(12, '\x7F'));
    TextureData tex;
    EXPECT_TRUE(ReadDds(Bytes(f), f.size(), tex, nullptr));
    EXPECT_FALSE(ReadDds(Bytes(f), f.size() - 1, tex, nullptr));
}

TEST(DdsImage, ValidatesTextureData)
{
    TextureData d;
    d.width = 5;
    d.height = 3;
    d.format = PixelFormat::DXT5;
    d.levels.push_back(std::vector<uint8_t>(2 * 1 * 16));
    d.levels.push_back(std::vector<uint8_t>(16)); // 2x1
    EXPECT_TRUE(ValidateTextureData(d, nullptr));
    d.levels[1].resize(8);
    EXPECT_FALSE(ValidateTextureData(d, nullptr));
    EXPECT_EQ(TextureLevelBytes(PixelFormat::DXT1, 1, 1), 8u);
    EXPECT_EQ(TextureLevelBytes(PixelFormat::BGRA8, 3, 2), 24u);
    EXPECT_EQ(TextureLevelBytes(PixelFormat::BGRA8, 0, 2), 0u);
}

namespace {
// The 8-byte signature and an IHDR chunk claiming the size: all a reader
// needs to know how much memory the pixels would take.
std::string PngHeader(uint32_t width, uint32_t height)
{
    std::string png("\x89PNG\r\n\x1a\n", 8);
    auto be32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png += static_cast<char>((v >> shift) & 0xFF);
    };
    be32(13);
    png += "IHDR";
    be32(width);
    be32(height);
    png += std::string("\x08\x06\x00\x00\x00", 5); // 8-bit RGBA
    be32(0);                                        // CRC, not checked
    return png;
}
} // namespace

TEST(DdsImage, ImagesLargerThanTheGameDrawsAreRefusedFromTheirHeader)
{
    TempDir dir;
    TextureData tex;
    std::string error;
    // 33 bytes claiming 16000 x 16000 (a gigabyte of pixels): refused unread.
    EXPECT_FALSE(ReadImageFile(dir.Write("bomb.png", PngHeader(16000, 16000)), tex, &error));
    EXPECT_NE(error.find("bomb.png: image of 16000 x 16000 is larger than 2048 x 2048"), std::string::npos) << error;
    EXPECT_FALSE(ReadImageFile(dir.Write("wide.png", PngHeader(2049, 1)), tex, &error));
    EXPECT_NE(error.find("larger than"), std::string::npos);
    // At the limit the size passes and decoding starts (and fails: no pixel data).
    EXPECT_FALSE(ReadImageFile(dir.Write("edge.png", PngHeader(2048, 2048)), tex, &error));
    EXPECT_EQ(error.find("larger than"), std::string::npos) << error;

    // The device's limit holds when it is smaller.
    std::string png;
    ASSERT_TRUE(EncodeImage(ImageFileType::Png, 8, 4, std::vector<uint8_t>(8 * 4 * 4, 200), png));
    const std::string small = dir.Write("small.png", png);
    EXPECT_TRUE(ReadImageFile(small, tex, &error, 8));
    EXPECT_FALSE(ReadImageFile(small, tex, &error, 7));
    EXPECT_TRUE(tex.levels.empty());

    // A chunk claiming 2 GB in a file of a few dozen bytes: refused before the
    // decoder makes room for it.
    std::string claim = PngHeader(8, 8) + std::string("\x7f\xff\xff\xffIDAT\x78\x9c", 10);
    EXPECT_FALSE(ReadImageFile(dir.Write("claim.png", claim), tex, &error));
    EXPECT_NE(error.find("claim.png: damaged PNG (a chunk longer than the file)"), std::string::npos) << error;

    // Only PNG, JPEG and BMP go to the decoder.
    EXPECT_FALSE(ReadImageFile(dir.Write("a.gif", std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14)), tex, &error));
    EXPECT_NE(error.find("not a PNG, JPEG or BMP image"), std::string::npos);
}

TEST(DdsImage, JpegHuffmanTablesTheDecoderCannotTrustAreRefused)
{
    TempDir dir;
    TextureData tex;
    std::string error;
    // Start of image, then a table whose sixteen counts add up to 257 (the
    // decoder's tables hold 256), cut off as a damaged file would be.
    std::string jpeg("\xFF\xD8\xFF\xC4\x01\x20\x00", 7);
    jpeg += std::string(15, '\x10');
    jpeg += '\x11';
    EXPECT_FALSE(ReadImageFile(dir.Write("huff.jpg", jpeg), tex, &error));
    EXPECT_NE(error.find("Huffman table of more than 256 codes"), std::string::npos) << error;
    // 256 codes are allowed through to the decoder.
    jpeg.back() = '\x10';
    EXPECT_FALSE(ReadImageFile(dir.Write("huff256.jpg", jpeg), tex, &error));
    EXPECT_EQ(error.find("Huffman"), std::string::npos) << error;

    // A scan with a table never defined decoded uninitialised memory (found by
    // the fuzzer: it stopped the decoder with an assertion).
    EXPECT_FALSE(ReadImageFile(QLM_FIXTURES_DIR "/images/undefined_huffman_table.jpg", tex, &error));
    EXPECT_NE(error.find("damaged JPEG (a scan uses a Huffman table the file never defines)"), std::string::npos)
        << error;

    // Every table of a real file passes: a baseline and a progressive JPEG.
    std::string good;
    ASSERT_TRUE(EncodeImage(ImageFileType::Jpeg, 16, 16, std::vector<uint8_t>(16 * 16 * 4, 90), good));
    EXPECT_TRUE(ReadImageFile(dir.Write("good.jpg", good), tex, &error)) << error;
    EXPECT_TRUE(ReadImageFile(QLM_FIXTURES_DIR "/images/progressive.jpg", tex, &error)) << error;
    EXPECT_EQ(tex.width, 24);
    for (const char* shipped : {"gui/strip_fill.jpg", "gui/strip_fill_red.jpg", "gui/box_background.jpg"})
        EXPECT_TRUE(ReadImageFile(std::string(QLM_GAME_DIR "/data/bitmaps/") + shipped, tex, &error)) << error;
}
