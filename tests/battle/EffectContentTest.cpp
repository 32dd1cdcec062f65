// The shipped content carries every effect a battle draws: each hull has its
// engine, trail, light, damage and hulk lines, each race a debris range, and
// every texture and particle config they and the effects name exists in the
// built game folder; a hull's picture is open where its structural bands run
// and opaque under every point its slots, turrets and targets sit on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "battle/EffectTextures.h"
#include "battle/GUI_ShipEffectHooks.h"
#include "engine/GFileHelpers.h"
#include "engine/GTokenizer.h"
#include "engine/TextHelpers.h"
#include "platform/DdsImage.h"
#include "sim/SIM_HulkLine.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipHull.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class EffectContent : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_cwd = new ScopedChdir(QLM_GAME_DIR);
        SIM_Race::LoadAll();
        SIM_ShipHull::LoadAll();
        for (const auto& entry : fs::recursive_directory_iterator("data/bitmaps"))
            if (entry.is_regular_file()) {
                s_bitmaps.insert(entry.path().filename().string());
                s_bitmapPaths[entry.path().filename().string()] = entry.path().string();
            }
    }
    static void TearDownTestSuite()
    {
        SIM_ShipHull::FreeAll();
        SIM_Race::FreeAll();
        delete s_cwd;
    }
    static bool HasConfig(const std::string& name)
    {
        return FileExists("data/particleconfigs/" + name + ".txt");
    }
    static std::vector<const SIM_ShipHull*> BandedHulls()
    {
        std::vector<const SIM_ShipHull*> hulls;
        for (const SIM_ShipHull* hull : SIM_ShipHull::GetList())
            if (!hull->GetBands().empty())
                hulls.push_back(hull);
        return hulls;
    }
    static void ReadPicture(const SIM_ShipHull& hull, TextureData& picture, std::vector<uint8_t>& rgba)
    {
        ASSERT_TRUE(s_bitmapPaths.count(hull.GetSprite())) << hull.GetSprite();
        std::string error;
        ASSERT_TRUE(ReadDdsFile(s_bitmapPaths[hull.GetSprite()], picture, &error)) << error;
        ASSERT_TRUE(DecodeToRGBA(picture, 0, rgba));
    }
    static ScopedChdir* s_cwd;
    static std::set<std::string> s_bitmaps;
    static std::map<std::string, std::string> s_bitmapPaths;
};

ScopedChdir* EffectContent::s_cwd = nullptr;
std::set<std::string> EffectContent::s_bitmaps;
std::map<std::string, std::string> EffectContent::s_bitmapPaths;

TEST_F(EffectContent, EveryEffectTextureIsDrawnByTheGenerator)
{
    for (int id = 0; id < EffectTextures::COUNT; ++id) {
        const std::string name = EffectTextures::Name(static_cast<EffectTextures::Id>(id));
        EXPECT_TRUE(s_bitmaps.count(name)) << name;
    }
    for (const char* config : {"plume", "plumeburn", "debris_destroyed", "damage_sprite_smoke", "damage_sprite_sparks"})
        EXPECT_TRUE(HasConfig(config)) << config;
    for (const char* config : GUI_ShipEffectHooks::kMissileBurst)
        EXPECT_TRUE(HasConfig(config)) << config;
    for (const char* picture : {"shield_blast2.dds", "shield_scroll.dds"})
        EXPECT_TRUE(s_bitmaps.count(picture)) << picture;
}

TEST_F(EffectContent, EveryHullCarriesItsEffectLinesAndTheirPicturesAndConfigsExist)
{
    ASSERT_GE(SIM_ShipHull::GetList().size(), 6u);
    int hulkEmitters = 0;
    for (const SIM_ShipHull* hull : SIM_ShipHull::GetList()) {
        SCOPED_TRACE(hull->GetName());
        EXPECT_FALSE(hull->GetEngineGlows().empty());
        EXPECT_FALSE(hull->GetContrails().empty());
        EXPECT_FALSE(hull->GetRunningLights().empty());
        ASSERT_FALSE(hull->GetHulkTexture().empty());
        EXPECT_TRUE(s_bitmaps.count(hull->GetHulkTexture())) << hull->GetHulkTexture();
        EXPECT_TRUE(s_bitmaps.count(hull->GetDamageTexture())) << hull->GetDamageTexture();
        if (hull->GetClass() != SIM_ShipHull::FIGHTER) {
            EXPECT_FALSE(hull->GetHulks().empty());
        }
        bool damage = false;
        for (const SIM_ShipHull::Target& t : hull->GetTargets())
            damage = damage || t.hasRect;
        EXPECT_TRUE(damage) << "no damage location with a patch";
        for (const std::string& line : hull->GetEngineGlows()) {
            GTokenizer tok(line, ',');
            for (int i = 0; i < 4; ++i)
                tok.NextFloat();
            const std::string texture = TrimWhitespace(tok.NextString());
            const std::string config = TrimWhitespace(tok.NextString());
            EXPECT_TRUE(s_bitmaps.count(texture)) << texture;
            EXPECT_TRUE(HasConfig(config)) << config;
        }
        for (const std::string& line : hull->GetPulseGlows()) {
            GTokenizer tok(line, ',');
            for (int i = 0; i < 4; ++i)
                tok.NextString();
            EXPECT_TRUE(s_bitmaps.count(TrimWhitespace(tok.NextString()))) << line;
        }
        for (const std::string& line : hull->GetHulks()) {
            SIM_HulkLine piece;
            ASSERT_TRUE(SIM_HulkLine::Parse(line, piece)) << line;
            for (const SIM_HulkLine::Emitter& e : piece.emitters) {
                EXPECT_TRUE(HasConfig(e.config)) << e.config;
                ++hulkEmitters;
            }
        }
    }
    EXPECT_GT(hulkEmitters, 0) << "the hulks' smoke and sparks are read from their lines";
    for (const SIM_Race* race : SIM_Race::GetList())
        EXPECT_GT(race->GetDebrisEndUV(), race->GetDebrisStartUV()) << race->GetName();
}

