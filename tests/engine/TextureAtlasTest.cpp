#include "engine/TextureAtlas.h"

#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "platform/DdsImage.h"
#include "platform/HeadlessGraphicsDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

namespace {

using Size = TextureAtlas::Size;
constexpr int P = TextureAtlas::kPadding;

// Keeps the pixels of every texture made, so the pages can be inspected.
class PixelKeepingDevice : public HeadlessGraphicsDevice {
public:
    PixelKeepingDevice() : HeadlessGraphicsDevice(640, 480) {}
    TextureHandle CreateTexture(const TextureData& data) override
    {
        const TextureHandle h = HeadlessGraphicsDevice::CreateTexture(data);
        if (h)
            made[h] = data;
        return h;
    }
    std::map<TextureHandle, TextureData> made;
};

// A picture whose every pixel says where it is: B = x, G = y, R = tag.
void WritePicture(const std::string& path, int w, int h, uint8_t tag)
{
    std::vector<uint8_t> bgra(static_cast<size_t>(w * h * 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &bgra[static_cast<size_t>((y * w + x) * 4)];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = tag;
            p[3] = 255;
        }
    std::ofstream(path, std::ios::binary) << WriteDdsBGRA(w, h, bgra.data());
}

class TextureAtlasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() / ("qlm_atlas_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        WritePicture((m_folder / "hull.dds").string(), 8, 6, 1);
        WritePicture((m_folder / "turret.dds").string(), 4, 4, 2);
        WritePicture((m_folder / "huge.dds").string(), TextureAtlas::kMaxNamedPieceSide + 1, 2, 3);
        WritePicture((m_folder / "panel.dds").string(), TextureAtlas::kMaxPieceSide + 1, 2, 4);
        auto device = std::make_unique<PixelKeepingDevice>();
        m_device = device.get();
        D3DEngine& engine = D3DEngine::GetInstance();
        ASSERT_TRUE(engine.Init(std::move(device)));
        engine.ClearTextureFolders();
        engine.LoadTextureFolder(m_folder.string());
    }
    void TearDown() override
    {
        TextureAtlas::Shared().SetTargetRegion(0);
        D3DEngine::GetInstance().ClearTextureFolders();
        D3DEngine::GetInstance().Release();
        std::filesystem::remove_all(m_folder);
    }
    const uint8_t* PagePixel(TextureHandle page, int x, int y) const
    {
        const TextureData& d = m_device->made.at(page);
        return &d.levels[0][static_cast<size_t>((y * d.width + x) * 4)];
    }

    std::filesystem::path m_folder;
    PixelKeepingDevice* m_device = nullptr;
};

struct Quad {
    ScreenVertex v[4];
    Quad(float l, float t, float r, float b, float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1)
        : v{{l, t, 0, 1, ~0u, u0, v0}, {r, t, 0, 1, ~0u, u1, v0}, {l, b, 0, 1, ~0u, u0, v1}, {r, b, 0, 1, ~0u, u1, v1}}
    {
    }
};

} // namespace

TEST(TextureAtlasPack, ShelvesTallestFirstPaddedAndBoundedByThePages)
{
    // Page of 40: a piece of 36 plus padding fills a row exactly; 37 does not fit at all.
    auto placed = TextureAtlas::Pack({{10, 10}, {36, 20}, {37, 1}, {10, 12}, {0, 5}}, 40, 2);
    EXPECT_EQ(placed[1].page, 0); // tallest first: top left, inside its padding
    EXPECT_EQ(placed[1].x, P);
    EXPECT_EQ(placed[1].y, P);
    EXPECT_EQ(placed[2].page, -1) << "wider than a page with its padding";
    EXPECT_EQ(placed[4].page, -1) << "an empty picture";
    // The next shelf starts below the tallest piece of the first one.
    EXPECT_EQ(placed[3].page, 0);
    EXPECT_EQ(placed[3].x, P);
    EXPECT_EQ(placed[3].y, 20 + 2 * P + P);
    EXPECT_EQ(placed[0].x, 10 + 2 * P + P);
    EXPECT_EQ(placed[0].y, placed[3].y);

    // Three pieces of 36 need three pages: with two the last stays out.
    placed = TextureAtlas::Pack({{36, 36}, {36, 36}, {36, 36}}, 40, 2);
    EXPECT_EQ(placed[0].page, 0);
    EXPECT_EQ(placed[1].page, 1);
    EXPECT_EQ(placed[2].page, -1);
}

