#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "battle/GUI_Ship.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_CollisionAvoider.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/ShipTestWorld.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_ShieldModule.h"

namespace {

class ShipTest : public ::testing::Test {
protected:
    ShipTestWorld world;

    static SIM_ArmourModule* Plate(SIM_Ship* ship) { return ship->GetArmourModules().at(0); }

    static bool Queued(SIM_Ship* ship)
    {
        const auto& queue = GetRemovalQueue();
        return std::find(queue.begin(), queue.end(), ship) != queue.end();
    }
};

// ---- building -------------------------------------------------------------

TEST_F(ShipTest, BuildSumsModulesAndDerivesMotionFromThrustAndMass)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ASSERT_NE(ship->design, nullptr);
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::ACTIVE));
    EXPECT_FLOAT_EQ(ship->startingHitPoints, 60.0f); // crew 40 + engine 20
    EXPECT_FLOAT_EQ(ship->healthFraction, 1.0f);
    EXPECT_FLOAT_EQ(ship->radius, 100.0f);
    EXPECT_FLOAT_EQ(ship->mass, 20.0f);
    EXPECT_FLOAT_EQ(ship->maxSpeed, 100.0f / 20.0f);
    EXPECT_FLOAT_EQ(ship->acceleration, 5.0f / 200.0f);
    EXPECT_FLOAT_EQ(ship->turnRate, 2.5f);
    EXPECT_NE(ship->tacticalModule, nullptr);
    EXPECT_NE(ship->GetCollisionAvoider(), nullptr);
    EXPECT_TRUE(ship->design->IsInUse());
}

TEST_F(ShipTest, FightersTurnFasterAndHaveNoAvoider)
{
    SIM_Ship* fighter = world.Build("fighter_bare", 0, 0);
    EXPECT_EQ(fighter->GetCollisionAvoider(), nullptr);
    EXPECT_FLOAT_EQ(fighter->turnRate, 100.0f / 10.0f * 0.5f * 1.5f);
}

TEST_F(ShipTest, ADesignWithoutEngineStillCreepsForward)
{
    SIM_Ship* ship = world.Build("cruiser_noengine", 0, 0);
    EXPECT_FLOAT_EQ(ship->thrust, 0.125f);
    EXPECT_GT(ship->maxSpeed, 0.0f);
    for (int i = 0; i < 20; ++i)
        ship->Process();
    EXPECT_LT(ship->y, 0.0f);
}

TEST_F(ShipTest, AShipWithoutModulesOrDesignStaysFinite)
{
    SIM_Ship bare;
    bare.RecalculateStats();
    EXPECT_FLOAT_EQ(bare.mass, 1.0f);
    EXPECT_FLOAT_EQ(bare.thrust, 0.125f);
    EXPECT_FALSE(std::isnan(bare.healthFraction));
    EXPECT_FLOAT_EQ(bare.armourAverage, 0.0f);
    // No design weight to divide by: the push still comes out finite.
    bare.ApplyImpulse(90.0f, 1.0f);
    ASSERT_EQ(bare.GetImpulses().size(), 1u);
    EXPECT_FLOAT_EQ(bare.GetImpulses()[0].x, 0.5f);
    bare.RecalculateThreat();
    EXPECT_FLOAT_EQ(bare.threatRatio, 0.0f);
}

TEST_F(ShipTest, FindByIdLooksOnlyInTheGivenFleet)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->shipId = 42;
    EXPECT_EQ(SIM_Ship::FindById(42, &world.Player()), ship);
    EXPECT_EQ(SIM_Ship::FindById(42, &world.Enemy()), nullptr);
    std::vector<SIM_Ship*> list{ship};
    EXPECT_EQ(SIM_Ship::FindShipByIdInVector(42, list), ship);
    EXPECT_EQ(SIM_Ship::FindShipByIdInVector(7, list), nullptr);
}

// ---- movement -------------------------------------------------------------

