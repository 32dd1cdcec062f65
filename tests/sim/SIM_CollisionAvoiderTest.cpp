#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/SIM_CollisionAvoider.h"
#include "sim/SIM_Ship.h"

namespace {

// Bare ships are enough: the avoider reads only position and hull size.
struct Placed {
    std::unique_ptr<SIM_Ship> ship;
    std::unique_ptr<SIM_CollisionAvoider> avoider;
};

Placed Place(float x, float y, float size)
{
    Placed p;
    p.ship = std::make_unique<SIM_Ship>();
    p.ship->x = x;
    p.ship->y = y;
    p.ship->hullSize = size;
    p.avoider = std::make_unique<SIM_CollisionAvoider>(p.ship.get());
    return p;
}

TEST(CollisionAvoiderTest, RescanTimerStartsAtARandomPhase)
{
    Placed a = Place(0, 0, 100);
    EXPECT_GE(a.avoider->GetRescanTimer(), 0.0f);
    EXPECT_LT(a.avoider->GetRescanTimer(), 2000.0f);
    EXPECT_FLOAT_EQ(a.avoider->GetRadius(), 100.0f);
}

TEST(CollisionAvoiderTest, OverlapPushesAwayFromTheNeighbour)
{
    Placed a = Place(0, 0, 100);
    Placed b = Place(50, 0, 100);
    a.avoider->Rescan();
    EXPECT_EQ(a.avoider->GetNeighbour(0), b.avoider.get());
    a.avoider->Steer();
    // d2 = 2500 of R2 = 10000: f = 0.75
    EXPECT_FLOAT_EQ(a.avoider->GetWeight(), 0.75f * 0.25f);
    EXPECT_FLOAT_EQ(a.avoider->GetDirectionX(), -0.75f);
    EXPECT_FLOAT_EQ(a.avoider->GetDirectionY(), 0.0f);
}

TEST(CollisionAvoiderTest, ExactlyOnTheEdgeGetsNoPush)
{
    Placed a = Place(0, 0, 100);
    Placed b = Place(0, 100, 100);
    a.avoider->Rescan();
    EXPECT_EQ(a.avoider->GetNeighbour(0), nullptr);
    a.avoider->Steer();
    EXPECT_FLOAT_EQ(a.avoider->GetWeight(), 0.0f);
}

TEST(CollisionAvoiderTest, NeighbourRadiusDecidesNotOwnRadius)
{
    Placed small = Place(0, 0, 10);
    Placed big = Place(50, 0, 100);
    small.avoider->Rescan();
    big.avoider->Rescan();
    EXPECT_EQ(small.avoider->GetNeighbour(0), big.avoider.get());
    EXPECT_EQ(big.avoider->GetNeighbour(0), nullptr);
}

TEST(CollisionAvoiderTest, OnlyTheFirstFourInRegistrationOrderAreAvoided)
{
    Placed self = Place(0, 0, 100);
    std::vector<Placed> others;
    for (int i = 0; i < 6; ++i)
        others.push_back(Place(static_cast<float>(i + 1), 0, 100));
    self.avoider->Rescan();
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(self.avoider->GetNeighbour(slot), others[static_cast<size_t>(slot)].avoider.get());
    EXPECT_EQ(self.avoider->GetNeighbour(4), nullptr);
}

TEST(CollisionAvoiderTest, FourNeighboursAtFullOverlapTakeOverTheHeading)
{
    Placed self = Place(0, 0, 100);
    std::vector<Placed> others;
    for (int i = 0; i < 4; ++i)
        others.push_back(Place(0, 0, 100));
    self.avoider->Rescan();
    self.avoider->Steer();
    EXPECT_FLOAT_EQ(self.avoider->GetWeight(), 1.0f);
}

TEST(CollisionAvoiderTest, UpdateRescansOnlyAfterTheInterval)
{
    Placed a = Place(0, 0, 100);
    a.avoider->SetRescanTimer(0.0f);
    Placed b = Place(10, 0, 100);
    a.avoider->Update(1000.0f);
    EXPECT_EQ(a.avoider->GetNeighbour(0), nullptr);
    a.avoider->Update(1001.0f);
    EXPECT_EQ(a.avoider->GetNeighbour(0), b.avoider.get());
    EXPECT_FLOAT_EQ(a.avoider->GetRescanTimer(), 0.0f);
    EXPECT_GT(a.avoider->GetWeight(), 0.0f);
}

TEST(CollisionAvoiderTest, ADestroyedNeighbourLeavesEverySlotAtOnce)
{
    Placed a = Place(0, 0, 100);
    Placed c = Place(5, 0, 100);
    Placed b = Place(10, 0, 100);
    a.avoider->Rescan();
    c.avoider->Rescan();
    b.avoider.reset();
    EXPECT_EQ(a.avoider->GetNeighbour(0), c.avoider.get());
    EXPECT_EQ(a.avoider->GetNeighbour(1), nullptr);
    EXPECT_EQ(c.avoider->GetNeighbour(0), a.avoider.get());
    EXPECT_EQ(c.avoider->GetNeighbour(1), nullptr);
    a.avoider->Steer();
}

TEST(CollisionAvoiderTest, AWatcherGoingFirstLeavesNoPointerBehind)
{
    Placed a = Place(0, 0, 100);
    Placed b = Place(10, 0, 100);
    a.avoider->Rescan(); // a watches b
    a.avoider.reset();
    // b must not reach the freed watcher when it goes or rescans.
    b.avoider->Rescan();
    b.avoider.reset();
    SUCCEED();
}

TEST(CollisionAvoiderTest, ClearingWatchersUnlinksBothWays)
{
    Placed a = Place(0, 0, 100);
    Placed b = Place(10, 0, 100);
    a.avoider->Rescan();
    b.avoider->Rescan();
    b.avoider->ClearWatchers();
    EXPECT_EQ(a.avoider->GetNeighbour(0), nullptr);
    EXPECT_EQ(b.avoider->GetNeighbour(0), nullptr);
    b.avoider.reset();
    a.avoider.reset();
}

TEST(CollisionAvoiderTest, EveryAvoiderIsListedWhileItLives)
{
    const size_t before = SIM_CollisionAvoider::GetAll().size();
    {
        Placed a = Place(0, 0, 100);
        EXPECT_EQ(SIM_CollisionAvoider::GetAll().size(), before + 1);
    }
    EXPECT_EQ(SIM_CollisionAvoider::GetAll().size(), before);
}

// The pushes as one neighbour at a time adds them, slot by slot: the
// steering must match it bit for bit (outcomes replay from it).
struct Push {
    float weight = 0.0f, x = 0.0f, y = 0.0f;
};
Push OneAtATime(const SIM_CollisionAvoider& avoider)
{
    Push p;
    const SIM_Ship* own = avoider.GetOwner();
    for (int i = 0; i < SIM_CollisionAvoider::kMaxNeighbours; ++i) {
        const SIM_CollisionAvoider* other = avoider.GetNeighbour(i);
        if (!other)
            continue;
        const SIM_Ship* ship = other->GetOwner();
        const float dx = ship->x - own->x, dy = ship->y - own->y;
        const float d2 = dx * dx + dy * dy;
        const float r2 = other->GetRadius() * other->GetRadius();
        if (!(d2 < r2))
            continue;
        float f = 1.0f - d2 / r2;
        p.weight += f * 0.25f;
        f = std::clamp(f, 0.0f, 1.0f);
        float ax = own->x - ship->x, ay = own->y - ship->y;
        const float length = std::sqrt(ax * ax + ay * ay);
        if (length > 0.0f) {
            ax /= length;
            ay /= length;
        }
        p.x += ax * f;
        p.y += ay * f;
    }
    return p;
}

TEST(CollisionAvoiderTest, PushesMatchOneNeighbourAtATimeBitForBit)
{
    Placed self = Place(0.37f, -1.91f, 90.0f);
    std::vector<Placed> others;
    others.push_back(Place(13.3f, 7.1f, 60.3f));    // inside
    others.push_back(Place(0.37f, -1.91f, 45.0f));  // on the very spot: no direction
    others.push_back(Place(-41.7f, 29.9f, 70.9f));  // inside, the other way
    others.push_back(Place(-3.1f, -88.2f, 112.7f)); // inside, far off
    self.avoider->Rescan();
    for (int slot = 0; slot < 4; ++slot)
        ASSERT_EQ(self.avoider->GetNeighbour(slot), others[static_cast<size_t>(slot)].avoider.get());
    auto expectSame = [&] {
        const Push want = OneAtATime(*self.avoider);
        self.avoider->Steer();
        EXPECT_EQ(std::bit_cast<uint32_t>(self.avoider->GetWeight()), std::bit_cast<uint32_t>(want.weight));
        EXPECT_EQ(std::bit_cast<uint32_t>(self.avoider->GetDirectionX()), std::bit_cast<uint32_t>(want.x));
        EXPECT_EQ(std::bit_cast<uint32_t>(self.avoider->GetDirectionY()), std::bit_cast<uint32_t>(want.y));
        return want;
    };
    const Push all = expectSame();
    EXPECT_GT(all.weight, 0.25f);

    // One neighbour drifts out of reach, another's slot empties: the rest
    // still push, in slot order.
    others[3].ship->y = -300.0f;
    others[0].avoider.reset();
    ASSERT_EQ(self.avoider->GetNeighbour(0), nullptr);
    const Push some = expectSame();
    EXPECT_GT(some.weight, 0.0f);
    EXPECT_LT(some.weight, all.weight);

    // Nobody inside: no push at all.
    others[2].ship->x = 500.0f;
    others[1].ship->x = 500.0f;
    expectSame();
    EXPECT_EQ(self.avoider->GetWeight(), 0.0f);
    EXPECT_EQ(self.avoider->GetDirectionX(), 0.0f);
}

} // namespace
