#include "platform/DdsImage.h"
#include "platform/GLGraphicsDevice.h"
#include "platform/SdlWindow.h"

#include "engine/ImageWrite.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdlib>

namespace {

constexpr int kW = 64;
constexpr int kH = 48;
using RGBA = std::vector<int>;

// The suite name starts with "GL": these run with the offscreen driver.

class GLDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowSettings s;
        s.title = "test";
        s.width = kW;
        s.height = kH;
        s.hidden = true;
        std::string error;
        window = SdlWindow::Create(s, &error);
        ASSERT_TRUE(window) << error;
        device = GLGraphicsDevice::Create(kW, kH, &error);
        ASSERT_TRUE(device) << error;
        device->SetPresentCallback([this] { window->SwapBuffers(); });
    }
    void TearDown() override
    {
        device.reset(); // before the context goes
        window.reset();
    }

    static std::vector<ScreenVertex> Quad(float l, float t, float r, float b, uint32_t argb,
                                          float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1)
    {
        return {{l, t, 0, 1, argb, u0, v0}, {r, t, 0, 1, argb, u1, v0},
                {l, b, 0, 1, argb, u0, v1}, {r, b, 0, 1, argb, u1, v1}};
    }
    // The engine's rectangle fill: corners moved by half a pixel.
    void FillRect(int l, int t, int r, int b, uint32_t argb)
    {
        device->SetTexture(0, 0);
        auto q = Quad(l - 0.5f, t - 0.5f, r - 0.5f, b - 0.5f, argb);
        device->DrawQuads(q.data(), q.size());
    }
    RGBA Pixel(TextureHandle target, int x, int y)
    {
        std::vector<uint8_t> px;
        EXPECT_TRUE(device->ReadPixels(target, x, y, 1, 1, px));
        return px.size() == 4 ? RGBA{px[0], px[1], px[2], px[3]} : RGBA{};
    }
    static void ExpectNear(const RGBA& got, const RGBA& want, int tolerance = 2)
    {
        ASSERT_EQ(got.size(), 4u);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(got[i], want[i], tolerance) << "channel " << i;
    }

    std::unique_ptr<SdlWindow> window;
    std::unique_ptr<GLGraphicsDevice> device;
};


} // namespace


TEST_F(GLDevice, FillRectCoversExactlyItsPixels)
{
    device->Clear(0xFF000000);
    FillRect(10, 10, 20, 20, 0xFFFFFFFF);
    std::vector<uint8_t> px;
    ASSERT_TRUE(device->ReadPixels(0, 0, 0, kW, kH, px));
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            bool inside = x >= 10 && x <= 19 && y >= 10 && y <= 19;
            uint8_t v = px[(size_t(y) * kW + x) * 4];
            ASSERT_EQ(v, inside ? 255 : 0) << "pixel " << x << "," << y;
        }
    }
}

TEST_F(GLDevice, VertexColourIsArgb)
{
    device->Clear(0xFF000000);
    FillRect(0, 0, 4, 4, 0xFF204080);
    EXPECT_EQ(Pixel(0, 1, 1), (RGBA{0x20, 0x40, 0x80, 255}));
}

TEST_F(GLDevice, NormalAndAdditiveBlending)
{
    device->Clear(0xFF0000FF);
    FillRect(0, 0, 8, 8, 0x80FF0000); // half-transparent red over blue
    ExpectNear(Pixel(0, 2, 2), {128, 0, 127, 191});

    device->SetBlendMode(BlendMode::Additive);
    device->Clear(0xFF000064);
    FillRect(0, 0, 8, 8, 0x80FF0000);
    ExpectNear(Pixel(0, 2, 2), {128, 0, 100, 255});
    EXPECT_EQ(device->GetStats().blendChanges, 1);

    device->SetAlphaBlend(false); // replaces, alpha and all
    FillRect(0, 0, 8, 8, 0x80FF0000);
    ExpectNear(Pixel(0, 2, 2), {255, 0, 0, 128});
}

