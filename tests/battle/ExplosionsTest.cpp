// Explosion types, the shipped explosion and particle configs, the warm-up of
// spare groups and what one explosion starts.
#include <gtest/gtest.h>

#include "battle/Explosions.h"
#include "battle/GUI_BlastGlare.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_EffectLog.h"
#include "battle/GUI_ExplosionPlume.h"
#include "battle/GUI_ExplosionConfig.h"
#include "battle/GUI_ParticleConfig.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/VisualRandom.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_ShipVisual.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

namespace {

class ExplosionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadParticleConfigs();
        LoadExplosionConfigs();
        DeleteAllEmmiterGroups();
        GUI_EffectLog::GetInstance().SetEnabled(true);
        GUI_EffectLog::GetInstance().Clear();
        GetDebrisPools().first.Reset();
        GetDebrisPools().second.Reset();
        SeedVisualRandom(3);
    }
    void TearDown() override
    {
        GUI_EffectLog::GetInstance().SetEnabled(false);
        GetDebrisPools().first.Reset();
        GetDebrisPools().second.Reset();
        DeleteAllEmmiterGroups();
        ClearExplosionConfigs();
        ClearParticleConfigs();
    }
    ScopedChdir cwd{QLM_GAME_DIR};
    ScopedErrorLog log;
};

TEST_F(ExplosionTest, HullNamesMapToTypesAndUnknownNamesFallBackToSmallOnce)
{
    EXPECT_EQ(FindExplosionType("EXP_FRIGATE"), 0);
    EXPECT_EQ(FindExplosionType(" EXP_FRIGATE"), 0) << "as written after a comma by hand";
    EXPECT_EQ(SIM_ShipVisual::FindExplosionType(" EXP_FRIGATE"), 0);
    EXPECT_EQ(FindExplosionType("EXP_SMALL_ANGLED_DEBRIS"), 16);
    EXPECT_EQ(FindExplosionType("EXP_CRUISER_PLUMECENTER"), 21);
    EXPECT_EQ(FindExplosionType("EXP_NOPE"), Explosions::kSmall);
    EXPECT_EQ(FindExplosionType("EXP_NOPE"), Explosions::kSmall);
    EXPECT_EQ(log.Count("unknown explosion type"), 1);
    EXPECT_STREQ(ExplosionConfigName(Explosions::kStartBreakup), "");
    EXPECT_STREQ(ExplosionConfigName(Explosions::kShieldImpact), "exp_shieldimpact_lod");
}

TEST_F(ExplosionTest, EveryTypesConfigAndEveryEmitterItNamesShips)
{
    int configs = 0;
    for (int type = 0; type < Explosions::kTypeCount; ++type) {
        const std::string name = ExplosionConfigName(type);
        if (name.empty())
            continue;
        ++configs;
        const GUI_ExplosionConfig* config = FindExplosionConfig(name);
        ASSERT_NE(config, nullptr) << name;
        EXPECT_FALSE(config->emitterNames.empty()) << name;
        for (const std::string& emitter : config->emitterNames) {
            const GUI_ParticleConfig* particles = FindParticleConfig(emitter);
            ASSERT_NE(particles, nullptr) << emitter;
            EXPECT_TRUE(particles->Type == "BURN" || particles->Type == "STANDARD") << emitter;
        }
    }
    EXPECT_EQ(configs, 16);
    EXPECT_EQ(log.Lines(), 0) << log.Text();
}

