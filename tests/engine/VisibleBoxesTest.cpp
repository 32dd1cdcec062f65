#include "engine/VisibleBoxes.h"

#include "engine/EngineTestFixture.h"
#include "engine/QuadRunBatch.h"
#include "support/GLTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using Box = VisibleBoxes::Box;

// A w x h level, transparent (in a colour of its own, so that a box that
// went by colour would show) but for the texels set.
struct Level {
    int w, h;
    std::vector<uint8_t> bgra;
    Level(int width, int height) : w(width), h(height)
    {
        for (int i = 0; i < w * h; ++i)
            bgra.insert(bgra.end(), {200, 50, 255, 0});
    }
    Level& Set(int x, int y, uint8_t alpha)
    {
        uint8_t* p = &bgra[static_cast<size_t>(y * w + x) * 4];
        p[0] = static_cast<uint8_t>(30 + 3 * x);
        p[1] = static_cast<uint8_t>(220 - 3 * y);
        p[2] = static_cast<uint8_t>(90 + x + y);
        p[3] = alpha;
        return *this;
    }
    Level& Fill(const Box& b, uint8_t alpha)
    {
        for (int y = b.y0; y < b.y1; ++y)
            for (int x = b.x0; x < b.x1; ++x)
                Set(x, y, alpha);
        return *this;
    }
};

TextureData Picture(std::initializer_list<Level> levels)
{
    TextureData data;
    data.width = levels.begin()->w;
    data.height = levels.begin()->h;
    for (const Level& level : levels)
        data.levels.push_back(level.bgra);
    return data;
}

struct Quad {
    ScreenVertex v[4];
    // Upright, the picture's coordinates (u0, v0)-(u1, v1) on (l, t)-(r, b).
    Quad(float l, float t, float r, float b, float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1)
        : v{{l, t, 0, 1, 0xFFFFFFFFu, u0, v0},
            {r, t, 0, 1, 0xFFFFFFFFu, u1, v0},
            {l, b, 0, 1, 0xFFFFFFFFu, u0, v1},
            {r, b, 0, 1, 0xFFFFFFFFu, u1, v1}}
    {
    }
    // Turned by `degrees` about (cx, cy).
    Quad& Turn(float degrees, float cx, float cy)
    {
        const float a = degrees * 3.14159265f / 180.0f, c = std::cos(a), s = std::sin(a);
        for (ScreenVertex& p : v) {
            const float x = p.x - cx, y = p.y - cy;
            p.x = cx + x * c - y * s;
            p.y = cy + x * s + y * c;
        }
        return *this;
    }
};

constexpr TextureHandle kTexture = 7;

class VisibleBoxesTest : public ::testing::Test {
protected:
    void TearDown() override { VisibleBoxes::Shared().Clear(); }
    VisibleBoxes& Boxes() { return VisibleBoxes::Shared(); }
    // The trimmed quad's corners as x0, y0, x1, y1 of an upright one; empty
    // when the quad was kept.
    std::vector<float> Trimmed(const Quad& quad)
    {
        ScreenVertex out[4];
        if (!Boxes().Trim(kTexture, quad.v, out))
            return {};
        EXPECT_EQ(out[0].x, out[2].x);
        EXPECT_EQ(out[0].y, out[1].y);
        return {out[0].x, out[0].y, out[3].x, out[3].y};
    }
};

} // namespace