TEST_F(ShipTest, HeadingMovesAlongSinAndMinusCos)
{
    struct Case {
        float angle, dx, dy;
    };
    for (const Case c : {Case{0, 0, -5}, Case{90, 5, 0}, Case{180, 0, 5}, Case{270, -5, 0}}) {
        SIM_Ship* ship = world.Build("cruiser_bare", 1000, 1000);
        ship->SetAngle(c.angle);
        ship->speed = ship->maxSpeed;
        ship->Process();
        EXPECT_NEAR(ship->x - 1000.0f, c.dx, 1e-3f) << "angle " << c.angle;
        EXPECT_NEAR(ship->y - 1000.0f, c.dy, 1e-3f) << "angle " << c.angle;
        world.Destroy(ship);
    }
}

TEST_F(ShipTest, TurnsClockwiseTowardsAPointOnTheRightAndBackForOneOnTheLeft)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 500, 500);
    ship->hasDestination = 1;
    ship->destinationX = 600;
    ship->destinationY = 500;
    ship->Process();
    EXPECT_NEAR(ship->angle, 2.5f, 1e-4f);
    EXPECT_NEAR(ship->sine, std::sin(2.5f * 3.14159265f / 180.0f), 1e-5f);

    SIM_Ship* other = world.Build("cruiser_bare", 5000, 500);
    other->hasDestination = 1;
    other->destinationX = 4000;
    other->destinationY = 500;
    other->Process();
    EXPECT_NEAR(other->angle, 357.5f, 1e-4f);
}

// Steering may skip the exact bearing of a point well off the nose, but the
// heading after the turn must be the one the exact bearing gives, bit for bit:
// at the edge of the turn step, dead ahead, dead astern, and with a sine and
// cosine that no longer match the heading.
TEST_F(ShipTest, SteeringTurnsExactlyAsTheExactBearingWould)
{
    const float kDegToRad = 3.14159265358979f / 180.0f;
    auto check = [&](float heading, float offNose, bool staleTrig, float throttle) {
        SIM_Ship* ship = world.Build("cruiser_bare", 1500, 1500);
        ship->SetAngle(staleTrig ? heading + 60.0f : heading);
        ship->angle = heading; // stale: the cached sine and cosine are 60 degrees out
        ship->throttle = throttle;
        const float step = ship->turnRate * (SIM_BattleClock::GetInstance().scaledFrameTime / 12.0f) *
                           std::max(throttle, 0.5f);
        const float bearing = (heading + offNose) * kDegToRad;
        ship->hasDestination = 1;
        ship->destinationX = 1500.0f + 400.0f * std::sin(bearing);
        ship->destinationY = 1500.0f - 400.0f * std::cos(bearing);
        const float expected =
            RotateTowardsAngle(heading, AngleBetweenPoints(1500, 1500, ship->destinationX, ship->destinationY), step);
        ship->Process();
        EXPECT_EQ(std::bit_cast<uint32_t>(ship->angle), std::bit_cast<uint32_t>(expected))
            << "heading " << heading << " off the nose " << offNose << " stale " << staleTrig << " got "
            << ship->angle << " want " << expected;
        world.Destroy(ship);
    };
    SIM_Ship* probe = world.Build("cruiser_bare", 1500, 1500);
    const float step = probe->turnRate * (SIM_BattleClock::GetInstance().scaledFrameTime / 12.0f);
    world.Destroy(probe);
    ASSERT_GT(step, 0.1f);
    for (float heading : {0.0f, 37.3f, 180.0f, 271.9f, 359.95f})
        for (float offNose : {0.0f, 0.5f * step, step - 0.01f, step + 0.001f, step + 0.04f, step + 0.06f, 30.0f,
                              -30.0f, 89.99f, 90.01f, 135.0f, 179.3f, 179.9f, 180.0f, -179.9f, -179.3f,
                              -step - 0.001f, -step + 0.01f})
            for (bool stale : {false, true})
                check(heading, offNose, stale, 1.0f);
    // Half rate at low throttle moves the edge of the step.
    for (float offNose : {0.5f * step - 0.001f, 0.5f * step + 0.001f, 0.5f * step + 0.06f, -0.5f * step - 0.06f})
        check(90.0f, offNose, false, 0.0f);
}