// Each corner and each axis is checked on its own, up to the slack and not
// a float past it; a coordinate that is not a number reads outside.
TEST(TextureAtlasTile, AQuadStaysInsideUpToTheEdgeSlackOnEveryCorner)
{
    TextureAtlas::Tile tile;
    EXPECT_EQ(tile.uLimit, 1.0f + TextureAtlas::kEdgeSlack);
    EXPECT_FLOAT_EQ(TextureAtlas::kEdgeSlack, 1e-4f);
    tile.uLimit = 0.5f;
    tile.vLimit = 0.25f;
    const float low = -TextureAtlas::kEdgeSlack;
    const Quad inside(0, 0, 8, 8, low, low, tile.uLimit, tile.vLimit);
    EXPECT_TRUE(TextureAtlas::StaysInside(tile, inside.v));
    for (int corner = 0; corner < 4; ++corner) {
        for (int axis = 0; axis < 2; ++axis) {
            const float limit = axis == 0 ? tile.uLimit : tile.vLimit;
            for (const float c : {std::nextafter(low, -1.0f), std::nextafter(limit, 1.0f), std::nanf("")}) {
                Quad q = inside;
                (axis == 0 ? q.v[corner].u : q.v[corner].v) = c;
                EXPECT_FALSE(TextureAtlas::StaysInside(tile, q.v)) << "corner " << corner << " axis " << axis << " at " << c;
            }
        }
    }
}

TEST_F(TextureAtlasTest, PicturesAreCopiedWithRepeatedEdgesAndQuadsMovedOntoTheirTiles)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const TextureHandle hull = engine.FindTexture("hull.dds"), turret = engine.FindTexture("turret.dds");
    const TextureHandle huge = engine.FindTexture("huge.dds");
    ASSERT_TRUE(hull && turret && huge);
    TextureAtlas& atlas = TextureAtlas::Shared();
    EXPECT_EQ(TextureAtlas::Candidates(), (std::vector<std::string>{"hull.dds", "turret.dds"}));
    ASSERT_EQ(atlas.Build({"hull.dds", "turret.dds", "huge.dds", "missing.dds"}), 2);
    ASSERT_EQ(atlas.GetPageCount(), 1);
    EXPECT_FALSE(atlas.Contains(huge));

    // The hull's quad lands on its tile: same corners, coordinates on the page.
    const Quad q(10, 10, 18, 16);
    ScreenVertex moved[4];
    const TextureHandle page = atlas.Map(hull, q.v, moved);
    ASSERT_NE(page, 0u);
    const TextureData& d = m_device->made.at(page);
    EXPECT_EQ(d.height, 6 + 2 * P) << "the page is cut to what it holds";
    EXPECT_EQ(d.width, 8 + 4 + 4 * P);
    const float x0 = moved[0].u * static_cast<float>(d.width), y0 = moved[0].v * static_cast<float>(d.height);
    const float x1 = moved[3].u * static_cast<float>(d.width), y1 = moved[3].v * static_cast<float>(d.height);
    EXPECT_FLOAT_EQ(x0, P);
    EXPECT_FLOAT_EQ(y0, P);
    EXPECT_FLOAT_EQ(x1 - x0, 8.0f);
    EXPECT_FLOAT_EQ(y1 - y0, 6.0f);
    EXPECT_EQ(moved[3].x, q.v[3].x);
    EXPECT_EQ(moved[1].colour, q.v[1].colour);

    // Inside: the picture itself; around it its edge pixels, twice.
    EXPECT_EQ(PagePixel(page, P + 5, P + 3)[0], 5);
    EXPECT_EQ(PagePixel(page, P + 5, P + 3)[1], 3);
    EXPECT_EQ(PagePixel(page, P + 5, P + 3)[2], 1);
    for (int k = 1; k <= P; ++k) {
        EXPECT_EQ(PagePixel(page, P - k, P - k)[0], 0) << "top-left corner";
        EXPECT_EQ(PagePixel(page, P - k, P - k)[2], 1);
        EXPECT_EQ(PagePixel(page, P + 7 + k, P + 5 + k)[0], 7) << "bottom-right corner";
        EXPECT_EQ(PagePixel(page, P + 7 + k, P + 5 + k)[1], 5);
        EXPECT_EQ(PagePixel(page, P + 3, P + 5 + k)[1], 5) << "below the last row";
    }
    // The turret's tile starts past the hull's padding on both sides.
    ScreenVertex turretQuad[4];
    ASSERT_EQ(atlas.Map(turret, Quad(0, 0, 4, 4).v, turretQuad), page);
    EXPECT_FLOAT_EQ(turretQuad[0].u * static_cast<float>(d.width), 8.0f + 3 * P);
    EXPECT_EQ(PagePixel(page, 8 + 3 * P - 1, P)[2], 2) << "the turret's own padding";
    EXPECT_EQ(PagePixel(page, 8 + 2 * P - 1, P)[2], 1) << "the hull's padding";

    // Coordinates beyond the picture (tiling, wrapping) keep their texture.
    EXPECT_EQ(atlas.Map(hull, Quad(0, 0, 8, 6, 0, 0, 1.01f, 1).v, moved), 0u);
    EXPECT_EQ(atlas.Map(hull, Quad(0, 0, 8, 6, -0.01f, 0, 1, 1).v, moved), 0u);
    EXPECT_NE(atlas.Map(hull, Quad(0, 0, 8, 6, 0.25f, 0.5f, 0.75f, 1).v, moved), 0u);
    EXPECT_FLOAT_EQ(moved[0].u * static_cast<float>(d.width), P + 2.0f);
}