TEST_F(VisibleBoxesTest, TheScanFindsEveryLevelsBoxByAlphaAloneAndTheOpaqueFlag)
{
    Level top(8, 4), middle(4, 2), last(2, 1);
    top.Set(2, 1, 1).Set(5, 2, 255); // the faintest alpha counts
    middle.Set(0, 1, 10);
    VisibleBoxes::Scan scan = VisibleBoxes::ScanPicture(Picture({top, middle, last}));
    EXPECT_FALSE(scan.opaque);
    EXPECT_EQ(scan.boxes, (std::vector<Box>{{2, 1, 6, 3}, {0, 1, 1, 2}, {}}));

    Level edges(8, 4);
    edges.Set(7, 0, 5).Set(0, 3, 5);
    EXPECT_EQ(VisibleBoxes::ScanPicture(Picture({edges})).boxes, (std::vector<Box>{{0, 0, 8, 4}}));

    Level solid(4, 4);
    solid.Fill({0, 0, 4, 4}, 255);
    scan = VisibleBoxes::ScanPicture(Picture({solid}));
    EXPECT_TRUE(scan.opaque);
    EXPECT_EQ(scan.boxes, (std::vector<Box>{{0, 0, 4, 4}}));
    solid.Set(3, 3, 254);
    EXPECT_FALSE(VisibleBoxes::ScanPicture(Picture({solid})).opaque);

    TextureData compressed = Picture({solid});
    compressed.format = PixelFormat::DXT5;
    scan = VisibleBoxes::ScanPicture(compressed);
    EXPECT_FALSE(scan.opaque);
    EXPECT_TRUE(scan.boxes.empty());
    TextureData shortLevel = Picture({solid});
    shortLevel.levels[0].pop_back();
    EXPECT_TRUE(VisibleBoxes::ScanPicture(shortLevel).boxes.empty());
}

TEST_F(VisibleBoxesTest, AQuadKeepsWhatMapsTheVisibleBoxAndATexelAroundIt)
{
    Level level(64, 64);
    level.Fill({8, 24, 40, 40}, 200);
    Boxes().Note(kTexture, Picture({level}));
    // The box grown by a texel: u 7/64 to 41/64, v 23/64 to 41/64; four
    // pixels a texel.
    EXPECT_EQ(Trimmed(Quad(100, 50, 356, 306)), (std::vector<float>{128, 142, 264, 214}));
    ScreenVertex out[4];
    ASSERT_TRUE(Boxes().Trim(kTexture, Quad(100, 50, 356, 306).v, out));
    EXPECT_FLOAT_EQ(out[0].u, 7.0f / 64.0f);
    EXPECT_FLOAT_EQ(out[3].u, 41.0f / 64.0f);
    EXPECT_FLOAT_EQ(out[0].v, 23.0f / 64.0f);
    EXPECT_FLOAT_EQ(out[3].v, 41.0f / 64.0f);
    // Mirrored, and the picture turned a quarter by its coordinates.
    EXPECT_EQ(Trimmed(Quad(100, 50, 356, 306, 1, 0, 0, 1)), (std::vector<float>{192, 142, 328, 214}));
    Quad turned(100, 50, 356, 306);
    std::swap(turned.v[1].u, turned.v[2].u);
    std::swap(turned.v[1].v, turned.v[2].v);
    EXPECT_EQ(Trimmed(turned), (std::vector<float>{192, 78, 264, 214}));

    // Turned on screen: the corners stay on the quad's own map, so every
    // pixel reads what it read before.
    Quad rotated = Quad(100, 50, 356, 306).Turn(30.0f, 228, 178);
    ASSERT_TRUE(Boxes().Trim(kTexture, rotated.v, out));
    const ScreenVertex* q = rotated.v;
    for (const ScreenVertex& p : out) {
        // Back onto the quad's edges, then on to its coordinates.
        const float ex = q[1].x - q[0].x, ey = q[1].y - q[0].y, fx = q[2].x - q[0].x, fy = q[2].y - q[0].y;
        const float det = ex * fy - ey * fx;
        const float s = ((p.x - q[0].x) * fy - (p.y - q[0].y) * fx) / det;
        const float t = (ex * (p.y - q[0].y) - ey * (p.x - q[0].x)) / det;
        EXPECT_NEAR(p.u, s, 1e-5f);
        EXPECT_NEAR(p.v, t, 1e-5f);
    }
    EXPECT_NEAR(out[0].u, 7.0f / 64.0f, 1e-6f);
    EXPECT_NEAR(out[3].v, 41.0f / 64.0f, 1e-6f);
}

