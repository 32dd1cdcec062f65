#include <gtest/gtest.h>

#include <set>
#include <vector>
#include <string>

#include "battle/GUI_BattleGUI.h"
#include "engine/GRandom.h"
#include "sim/SIM_CommsManager.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

namespace {
// Comms only compare sender pointers; these never get dereferenced.
SIM_Ship* FakeShip(int n)
{
    static char storage[8];
    return reinterpret_cast<SIM_Ship*>(&storage[n]);
}

class CommsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QlmSrand(7);
        GUI_BattleGUI::GetInstance().ResetForBattle();
        GUI_BattleGUI::GetInstance().commsOn = 1;
        file = dir.Write("comms.ini",
                         "[COM_TARGETDESTROYED]\n1 = Got it\n2 = Down it goes\n3 = Splash\n"
                         "[COM_SHIELDSDOWN]\na = <CREWNAME>: shields gone\n"
                         "[NOT_A_MESSAGE]\nx = ignored\n");
    }
    void TearDown() override { GUI_BattleGUI::GetInstance().ResetForBattle(); }

    void Frame(float ms)
    {
        GUI_BattleGUI::GetInstance().SetFrameTime(ms);
    }

    TempDir dir;
    std::string file;
};
} // namespace

TEST_F(CommsTest, PoolsComeFromMatchingSectionsOnly)
{
    SIM_CommsManager comms(file);
    EXPECT_EQ(comms.GetPool(SIM_CommsManager::COM_TARGETDESTROYED).size(), 3u);
    EXPECT_EQ(comms.GetPool(SIM_CommsManager::COM_SHIELDSDOWN).size(), 1u);
    // Missing sections leave an empty pool.
    EXPECT_TRUE(comms.GetPool(SIM_CommsManager::COM_RETREATING).empty());
    EXPECT_EQ(SIM_CommsManager::FindId("COM_RETREATING"), SIM_CommsManager::COM_RETREATING);
    EXPECT_EQ(SIM_CommsManager::FindId("NOT_A_MESSAGE"), -1);
    EXPECT_TRUE(comms.GetPool(99).empty());
}

TEST_F(CommsTest, MissingFileGivesEmptyPoolsWithoutCrashing)
{
    SIM_CommsManager comms(dir.File("nope.ini"));
    for (int i = 0; i < SIM_CommsManager::COM_COUNT; ++i)
        EXPECT_TRUE(comms.GetPool(i).empty());
    comms.AddMessage(SIM_CommsManager::COM_RETREATING, 0.5f, FakeShip(0));
    // With no lines at all a kind speaks the built-in line, never its id.
    EXPECT_EQ(comms.PopMessageText(), ": Standing by.");
    EXPECT_EQ(comms.PopMessageText(), "");
}

TEST_F(CommsTest, AKindWithoutLinesSpeaksTheGenericOnes)
{
    SIM_CommsManager comms(dir.Write("generic.ini", "[COM_TARGETDESTROYED]\n1 = Splash\n"
                                                     "[COM_GENERIC]\n1 = <CREWNAME>: Copy that.\n"));
    ASSERT_TRUE(comms.GetPool(SIM_CommsManager::COM_RETREATING).empty());
    EXPECT_EQ(comms.GetGenericPool(), std::vector<std::string>{"<CREWNAME>: Copy that."});
    comms.AddMessage(SIM_CommsManager::COM_RETREATING, 0.5f, FakeShip(0));
    EXPECT_EQ(comms.PopMessageText(), ": Copy that.");
    // A kind with lines of its own keeps them.
    comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(0));
    EXPECT_EQ(comms.PopMessageText(), "Splash");
}

TEST_F(CommsTest, LowerPriorityDroppedEqualQueued)
{
    SIM_CommsManager comms(file);
    comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(0));
    comms.AddMessage(SIM_CommsManager::COM_SHOCKEDBYFORCE, 0.2f, FakeShip(1));
    EXPECT_EQ(comms.GetQueue().size(), 1u);
    comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(1));
    EXPECT_EQ(comms.GetQueue().size(), 2u);
    comms.AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 0.9f, FakeShip(2));
    EXPECT_EQ(comms.GetQueue().size(), 3u);
    EXPECT_FLOAT_EQ(comms.GetThreshold(), 0.9f);
    // Out-of-range ids are ignored, not indexed.
    comms.AddMessage(-1, 1.0f, FakeShip(0));
    comms.AddMessage(SIM_CommsManager::COM_COUNT, 1.0f, FakeShip(0));
    EXPECT_EQ(comms.GetQueue().size(), 3u);
}

TEST_F(CommsTest, NothingQueuedWhileCommsAreOff)
{
    SIM_CommsManager comms(file);
    GUI_BattleGUI::GetInstance().commsOn = 0;
    comms.AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 0.9f, FakeShip(0));
    EXPECT_TRUE(comms.GetQueue().empty());
}

TEST_F(CommsTest, MessagesExpireAfterASecondOfBattleTime)
{
    SIM_CommsManager comms(file);
    comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(0));
    for (int i = 0; i < 4; ++i)
        Frame(250.0f); // 1000 ms: not yet older than a second
    comms.Update();
    EXPECT_EQ(comms.GetQueue().size(), 1u);
    Frame(250.0f);
    comms.Update();
    EXPECT_TRUE(comms.GetQueue().empty());
    EXPECT_FLOAT_EQ(comms.GetThreshold(), 0.0f);
}

