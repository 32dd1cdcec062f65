// The shipped content carries every effect a battle draws: each hull has its
// engine, trail, light, damage and hulk lines, each race a debris range, and
// every texture and particle config they and the effects name exists in the
// built game folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "battle/EffectTextures.h"
#include "battle/GUI_ShipEffectHooks.h"
#include "engine/GFileHelpers.h"
#include "engine/GTokenizer.h"
#include "engine/TextHelpers.h"
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
            if (entry.is_regular_file())
                s_bitmaps.insert(entry.path().filename().string());
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
    static ScopedChdir* s_cwd;
    static std::set<std::string> s_bitmaps;
};

ScopedChdir* EffectContent::s_cwd = nullptr;
std::set<std::string> EffectContent::s_bitmaps;

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

} // namespace