// A band is drawn under its hull: only where the hull's picture is open
// does it show, so the picture must be open along the whole band, and the
// band, drawn at its angle, must lie along the line its points give.
TEST_F(EffectContent, EveryStructuralBandRunsOverOpenSpaceInItsHullsPicture)
{
    int bands = 0;
    for (const SIM_ShipHull* hull : BandedHulls()) {
        SCOPED_TRACE(hull->GetName());
        TextureData picture;
        std::vector<uint8_t> rgba;
        ASSERT_NO_FATAL_FAILURE(ReadPicture(*hull, picture, rgba));
        for (const SIM_ShipHull::Band& band : hull->GetBands()) {
            ++bands;
            const float ax = (band.x1 + 0.5f) * picture.width, ay = (band.y1 + 0.5f) * picture.height;
            const float bx = (band.x2 + 0.5f) * picture.width, by = (band.y2 + 0.5f) * picture.height;
            const float heading = std::atan2(by - ay, bx - ax) * 57.29578f;
            const float off = std::fabs(std::remainder(heading - band.angle, 180.0f));
            EXPECT_LT(off, 1.0f) << "drawn at " << band.angle << " degrees along a line at " << heading;
            // Its line and, a fifth of its width to either side, the edges
            // of its bright core.
            const float length = std::hypot(bx - ax, by - ay);
            const float side = 0.2f * band.width * picture.width;
            const float nx = -(by - ay) / length * side, ny = (bx - ax) / length * side;
            constexpr int kSamples = 64;
            int open = 0, whole = 0, samples = 0;
            for (int i = 0; i < kSamples; ++i)
                for (int across = -1; across <= 1; ++across, ++samples) {
                    const float t = (i + 0.5f) / kSamples;
                    const int x = static_cast<int>(ax + (bx - ax) * t + nx * across);
                    const int y = static_cast<int>(ay + (by - ay) * t + ny * across);
                    ASSERT_TRUE(x >= 0 && y >= 0 && x < picture.width && y < picture.height) << x << "," << y;
                    const uint8_t alpha = rgba[(static_cast<size_t>(y) * picture.width + static_cast<size_t>(x)) * 4 + 3];
                    open += alpha < 128 ? 1 : 0;
                    whole += alpha == 255 ? 1 : 0;
                }
            EXPECT_EQ(whole, 0) << "the picture hides the band somewhere along it";
            EXPECT_GE(open * 10, samples * 9) << "the band runs over open space";
        }
    }
    EXPECT_GT(bands, 0) << "a shipped hull is held together by bands";
}

// Cutting a hull open for its bands must leave every slot, turret and aim
// point on the hull: a turret over the gap floats, a slot shows over nothing
// in the designer and shots land on empty space.
TEST_F(EffectContent, EverySlotTurretAndTargetOfABandedHullLiesOnItsOpaquePicture)
{
    int points = 0;
    for (const SIM_ShipHull* hull : BandedHulls()) {
        SCOPED_TRACE(hull->GetName());
        TextureData picture;
        std::vector<uint8_t> rgba;
        ASSERT_NO_FATAL_FAILURE(ReadPicture(*hull, picture, rgba));
        // Hull offsets back to picture pixels; the hull file scales slot and
        // target heights by the width, turret heights by the height.
        const auto expectOpaque = [&](const char* what, float x, float y, float ySpan) {
            ++points;
            const float fx = (x / hull->GetWidth() + 0.5f) * picture.width;
            const float fy = (y / ySpan + 0.5f) * picture.height;
            const int px = static_cast<int>(std::floor(fx)), py = static_cast<int>(std::floor(fy));
            const float fileX = fx * 256.0f / picture.width, fileY = fy * 256.0f / picture.height;
            ASSERT_TRUE(px >= 0 && py >= 0 && px < picture.width && py < picture.height) << what << " " << fileX << "," << fileY;
            const uint8_t alpha = rgba[(static_cast<size_t>(py) * picture.width + static_cast<size_t>(px)) * 4 + 3];
            EXPECT_EQ(alpha, 255) << what << " at " << fileX << "," << fileY;
        };
        for (const SIM_ShipHull::Slot& slot : hull->GetSlots()) {
            expectOpaque("slot", slot.x, slot.y, hull->GetWidth());
            for (const SIM_ShipHull::Point& p : slot.turretPoints)
                expectOpaque("turret", p.x, p.y, hull->GetHeight());
        }
        for (const SIM_ShipHull::Target& t : hull->GetTargets()) {
            expectOpaque("target", t.x, t.y, hull->GetWidth());
            for (const SIM_ShipHull::Point& p : t.extraPoints)
                expectOpaque("target point", p.x, p.y, hull->GetWidth());
        }
    }
    EXPECT_GT(points, 0) << "a banded hull has slots and targets";
}

} // namespace