TEST_F(CommsTest, PruningWaitsForTheDisplayTimer)
{
    SIM_CommsManager comms(file);
    comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(0));
    Frame(1500.0f);
    comms.Update(); // timer passes 200: prune
    EXPECT_TRUE(comms.GetQueue().empty());

    comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(0));
    Frame(100.0f);
    comms.Update();
    GUI_BattleGUI::GetInstance().battleTime += 5000.0f; // old, but the timer is only at 100
    comms.Update();
    EXPECT_EQ(comms.GetQueue().size(), 1u);
}

TEST_F(CommsTest, PopCyclesThePoolAndRefreshesThreshold)
{
    SIM_CommsManager comms(file);
    std::set<std::string> seen;
    for (int i = 0; i < 6; ++i) {
        comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(0));
        seen.insert(comms.PopMessageText());
        EXPECT_FLOAT_EQ(comms.GetThreshold(), 0.0f);
    }
    EXPECT_EQ(seen, (std::set<std::string>{"Got it", "Down it goes", "Splash"}));
}

TEST_F(CommsTest, CrewTagReplacedEvenWithoutARace)
{
    SIM_CommsManager comms(file);
    comms.AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 0.9f, FakeShip(0));
    const std::string text = comms.PopMessageText();
    EXPECT_EQ(text.find("<CREWNAME>"), std::string::npos);
    EXPECT_NE(text.find("shields gone"), std::string::npos);
}

TEST_F(CommsTest, InspectedShipFiltersQueueAndNewMessages)
{
    SIM_CommsManager comms(file);
    comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(0));
    comms.AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 0.9f, FakeShip(1));
    comms.SetInspectedShip(FakeShip(1));
    ASSERT_EQ(comms.GetQueue().size(), 1u);
    EXPECT_EQ(comms.GetQueue().front().sender, FakeShip(1));
    EXPECT_FLOAT_EQ(comms.GetThreshold(), 0.9f);

    comms.AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 1.0f, FakeShip(0));
    EXPECT_EQ(comms.GetQueue().size(), 1u);

    comms.SetInspectedShip(nullptr);
    comms.AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 1.0f, FakeShip(0));
    EXPECT_EQ(comms.GetQueue().size(), 2u);
}

TEST_F(CommsTest, ResetAndForgetShipDropQueuedLines)
{
    SIM_CommsManager comms(file);
    comms.AddMessage(SIM_CommsManager::COM_TARGETDESTROYED, 0.6f, FakeShip(0));
    comms.AddMessage(SIM_CommsManager::COM_SHIELDSDOWN, 0.9f, FakeShip(1));
    comms.ForgetShip(FakeShip(0));
    ASSERT_EQ(comms.GetQueue().size(), 1u);
    comms.Reset();
    EXPECT_TRUE(comms.GetQueue().empty());
    EXPECT_FLOAT_EQ(comms.GetThreshold(), 0.0f);
    EXPECT_EQ(comms.GetInspectedShip(), nullptr);
}

TEST(SIM_CommsManagerShipped, ShippedTextsCoverEveryKind)
{
    SIM_CommsManager comms(std::string(QLM_SOURCE_DIR) + "/data/comms.ini");
    for (int i = 0; i < SIM_CommsManager::COM_COUNT; ++i)
        EXPECT_FALSE(comms.GetPool(i).empty()) << SIM_CommsManager::GetIdName(i);
    EXPECT_FALSE(comms.GetGenericPool().empty());
}

TEST_F(CommsTest, AnEmptyCutOrDamagedFileIsToldOnce)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ": no comms lines in it (empty, cut or damaged)"},
        {"\x7f" "ELF\x02\x01 garbage", ": no comms lines in it (empty, cut or damaged)"},
        {"[COM_TARGETDES", ": 1 sections name no comms event (first [COM_TARGETDE]), ignored"},
        {"[COM_TARGETDESTROYED]\n1 = Got it\n[COM_SHIELDSDO",
         ": 1 sections name no comms event (first [COM_SHIELDSD]), ignored"},
    };
    for (const auto& [text, told] : cases) {
        SCOPED_TRACE(text);
        const std::string path = dir.Write("damaged.ini", text);
        ScopedErrorLog log;
        SIM_CommsManager comms(path);
        EXPECT_EQ(log.Count(path + told), 1) << log.Text();
        // A file cut to a bare header names no event and gives no lines: both told.
        EXPECT_EQ(log.Lines(), text.rfind("[COM_TARGETDES", 0) == 0 && text.size() < 20 ? 2 : 1) << log.Text();
    }
    ScopedErrorLog log;
    SIM_CommsManager whole(dir.Write("whole.ini", "[COM_TARGETDESTROYED]\n1 = Got it\n"));
    EXPECT_EQ(log.Lines(), 0);
    // Cut inside a line: its start is spoken as the whole line, told once.
    const std::string cut = dir.Write("cut.ini", "[COM_TARGETDESTROYED]\n1 = Got it\n2 = Splash, one mo");
    SIM_CommsManager half(cut);
    EXPECT_EQ(half.GetPool(SIM_CommsManager::COM_TARGETDESTROYED).size(), 2u);
    EXPECT_EQ(log.Count(cut + ": cut off inside its last line, its last line read as it stands"), 1);
    EXPECT_EQ(log.Lines(), 1);
}