TEST_F(GLDevice, AlphaTestDiscardsTransparentTexels)
{
    TextureData tex;
    tex.width = 2;
    tex.height = 1;
    tex.levels.push_back({0, 255, 0, 255, /* transparent: */ 0, 0, 255, 0}); // BGRA
    TextureHandle t = device->CreateTexture(tex);
    ASSERT_NE(t, 0u);
    device->Clear(0xFF808080);
    device->SetAlphaBlend(false);
    device->SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
    device->SetTexture(0, t);
    auto q = Quad(-0.5f, -0.5f, 15.5f, 7.5f, 0xFFFFFFFF);
    device->DrawQuads(q.data(), 4);
    EXPECT_EQ(Pixel(0, 2, 2), (RGBA{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(0, 12, 2), (RGBA{128, 128, 128, 255})); // discarded, not written

    device->SetAlphaTest(false);
    device->DrawQuads(q.data(), 4);
    EXPECT_EQ(Pixel(0, 12, 2), (RGBA{255, 0, 0, 0}));
}

TEST_F(GLDevice, FlatColourKeepsTheTexelsAlphaAndTakesTheVertexColour)
{
    TextureData tex;
    tex.width = 2;
    tex.height = 1;
    tex.levels.push_back({0, 0, 200, 255, /* half see-through: */ 0, 0, 200, 128}); // BGRA
    TextureHandle t = device->CreateTexture(tex);
    ASSERT_NE(t, 0u);
    device->Clear(0xFF000000);
    device->SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
    device->SetTexture(0, t);
    device->SetAlphaBlend(false);
    device->SetFlatColour(true);
    auto q = Quad(-0.5f, -0.5f, 15.5f, 7.5f, 0xFF00FF00);
    device->DrawQuads(q.data(), 4);
    ExpectNear(Pixel(0, 2, 2), RGBA{0, 255, 0, 255});
    ExpectNear(Pixel(0, 12, 2), RGBA{0, 255, 0, 128});
    // Off again: texel times vertex colour.
    device->SetFlatColour(false);
    auto white = Quad(-0.5f, -0.5f, 15.5f, 7.5f, 0xFFFFFFFF);
    device->DrawQuads(white.data(), 4);
    ExpectNear(Pixel(0, 2, 2), RGBA{200, 0, 0, 255});
}

TEST_F(GLDevice, RenderTargetRoundTripStaysUpright)
{
    TextureHandle rt = device->CreateRenderTarget(16, 16);
    ASSERT_NE(rt, 0u);
    ASSERT_TRUE(device->SetRenderTarget(rt));
    device->Clear(0xFF000000);
    FillRect(0, 0, 8, 8, 0xFFFF0000);    // top-left red
    FillRect(8, 8, 16, 16, 0xFF00FF00);  // bottom-right green
    EXPECT_EQ(Pixel(rt, 1, 1), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(rt, 12, 12), (RGBA{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(rt, 12, 1), (RGBA{0, 0, 0, 255}));

    ASSERT_TRUE(device->SetRenderTarget(0));
    device->Clear(0xFF0000FF);
    device->SetAlphaBlend(false);
    device->SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
    device->SetTexture(0, rt);
    auto q = Quad(19.5f, 9.5f, 35.5f, 25.5f, 0xFFFFFFFF); // pixels 20..35, 10..25
    device->DrawQuads(q.data(), 4);
    EXPECT_EQ(Pixel(0, 21, 11), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(0, 33, 23), (RGBA{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(0, 33, 11), (RGBA{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(0, 19, 11), (RGBA{0, 0, 255, 255}));
    EXPECT_EQ(device->GetStats().renderTargetSwitches, 2);
}

TEST_F(GLDevice, CopyBackBufferToRenderTargetKeepsOrientation)
{
    device->Clear(0xFF000000);
    FillRect(0, 0, 4, 4, 0xFFFF0000);
    FillRect(kW - 4, kH - 4, kW, kH, 0xFF00FF00);
    TextureHandle rt = device->CreateRenderTarget(kW, kH);
    ASSERT_TRUE(device->CopyBackBufferTo(rt));
    EXPECT_EQ(Pixel(rt, 1, 1), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(rt, kW - 2, kH - 2), (RGBA{0, 255, 0, 255}));
    EXPECT_FALSE(device->CopyBackBufferTo(0));
}

TEST_F(GLDevice, ARegionOfATargetIsCopiedTexelForTexelIntoATexture)
{
    // The target: red top-left quarter, green bottom-right, black elsewhere.
    TextureHandle rt = device->CreateRenderTarget(16, 16);
    TextureHandle other = device->CreateRenderTarget(16, 16);
    ASSERT_TRUE(rt && other);
    ASSERT_TRUE(device->SetRenderTarget(rt));
    device->Clear(0xFF000000);
    FillRect(0, 0, 8, 8, 0xFFFF0000);
    FillRect(8, 8, 16, 16, 0xFF00FF00);
    // A blue 32 x 32 picture; its 8 x 8 block at (20, 20) takes the target's (4, 4)..(11, 11).
    TextureData tex;
    tex.width = tex.height = 32;
    tex.levels.assign(1, std::vector<uint8_t>(32 * 32 * 4, 0));
    for (size_t i = 0; i < tex.levels[0].size(); i += 4) {
        tex.levels[0][i] = 255;
        tex.levels[0][i + 3] = 255;
    }
    TextureHandle picture = device->CreateTexture(tex);
    ASSERT_NE(picture, 0u);
    ASSERT_TRUE(device->SetRenderTarget(other));
    device->SetTexture(0, rt);
    device->SetAlphaBlend(false);
    device->SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
    EXPECT_TRUE(device->CopyTargetRegion(rt, 4, 4, 8, 8, picture, 20, 20));
    EXPECT_FALSE(device->CopyTargetRegion(rt, 9, 4, 8, 8, picture, 0, 0)) << "past the target's edge";
    EXPECT_FALSE(device->CopyTargetRegion(rt, 0, 0, 8, 8, picture, 25, 0)) << "past the picture's edge";
    EXPECT_FALSE(device->CopyTargetRegion(picture, 0, 0, 8, 8, rt, 0, 0)) << "a picture is no target";
    // The target set and the texture bound before the copy are still in place.
    auto whole = Quad(-0.5f, -0.5f, 15.5f, 15.5f, 0xFFFFFFFF);
    device->DrawQuads(whole.data(), 4);
    EXPECT_EQ(Pixel(other, 1, 1), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(other, 12, 12), (RGBA{0, 255, 0, 255}));
    ASSERT_TRUE(device->SetRenderTarget(0));
    device->SetTexture(0, picture);
    auto q = Quad(-0.5f, -0.5f, 31.5f, 31.5f, 0xFFFFFFFF);
    device->DrawQuads(q.data(), 4);
    EXPECT_EQ(Pixel(0, 20, 20), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(0, 23, 23), (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(0, 24, 20), (RGBA{0, 0, 0, 255})) << "top right of the block: black, rows top-down";
    EXPECT_EQ(Pixel(0, 27, 27), (RGBA{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(0, 28, 28), (RGBA{0, 0, 255, 255})) << "the picture beyond the block";
    EXPECT_EQ(Pixel(0, 19, 20), (RGBA{0, 0, 255, 255}));
}

TEST_F(GLDevice, ViewportClipsDrawingAndClears)
{
    device->Clear(0xFF000000);
    device->SetViewport(0, 0, 16, 8);
    FillRect(0, 0, kW, kH, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(0, 15, 7)[0], 255);
    EXPECT_EQ(Pixel(0, 16, 7)[0], 0);
    EXPECT_EQ(Pixel(0, 15, 8)[0], 0);
    device->SetViewport(0, 0, kW, kH);
    device->Clear(0xFF000000);
    EXPECT_EQ(Pixel(0, 15, 7)[0], 0);
}

TEST_F(GLDevice, QueuedDrawingIsHandedOverEveryScreenAndAHalf)
{
    const double share = GLGraphicsDevice::kFlushShareOfScreen * kW * kH;
    ASSERT_DOUBLE_EQ(share, 4608.0);
    device->ResetStats();
    FillRect(0, 0, kW, kH, 0xFFFFFFFF); // 3072 pixels
    FillRect(0, 0, 32, 47, 0xFFFFFFFF); // 1504 more
    EXPECT_EQ(device->GetStats().flushes, 0);
    FillRect(40, 0, 41, 32, 0xFFFFFFFF); // 32 more: exactly a screen and a half
    EXPECT_EQ(device->GetStats().flushes, 1);
    // A target switch hands everything over, so the count starts again.
    TextureHandle target = device->CreateRenderTarget(kW, kH);
    ASSERT_NE(target, 0u);
    FillRect(0, 0, kW, kH, 0xFFFFFFFF);
    ASSERT_TRUE(device->SetRenderTarget(target));
    FillRect(0, 0, 1, 32, 0xFFFFFFFF);
    EXPECT_EQ(device->GetStats().flushes, 1);
    // Clears count as drawing; lines cover nothing.
    device->Clear(0xFF000000);
    EXPECT_EQ(device->GetStats().flushes, 1) << "3104 pixels queued";
    FillRect(0, 0, 32, 47, 0xFFFFFFFF);
    EXPECT_EQ(device->GetStats().flushes, 2) << "1504 more";
    std::vector<ScreenVertex> line = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0}, {63, 47, 0, 1, 0xFFFFFFFF, 0, 0}};
    for (int i = 0; i < 4; ++i)
        device->DrawPrimitives(PrimitiveType::LineList, line.data(), line.size());
    EXPECT_EQ(device->GetStats().flushes, 2);
    // What was handed over early is drawn all the same.
    ASSERT_TRUE(device->SetRenderTarget(0));
    EXPECT_EQ(Pixel(0, 40, 31)[0], 255);
    EXPECT_EQ(Pixel(target, 0, 31)[0], 255);
    EXPECT_EQ(Pixel(target, 40, 31)[0], 0) << "cleared, and not filled since";
    device->DestroyTexture(target);
}

TEST_F(GLDevice, DxtTexturesDrawAsDecoded)
{
    // 4x4 DXT1 block: red and blue ends, the first row walks the palette.
    TextureData tex;
    tex.width = 4;
    tex.height = 4;
    tex.format = PixelFormat::DXT1;
    tex.levels.push_back({0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0});
    std::vector<uint8_t> expected;
    ASSERT_TRUE(DecodeToRGBA(tex, 0, expected));

    for (bool compressed : {true, false}) {
        SCOPED_TRACE(compressed ? "compressed upload" : "decoded upload");
        std::string error;
        GLGraphicsDevice::Options options;
        options.compressedUpload = compressed;
        device = GLGraphicsDevice::Create(kW, kH, options, &error);
        ASSERT_TRUE(device) << error;
        if (compressed) {
            EXPECT_TRUE(device->UsesCompressedUpload()); // Mesa offers S3TC
        }
        TextureHandle t = device->CreateTexture(tex);
        ASSERT_NE(t, 0u) << device->GetLastError();
        device->Clear(0xFF000000);
        device->SetAlphaBlend(false);
        device->SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
        device->SetTexture(0, t);
        auto q = Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFFFFFFFF);
        device->DrawQuads(q.data(), 4);
        for (int x = 0; x < 4; ++x) {
            const uint8_t* e = &expected[size_t(x) * 4];
            ExpectNear(Pixel(0, x, 0), {e[0], e[1], e[2], e[3]}, 3);
        }
    }
}

TEST_F(GLDevice, BrokenTexturesAndTargetsAreRefused)
{
    TextureData bad;
    bad.width = 4;
    bad.height = 4;
    bad.levels.push_back(std::vector<uint8_t>(10));
    EXPECT_EQ(device->CreateTexture(bad), 0u);
    EXPECT_FALSE(device->GetLastError().empty());
    EXPECT_EQ(device->CreateRenderTarget(0, 4), 0u);
    EXPECT_FALSE(device->SetRenderTarget(12345));
    std::vector<uint8_t> px;
    EXPECT_FALSE(device->ReadPixels(0, kW - 1, 0, 2, 1, px));
    TextureHandle rt = device->CreateRenderTarget(8, 8);
    ASSERT_TRUE(device->SetRenderTarget(rt));
    device->DestroyTexture(rt); // drawing goes back to the back buffer
    device->Clear(0xFF00FF00);
    EXPECT_EQ(Pixel(0, 0, 0), (RGBA{0, 255, 0, 255}));
}

TEST_F(GLDevice, EffectFromFilesWithFloatUniforms)
{
    EffectHandle e = device->LoadEffect(std::string(QLM_SOURCE_DIR) + "/data/shaders/example");
    ASSERT_NE(e, 0u) << device->GetLastError();
    device->SetEffectFloat(e, "uBrightness", 0.5f);
    device->SetEffectFloat(e, "uDesaturate", 0.0f);
    device->SetEffectFloat(e, "noSuchUniform", 1.0f); // ignored
    device->SetEffect(e);
    device->Clear(0xFF000000);
    device->SetAlphaBlend(false);
    FillRect(0, 0, 4, 4, 0xFFFF0000);
    ExpectNear(Pixel(0, 1, 1), {128, 0, 0, 255});
    device->SetEffect(0);
    FillRect(0, 0, 4, 4, 0xFFFF0000);
    EXPECT_EQ(Pixel(0, 1, 1), (RGBA{255, 0, 0, 255}));

    TempDir dir;
    dir.Write("broken.frag", "#version 330 core\nthis is not glsl\n");
    EXPECT_EQ(device->LoadEffect(dir.File("broken")), 0u);
    EXPECT_NE(device->GetLastError().find("broken"), std::string::npos);
    EXPECT_EQ(device->LoadEffect(dir.File("missing")), 0u);
    device->DestroyEffect(e);
}

TEST_F(GLDevice, ScreenshotBmpHoldsTheBackBuffer)
{
    device->Clear(0xFF000000);
    FillRect(0, 0, 8, 4, 0xFFFF8000);
    std::vector<uint8_t> px;
    ASSERT_TRUE(device->ReadPixels(0, 0, 0, kW, kH, px));
    TempDir dir;
    std::string path = dir.File("screenshot_01-02-2024_10-11-12.bmp");
    ASSERT_TRUE(WriteBmp(path, kW, kH, px));
    device->Present();
    EXPECT_EQ(device->GetStats().presents, 1);

    int w = 0, h = 0, n = 0;
    stbi_uc* img = stbi_load(path.c_str(), &w, &h, &n, 4);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(w, kW);
    EXPECT_EQ(h, kH);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(RGBA(img, img + 4), (RGBA{255, 128, 0, 255}));          // top-left
    const stbi_uc* corner = img + (size_t(kH - 1) * kW + kW - 1) * 4;
    EXPECT_EQ(RGBA(corner, corner + 4), (RGBA{0, 0, 0, 255}));         // bottom-right
    stbi_image_free(img);
}

// More vertices in one frame than the stream buffer first holds, over more
// frames than there are buffers in turn: every quad lands where it was put.
TEST_F(GLDevice, StreamedVerticesSurviveBufferGrowthAndReuseAcrossPresents)
{
    constexpr int kQuads = 12000; // 12000 x 4 x 28 bytes: past the first megabyte
    std::vector<ScreenVertex> frame;
    for (int f = 0; f < 5; ++f) {
        device->Clear(0xFF000000);
        frame.clear();
        for (int i = 0; i < kQuads; ++i) {
            const int x = i % kW, y = (i / kW) % kH;
            // The last quad on each pixel decides its colour: frame and pixel in the red and green.
            const uint32_t argb = 0xFF000000u | uint32_t((f * 40 + 20) << 16) | uint32_t((x * 3) << 8) | uint32_t(i / (kW * kH));
            auto q = Quad(x - 0.5f, y - 0.5f, x + 0.5f, y + 0.5f, argb);
            frame.insert(frame.end(), q.begin(), q.end());
        }
        device->SetTexture(0, 0);
        // In runs of 500 quads, as the batches hand them over.
        for (int first = 0; first < kQuads; first += 500)
            device->DrawQuads(frame.data() + first * 4, 500 * 4);
        const int lastLayer = (kQuads - 1) / (kW * kH);
        for (auto [x, y] : {std::pair{0, 0}, std::pair{63, 47}, std::pair{17, 30}}) {
            const int i = y * kW + x;
            const int layer = i + lastLayer * kW * kH < kQuads ? lastLayer : lastLayer - 1;
            ExpectNear(Pixel(0, x, y), RGBA{f * 40 + 20, x * 3, layer, 255}, 0);
        }
        device->Present();
    }
}
