#include <gtest/gtest.h>

#include <cmath>

#include "battle/GUI_Ship.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/ShipTestWorld.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_ShieldModule.h"

namespace {

class ShieldTest : public ::testing::Test {
protected:
    ShipTestWorld world;

    SIM_Shield* ShieldOf(const std::string& design)
    {
        SIM_Ship* ship = world.Build(design, 0, 0);
        return ship->GetShield();
    }
};

TEST_F(ShieldTest, BuildStartsUpAndFull)
{
    SIM_Shield* shield = ShieldOf("cruiser_twoshields");
    ASSERT_NE(shield, nullptr);
    EXPECT_EQ(shield->GetModules().size(), 2u);
    EXPECT_EQ(shield->state, static_cast<int>(SIM_Shield::UP));
    EXPECT_FLOAT_EQ(shield->startingPoints, 200.0f);
    EXPECT_FLOAT_EQ(shield->stability, 200.0f);
    EXPECT_FLOAT_EQ(shield->strengthFraction, 1.0f);
    EXPECT_FLOAT_EQ(shield->resistance, 5.0f);
    EXPECT_TRUE(shield->GetOwner()->GetVisual()->IsShieldEffectOn());
}

TEST_F(ShieldTest, AShieldWithoutPointsStartsCollapsedWithoutDividingByZero)
{
    SIM_Shield* shield = ShieldOf("cruiser_emptyshield");
    ASSERT_NE(shield, nullptr);
    EXPECT_EQ(shield->state, static_cast<int>(SIM_Shield::COLLAPSED));
    EXPECT_FLOAT_EQ(shield->strengthFraction, 0.0f);
    EXPECT_FALSE(std::isnan(shield->strengthFraction));
    EXPECT_FLOAT_EQ(shield->Absorb(nullptr, nullptr, 30.0f, 100.0f), 30.0f);
}

TEST_F(ShieldTest, PenetrationEqualToResistanceIsBittenNotBlocked)
{
    SIM_Shield* shield = ShieldOf("cruiser_shielded");
    EXPECT_FALSE(shield->IsPenetrated(4.0f));
    EXPECT_TRUE(shield->IsPenetrated(5.0f));
    SIM_DamageEvent event;
    EXPECT_FLOAT_EQ(shield->Absorb(&event, nullptr, 20.0f, 5.0f), 0.0f);
    EXPECT_FLOAT_EQ(event.shieldAbsorbed, 20.0f);
    EXPECT_FLOAT_EQ(event.shieldBlocked, 0.0f);
    EXPECT_FLOAT_EQ(shield->currentPoints, 80.0f);
    EXPECT_FLOAT_EQ(shield->strengthFraction, 0.8f);
}

TEST_F(ShieldTest, BelowResistanceTheHitIsStoppedWholeAndRecordedOnce)
{
    SIM_StatsDatabase::GetInstance().Clear();
    SIM_Shield* shield = ShieldOf("cruiser_shielded");
    SIM_DamageEvent event;
    EXPECT_FLOAT_EQ(shield->Absorb(&event, nullptr, 500.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(event.shieldBlocked, 500.0f);
    EXPECT_FLOAT_EQ(shield->currentPoints, 100.0f);
    EXPECT_EQ(shield->GetOwner()->GetVisual()->shieldImpactCount, 1);
    EXPECT_EQ(SIM_StatsDatabase::GetInstance().GetEvents().size(), 1u);
}

TEST_F(ShieldTest, EmptyGeneratorsLetTheWholeDamageThroughAfterFourBites)
{
    SIM_Shield* shield = ShieldOf("cruiser_twoshields");
    for (SIM_ShieldModule* module : shield->GetModules())
        module->points = 0.0f;
    shield->state = SIM_Shield::UP; // as it stood before the points went
    EXPECT_FLOAT_EQ(shield->Absorb(nullptr, nullptr, 40.0f, 10.0f), 40.0f);
    EXPECT_EQ(shield->GetOwner()->GetVisual()->shieldImpactCount, 0);
}

TEST_F(ShieldTest, DrainedGeneratorsCollapseTheShield)
{
    SIM_Shield* shield = ShieldOf("cruiser_shielded");
    EXPECT_FLOAT_EQ(shield->Absorb(nullptr, nullptr, 400.0f, 10.0f), 300.0f);
    EXPECT_EQ(shield->state, static_cast<int>(SIM_Shield::COLLAPSED));
    EXPECT_FLOAT_EQ(shield->currentPoints, 0.0f);
    EXPECT_FALSE(shield->GetModules()[0]->IsUp());
    EXPECT_FALSE(shield->GetOwner()->GetVisual()->IsShieldEffectOn());
    // A collapsed shield lets everything through.
    EXPECT_FLOAT_EQ(shield->Absorb(nullptr, nullptr, 10.0f, 0.0f), 10.0f);
}

TEST_F(ShieldTest, ResistanceComesFromLiveGeneratorsThatAreUp)
{
    SIM_Shield* shield = ShieldOf("cruiser_twoshields");
    shield->GetModules()[0]->resistance = 9.0f;
    shield->Recalculate();
    EXPECT_FLOAT_EQ(shield->resistance, 9.0f);
    shield->GetModules()[0]->hitpoints = 0.0f;
    shield->Recalculate();
    EXPECT_FLOAT_EQ(shield->resistance, 5.0f);
}

TEST_F(ShieldTest, AGeneratorResistsOnlyWhileItIsUp)
{
    SIM_Shield* shield = ShieldOf("cruiser_twoshields");
    SIM_ShieldModule* strong = shield->GetModules()[0];
    strong->resistance = 9.0f;
    shield->Recalculate();
    EXPECT_FLOAT_EQ(shield->Absorb(nullptr, nullptr, 8.0f, 7.0f), 0.0f);
    EXPECT_FLOAT_EQ(shield->currentPoints, 200.0f) << "blocked whole";
    // Down but not wrecked: its points and its resistance are gone.
    strong->up = 0;
    shield->Recalculate();
    EXPECT_FLOAT_EQ(shield->resistance, 5.0f);
    shield->Absorb(nullptr, nullptr, 8.0f, 7.0f);
    EXPECT_LT(shield->currentPoints, 200.0f) << "bitten";
}

TEST_F(ShieldTest, GeneratorsRechargeOverTheTimeTheirBucketReallyWaited)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 0, 0);
    SIM_Shield* shield = ship->GetShield();
    shield->Absorb(nullptr, nullptr, 50.0f, 10.0f);
    ASSERT_FLOAT_EQ(shield->currentPoints, 50.0f);
    ShipUpdateScheduler& scheduler = ShipUpdateScheduler::GetInstance();
    scheduler.Rebuild();
    for (int i = 0; i < ShipUpdateScheduler::kBuckets; ++i)
        scheduler.GetBucket(i).timer = 0.0f;
    // One long frame: the bucket thinks once, for all 450 ms at 0.01 a ms.
    ShipTestWorld::SetFrame(450.0f);
    scheduler.UpdateWorld();
    EXPECT_FLOAT_EQ(shield->currentPoints, 54.5f);
    scheduler.Clear();
    scheduler.ResetTimers();
}

TEST_F(ShieldTest, SupportPointsRefillWithoutPassingTheMaximum)
{
    SIM_Shield* shield = ShieldOf("cruiser_twoshields");
    shield->Absorb(nullptr, nullptr, 80.0f, 10.0f);
    EXPECT_FLOAT_EQ(shield->currentPoints, 120.0f);
    shield->AddPoints(1000.0f);
    EXPECT_FLOAT_EQ(shield->currentPoints, 200.0f);
    EXPECT_FLOAT_EQ(shield->strengthFraction, 1.0f);
    for (const SIM_ShieldModule* module : shield->GetModules())
        EXPECT_LE(module->points, module->maxPoints);

    shield->AddPoints(50.0f); // already full: one look and done
    EXPECT_FLOAT_EQ(shield->currentPoints, 200.0f);
    shield->AddPoints(-5.0f);
    EXPECT_FLOAT_EQ(shield->currentPoints, 200.0f);
}

TEST_F(ShieldTest, DisruptionDropsTheShieldUntilStabilityRegrows)
{
    SIM_Shield* shield = ShieldOf("cruiser_shielded");
    shield->Drain(60.0f);
    EXPECT_EQ(shield->state, static_cast<int>(SIM_Shield::UP));
    EXPECT_FLOAT_EQ(shield->stability, 40.0f);
    shield->Drain(60.0f);
    EXPECT_EQ(shield->state, static_cast<int>(SIM_Shield::DISRUPTED));
    EXPECT_FLOAT_EQ(shield->stability, 0.0f);
    EXPECT_FLOAT_EQ(shield->Absorb(nullptr, nullptr, 10.0f, 0.0f), 10.0f);

    shield->Update(4000.0f); // 0.02 per ms: 80 of the 100
    EXPECT_EQ(shield->state, static_cast<int>(SIM_Shield::DISRUPTED));
    EXPECT_FLOAT_EQ(shield->stability, 80.0f);
    shield->Update(1500.0f);
    EXPECT_EQ(shield->state, static_cast<int>(SIM_Shield::UP));
    EXPECT_FLOAT_EQ(shield->stability, 100.0f);
    EXPECT_TRUE(shield->GetOwner()->GetVisual()->IsShieldEffectOn());
}

TEST_F(ShieldTest, CollapsedShieldDoesNotRegrowStability)
{
    SIM_Shield* shield = ShieldOf("cruiser_shielded");
    shield->Absorb(nullptr, nullptr, 1000.0f, 10.0f);
    const float before = shield->stability;
    shield->Drain(10.0f); // only while up
    shield->Update(10000.0f);
    EXPECT_FLOAT_EQ(shield->stability, before);
    EXPECT_EQ(shield->state, static_cast<int>(SIM_Shield::COLLAPSED));
}

TEST_F(ShieldTest, GeneratorThinkRegrowsPointsAtItsRate)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 0, 0);
    SIM_Shield* shield = ship->GetShield();
    shield->Absorb(nullptr, nullptr, 50.0f, 10.0f);
    const float step = 200.0f;
    shield->GetModules()[0]->SetThinkTime(&step);
    ship->Think();
    EXPECT_FLOAT_EQ(shield->currentPoints, 52.0f);
}

} // namespace
