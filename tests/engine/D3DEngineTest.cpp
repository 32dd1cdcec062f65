#include "EngineTestFixture.h"

#include "engine/CTexturedSprite.h"
#include "engine/Effect.h"
#include "engine/GVertexBuffer.h"
#include "engine/SmartTexture.h"
#include "support/HostileLogPlace.h"

#include <cmath>

using D3DEngineTest = EngineTest;

TEST_F(D3DEngineTest, BlendChangesReachTheDeviceOnlyWhenTheyChange)
{
    Device().ResetStats();
    Engine().SetAdditiveBlend();
    Engine().SetAdditiveBlend();
    EXPECT_EQ(Device().GetStats().blendChanges, 1);
    EXPECT_EQ(Device().GetState().Blend(), BlendMode::Additive);
    Engine().SetNormalBlend();
    Engine().SetNormalBlend();
    EXPECT_EQ(Device().GetStats().blendChanges, 2);
    EXPECT_EQ(Device().GetState().Blend(), BlendMode::Normal);
}

TEST_F(D3DEngineTest, NewSceneStartsWithNormalBlendOnTheDeviceToo)
{
    Engine().SetAdditiveBlend();
    Engine().ClearAndBeginScene();
    EXPECT_TRUE(Engine().IsSceneOpen());
    EXPECT_FALSE(Engine().IsAdditive());
    EXPECT_EQ(Device().GetState().Blend(), BlendMode::Normal);
    EXPECT_EQ(Device().GetLastClearColour(), 0xFF000000u);
    Engine().EndScene();
    EXPECT_FALSE(Engine().IsSceneOpen());
    Engine().Flip();
    EXPECT_EQ(Device().GetStats().presents, 1);
}

TEST_F(D3DEngineTest, FillRectCoversWholePixels)
{
    Engine().SetTexture(7); // whatever was bound goes
    Device().ClearDraws();
    Engine().FillRect(GRect{10, 10, 20, 20}, 0x80FF0000u);
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    const auto& d = Device().GetDraws()[0];
    EXPECT_EQ(d.texture, 0u);
    ASSERT_EQ(d.vertexCount, 4u);
    const float xs[4] = {9.5f, 19.5f, 9.5f, 19.5f}, ys[4] = {9.5f, 9.5f, 19.5f, 19.5f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(d.vertices[i].x, xs[i]);
        EXPECT_FLOAT_EQ(d.vertices[i].y, ys[i]);
        EXPECT_EQ(d.vertices[i].colour, 0x80FF0000u);
    }
}

TEST_F(D3DEngineTest, FramesAndLines)
{
    Device().ClearDraws();
    Engine().DrawRectFrame(GRect{0, 0, 10, 5}, 0xFFFFFFFFu);
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_EQ(Device().GetDraws()[0].type, PrimitiveType::LineList);
    EXPECT_EQ(Device().GetDraws()[0].vertexCount, 8u);
    EXPECT_FLOAT_EQ(Device().GetDraws()[0].vertices[1].x, 9.5f);

    Engine().DrawThickLine(0, 0, 10, 0, 4.0f, 0xFFFFFFFFu);
    ASSERT_EQ(Device().GetDraws().size(), 2u);
    const auto& strip = Device().GetDraws()[1];
    EXPECT_EQ(strip.type, PrimitiveType::TriangleStrip);
    EXPECT_FLOAT_EQ(std::fabs(strip.vertices[0].y - strip.vertices[1].y), 4.0f);
    // A line with no length has no direction to widen along: nothing, and no NaNs.
    Engine().DrawThickLine(5, 5, 5, 5, 3.0f, 0xFFFFFFFFu);
    EXPECT_EQ(Device().GetDraws().size(), 2u);
}

TEST_F(D3DEngineTest, MissingTextureIsLoggedAtEveryAttempt)
{
    Engine().LoadTextureFolder(FilesPath());
    EXPECT_EQ(Engine().FindTexture("nothere.dds"), 0u);
    EXPECT_EQ(Engine().FindTexture("nothere.dds"), 0u);
    EXPECT_EQ(ErrorCount("Failed to create texture: nothere.dds "), 2);
    EXPECT_EQ(Engine().FindTexture(""), 0u);
    EXPECT_EQ(ErrorCount("Attempt to create blank texture"), 1);
}