TEST_F(VisibleBoxesTest, QuadsThatWouldSaveLittleOrAreNotAPlainMapStayWhole)
{
    Level middle(64, 64);
    middle.Fill({16, 16, 48, 48}, 255);
    Boxes().Note(kTexture, Picture({middle}));
    // Kept: (34/64)^2 of the quad, so 19 x 19 pixels save 259, 18 x 19 save 245.
    EXPECT_FALSE(Trimmed(Quad(0, 0, 19, 19)).empty());
    EXPECT_TRUE(Trimmed(Quad(0, 0, 18, 19)).empty());

    const Quad big(0, 0, 256, 256);
    ScreenVertex out[4];
    Quad faded = big;
    faded.v[3].colour = 0xFEFFFFFFu;
    EXPECT_FALSE(Boxes().Trim(kTexture, faded.v, out)) << "colours differ at the corners";
    Quad bent = big;
    bent.v[3].x += 1.0f;
    EXPECT_FALSE(Boxes().Trim(kTexture, bent.v, out)) << "not a parallelogram";
    Quad skewed = big;
    skewed.v[1].v = 0.5f; // the picture's rows run aslant across the quad
    skewed.v[3].v = 1.5f;
    EXPECT_FALSE(Boxes().Trim(kTexture, skewed.v, out)) << "the picture's rectangle is turned against the quad";
    EXPECT_FALSE(Boxes().Trim(kTexture + 1, big.v, out)) << "an unknown texture";
    Boxes().SetEnabled(false);
    EXPECT_FALSE(Boxes().Trim(kTexture, big.v, out));
    Boxes().SetEnabled(true);
    EXPECT_TRUE(Boxes().Trim(kTexture, big.v, out));
    Boxes().Forget(kTexture);
    EXPECT_FALSE(Boxes().Trim(kTexture, big.v, out));

    // At most three quarters of the quad may stay: rows 0 to 47 keep
    // 48/64 of it with their texel below, 0 to 48 more.
    Level tall(64, 64);
    Boxes().Note(kTexture, Picture({tall.Fill({0, 0, 64, 47}, 255)}));
    EXPECT_EQ(Trimmed(big), (std::vector<float>{0, 0, 256, 192}));
    Boxes().Note(kTexture, Picture({tall.Fill({0, 0, 64, 48}, 255)}));
    EXPECT_TRUE(Trimmed(big).empty());
    Level whole(64, 64);
    Boxes().Note(kTexture, Picture({whole.Fill({0, 0, 64, 64}, 1)}));
    EXPECT_TRUE(Trimmed(big).empty()) << "a picture that shows to its edges";
}

TEST_F(VisibleBoxesTest, MinifiedQuadsKeepTheBoxesOfEveryLevelTheSamplerCanReach)
{
    // Level 1's box reaches further out than level 0's, level 2's further
    // left and up.
    Level top(64, 64), second(32, 32), third(16, 16);
    top.Fill({16, 16, 48, 48}, 255);
    second.Fill({4, 4, 28, 28}, 255);
    third.Fill({0, 7, 1, 9}, 255);
    Boxes().Note(kTexture, Picture({top, second, third}));
    // 64 texels on 129 pixels: the sampler's level is below -1, magnified
    // even if its estimate were a level out: level 0's box alone, 15/64 of
    // the side off.
    const std::vector<float> fine = Trimmed(Quad(0, 0, 129, 129));
    ASSERT_EQ(fine.size(), 4u);
    EXPECT_FLOAT_EQ(fine[0], 129.0f * 15.0f / 64.0f);
    EXPECT_FLOAT_EQ(fine[2], 129.0f * 49.0f / 64.0f);
    // On 128 pixels the level reaches -1: level 1's box joins, 3/32 off
    // (grown by its own texel from 4/32).
    EXPECT_EQ(Trimmed(Quad(0, 0, 128, 128)), (std::vector<float>{12, 12, 116, 116}));
    const std::vector<float> near = Trimmed(Quad(0, 0, 65, 65));
    ASSERT_EQ(near.size(), 4u);
    EXPECT_FLOAT_EQ(near[0], 65.0f * 6.0f / 64.0f);
    // On 64 pixels the level reaches 0: level 2's joins too.
    EXPECT_EQ(Trimmed(Quad(0, 0, 64, 64)), (std::vector<float>{0, 6, 58, 58}));
}

