#include "engine/GLifetime.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Thing {
    int value = 0;
    GLifetime lifetime;
};

} // namespace

// A watch reads its thing while it lives and null from the moment it is
// destroyed or ended; copies are other things, and an empty watch is gone.
TEST(LifetimeWatch, AWatchReadsItsThingUntilItIsDestroyedOrEndedAndCopiesAreOthers)
{
    GWatch<Thing> none;
    EXPECT_EQ(none.Get(), nullptr);
    EXPECT_TRUE(none.IsGone());
    EXPECT_TRUE(GWatch<Thing>(nullptr).IsGone());

    auto thing = std::make_unique<Thing>();
    Thing* raw = thing.get();
    GWatch<Thing> watch(raw);
    GWatch<const Thing> constWatch(raw);
    EXPECT_EQ(watch.Get(), raw);
    EXPECT_EQ(constWatch.Get(), raw);
    EXPECT_FALSE(watch.IsGone());
    EXPECT_TRUE(watch.Is(raw));
    EXPECT_FALSE(watch.Is(nullptr));

    // A copy, and a thing assigned from it, keep their own lives.
    Thing copy(*thing);
    GWatch<Thing> copyWatch(&copy);
    Thing assigned;
    GWatch<Thing> assignedWatch(&assigned);
    assigned = *thing;
    EXPECT_FALSE(assignedWatch.IsGone()) << "assignment keeps the target's own life";
    EXPECT_FALSE(watch.Is(&copy));

    thing.reset();
    EXPECT_EQ(watch.Get(), nullptr);
    EXPECT_EQ(constWatch.Get(), nullptr);
    EXPECT_TRUE(watch.IsGone());
    EXPECT_FALSE(watch.Is(raw)) << "a freed address is never the watched thing";
    EXPECT_EQ(copyWatch.Get(), &copy) << "the copy outlives the original";

    // Ended while it still exists: gone for old and new watches alike.
    copy.lifetime.End();
    EXPECT_TRUE(copy.lifetime.HasEnded());
    EXPECT_EQ(copyWatch.Get(), nullptr);
    EXPECT_EQ(GWatch<Thing>(&copy).Get(), nullptr);

    GWatch<Thing> reset(&assigned);
    reset.Reset();
    EXPECT_TRUE(reset.IsGone());
    EXPECT_EQ(assignedWatch.Get(), &assigned);
}