TEST_F(TextureAtlasTest, ANamedLargePictureAndACopiedTargetBlockAreReadFromThePage)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const TextureHandle hull = engine.FindTexture("hull.dds"), panel = engine.FindTexture("panel.dds");
    ASSERT_TRUE(hull && panel);
    TextureAtlas& atlas = TextureAtlas::Shared();
    EXPECT_EQ(TextureAtlas::Candidates(), std::vector<std::string>{"hull.dds"}) << "the panel is larger";
    constexpr int kRegion = 64;
    atlas.SetTargetRegion(kRegion);
    ASSERT_EQ(atlas.Build({"hull.dds", "panel.dds"}), 2) << "named, up to the larger limit";
    EXPECT_TRUE(atlas.Contains(panel));

    const TextureHandle target = engine.CreateRenderTarget(128, 128, "rt_test");
    ASSERT_NE(target, 0u);
    ScreenVertex moved[4];
    const Quad inside(0, 0, 38, 30, 2 / 128.0f, 2 / 128.0f, 40 / 128.0f, 32 / 128.0f);
    EXPECT_EQ(atlas.Map(target, inside.v, moved), 0u) << "nothing copied yet";
    EXPECT_FALSE(atlas.CopyTarget(target, kRegion + 1, 8)) << "more than the region holds";
    ASSERT_TRUE(atlas.CopyTarget(target, 40, 32));
    EXPECT_EQ(m_device->GetRegionCopies(), 1);

    // The region is the tallest piece: first, at the page's top left.
    const TextureHandle page = atlas.Map(target, inside.v, moved);
    ASSERT_NE(page, 0u);
    EXPECT_EQ(atlas.Map(hull, Quad(0, 0, 8, 6).v, moved), page) << "one page holds all";
    ASSERT_EQ(atlas.Map(target, inside.v, moved), page);
    const TextureData& d = m_device->made.at(page);
    EXPECT_EQ(d.height, kRegion + 2 * P);
    EXPECT_FLOAT_EQ(moved[0].u * static_cast<float>(d.width), P + 2.0f);
    EXPECT_FLOAT_EQ(moved[0].v * static_cast<float>(d.height), P + 2.0f);
    EXPECT_FLOAT_EQ(moved[3].u * static_cast<float>(d.width), P + 40.0f);
    EXPECT_FLOAT_EQ(moved[3].v * static_cast<float>(d.height), P + 32.0f);
    EXPECT_EQ(PagePixel(page, P + 10, P + 10)[3], 0) << "the region starts cleared";
    // Past the copied block the target keeps its own texture.
    EXPECT_EQ(atlas.Map(target, Quad(0, 0, 8, 8, 0, 0, 41 / 128.0f, 0.1f).v, moved), 0u);
    EXPECT_EQ(atlas.Map(target, Quad(0, 0, 8, 8, 0, 0, 0.1f, 33 / 128.0f).v, moved), 0u);
    atlas.ForgetTarget();
    EXPECT_EQ(atlas.Map(target, inside.v, moved), 0u) << "after the layer the region is stale";
}