TEST(TurnTowardsTest, TurnsBitForBitAsRotateTowardsAngle)
{
    const float below360 = std::nextafter(360.0f, 0.0f);
    const float nan = std::nanf("");
    const float inf = INFINITY;
    const std::vector<float> headings = {0.0f, -0.0f, 1e-6f, 0.3f, 89.7f, 179.9f, 180.0f, 180.1f, 270.0f,
                                         359.7f, below360, 360.0f, -0.2f, -90.0f, 400.0f, 725.5f, nan, inf};
    const std::vector<float> steps = {0.0f, -1.0f, 0.2f, 0.3f, 1.5f, 45.0f, 179.9f, 180.0f, 200.0f, 400.0f, nan};
    int inRange = 0;
    for (float current : headings)
        for (float target : headings)
            for (float step : steps) {
                const float want = RotateTowardsAngle(current, target, step);
                const float got = TurnTowards(current, target, step);
                EXPECT_EQ(std::bit_cast<uint32_t>(got), std::bit_cast<uint32_t>(want))
                    << current << " -> " << target << " by " << step;
                inRange += current >= 0.0f && current < 360.0f && target >= 0.0f && target < 360.0f && step > 0.0f;
            }
    EXPECT_GT(inRange, 500);
}

TEST_F(ShipTest, SlowThrottleStillTurnsAtHalfRate)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 500, 500);
    ship->throttle = 0.0f;
    ship->hasDestination = 1;
    ship->destinationX = 600;
    ship->destinationY = 500;
    ship->Process();
    EXPECT_NEAR(ship->angle, 1.25f, 1e-4f);
    EXPECT_FLOAT_EQ(ship->speed, 0.0f);
}

TEST_F(ShipTest, SpeedRampsByAccelerationAndIsCappedAtTheThrottledMaximum)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->Process();
    EXPECT_FLOAT_EQ(ship->speed, ship->acceleration);
    ship->throttle = 0.5f;
    for (int i = 0; i < 1000; ++i)
        ship->Process();
    EXPECT_FLOAT_EQ(ship->speed, ship->maxSpeed * 0.5f);
}

TEST_F(ShipTest, ArrivesExactlyOnADestinationWithinOneStep)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->speed = ship->maxSpeed;
    ship->hasDestination = 1;
    ship->destinationX = 0;
    ship->destinationY = -3;
    ship->Process();
    EXPECT_FLOAT_EQ(ship->x, 0.0f);
    EXPECT_FLOAT_EQ(ship->y, -3.0f);
}

TEST_F(ShipTest, ImpulsesPushScaledByFrameAndDecayAway)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->throttle = 0.0f;
    ship->ApplyImpulse(90.0f, 20.0f); // m = 20 * 0.5 / weight 20
    ASSERT_EQ(ship->GetImpulses().size(), 1u);
    EXPECT_NEAR(ship->GetImpulses()[0].x, 0.5f, 1e-5f);
    EXPECT_NEAR(ship->GetImpulses()[0].y, 0.0f, 1e-5f);
    ship->Process();
    EXPECT_NEAR(ship->x, 0.5f * 0.96f, 1e-4f);
    for (int i = 0; i < 1000; ++i)
        ship->Process();
    EXPECT_TRUE(ship->GetImpulses().empty());

    ship->ApplyImpulse(0.0f, 0.3f); // m = 0.0075, too weak to count
    EXPECT_TRUE(ship->GetImpulses().empty());
}

TEST_F(ShipTest, ShockwavePushesAwayWithinRangeOnly)
{
    SIM_Ship* near = world.Build("cruiser_bare", 100, 0);
    SIM_Ship* edge = world.Build("cruiser_bare", 0, 256);
    SIM_Ship* far = world.Build("cruiser_bare", -300, 0);
    ApplyShockwaveToShips(50.0f, 0.0f, 0.0f);
    ASSERT_EQ(near->GetImpulses().size(), 1u);
    EXPECT_GT(near->GetImpulses()[0].x, 0.0f);
    EXPECT_NEAR(near->GetImpulses()[0].y, 0.0f, 1e-4f);
    EXPECT_TRUE(edge->GetImpulses().empty());
    EXPECT_TRUE(far->GetImpulses().empty());
}