TEST_F(ExplosionTest, TheWarmUpBuilds216GroupsAndTheTopUpKeepsFourSparesPerConfig)
{
    EXPECT_EQ(PrewarmExplosionGroups(), 216);
    EXPECT_EQ(CountSpareEmmiterGroups("exp_small"), 80 + 16); // type 13 shares it
    EXPECT_EQ(CountSpareEmmiterGroups("exp_frigate"), 8);
    EXPECT_EQ(CountSpareEmmiterGroups("exp_frigate", 4), 4) << "counting stops at the limit";
    EXPECT_EQ(CountSpareEmmiterGroups("exp_frigate", 9), 8);
    EXPECT_EQ(CountActiveEmmiterGroups(), 0);
    EXPECT_TRUE(IsEmmiterGroupReuseOn());

    int made = 0;
    while (TopUpExplosionGroups())
        ++made;
    // Eight configs have no spares after the warm-up: four each, one per call.
    EXPECT_EQ(made, 8 * 4);
    for (int type = 0; type < Explosions::kTypeCount; ++type)
        if (*ExplosionConfigName(type)) {
            EXPECT_GE(CountSpareEmmiterGroups(ExplosionConfigName(type)), 4) << type;
        }
    EXPECT_FALSE(TopUpExplosionGroups());

    // An explosion takes one spare; with three left the top-up works again.
    for (int i = 0; i < 4; ++i)
        SpawnExplosion(Explosions::kShieldImpact, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(CountSpareEmmiterGroups("exp_shieldimpact_lod"), 0);
    EXPECT_TRUE(TopUpExplosionGroups());
    EXPECT_EQ(CountSpareEmmiterGroups("exp_shieldimpact_lod"), 1);
}

TEST_F(ExplosionTest, TypeTenShowsNothingAndTypeFourIsTheSecondKindAboutHalfTheTime)
{
    SpawnExplosion(Explosions::kStartBreakup, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(CountAllEmmiterGroups(), 0);
    int second = 0;
    for (int i = 0; i < 200; ++i) {
        SpawnExplosion(Explosions::kSmall, nullptr, 0, 0, 0, 0);
        for (const GUI_EffectRecord& r : GUI_EffectLog::GetInstance().GetRecords())
            second += r.kind == "explosion" && r.type == Explosions::kSmall2 ? 1 : 0;
        GUI_EffectLog::GetInstance().Clear();
        ClearEmmiterGroupLists(); // back to the spares: two groups serve them all
    }
    EXPECT_GT(second, 70);
    EXPECT_LT(second, 130);
    EXPECT_EQ(CountAllEmmiterGroups(), 2);
    // Types 4 and 5 throw their six pieces of debris in code as well.
    GetDebrisPools().first.Reset();
    GetDebrisPools().second.Reset();
    SpawnExplosion(Explosions::kSmall, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(GetDebrisPools().first.CountAlive() + GetDebrisPools().second.CountAlive(), 6);
}

TEST_F(ExplosionTest, AConfigUsesAtMostEightEmittersAndAMissingOneKeepsTheCodePart)
{
    auto* nine = new GUI_ExplosionConfig();
    nine->ReadText("ConfigName = nine\n", "0=exp_small_fire\n1=exp_small_fire\n2=exp_small_fire\n3=exp_small_fire\n"
                                          "4=exp_small_fire\n5=exp_small_fire\n6=exp_small_fire\n7=exp_small_fire\n"
                                          "8=exp_small_fire\n");
    GUI_ParticleEmmiterGroup* group = CreateExplosionEffect("nine", 0, 0, 0, 0);
    ASSERT_NE(group, nullptr);
    EXPECT_NE(group->GetEmmiter(7), nullptr);
    EXPECT_FALSE(group->IsEmpty());

    // Without its config the small explosion still throws its debris, and the
    // missing name is logged once however often it is asked for.
    ClearExplosionConfigs();
    auto* other = new GUI_ExplosionConfig();
    other->ConfigName = "other";
    SpawnExplosion(Explosions::kDestructionPlaced, nullptr, 0, 0, 0, 0);
    SpawnExplosion(Explosions::kDestructionPlaced, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(GetDebrisPools().first.CountAlive() + GetDebrisPools().second.CountAlive(), 24);
    EXPECT_EQ(log.Count("Failed to find exp_small"), 1);
}

TEST_F(ExplosionTest, AnExplosionWithoutAParentPlaysOutAndReturnsToTheSpares)
{
    // The glare and the plumes follow a ship: without one they are skipped.
    SpawnExplosion(17, nullptr, 10, 10, 0, 0);
    SpawnExplosion(14, nullptr, 10, 10, 0, 0);
    EXPECT_TRUE(GetBlastGlares().empty());
    EXPECT_TRUE(GetPlumes().empty());
    SpawnExplosion(Explosions::kShieldImpact, nullptr, 10, 10, 0, 0);
    ASSERT_EQ(CountActiveEmmiterGroups(), 1);
    auto& clock = SIM_BattleClock::GetInstance();
    for (int frame = 0; frame < 600 && CountActiveEmmiterGroups() > 0; ++frame) {
        clock.SetFrameTime(16.0f);
        DrawOrphanEmmiterGroups();
        ReleaseFinishedEmmiterGroups();
    }
    clock.ResetForBattle();
    EXPECT_EQ(CountActiveEmmiterGroups(), 0);
    EXPECT_EQ(CountSpareEmmiterGroups("exp_shieldimpact_lod"), 1);
}

} // namespace