TEST_F(TextureAtlasTest, PointSampledQuadsMoveToThePageOnlyAtTheirOwnSizeOnTexelCentres)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const TextureHandle hull = engine.FindTexture("hull.dds"), turret = engine.FindTexture("turret.dds");
    TextureAtlas& atlas = TextureAtlas::Shared();
    ASSERT_EQ(atlas.Build({"hull.dds"}), 1);
    // Two glyph cells of the 8 x 6 hull, texels 2..5 x 1..4, on half pixels
    // as text places them: pixel 10 reads texel 2's centre.
    const float u0 = 2 / 8.0f, u1 = 6 / 8.0f, v0 = 1 / 6.0f, v1 = 4 / 6.0f;
    Quad line[2] = {Quad(9.5f, 19.5f, 13.5f, 22.5f, u0, v0, u1, v1), Quad(13.5f, 19.5f, 17.5f, 22.5f, u0, v0, u1, v1)};
    ScreenVertex out[8];
    ScreenVertex mapped[4];
    const TextureHandle page = atlas.MapTexelAligned(hull, line[0].v, 8, out);
    ASSERT_NE(page, 0u);
    ASSERT_EQ(atlas.Map(hull, line[1].v, mapped), page);
    EXPECT_FLOAT_EQ(out[7].u, mapped[3].u) << "each quad moved as Map moves it";
    EXPECT_FLOAT_EQ(out[4].v, mapped[0].v);
    auto aligned = [&](const Quad& q) { return atlas.MapTexelAligned(hull, q.v, 4, out) != 0; };
    EXPECT_TRUE(aligned(Quad(-0.5f, -0.5f, 3.5f, 2.5f, u0, v0, u1, v1)));
    EXPECT_FALSE(aligned(Quad(10.0f, 19.5f, 14.0f, 22.5f, u0, v0, u1, v1))) << "between two texels";
    EXPECT_FALSE(aligned(Quad(9.5f, 19.75f, 13.5f, 22.75f, u0, v0, u1, v1)));
    EXPECT_FALSE(aligned(Quad(9.5f, 19.5f, 14.5f, 22.5f, u0, v0, u1, v1))) << "enlarged";
    EXPECT_FALSE(aligned(Quad(9.5f, 19.5f, 13.5f, 21.5f, u0, v0, u1, v1))) << "reduced";
    EXPECT_FALSE(aligned(Quad(9.5f, 19.5f, 13.5f, 22.5f, u1, v0, u0, v1))) << "mirrored";
    EXPECT_FALSE(aligned(Quad(9.5f, 19.5f, 21.5f, 22.5f, u0 - 1.0f, v0, u1, v1))) << "outside the picture";
    // Within a thousandth of a texel still counts as on its centre.
    EXPECT_TRUE(aligned(Quad(9.5005f, 19.5f, 13.5005f, 22.5f, u0, v0, u1, v1)));
    EXPECT_FALSE(aligned(Quad(9.502f, 19.5f, 13.502f, 22.5f, u0, v0, u1, v1)));
    // Far out (past 2^22 pixels) the same rule holds.
    EXPECT_TRUE(aligned(Quad(5000000.5f, 19.5f, 5000004.5f, 22.5f, u0, v0, u1, v1)));
    EXPECT_FALSE(aligned(Quad(5000000.0f, 19.5f, 5000004.0f, 22.5f, u0, v0, u1, v1)));
    EXPECT_TRUE(aligned(Quad(-5000001.5f, 19.5f, -4999997.5f, 22.5f, u0, v0, u1, v1)));
    EXPECT_EQ(atlas.MapTexelAligned(turret, line[0].v, 4, out), 0u) << "not on the atlas";
}

TEST_F(TextureAtlasTest, OverlappingQuadsOfDifferentPicturesShareOneRun)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const TextureHandle hull = engine.FindTexture("hull.dds"), turret = engine.FindTexture("turret.dds");
    const TextureHandle huge = engine.FindTexture("huge.dds");
    TextureAtlas::Shared().Build(TextureAtlas::Candidates());
    QuadRunBatch batch;
    batch.Begin(640, 480);
    // Hull, turret on it, hull of a neighbour over both, its turret: one picture run.
    batch.Add(hull, false, Quad(10, 10, 50, 50).v);
    batch.Add(turret, false, Quad(20, 20, 30, 30).v);
    batch.Add(hull, false, Quad(25, 25, 70, 70).v);
    batch.Add(turret, false, Quad(40, 40, 50, 50).v);
    // A picture off the atlas over them starts its own run; so does tiling.
    batch.Add(huge, false, Quad(0, 0, 100, 100).v);
    batch.Add(turret, false, Quad(40, 40, 50, 50, 0, 0, 2, 1).v);
    batch.End();
    const auto& draws = m_device->GetDraws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_TRUE(TextureAtlas::Shared().Contains(hull));
    EXPECT_EQ(draws[0].vertexCount, 16u);
    EXPECT_NE(draws[0].texture, hull);
    EXPECT_EQ(draws[1].texture, huge);
    EXPECT_EQ(draws[2].texture, turret);
    // Staged on the tile exactly as Map moves a quad, in a run or at once.
    ScreenVertex moved[4];
    const TextureHandle page = TextureAtlas::Shared().Map(turret, Quad(20, 20, 30, 30).v, moved);
    ASSERT_EQ(page, draws[0].texture);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(draws[0].vertices[static_cast<size_t>(4 + i)].u, moved[i].u);
        EXPECT_EQ(draws[0].vertices[static_cast<size_t>(4 + i)].v, moved[i].v);
    }
    m_device->ClearDraws();
    batch.Add(turret, true, Quad(20, 20, 30, 30).v);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].texture, page);
    EXPECT_EQ(draws[0].blend, BlendMode::Additive);
    EXPECT_EQ(draws[0].vertices[3].u, moved[3].u);
    EXPECT_EQ(draws[0].vertices[3].x, 30.0f);
}