TEST_F(ShipTest, ADyingShipsBlastPushesNeighboursAndShakesOffLimpets)
{
    SIM_Ship* blaster = world.Build("blaster_bare", 0, 0, true);
    SIM_Ship* near = world.Build("fighter_bare", 100, 0);
    SIM_Ship* far = world.Build("fighter_bare", -300, 0);
    near->AttachLimpetWeight(5.0f);
    far->AttachLimpetWeight(5.0f);
    near->isPlayerShip = 1; // the comms line is the player's
    SIM_BattleClock::GetInstance().commsOn = 1;
    SIM_CommsManager::GetInstance().Reset();
    blaster->StartDying();
    blaster->FrameStep(); // the timeline's first line is the big glare at 0 ms
    // Strength 768 / 3 / 256 = 1: knocked away from the blast, limpets gone.
    ASSERT_EQ(near->GetImpulses().size(), 1u);
    EXPECT_GT(near->GetImpulses()[0].x, 0.0f);
    EXPECT_NEAR(near->GetImpulses()[0].y, 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(near->carriedLimpetWeight, 0.0f);
    EXPECT_TRUE(far->GetImpulses().empty());
    EXPECT_FLOAT_EQ(far->carriedLimpetWeight, 5.0f);
    const auto& queue = SIM_CommsManager::GetInstance().GetQueue();
    EXPECT_TRUE(std::any_of(queue.begin(), queue.end(), [&](const SIM_CommsManager::Message& m) {
        return m.id == SIM_CommsManager::COM_SHOCKEDBYFORCE && m.sender == near;
    }));
    EXPECT_EQ(blaster->state, static_cast<unsigned>(SIM_Ship::DYING));
}

TEST_F(ShipTest, OnlyAGlareWiderThan32PushesAndAHitGlaresOncePerSecond)
{
    SIM_Ship* fighter = world.Build("fighter_bare", 0, 0);
    fighter->AttachLimpetWeight(5.0f);
    fighter->isPlayerShip = 1;
    // A glare of 32 does nothing at all, not even the player ship's comms line.
    SIM_BattleClock::GetInstance().commsOn = 1;
    SIM_CommsManager& comms = SIM_CommsManager::GetInstance();
    comms.Reset();
    SIM_ShipVisual::ApplyBlast(32.0f, 0.0f, 0.0f);
    EXPECT_TRUE(comms.GetQueue().empty());
    // Strength 0.2 at the centre: 0.2 x 4 / (20 / 16) = 0.64 keeps the limpet.
    SIM_ShipVisual::ApplyBlast(256.0f * 0.2f, 0.0f, 0.0f);
    EXPECT_FALSE(comms.GetQueue().empty());
    EXPECT_FLOAT_EQ(fighter->carriedLimpetWeight, 5.0f);
    // Strength 0.25: 0.8 is above 0.7, the limpet is shaken off.
    SIM_ShipVisual::ApplyBlast(256.0f * 0.25f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(fighter->carriedLimpetWeight, 0.0f);

    // A hit's glare is a quarter of the hull's width (768 / 4 = 192): the
    // fighter beside the hit is pushed, then not again within 1000 ms.
    SIM_Ship* blaster = world.Build("blaster_bare", 1000, 0, true);
    SIM_Ship* neighbour = world.Build("fighter_bare", 1100, 0);
    SIM_BattleClock& clock = SIM_BattleClock::GetInstance();
    const SIM_ShipHull::Target centre{};
    clock.battleTime = 5000.0f;
    blaster->GetVisual()->ShowHitEffects(centre, 50.0f, 1.0f, 0.0f);
    EXPECT_EQ(neighbour->GetImpulses().size(), 1u);
    clock.battleTime = 6000.0f;
    blaster->GetVisual()->ShowHitEffects(centre, 50.0f, 1.0f, 0.0f);
    EXPECT_EQ(neighbour->GetImpulses().size(), 1u);
    clock.battleTime = 6001.0f;
    blaster->GetVisual()->ShowHitEffects(centre, 50.0f, 1.0f, 0.0f);
    EXPECT_EQ(neighbour->GetImpulses().size(), 2u);
}

TEST_F(ShipTest, TractorDragSlowsTheShipUntilReleased)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    const float freeSpeed = ship->maxSpeed;
    SIM_ShipModule* tractor = ship->GetModules().back();
    ship->AddTractor(tractor, ship->mass * 0.5f);
    EXPECT_FLOAT_EQ(ship->drag, 0.5f);
    EXPECT_FLOAT_EQ(ship->maxSpeed, freeSpeed * 0.5f);
    ship->RemoveTractor(tractor);
    EXPECT_FLOAT_EQ(ship->drag, 0.0f);
    EXPECT_FLOAT_EQ(ship->maxSpeed, freeSpeed);
}

TEST_F(ShipTest, EcmShockAtFullPowerLandsAndWearsOff)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->ApplyECMShock(100.0f, 1.0f);
    EXPECT_TRUE(ship->ecmShocked);
    for (int i = 0; i < 8; ++i)
        ship->Update();
    EXPECT_TRUE(ship->ecmShocked);
    for (int i = 0; i < 2; ++i)
        ship->Update();
    EXPECT_FALSE(ship->ecmShocked);
}