// Load and release through the engine: the picture's boxes come and go with
// its texture, and the battle's batch draws the trimmed quad.
using VisibleBoxesEngine = EngineTest;
TEST_F(VisibleBoxesEngine, ALoadedPictureIsDrawnByTheBatchOverItsVisiblePartOnly)
{
    Level planet(64, 64);
    planet.Fill({8, 24, 40, 40}, 255);
    m_files.Write("planet.dds", WriteDdsBGRA(64, 64, planet.bgra.data()));
    ASSERT_TRUE(Engine().LoadTextureFile(FilesPath(), "planet.dds"));
    const TextureHandle texture = Engine().FindTexture("planet.dds");
    ASSERT_NE(texture, 0u);
    EXPECT_FALSE(Engine().IsTextureOpaque("planet.dds"));

    Device().SetFillCounting(true);
    const Quad quad(100, 50, 356, 306);
    QuadRunBatch batch;
    auto fill = [&](bool staged) {
        Device().ClearDraws();
        const double before = Device().GetStats().pixelsFilled;
        if (staged)
            batch.Begin(800, 600);
        batch.Add(texture, false, quad.v);
        if (staged)
            batch.End();
        EXPECT_EQ(Device().GetDraws().size(), 1u);
        return Device().GetStats().pixelsFilled - before;
    };
    EXPECT_DOUBLE_EQ(fill(true), 136.0 * 72.0);
    EXPECT_FLOAT_EQ(Device().GetDraws()[0].vertices[0].x, 128.0f);
    EXPECT_DOUBLE_EQ(fill(false), 256.0 * 256.0) << "drawn at once, under whatever sampler is set";
    Engine().Release(); // every texture goes, and its boxes with it
    ScreenVertex out[4];
    EXPECT_FALSE(VisibleBoxes::Shared().Trim(texture, quad.v, out));
}

