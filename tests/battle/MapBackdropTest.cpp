// The map's backdrop picture goes without blending when that changes no pixel.
#include "battle/GUI_Map.h"
#include "engine/EngineTestFixture.h"

namespace {

using MapBackdrop = EngineTest;

// Whether the backdrop quad's draw blended, or -1 when nothing was drawn.
int BackdropBlends(GUI_Map& map, const std::string& picture, uint32_t colour)
{
    HeadlessGraphicsDevice& device = static_cast<HeadlessGraphicsDevice&>(*D3DEngine::GetInstance().GetDevice());
    map.backdrop.SetName(picture);
    map.backdrop.Bind();
    map.backdropQuad.SetSize(800.0f, 600.0f);
    map.backdropQuad.SetColour(colour);
    map.backdropQuad.PlaceCentred(400.0f, 300.0f);
    device.ClearDraws();
    map.DrawBackdropQuad();
    const bool blendOnAfter = device.GetState().AlphaBlend();
    const auto& draws = device.GetDraws();
    if (draws.size() != 1 || !blendOnAfter)
        return -1;
    return draws[0].alphaBlend ? 1 : 0;
}

} // namespace

TEST_F(MapBackdrop, AnOpaquePictureAtFullAlphaDrawsWithoutBlending)
{
    WriteTexture("opaque.dds", 8, 8, 255);
    WriteTexture("almost.dds", 8, 8, 254);
    Engine().LoadTextureFolder(FilesPath());
    ASSERT_NE(Engine().FindTexture("opaque.dds"), 0u);
    ASSERT_NE(Engine().FindTexture("almost.dds"), 0u);
    EXPECT_TRUE(Engine().IsTextureOpaque("opaque.dds"));
    EXPECT_FALSE(Engine().IsTextureOpaque("almost.dds"));
    EXPECT_FALSE(Engine().IsTextureOpaque("missing.dds"));

    GUI_Map& map = GUI_Map::GetInstance();
    EXPECT_EQ(BackdropBlends(map, "opaque.dds", 0xFFFFFFFFu), 0);
    EXPECT_EQ(BackdropBlends(map, "opaque.dds", 0xFEFFFFFFu), 1) << "a faded quad lets the target through";
    EXPECT_EQ(BackdropBlends(map, "almost.dds", 0xFFFFFFFFu), 1) << "one level short of opaque";
    EXPECT_EQ(BackdropBlends(map, "opaque.dds", 0xFFFFFFFFu), 0) << "found again for the new texture";
    map.backdrop.SetName("");
}
