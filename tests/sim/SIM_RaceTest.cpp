#include "sim/SIM_Race.h"
#include "engine/CTexturedSprite.h"
#include "sim/SIM_ShipNameGenerator.h"
#include "sim/SIM_Unlockable.h"
#include "support/TempDir.h"

#include "engine/GRandom.h"

#include <gtest/gtest.h>

#include <set>

namespace {
class RaceFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        QlmSrand(1234);
        SIM_Race::FreeAll();
    }
    void TearDown() override
    {
        SIM_Race::FreeAll();
        SIM_Unlockable::SetUnlockedQuery(nullptr);
    }
    void WriteRace(const std::string& file, const std::string& name, const std::string& extraConfig,
                   const std::string& rest = "[crew]\nc = Solo\n")
    {
        m_dir.Write("data/races/" + file, "[config]\nname = " + name + "\n" + extraConfig + rest);
    }
    TempDir m_dir;
};
} // namespace

TEST_F(RaceFolder, SortsByGuiIdStablyWithMissingIdsAt99)
{
    WriteRace("a.txt", "alpha", "guiid = 5\n");
    WriteRace("b.txt", "bravo", "");
    WriteRace("c.txt", "charlie", "guiid = 5\n");
    WriteRace("d.txt", "delta", "guiid = -1\n");
    WriteRace("e.txt", "echo", "guiid = 150\n");
    ScopedChdir cd(m_dir.Path());
    SIM_Race::LoadAll();
    const auto& list = SIM_Race::GetList();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0]->GetName(), "delta");
    EXPECT_EQ(list[1]->GetName(), "alpha");
    EXPECT_EQ(list[2]->GetName(), "charlie");
    EXPECT_EQ(list[3]->GetName(), "bravo");
    EXPECT_EQ(list[3]->GetGuiId(), 99);
    EXPECT_EQ(list[4]->GetName(), "echo");

    // Loading again while the list holds races changes nothing.
    SIM_Race::LoadAll();
    EXPECT_EQ(SIM_Race::GetList().size(), 5u);
}

TEST_F(RaceFolder, FindIsExactAndFallsBackToTheDefaultRaceOnlyWhenAsked)
{
    WriteRace("f.txt", "federation", "");
    WriteRace("k.txt", "korrath", "");
    ScopedChdir cd(m_dir.Path());
    EXPECT_NE(SIM_Race::Find("korrath"), nullptr); // loads on first use
    EXPECT_EQ(SIM_Race::Find("Korrath", false), nullptr);
    EXPECT_EQ(SIM_Race::FindOrDefault("")->GetName(), "federation");
    EXPECT_EQ(SIM_Race::FindOrDefault("nobody")->GetName(), "federation");
    EXPECT_EQ(SIM_Race::FindOrDefault("korrath")->GetName(), "korrath");
}