// ---- hits -----------------------------------------------------------------

TEST_F(ShipTest, ShieldBitesTakeTheHitWhenPenetrationReachesResistance)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 0, 0);
    ASSERT_NE(ship->GetShield(), nullptr);
    EXPECT_FALSE(ship->TakeHit(nullptr, 40.0f, 0.0f, 5.0f, nullptr, false, 0, 1));
    EXPECT_FLOAT_EQ(ship->GetShield()->currentPoints, 60.0f);
    EXPECT_FLOAT_EQ(ship->currentHitPoints, ship->startingHitPoints);
    EXPECT_EQ(ship->GetStats().hitsTaken, 1);
}

TEST_F(ShipTest, ShieldBlocksAWeakShotWhole)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 0, 0);
    EXPECT_FALSE(ship->TakeHit(nullptr, 40.0f, 0.0f, 4.9f, nullptr, false, 0, 1));
    EXPECT_FLOAT_EQ(ship->GetShield()->currentPoints, 100.0f);
    EXPECT_EQ(ship->GetStats().hitsStoppedByOwnShield, 1);
    EXPECT_FALSE(ship->hasBeenAttacked);
}

TEST_F(ShipTest, DamageBeyondTheShieldReachesTheModules)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 0, 0);
    EXPECT_TRUE(ship->TakeHit(nullptr, 120.0f, 0.0f, 10.0f, nullptr, false, 0, 1));
    EXPECT_FLOAT_EQ(ship->GetShield()->currentPoints, 0.0f);
    EXPECT_EQ(ship->GetShield()->state, static_cast<int>(SIM_Shield::COLLAPSED));
    EXPECT_FLOAT_EQ(ship->currentHitPoints, ship->startingHitPoints - 20.0f);
    EXPECT_LT(ship->healthFraction, 1.0f);
}

TEST_F(ShipTest, IgnoringTheShieldGoesStraightToTheHull)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 0, 0);
    EXPECT_TRUE(ship->TakeHit(nullptr, 15.0f, 0.0f, 0.0f, nullptr, true, 0, 1));
    EXPECT_FLOAT_EQ(ship->GetShield()->currentPoints, 100.0f);
    EXPECT_FLOAT_EQ(ship->currentHitPoints, ship->startingHitPoints - 15.0f);
}

