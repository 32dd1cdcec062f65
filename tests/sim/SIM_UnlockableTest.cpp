#include "sim/SIM_Unlockable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {
struct QueryScope {
    explicit QueryScope(std::set<std::string>* unlocked)
    {
        SIM_Unlockable::SetUnlockedQuery([unlocked](const std::string& n) { return unlocked->count(n) > 0; });
    }
    ~QueryScope() { SIM_Unlockable::SetUnlockedQuery(nullptr); }
};
} // namespace

TEST(SIM_Unlockable, ItemThatIsNotLockableIsNeverLocked)
{
    std::set<std::string> unlocked;
    QueryScope scope(&unlocked);
    int owner = 0;
    SIM_Unlockable u;
    u.Init("laser", SIM_Unlockable::MODULE_TYPE, &owner);
    u.RefreshLocked();
    EXPECT_FALSE(u.IsLocked());
    unlocked.insert("laser");
    u.RefreshLocked();
    EXPECT_FALSE(u.IsLocked());
}

TEST(SIM_Unlockable, LockableItemFollowsTheUnlockedList)
{
    std::set<std::string> unlocked{"korrath"};
    QueryScope scope(&unlocked);
    int owner = 0;
    SIM_Unlockable u;
    u.SetLockable(true);
    u.SetUnlockCost(40);
    u.Init("korrath", SIM_Unlockable::RACE, &owner);
    u.RefreshLocked();
    EXPECT_FALSE(u.IsLocked());
    unlocked.clear();
    u.RefreshLocked();
    EXPECT_TRUE(u.IsLocked());
    EXPECT_EQ(u.GetUnlockCost(), 40);
    EXPECT_EQ(u.GetKind(), SIM_Unlockable::RACE);
    EXPECT_EQ(u.GetOwner(), &owner);
}

TEST(SIM_Unlockable, WithoutQueryOrUserFolderALockableItemStaysLocked)
{
    int owner = 0;
    SIM_Unlockable u;
    EXPECT_EQ(u.GetKind(), SIM_Unlockable::UNSET);
    u.SetLockable(true);
    u.Init("hull", SIM_Unlockable::HULL, &owner);
    u.RefreshLocked();
    EXPECT_TRUE(u.IsLocked());
}

TEST(SIM_Unlockable, GlobalListKeepsConstructionOrderAndForgetsTheDead)
{
    const size_t before = SIM_Unlockable::GetList().size();
    auto a = std::make_unique<SIM_Unlockable>();
    auto b = std::make_unique<SIM_Unlockable>();
    auto c = std::make_unique<SIM_Unlockable>();
    const auto& list = SIM_Unlockable::GetList();
    ASSERT_EQ(list.size(), before + 3);
    EXPECT_EQ(list[before], a.get());
    EXPECT_EQ(list[before + 2], c.get());
    b.reset();
    ASSERT_EQ(list.size(), before + 2);
    EXPECT_EQ(std::find(list.begin(), list.end(), b.get()), list.end());
    EXPECT_EQ(list[before + 1], c.get());
}
