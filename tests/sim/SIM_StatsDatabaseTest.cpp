#include <gtest/gtest.h>

#include "battle/GUI_BattleGUI.h"
#include "sim/SIM_StatsDatabase.h"

TEST(SIM_StatsDatabase, RecordingTwiceKeepsOneEntryWithTheFirstStamp)
{
    SIM_StatsDatabase db;
    SIM_DamageEvent event;
    event.damage = 12.0f;
    event.flag = 1;
    db.RecordEvent(event, 500.0f);
    event.moduleDamage = 3.0f;
    db.RecordEvent(event, 900.0f);

    ASSERT_EQ(db.GetEvents().size(), 1u);
    EXPECT_FLOAT_EQ(db.GetEvents()[0].time, 500.0f);
    EXPECT_FLOAT_EQ(db.GetEvents()[0].damage, 12.0f);
    EXPECT_EQ(db.GetEvents()[0].flag, 1u);
    EXPECT_EQ(event.recorded, 1);
}

TEST(SIM_StatsDatabase, EventsAreStampedWithTheBattleClock)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.ResetForBattle();
    gui.SetFrameTime(250.0f);
    SIM_StatsDatabase db;
    SIM_DamageEvent a, b;
    db.RecordEvent(a);
    gui.SetFrameTime(100.0f);
    db.RecordEvent(b);
    ASSERT_EQ(db.GetEvents().size(), 2u);
    EXPECT_FLOAT_EQ(db.GetEvents()[0].time, 250.0f);
    EXPECT_FLOAT_EQ(db.GetEvents()[1].time, 350.0f);
    gui.ResetForBattle();
}

TEST(SIM_StatsDatabase, SamplesKeepOrderAndClearEmptiesBoth)
{
    SIM_StatsDatabase db;
    db.AddSample(100, 200, 100.5f);
    db.AddSample(90, 150, 200.5f);
    SIM_DamageEvent e;
    db.RecordEvent(e, 1.0f);
    ASSERT_EQ(db.GetSamples().size(), 2u);
    EXPECT_EQ(db.GetSamples()[1].playerStrength, 90u);
    EXPECT_EQ(db.GetSamples()[1].enemyStrength, 150u);
    EXPECT_FLOAT_EQ(db.GetSamples()[1].time, 200.5f);

    db.Clear();
    EXPECT_TRUE(db.GetSamples().empty());
    EXPECT_TRUE(db.GetEvents().empty());
}