TEST_F(D3DEngineTest, FirstFolderWinsAndAFolderComesBeforeItsSubFolders)
{
    WriteTexture("a/sub/tex.dds", 8, 8);
    WriteTexture("a/tex.dds", 4, 4);
    WriteTexture("b/tex.dds", 16, 16);
    WriteTexture("b/only_b.dds", 2, 2);
    WriteTexture("a/.hidden/hid.dds", 2, 2);
    WriteTexture("a/sub/deep.dds", 32, 32);
    Engine().LoadTextureFolder(FilesPath("a"));
    Engine().LoadTextureFolder(FilesPath("b"));
    ASSERT_EQ(Engine().GetTextureFolders().size(), 3u);
    EXPECT_EQ(Engine().GetTextureFolders()[1], FilesPath("a/sub"));

    int w = 0, h = 0;
    ASSERT_NE(Engine().FindTexture("tex.dds"), 0u);
    ASSERT_TRUE(Engine().GetTextureSize("tex.dds", w, h));
    EXPECT_EQ(w, 4);
    ASSERT_NE(Engine().FindTexture("deep.dds"), 0u);
    ASSERT_NE(Engine().FindTexture("only_b.dds"), 0u);
    EXPECT_EQ(Engine().FindTexture("hid.dds"), 0u);
    // Exact names only: other case, or a path, finds nothing.
    EXPECT_EQ(Engine().FindTexture("TEX.dds"), 0u);
    EXPECT_EQ(Engine().FindTexture("sub/deep.dds"), 0u);
    // Loaded once: a second lookup does not load again.
    size_t loaded = Device().GetTextureCount();
    Engine().FindTexture("tex.dds");
    EXPECT_EQ(Device().GetTextureCount(), loaded);
}

TEST_F(D3DEngineTest, DamagedTextureFileIsLoggedAndGivesNoTexture)
{
    m_files.Write("bad.dds", "DDS not really");
    Engine().LoadTextureFolder(FilesPath());
    EXPECT_EQ(Engine().FindTexture("bad.dds"), 0u);
    // The message keeps its fixed form; the reason goes to the debug log.
    EXPECT_EQ(ErrorCount("Error creating texture:[" + FilesPath("bad.dds") + "]:D3DEngine.cpp "), 1);
}

TEST_F(D3DEngineTest, TextureBindsAreCached)
{
    WriteTexture("t.dds", 4, 4);
    Engine().LoadTextureFolder(FilesPath());
    TextureHandle t = Engine().FindTexture("t.dds");
    Device().ResetStats();
    Engine().SetTexture(t);
    Engine().SetTexture(t);
    Engine().SetTextureByName("t.dds");
    EXPECT_EQ(Device().GetStats().textureBinds, 1);
    Engine().SetTextureByName("gone.dds");
    EXPECT_EQ(ErrorCount("Failed to locate texture: gone.dds"), 1);
    EXPECT_EQ(Engine().GetCurrentTexture(), 0u);
}

TEST_F(D3DEngineTest, RestoreDropsEverythingAndItComesBackOnUse)
{
    WriteTexture("ship.dds", 8, 8);
    Engine().LoadTextureFolder(FilesPath());
    CTexturedSprite sprite;
    sprite.SetSize(10, 10);
    sprite.SetTexture("ship.dds");
    SmartTexture smart("ship.dds");
    ASSERT_NE(sprite.GetResolvedTexture(), 0u);
    Engine().CreateRenderTarget(64, 64, "rt_offscreen");
    GVertexBuffer vb;
    vb.Init(400, true);
    BaseSprite quad;
    vb.AddVertices(quad.m_vertices, 4);

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Engine().Restore());
        EXPECT_EQ(Device().GetTextureCount(), 0u);
        EXPECT_EQ(Engine().GetTextureCount(), 0u);
        EXPECT_EQ(sprite.GetResolvedTexture(), 0u);
        EXPECT_EQ(vb.GetStagedCount(), 0u);
        EXPECT_EQ(Engine().FindRenderTarget("rt_offscreen"), 0u);
    }

    Device().ClearDraws();
    sprite.PlaceCentred(50, 50);
    sprite.Draw();
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_NE(Device().GetDraws()[0].texture, 0u);
    EXPECT_EQ(Device().GetDraws()[0].texture, sprite.GetResolvedTexture());
    EXPECT_EQ(smart.GetHandle(), sprite.GetResolvedTexture());
    vb.SetTexture("ship.dds");
    vb.AddVertices(quad.m_vertices, 4);
    vb.Flush();
    EXPECT_EQ(Device().GetDraws().size(), 2u);
    EXPECT_NE(Engine().CreateRenderTarget(64, 64, "rt_offscreen"), 0u);
}