// Through OpenGL (offscreen): the trimmed quads draw the very picture the
// whole ones drew, under every blend, upright, turned, magnified and
// minified across mip levels.
TEST(GLVisibleBoxes, TrimmedQuadsDrawTheSamePicture)
{
    constexpr int kSide = 256;
    GLTestContext gl;
    ASSERT_NO_FATAL_FAILURE(gl.Open("trim", kSide, kSide));
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    ASSERT_FALSE(device->IsHeadless());

    // A soft-edged blob off the middle of a 64 x 64 picture, its transparent
    // texels coloured; the levels below averaged from it, as a mip chain is.
    std::vector<Level> levels{Level(64, 64)};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const float d = std::hypot((x - 25.5f) / 14.0f, (y - 30.5f) / 8.0f);
            if (d < 1.0f)
                levels[0].Set(x, y, static_cast<uint8_t>(std::min(255.0f, 400.0f * (1.0f - d))));
        }
    for (int w = 32; w >= 1; w /= 2) {
        const Level& up = levels.back();
        Level down(w, w);
        for (size_t i = 0; i < down.bgra.size(); ++i) {
            const size_t x = i / 4 % static_cast<size_t>(w), y = i / 4 / static_cast<size_t>(w), c = i % 4;
            int sum = 0;
            for (size_t k = 0; k < 4; ++k)
                sum += up.bgra[((2 * y + k / 2) * static_cast<size_t>(up.w) + 2 * x + k % 2) * 4 + c];
            down.bgra[i] = static_cast<uint8_t>(sum / 4);
        }
        levels.push_back(down);
    }
    TextureData data;
    data.width = data.height = 64;
    for (const Level& level : levels)
        data.levels.push_back(level.bgra);
    const TextureHandle texture = device->CreateTexture(data);
    const TextureHandle target = device->CreateRenderTarget(kSide, kSide);
    ASSERT_NE(texture, 0u);
    ASSERT_NE(target, 0u);
    ASSERT_GT(VisibleBoxes::Shared().Note(texture, data).boxes.size(), 6u);

    std::vector<Quad> quads{
        Quad(-20, -30, 240, 230),                                  // magnified, reaching past the target
        Quad(40, 20, 220, 150, 1, 0, 0.1f, 1).Turn(33, 130, 85),   // mirrored, a part, turned
        Quad(10, 150, 56, 196),                                    // minified
        Quad(120, 140, 164, 184).Turn(-71, 142, 162),             // minified and turned
        Quad(180, 150, 250, 250, 0.05f, 0.1f, 0.95f, 0.9f),        // a part, stretched
    };
    Quad across(60, 60, 200, 200); // the picture's rows run down the quad
    std::swap(across.v[1].u, across.v[2].u);
    std::swap(across.v[1].v, across.v[2].v);
    quads.push_back(across.Turn(12, 130, 130));
    quads[1].v[0].colour = quads[1].v[1].colour = quads[1].v[2].colour = quads[1].v[3].colour = 0xC0FF8040u;

    int trimmedQuads = 0;
    for (const Quad& q : quads) {
        ScreenVertex out[4];
        trimmedQuads += VisibleBoxes::Shared().Trim(texture, q.v, out);
    }
    EXPECT_EQ(trimmedQuads, static_cast<int>(quads.size()));

    device->SetFillCounting(true);
    // blend 0 normal, 1 additive, 2 premultiplied
    auto draw = [&](int blend, bool trim) {
        VisibleBoxes::Shared().SetEnabled(trim);
        device->SetRenderTarget(target);
        device->Clear(0x80336699u);
        const double before = device->GetStats().pixelsFilled;
        QuadRunBatch batch;
        batch.Begin(kSide, kSide);
        for (const Quad& q : quads)
            batch.Add(texture, blend == 1, q.v);
        if (blend == 2)
            engine.SetPremultipliedBlend();
        batch.End();
        engine.SetNormalBlend();
        const double filled = device->GetStats().pixelsFilled - before;
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(device->ReadPixels(target, 0, 0, kSide, kSide, rgba));
        VisibleBoxes::Shared().SetEnabled(true);
        return std::make_pair(rgba, filled);
    };
    for (int blend = 0; blend < 3; ++blend) {
        const auto [whole, wholeFill] = draw(blend, false);
        const auto [trimmed, trimmedFill] = draw(blend, true);
        ASSERT_EQ(whole.size(), static_cast<size_t>(kSide * kSide * 4));
        ASSERT_EQ(whole.size(), trimmed.size());
        int worst = 0, differ = 0, shown = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            const int d = std::abs(whole[i] - trimmed[i]);
            worst = std::max(worst, d);
            differ += d != 0;
            const int background = i % 4 == 0 ? 0x33 : i % 4 == 1 ? 0x66 : i % 4 == 2 ? 0x99 : 0x80;
            shown += std::abs(whole[i] - background) > 8;
        }
        // Upright quads come out identical; a turned one's coordinates are
        // interpolated from other corners, and float rounding there may move
        // a channel of a stray pixel by one.
        EXPECT_LE(worst, 1) << "blend " << blend;
        EXPECT_LT(differ, 16) << "blend " << blend;
        EXPECT_GT(shown, 4000) << "the blobs show";
        EXPECT_LT(trimmedFill, 0.5 * wholeFill) << "blend " << blend;
    }
    VisibleBoxes::Shared().Forget(texture);
    gl.Close();
}
