#include "EngineTestFixture.h"

#include "engine/BaseSprite.h"
#include "engine/CTexturedSprite.h"
#include "engine/ShockwaveQuad.h"
#include "engine/SinCosTables.h"

#include <cmath>
#include <memory>
#include <vector>

using SpriteTest = EngineTest;

TEST(SinCosTables, WholeDegreesWrapBothWays)
{
    BuildSinCosTables();
    float s, c;
    LookupSinCos(90, s, c);
    EXPECT_NEAR(s, 1.0f, 1e-6f);
    EXPECT_NEAR(c, 0.0f, 1e-6f);
    LookupSinCos(-90, s, c);
    EXPECT_NEAR(s, -1.0f, 1e-6f);
    LookupSinCos(450, s, c);
    EXPECT_NEAR(s, 1.0f, 1e-6f);
    LookupSinCos(-720, s, c);
    EXPECT_NEAR(c, 1.0f, 1e-6f);
}

TEST_F(SpriteTest, SheetFrameFiveOfSixteen)
{
    BaseSprite s;
    s.SetFrame(5, 16);
    EXPECT_FLOAT_EQ(s.m_vertices[0].u, 0.25f);
    EXPECT_FLOAT_EQ(s.m_vertices[0].v, 0.25f);
    EXPECT_FLOAT_EQ(s.m_vertices[3].u, 0.5f);
    EXPECT_FLOAT_EQ(s.m_vertices[3].v, 0.5f);
    // Nonsense sheets stay inside the texture.
    s.SetFrame(99, 16);
    EXPECT_LE(s.m_vertices[3].u, 1.0f);
    EXPECT_LE(s.m_vertices[3].v, 1.0f);
    s.SetFrame(3, 0);
    EXPECT_FLOAT_EQ(s.m_vertices[3].u, 1.0f);
}

TEST_F(SpriteTest, PlacingAndTurning)
{
    BaseSprite s;
    s.SetSize(20, 10);
    s.PlaceCentred(100, 50);
    EXPECT_FLOAT_EQ(s.m_vertices[0].x, 90);
    EXPECT_FLOAT_EQ(s.m_vertices[0].y, 45);
    EXPECT_FLOAT_EQ(s.m_vertices[3].x, 110);
    EXPECT_FLOAT_EQ(s.m_vertices[3].y, 55);
    EXPECT_TRUE(s.HitTest(100, 50));
    EXPECT_FALSE(s.HitTest(111, 50));

    // A quarter turn clockwise: the top-left corner goes to the top right.
    s.SetAngle(90);
    s.PlaceCentred(100, 50);
    EXPECT_NEAR(s.m_vertices[0].x, 105, 1e-4);
    EXPECT_NEAR(s.m_vertices[0].y, 40, 1e-4);
    BaseSprite fast = s;
    fast.PlaceCentredFast(100, 50);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(fast.m_vertices[i].x, s.m_vertices[i].x, 1e-3);
        EXPECT_NEAR(fast.m_vertices[i].y, s.m_vertices[i].y, 1e-3);
    }
    s.SetNoRotate(true);
    s.PlaceCentred(100, 50);
    EXPECT_FLOAT_EQ(s.m_vertices[0].x, 90);
}

TEST_F(SpriteTest, RotatedSpriteNearTheEdgeCountsAsOnScreen)
{
    BaseSprite s;
    s.SetSize(20, 20);
    s.PlaceCentred(-25, 300); // wholly left of the screen
    EXPECT_FALSE(s.IsOnScreen());
    s.SetAngle(30);
    s.PlaceCentred(-25, 300);
    EXPECT_TRUE(s.IsOnScreen());
    s.PlaceCentred(-100, 300); // beyond 1.5 x its size
    EXPECT_FALSE(s.IsOnScreen());
    s.PlaceCentred(400, 300);
    EXPECT_TRUE(s.IsOnScreen());
}

TEST_F(SpriteTest, SpriteTouchingAnyEdgeOfTheScreenIsOnIt)
{
    // 800 x 600: a 20 x 10 quad whose edge lies on each border is still on
    // the screen; a little further out it is off.
    BaseSprite s;
    s.SetSize(20, 10);
    const struct {
        float x, y, dx, dy;
    } edges[] = {{-10, 300, -0.01f, 0}, {810, 300, 0.01f, 0}, {400, -5, 0, -0.01f}, {400, 605, 0, 0.01f}};
    for (const auto& e : edges) {
        s.PlaceCentred(e.x, e.y);
        EXPECT_TRUE(s.IsOnScreen()) << e.x << ", " << e.y;
        s.PlaceCentred(e.x + e.dx, e.y + e.dy);
        EXPECT_FALSE(s.IsOnScreen()) << e.x << ", " << e.y;
    }
    // A corner at no number leaves the others to decide.
    s.PlaceCentred(-50, 300);
    s.m_vertices[3].x = std::nanf("");
    EXPECT_FALSE(s.IsOnScreen());
    s.PlaceCentred(400, 300);
    s.m_vertices[3].x = std::nanf("");
    EXPECT_TRUE(s.IsOnScreen());
}