TEST_F(D3DEngineTest, RenderTargetsByName)
{
    TextureHandle a = Engine().CreateRenderTarget(32, 16, "rt_a");
    ASSERT_NE(a, 0u);
    EXPECT_EQ(Engine().FindRenderTarget("rt_a"), a);
    EXPECT_TRUE(Device().IsRenderTarget(a));
    EXPECT_TRUE(Engine().SetRenderTarget("rt_a"));
    EXPECT_EQ(Device().GetState().Target(), a);
    EXPECT_TRUE(Engine().SetRenderTarget(""));
    EXPECT_FALSE(Engine().SetRenderTarget("rt_none"));
    // Made again under the same name: the old one goes, lookups see the new one.
    TextureHandle b = Engine().CreateRenderTarget(64, 64, "rt_a");
    EXPECT_NE(b, a);
    EXPECT_EQ(Engine().FindRenderTarget("rt_a"), b);
    EXPECT_EQ(Engine().GetTextureCount(), 1u);
    EXPECT_EQ(Engine().CreateRenderTarget(0, 10, "rt_bad"), 0u);
}

TEST_F(D3DEngineTest, ScreenshotsAndSavedImages)
{
    std::string shot = FilesPath("shot.bmp");
    Engine().RequestScreenshot(shot);
    Engine().Flip();
    std::string bmp = m_files.Read("shot.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");

    EXPECT_FALSE(Engine().SaveTextureToFile(FilesPath("x.jpg")));
    EXPECT_EQ(ErrorCount("Failed to find image texture for saving"), 1);
    Engine().CreateRenderTarget(40, 30, "rt_offscreen2");
    GRect part{10, 10, 30, 20};
    ASSERT_TRUE(Engine().SaveTextureToFile(FilesPath("x.jpg"), &part));
    std::string jpg = m_files.Read("x.jpg");
    ASSERT_GT(jpg.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(jpg[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(jpg[1]), 0xD8);
    EXPECT_FALSE(Engine().SaveScreenshot(FilesPath("no/such/folder/s.bmp")));
    EXPECT_EQ(ErrorCount("Error saving screenshot"), 1);
}

TEST_F(D3DEngineTest, DisplayModesComeFromTheProvider)
{
    Engine().EnumDisplayModes();
    EXPECT_TRUE(Engine().GetDisplayModes().empty());
    Engine().SetDisplayModeProvider([] { return std::vector<DisplayMode>{{1024, 768, 60}, {1920, 1080, 60}}; });
    Engine().EnumDisplayModes();
    ASSERT_EQ(Engine().GetDisplayModes().size(), 2u);
    EXPECT_EQ(Engine().GetDisplayModes()[1].width, 1920);
    Engine().SetDisplayModeProvider(nullptr);
}

TEST_F(D3DEngineTest, InitThroughTheFactoryAndLifeWithoutADevice)
{
    Engine().Release();
    Engine().SetDeviceFactory(nullptr);
    EXPECT_FALSE(Engine().Init(640, 480, true));
    // Everything stays callable with no device at all.
    Engine().FillRect(GRect{0, 0, 5, 5}, 0xFFFFFFFFu);
    Engine().ClearAndBeginScene();
    Engine().Flip();
    EXPECT_EQ(Engine().FindTexture("x.dds"), 0u);
    EXPECT_FALSE(Engine().Restore());

    HeadlessGraphicsDevice* made = nullptr;
    Engine().SetDeviceFactory([&](int w, int h, bool) {
        auto d = std::make_unique<HeadlessGraphicsDevice>(w, h);
        made = d.get();
        return d;
    });
    ASSERT_TRUE(Engine().Init(640, 480, true));
    EXPECT_EQ(Engine().GetDevice(), made);
    EXPECT_EQ(Engine().GetScreenWidth(), 640);
    EXPECT_EQ(Engine().GetScreenHeight(), 480);
    Engine().SetDeviceFactory(nullptr);
}

TEST_F(D3DEngineTest, EffectWithoutShadersDoesNothing)
{
    m_files.Write("glow.frag", "void main() {}\n");
    Effect e;
    e.Load(FilesPath("glow"));
    EXPECT_FALSE(e.Begin());
    e.SetFloat("strength", 1.0f);
    EXPECT_EQ(Device().GetState().Effect(), 0u);
}

class D3DEngineShaderTest : public EngineTest {
protected:
    bool UseShaders() const override { return true; }
};

TEST_F(D3DEngineShaderTest, EffectLoadsAndComesBackAfterRestore)
{
    m_files.Write("glow.frag", "void main() {}\n");
    Effect e;
    ASSERT_TRUE(e.Load(FilesPath("glow")));
    ASSERT_TRUE(e.Begin());
    EXPECT_NE(Device().GetState().Effect(), 0u);
    e.End();
    ASSERT_TRUE(Engine().Restore());
    EXPECT_FALSE(e.IsLoaded());
    ASSERT_TRUE(e.Begin());
    e.SetFloat("strength", 0.5f);
    float v = 0;
    EXPECT_TRUE(Device().GetEffectFloat(Device().GetState().Effect(), "strength", v));
    EXPECT_FLOAT_EQ(v, 0.5f);

    Effect missing;
    EXPECT_FALSE(missing.Load(FilesPath("none")));
    EXPECT_FALSE(missing.Begin());
    EXPECT_EQ(ErrorCount("D3DXCreateEffectFromFile failed:Effect.cpp "), 1);
}

TEST_F(D3DEngineTest, DrawLogGoesBesideTheDebugLog)
{
    Engine().DrawLog("batch of 12 quads");
    Engine().DrawLog("second line");
    EXPECT_EQ(m_logDir.Read("debug/drawdebug.txt"), "batch of 12 quads\nsecond line\n");
}

TEST_F(D3DEngineTest, ADrawLogThatIsALinkOrAFifoIsRefusedOnceAndDrawingGoesOn)
{
    const std::string path = m_logDir.File("debug/drawdebug.txt");
    for (HostileLogPlace::Form form : HostileLogPlace::kForms) {
        SCOPED_TRACE(HostileLogPlace::Name(form));
        Engine().Release(); // the draw log follows the next start
        HostileLogPlace hostile;
        hostile.Make(path, form);
        testing::internal::CaptureStderr();
        Engine().DrawLog("batch \x1b[2J");
        Engine().DrawLog("second line");
        const std::string terminal = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(hostile.Untouched());
        EXPECT_EQ(terminal.find("Log refused"), terminal.rfind("Log refused")) << terminal;
        EXPECT_NE(terminal.find("Log refused"), std::string::npos) << terminal;
        std::filesystem::remove_all(path);
    }
    Engine().Release();
    Engine().DrawLog("batch \x1b[2J");
    EXPECT_EQ(m_logDir.Read("debug/drawdebug.txt"), "batch <control character 27>[2J\n");
}

TEST_F(D3DEngineTest, AnOversizedBackdropIsRefusedWithOneLine)
{
    // A PNG signature and a header claiming 16000 x 16000 pixels.
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x3e\x80\0\0\x3e\x80\x08\x06\0\0\0\0\0\0\0", 33);
    m_files.Write("backdrop_huge.png", png);
    EXPECT_FALSE(Engine().LoadTextureFile(FilesPath(), "backdrop_huge.png"));
    EXPECT_EQ(ErrorCount("Error creating texture:[" + FilesPath("backdrop_huge.png") + "]"), 1);
    EXPECT_EQ(ErrorCount("\n"), 1);
}