TEST_F(RaceFolder, CrewNamesCycleInTheirShuffledOrder)
{
    WriteRace("a.txt", "alpha", "", "[crew]\nc = One\nc = Two\nc = Three\n");
    ScopedChdir cd(m_dir.Path());
    SIM_Race* race = SIM_Race::Find("alpha");
    ASSERT_NE(race, nullptr);
    std::vector<std::string> first;
    for (int i = 0; i < 3; ++i)
        first.push_back(race->GetNextCrewName());
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()), (std::set<std::string>{"One", "Two", "Three"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(race->GetNextCrewName(), first[static_cast<size_t>(i)]);
}

TEST_F(RaceFolder, RaceWithoutCrewGivesEmptyNamesInsteadOfFailing)
{
    WriteRace("a.txt", "alpha", "", "");
    ScopedChdir cd(m_dir.Path());
    SIM_Race* race = SIM_Race::Find("alpha");
    ASSERT_NE(race, nullptr);
    EXPECT_EQ(race->GetNextCrewName(), "");
    EXPECT_EQ(race->GetNextCrewName(), "");
}

TEST_F(RaceFolder, UnlockFieldsComeFromTheFileAndTextureOnlyWhenLockable)
{
    WriteRace("a.txt", "alpha", "lockable = 0\nunlockcost = 7\nunlock_texture = a.dds\n");
    WriteRace("b.txt", "bravo", "lockable = 1\nunlockcost = 40\nunlock_texture = b.dds\n");
    std::set<std::string> unlocked;
    SIM_Unlockable::SetUnlockedQuery([&](const std::string& n) { return unlocked.count(n) > 0; });
    ScopedChdir cd(m_dir.Path());
    SIM_Race::LoadAll();
    SIM_Race* a = SIM_Race::Find("alpha");
    SIM_Race* b = SIM_Race::Find("bravo");
    EXPECT_EQ(a->GetUnlockable()->GetIconTexture(), "");
    EXPECT_FALSE(a->IsLocked());
    EXPECT_EQ(b->GetUnlockable()->GetIconTexture(), "b.dds");
    EXPECT_EQ(b->GetUnlockable()->GetUnlockCost(), 40);
    EXPECT_EQ(b->GetUnlockable()->GetKind(), SIM_Unlockable::RACE);
    EXPECT_TRUE(b->IsLocked());
    EXPECT_EQ(SIM_Race::CountSelectableRaces(), 1);
    unlocked.insert("bravo");
    SIM_Unlockable::RefreshAll();
    EXPECT_FALSE(b->IsLocked());
    EXPECT_EQ(SIM_Race::CountSelectableRaces(), 2);
}

TEST_F(RaceFolder, TurretMappingAndMessages)
{
    WriteRace("a.txt", "alpha", "",
              "[turrets]\nturret_laser = laser_a  , sheet.dds , 3\n[crew]\nc = X\n"
              "[victory_messages]\nm = We won\n");
    ScopedChdir cd(m_dir.Path());
    SIM_Race* race = SIM_Race::Find("alpha");
    ASSERT_NE(race, nullptr);
    EXPECT_EQ(race->GetTurretMapping("turret_laser"), "laser_a");
    const SIM_Race::Turret* t = race->FindTurret("turret_laser");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->texture, "sheet.dds");
    EXPECT_EQ(t->frame, 3);
    EXPECT_EQ(race->GetTurretMapping("turret_unknown"), "");
    // The working picture at the frame, the wrecked one 32 frames on, of 64.
    CTexturedSprite working, wrecked, frame3, frame35;
    race->CreateTurretSprite("turret_laser", working, wrecked);
    frame3.SetFrame(3, 64);
    frame35.SetFrame(35, 64);
    EXPECT_EQ(working.GetTextureName(), "sheet.dds");
    EXPECT_EQ(wrecked.GetTextureName(), "sheet.dds");
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(working.m_vertices[i].u, frame3.m_vertices[i].u);
        EXPECT_FLOAT_EQ(working.m_vertices[i].v, frame3.m_vertices[i].v);
        EXPECT_FLOAT_EQ(wrecked.m_vertices[i].u, frame35.m_vertices[i].u);
        EXPECT_FLOAT_EQ(wrecked.m_vertices[i].v, frame35.m_vertices[i].v);
    }
    CTexturedSprite untouched, alsoUntouched;
    race->CreateTurretSprite("turret_unknown", untouched, alsoUntouched);
    EXPECT_EQ(untouched.GetTextureName(), "");
    EXPECT_EQ(alsoUntouched.GetTextureName(), "");
    EXPECT_EQ(race->GetVictoryMessages(), "We won");
    EXPECT_EQ(race->GetDefeatMessages(), "");
}

TEST_F(RaceFolder, BrokenNumbersReadAsZero)
{
    WriteRace("a.txt", "alpha", "guiid = lots\ndebrisenduv = 12abc\nescapepodid = " + std::string(200, '9') + "\n");
    ScopedChdir cd(m_dir.Path());
    SIM_Race* race = SIM_Race::Find("alpha");
    ASSERT_NE(race, nullptr);
    EXPECT_EQ(race->GetGuiId(), 0);
    EXPECT_EQ(race->GetDebrisEndUV(), 12);
    EXPECT_GT(race->GetEscapePodId(), 0); // saturated, not wrapped
}

TEST(SIM_RaceContent, ShippedRacesAreCompleteAndNameTheirShipNameLists)
{
    SIM_Race::FreeAll();
    ScopedChdir cd(QLM_SOURCE_DIR);
    SIM_Race::LoadAll();
    SIM_ShipNameGenerator::GetInstance().LoadAll();
    const auto& list = SIM_Race::GetList();
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0]->GetName(), SIM_Race::kDefaultRace);
    EXPECT_FALSE(list[0]->GetUnlockable()->IsLockable());
    SIM_Race* korrath = SIM_Race::Find("korrath");
    ASSERT_NE(korrath, nullptr);
    EXPECT_TRUE(korrath->GetUnlockable()->IsLockable());
    EXPECT_GT(korrath->GetUnlockable()->GetUnlockCost(), 0);
    for (SIM_Race* race : list) {
        EXPECT_FALSE(race->GetCrew().empty()) << race->GetName();
        EXPECT_FALSE(race->GetTurrets().empty()) << race->GetName();
        EXPECT_FALSE(race->GetVictoryMessages().empty()) << race->GetName();
        EXPECT_FALSE(race->GetDefeatMessages().empty()) << race->GetName();
        EXPECT_NE(SIM_ShipNameGenerator::GetInstance().FindList(race->GetDefaultNames()), nullptr) << race->GetName();
    }
    SIM_ShipNameGenerator::GetInstance().Clear();
    SIM_Race::FreeAll();
}