TEST_F(ShipTest, ArmourAbsorbsUntilExhaustedThenTheRestReachesModules)
{
    SIM_Ship* ship = world.Build("cruiser_armoured", 0, 0);
    ASSERT_EQ(ship->GetArmourModules().size(), 1u);
    const float start = ship->startingHitPoints; // armour 30 + engine 20 + crew 40
    EXPECT_FLOAT_EQ(start, 90.0f);
    EXPECT_FLOAT_EQ(ship->armourAverage, 50.0f / static_cast<float>(ship->GetModules().size()));

    EXPECT_FALSE(ship->TakeHit(nullptr, 30.0f, 100.0f, 0.0f, nullptr, false, 0, 1));
    EXPECT_FLOAT_EQ(Plate(ship)->armour, 20.0f);
    EXPECT_EQ(ship->GetStats().hitsAbsorbedByArmour, 1);

    EXPECT_TRUE(ship->TakeHit(nullptr, 40.0f, 100.0f, 0.0f, nullptr, false, 0, 1));
    EXPECT_FLOAT_EQ(Plate(ship)->armour, 0.0f);
    // The plate's own hitpoints went with the armour, then 20 reached the hull.
    EXPECT_FLOAT_EQ(ship->currentHitPoints, start - 30.0f - 20.0f);
}

TEST_F(ShipTest, WeakPenetrationIsMostlyDeflected)
{
    SIM_Ship* ship = world.Build("cruiser_armoured", 0, 0);
    int deflected = 0;
    for (int i = 0; i < 10; ++i) {
        const int before = ship->GetStats().hitsDeflectedByOwnArmour;
        const float armourBefore = Plate(ship)->armour;
        ship->TakeHit(nullptr, 1.0f, 0.0f, 0.0f, nullptr, false, 0, 1);
        if (ship->GetStats().hitsDeflectedByOwnArmour > before) {
            ++deflected;
            EXPECT_FLOAT_EQ(Plate(ship)->armour, armourBefore);
        }
    }
    EXPECT_GE(deflected, 7);
}

TEST_F(ShipTest, ArmourDeflectsOnlyPenetrationBelowItsAverageAndLetsThreePercentThrough)
{
    SIM_Ship* ship = world.Build("cruiser_armoured", 0, 0);
    // The chances come from the second table: read the next thousand of its
    // draws (a whole turn, so the cursor ends where it began).
    std::vector<float> draws;
    for (int i = 0; i < kRandomTableSize; ++i)
        draws.push_back(RandomRangeAlt(0.0f, 1.0f));
    const auto within = [&draws](float low, float high) {
        return std::count_if(draws.begin(), draws.end(), [=](float v) { return v >= low && v < high; });
    };
    // The table tells 3 % apart from its neighbours, or this test could not.
    ASSERT_GT(within(0.025f, 0.03f), 0);
    ASSERT_GT(within(0.03f, 0.035f), 0);

    // Penetration equal to the average is never deflected, and draws nothing.
    for (int i = 0; i < 50; ++i) {
        ship->TakeHit(nullptr, 0.001f, ship->armourAverage, 0.0f, nullptr, false, 0, 1);
        EXPECT_EQ(ship->GetStats().hitsDeflectedByOwnArmour, 0);
    }
    // A hair below it is deflected unless the draw falls under 3 %.
    int leaked = 0;
    for (int i = 0; i < kRandomTableSize; ++i) {
        const int before = ship->GetStats().hitsDeflectedByOwnArmour;
        ship->TakeHit(nullptr, 0.001f, std::nextafter(ship->armourAverage, 0.0f), 0.0f, nullptr, false, 0, 1);
        leaked += ship->GetStats().hitsDeflectedByOwnArmour == before ? 1 : 0;
    }
    EXPECT_EQ(leaked, within(0.0f, 0.03f));
    EXPECT_GT(leaked, 0);
}

TEST_F(ShipTest, HullDamageKillsTheShipAndStartsDying)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    EXPECT_TRUE(ship->TakeHit(nullptr, 1000.0f, 0.0f, 0.0f, ship->NextTargetPoint(), false, 0, 1));
    EXPECT_TRUE(ship->IsDead());
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::DYING));
    float left = 0.0f;
    for (const SIM_ShipModule* module : ship->GetModules())
        left += module->hitpoints;
    EXPECT_FLOAT_EQ(left, 0.0f);
    EXPECT_FALSE(ship->CheckAlive());
    EXPECT_FLOAT_EQ(ship->GetVisual()->destructionClock, 0.0f);
}