TEST_F(SpriteTest, ClippedDrawCutsTextureCoordinatesInProportion)
{
    BaseSprite s;
    s.SetSize(100, 100);
    s.PlaceCentred(50, 50);
    Device().ClearDraws();
    s.DrawClipped(GRect{0, 0, 25, 50});
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    const auto& v = Device().GetDraws()[0].vertices;
    EXPECT_FLOAT_EQ(v[3].x, 25);
    EXPECT_FLOAT_EQ(v[3].y, 50);
    EXPECT_FLOAT_EQ(v[3].u, 0.25f);
    EXPECT_FLOAT_EQ(v[3].v, 0.5f);
    s.DrawClipped(GRect{200, 200, 300, 300});
    EXPECT_EQ(Device().GetDraws().size(), 1u);
}

TEST_F(SpriteTest, TexturedSpriteResolvesOncePerName)
{
    WriteTexture("a.dds", 4, 4);
    Engine().LoadTextureFolder(FilesPath());
    CTexturedSprite s;
    s.SetTexture("missing.dds");
    s.SetTexture("missing.dds");
    EXPECT_EQ(ErrorCount("Failed to create texture: missing.dds "), 1);
    s.SetTexture("a.dds");
    TextureHandle t = s.GetResolvedTexture();
    ASSERT_NE(t, 0u);
    s.SetSize(8, 8);
    s.PlaceCentred(10, 10);
    Device().ClearDraws();
    s.Draw();
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_EQ(Device().GetDraws()[0].texture, t);

    // Names are kept to 255 characters.
    s.SetTexture(std::string(300, 'x'));
    EXPECT_EQ(s.GetTextureName().size(), 255u);

    // Copies are registered too: they forget their texture with the rest.
    CTexturedSprite copy;
    copy.SetTexture("a.dds");
    CTexturedSprite copy2 = copy;
    Engine().ForgetTexturedSprites();
    EXPECT_EQ(copy2.GetResolvedTexture(), 0u);
    Engine().RefreshTexturedSprites();
    EXPECT_EQ(copy2.GetResolvedTexture(), t);

    // The draw-time handle comes back by itself after the engine dropped it,
    // but a name that was not found is not looked up again every frame.
    Engine().ForgetTexturedSprites();
    EXPECT_EQ(copy2.GetTextureForDraw(), t);
    CTexturedSprite missing;
    missing.SetTexture("missing.dds");
    const int failures = ErrorCount("Failed to create texture: missing.dds ");
    EXPECT_EQ(missing.GetTextureForDraw(), 0u);
    EXPECT_EQ(missing.GetTextureForDraw(), 0u);
    EXPECT_EQ(ErrorCount("Failed to create texture: missing.dds "), failures);
}

TEST_F(SpriteTest, SpritesGoneFromAnywhereInTheListAreNeverTouchedAgain)
{
    WriteTexture("a.dds", 4, 4);
    Engine().LoadTextureFolder(FilesPath());
    std::vector<std::unique_ptr<CTexturedSprite>> sprites;
    for (int i = 0; i < 9; ++i) {
        sprites.push_back(std::make_unique<CTexturedSprite>());
        sprites.back()->SetTexture("a.dds");
    }
    const TextureHandle t = sprites.front()->GetResolvedTexture();
    ASSERT_NE(t, 0u);
    // The oldest, one between, the newest, and a copy made last that goes
    // first: the rest still forget and refresh, and (under the address
    // sanitizer) nothing gone is read.
    sprites.push_back(std::make_unique<CTexturedSprite>(*sprites[4]));
    sprites.back().reset();
    for (size_t gone : {size_t{0}, size_t{4}, size_t{8}})
        sprites[gone].reset();
    Engine().ForgetTexturedSprites();
    int left = 0;
    for (const auto& s : sprites) {
        if (!s)
            continue;
        ++left;
        EXPECT_EQ(s->GetResolvedTexture(), 0u);
    }
    EXPECT_EQ(left, 6);
    Engine().RefreshTexturedSprites();
    for (const auto& s : sprites)
        if (s)
            EXPECT_EQ(s->GetResolvedTexture(), t);
}

TEST_F(SpriteTest, DrawAndClearSpritesEmptiesTheList)
{
    BaseSprite a, b;
    std::vector<BaseSprite*> list{&a, &b};
    Device().ClearDraws();
    DrawAndClearSprites(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(Device().GetDraws().size(), 2u);
}

TEST_F(SpriteTest, ShockwaveQuartersCloseTheRing)
{
    ShockwaveQuad q;
    q.SetSize(100);
    q.SetAlpha(0x40);
    q.SetAngle(0);
    q.Place(200, 200);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (int i = 0; i < 4; ++i) {
        const BaseSprite& s = q.GetQuarter(i);
        EXPECT_FLOAT_EQ(s.GetWidth(), 50);
        EXPECT_EQ(s.m_vertices[2].colour, 0x40FFFFFFu);
        for (const auto& v : s.m_vertices) {
            minX = std::min(minX, v.x);
            maxX = std::max(maxX, v.x);
            minY = std::min(minY, v.y);
            maxY = std::max(maxY, v.y);
        }
    }
    EXPECT_NEAR(minX, 150, 1e-3);
    EXPECT_NEAR(maxX, 250, 1e-3);
    EXPECT_NEAR(minY, 150, 1e-3);
    EXPECT_NEAR(maxY, 250, 1e-3);
    // Quarter 0 is the top-left one, quarter 1 (a quarter turn on) the top-right.
    EXPECT_LT(q.GetQuarter(0).m_vertices[0].x, 200);
    EXPECT_NEAR(q.GetQuarter(1).m_vertices[0].x, 250, 1e-3);
    Device().ClearDraws();
    q.Draw();
    EXPECT_EQ(Device().GetDraws().size(), 4u);
}
