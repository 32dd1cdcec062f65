#include <gtest/gtest.h>

#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Ship.h"

TEST(FighterSquadron, MeanHealthIsZeroWithoutFightersElseTheMembersMean)
{
    SIM_FighterSquadron squadron;
    EXPECT_FLOAT_EQ(squadron.GetMeanHealth(), 0.0f);
    SIM_Ship a, b;
    a.healthFraction = 1.0f;
    b.healthFraction = 0.25f;
    squadron.AddMember(&a);
    squadron.AddMember(&b);
    EXPECT_FLOAT_EQ(squadron.GetMeanHealth(), 0.625f);
}