TEST_F(ShipTest, NonPositiveOrNanDamageDoesNothing)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    EXPECT_FALSE(ship->TakeHit(nullptr, 0.0f, 0, 0, nullptr, false, 0, 0));
    EXPECT_FALSE(ship->TakeHit(nullptr, std::nanf(""), 0, 0, nullptr, false, 0, 0));
    EXPECT_FLOAT_EQ(ship->currentHitPoints, ship->startingHitPoints);
}

TEST_F(ShipTest, TargetPointsCycleThroughTheHull)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    const SIM_ShipModule::Point* a = ship->NextTargetPoint();
    const SIM_ShipModule::Point* b = ship->NextTargetPoint();
    const SIM_ShipModule::Point* c = ship->NextTargetPoint();
    EXPECT_NE(a, b);
    EXPECT_EQ(a, c);
}

// A visual that applies the layer changes it is asked to, and counts them.
class LayerCountingVisual : public SIM_ShipVisual {
public:
    using SIM_ShipVisual::SIM_ShipVisual;
    void ApplyPendingLayer() override
    {
        ++asked;
        currentLayer = pendingLayer;
    }
    int asked = 0;
};

TEST_F(ShipTest, AWaitingLayerChangeIsAppliedOnTheNextFrameStepOnly)
{
    SIM_ShipVisual::SetFactory(
        [](SIM_Ship* s) -> std::unique_ptr<SIM_ShipVisual> { return std::make_unique<LayerCountingVisual>(s); });
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    SIM_ShipVisual::SetFactory(nullptr);
    auto* visual = dynamic_cast<LayerCountingVisual*>(ship->GetVisual());
    ASSERT_NE(visual, nullptr);
    ship->FrameStep();
    EXPECT_EQ(visual->asked, 0);
    visual->pendingLayer = 2;
    ship->FrameStep();
    EXPECT_EQ(visual->asked, 1);
    EXPECT_EQ(visual->currentLayer, 2);
    ship->FrameStep();
    EXPECT_EQ(visual->asked, 1);
}

// ---- states and the end of a ship -----------------------------------------

TEST_F(ShipTest, DestructionTimelineEndsInKillEvenWhenTheBreakUpIsLast)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->StartDying();
    for (int frame = 0; frame < 49; ++frame)
        ship->FrameStep();
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::DYING));
    EXPECT_EQ(ship->GetVisual()->firedExplosionCount, 3);
    EXPECT_FALSE(ship->GetVisual()->IsBreakupStarted());

    ship->FrameStep(); // clock reaches 600 ms: the break-up line fires last
    EXPECT_TRUE(ship->GetVisual()->IsBreakupStarted());
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::DESTROYED));
    EXPECT_FLOAT_EQ(ship->healthFraction, 0.0f);
    EXPECT_TRUE(Queued(ship));
    EXPECT_EQ(ship->GetCollisionAvoider(), nullptr);
    // The ship object itself stays for whatever still shows it.
    const auto& all = SIM_Ship::GetAllShips();
    EXPECT_NE(std::find(all.begin(), all.end(), ship), all.end());
}

TEST_F(ShipTest, ShipWithoutDestructionLinesDiesAtOnce)
{
    SIM_Ship* fighter = world.Build("fighter_bare", 0, 0);
    fighter->StartDying();
    fighter->FrameStep();
    EXPECT_EQ(fighter->state, static_cast<unsigned>(SIM_Ship::DESTROYED));
    EXPECT_TRUE(Queued(fighter));
}

TEST_F(ShipTest, KillIsDoneOnce)
{
    SIM_Ship* ship = world.Build("fighter_bare", 0, 0);
    ship->StartDying();
    ship->Kill();
    ship->Kill();
    EXPECT_EQ(std::count(GetRemovalQueue().begin(), GetRemovalQueue().end(), ship), 1);
}