TEST_F(TextureAtlasTest, PagesStayWhileTheNamesOnlyAddAFewAndAreBuiltAgainPastThat)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    TextureAtlas& atlas = TextureAtlas::Shared();
    ASSERT_EQ(atlas.Build({"hull.dds"}), 1);
    const TextureHandle page = atlas.TileOf(engine.FindTexture("hull.dds"))->page;
    const GraphicsStats before = m_device->GetStats();
    // Every name kept, the most added: nothing is loaded or made, the turret
    // draws from its own texture.
    std::vector<std::string> names = {"turret.dds", "hull.dds"};
    for (int i = 1; i < TextureAtlas::kMaxUntiledNames; ++i)
        names.push_back("late" + std::to_string(i) + ".dds");
    ASSERT_EQ(atlas.Build(names), 1);
    EXPECT_EQ(m_device->GetStats().texturesCreated, before.texturesCreated);
    EXPECT_EQ(m_device->GetStats().texturesDestroyed, before.texturesDestroyed);
    EXPECT_EQ(atlas.TileOf(engine.FindTexture("hull.dds"))->page, page);
    EXPECT_FALSE(atlas.Contains(engine.FindTexture("turret.dds")));
    // Counted against the names the page was built from, not the last call's.
    names.push_back("one_more.dds");
    ASSERT_EQ(atlas.Build(names), 2) << "one name past the most: built again, the turret with it";
    EXPECT_EQ(m_device->GetStats().texturesDestroyed, before.texturesDestroyed + 1) << "the old page";
    EXPECT_TRUE(atlas.Contains(engine.FindTexture("turret.dds")));
    // A name left out builds again, even with none added.
    ASSERT_EQ(atlas.Build({"turret.dds"}), 1);
    EXPECT_FALSE(atlas.Contains(engine.FindTexture("hull.dds")));
}

TEST_F(TextureAtlasTest, ARestoredDeviceGetsTheAtlasBackForTheReloadedPictures)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FindTexture("hull.dds");
    TextureAtlas& atlas = TextureAtlas::Shared();
    ASSERT_EQ(atlas.Build(TextureAtlas::Candidates()), 1);
    // The next battle over the same pictures keeps the page.
    int created = m_device->GetStats().texturesCreated;
    ASSERT_EQ(atlas.Build(TextureAtlas::Candidates()), 1);
    EXPECT_EQ(m_device->GetStats().texturesCreated, created);
    ASSERT_EQ(atlas.Build({"turret.dds"}), 1) << "the hull left out: built again";
    ASSERT_EQ(atlas.Build({"hull.dds"}), 1);
    created = m_device->GetStats().texturesCreated;
    const int destroyed = m_device->GetStats().texturesDestroyed;
    ASSERT_TRUE(engine.Restore());
    EXPECT_GE(m_device->GetStats().texturesDestroyed, destroyed + 2) << "the picture and the page";
    EXPECT_EQ(m_device->GetStats().texturesCreated, created + 2) << "both made again";
    const TextureHandle reloaded = engine.FindTexture("hull.dds");
    ScreenVertex moved[4];
    EXPECT_NE(atlas.Map(reloaded, Quad(0, 0, 8, 6).v, moved), 0u);

    // Leaving the battle forgets the atlas: a restore then builds nothing.
    atlas.Clear();
    ASSERT_TRUE(engine.Restore());
    EXPECT_EQ(atlas.GetPageCount(), 0);
}