TEST_F(ShipTest, ADestroyedCruiserDamagesLargeShipsAroundIt)
{
    SIM_Ship* wreck = world.Build("cruiser_bare", 0, 0);
    SIM_Ship* close = world.Build("cruiser_shielded", 50, 0, true);
    SIM_Ship* distant = world.Build("cruiser_bare", 250, 0, true);
    SIM_Ship* fighter = world.Build("fighter_bare", 10, 10, true);
    wreck->StartDying();
    wreck->Kill();
    EXPECT_LT(close->currentHitPoints, close->startingHitPoints);
    EXPECT_FLOAT_EQ(close->GetShield()->currentPoints, 100.0f); // shields don't help
    EXPECT_FLOAT_EQ(distant->currentHitPoints, distant->startingHitPoints);
    EXPECT_FLOAT_EQ(fighter->currentHitPoints, fighter->startingHitPoints);
}

TEST_F(ShipTest, AWreckHitsAFrigateWithHalfTheBlastOfACruiser)
{
    SIM_Ship* wreck = world.Build("cruiser_bare", 0, 0);
    SIM_Ship* cruiser = world.Build("cruiser_bare", -50, 0, true);
    SIM_Ship* frigate = world.Build("frigate_bare", 50, 0, true);
    wreck->StartDying();
    wreck->Kill();
    const float cruiserLoss = cruiser->startingHitPoints - cruiser->currentHitPoints;
    const float frigateLoss = frigate->startingHitPoints - frigate->currentHitPoints;
    // A quarter of the wreck's hitpoints, less with the distance's cosine.
    const float blast = 0.25f * wreck->design->GetHitpoints() * std::cos(0.25f * 1.5707963f);
    EXPECT_NEAR(cruiserLoss, blast, 1e-3f);
    EXPECT_NEAR(frigateLoss, 0.5f * blast, 1e-3f);
}

TEST_F(ShipTest, FrameStepMovesOnlyActiveOrDyingShips)
{
    SIM_Ship* ship = world.Build("cruiser_bare", 0, 0);
    ship->speed = ship->maxSpeed;
    ship->state = SIM_Ship::OFF_FIELD;
    ship->FrameStep();
    EXPECT_FLOAT_EQ(ship->y, 0.0f);
    ship->state = SIM_Ship::ACTIVE;
    ship->FrameStep();
    EXPECT_LT(ship->y, 0.0f);
    EXPECT_FLOAT_EQ(ship->shipClock, ShipTestWorld::kFrame);
}

TEST_F(ShipTest, RetreatJumpLeavesTheFieldUnlessHeld)
{
    SIM_Ship* held = world.Build("cruiser_bare", 0, 0);
    held->AddTractor(held->GetModules().back(), 1.0f);
    held->StartRetreatJump();
    EXPECT_EQ(held->state, static_cast<unsigned>(SIM_Ship::ACTIVE));

    SIM_Ship* ship = world.Build("cruiser_bare", 500, 0);
    ship->StartRetreatJump();
    EXPECT_EQ(ship->state, static_cast<unsigned>(SIM_Ship::OFF_FIELD));
    EXPECT_TRUE(ship->GetVisual()->IsWarpOutArmed());
}

TEST_F(ShipTest, ThreatRatioCountsEveryWeaponThatChoseTheShip)
{
    SIM_Ship* target = world.Build("cruiser_bare", 0, 0);
    SIM_Ship* a = world.Build("cruiser_shielded", 500, 0, true);
    const float one = a->startingHitPoints / target->startingHitPoints;
    // Two of a's weapons on the target: two entries, twice the weight.
    target->AddAttacker(a);
    target->AddAttacker(a);
    EXPECT_EQ(target->GetAttackers().size(), 2u);
    EXPECT_FLOAT_EQ(target->threatRatio, 2.0f * one);
    // One looks away: only its entry goes.
    target->RemoveAttacker(a);
    EXPECT_EQ(target->GetAttackers().size(), 1u);
    EXPECT_FLOAT_EQ(target->threatRatio, one);
    target->AddAttacker(a);
    world.Destroy(a);
    EXPECT_TRUE(target->GetAttackers().empty());
}

} // namespace
