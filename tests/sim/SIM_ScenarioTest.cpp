#include "sim/SIM_Scenario.h"

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_ChallengeFile.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
const char* kFullScenario =
    "[config]\n"
    "gui_id = 7\n"
    "backdrop = back.dds\n"
    "icon = icon.dds\n"
    "name = abc\n"
    "guiname = SCENARIO_ABC\n"
    "mapsizex = 2000.5\n"
    "mapsizey = 1500\n"
    "starfield = 1\n"
    "fleetcostlimit = 4000\n"
    "pilotlimit = 20\n"
    "enemyrace = korrath\n"
    "shader = fog.fx\n"
    "size = SCENARIO_SIZE_MEDIUM\n"
    "unlocked_after = tutorial1\n"
    "type = SURVIVAL\n"
    "asteroidcount = 40\n"
    "asteroidtopx = 0.4\n"
    "asteroidbottomx = 0.6\n"
    "lightningintensity = 0.5\n"
    "lightninginterval = 3000\n"
    "player_deployment = 10,20,300,400\n"
    "ai_deployment = -5,20,1900,1400\n"
    "music = battle2.ogg\n"
    "[variables]\n"
    "SHIELDS_INOPERABLE\n"
    "ENGINE_SPEED_MULTIPLIER,0.75\n"
    "_sl_laser,2.9\n"
    "NOT_A_THING,3\n"
    "_sl_missile,0\n"
    "[terrain]\n"
    "planet = 100,200,0.5,planet.dds,0,0,0,1,1,300,300,1,0\n"
    "moon = 900,900,1.2,moon.dds,0,0,0,1,1,50,50,0,0\n";

class ScenarioFiles : public ::testing::Test {
protected:
    void SetUp() override { SIM_Scenario::FreeAll(); }
    void TearDown() override { SIM_Scenario::FreeAll(); }
    TempDir m_dir;
};

void ExpectSameScenario(const SIM_Scenario& a, const SIM_Scenario& b)
{
    EXPECT_EQ(a.GetName(), b.GetName());
    EXPECT_EQ(a.GetGuiName(), b.GetGuiName());
    EXPECT_EQ(a.GetGuiId(), b.GetGuiId());
    EXPECT_FLOAT_EQ(a.GetMapSizeX(), b.GetMapSizeX());
    EXPECT_FLOAT_EQ(a.GetMapSizeY(), b.GetMapSizeY());
    EXPECT_EQ(a.GetType(), b.GetType());
    EXPECT_EQ(a.GetEnemyRace(), b.GetEnemyRace());
    EXPECT_EQ(a.GetUnlockedAfter(), b.GetUnlockedAfter());
    EXPECT_EQ(a.GetAsteroidCount(), b.GetAsteroidCount());
    EXPECT_FLOAT_EQ(a.GetAsteroidTopX(), b.GetAsteroidTopX());
    EXPECT_FLOAT_EQ(a.GetLightningInterval(), b.GetLightningInterval());
    EXPECT_EQ(a.GetPlayerDeployment().right, b.GetPlayerDeployment().right);
    EXPECT_EQ(a.GetAIDeployment().left, b.GetAIDeployment().left);
    EXPECT_EQ(a.GetTerrainLines(), b.GetTerrainLines());
    ASSERT_EQ(a.GetAnomalies().size(), b.GetAnomalies().size());
    for (size_t i = 0; i < a.GetAnomalies().size(); ++i) {
        EXPECT_EQ(a.GetAnomalies()[i].keyword, b.GetAnomalies()[i].keyword);
        EXPECT_EQ(a.GetAnomalies()[i].hasAmount, b.GetAnomalies()[i].hasAmount);
        EXPECT_FLOAT_EQ(a.GetAnomalies()[i].amount, b.GetAnomalies()[i].amount);
    }
    ASSERT_EQ(a.GetSupplyLimits().size(), b.GetSupplyLimits().size());
    for (size_t i = 0; i < a.GetSupplyLimits().size(); ++i) {
        EXPECT_EQ(a.GetSupplyLimits()[i].moduleType, b.GetSupplyLimits()[i].moduleType);
        EXPECT_EQ(a.GetSupplyLimits()[i].limit, b.GetSupplyLimits()[i].limit);
    }
}
} // namespace

TEST_F(ScenarioFiles, ReadsConfigVariablesAndTerrain)
{
    std::string path = m_dir.Write("data/scenarios/abc.txt", kFullScenario);
    SIM_Scenario s;
    const int errorsBefore = GDebugLog::GetInstance().GetErrorCount();
    ASSERT_TRUE(s.Load(path));
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errorsBefore + 1); // the unknown variable, once
    EXPECT_EQ(s.GetName(), "abc");
    EXPECT_EQ(s.GetGuiId(), 7);
    EXPECT_FLOAT_EQ(s.GetMapSizeX(), 2000.5f);
    EXPECT_TRUE(s.HasStarfield());
    EXPECT_EQ(s.GetType(), SIM_Scenario::SURVIVAL);
    EXPECT_EQ(s.GetAIDeployment().left, -5);
    EXPECT_EQ(s.GetPlayerDeployment().bottom, 400);
    EXPECT_TRUE(s.HasAsteroids());
    EXPECT_EQ(s.GetAsteroidCount(), 40);
    EXPECT_FLOAT_EQ(s.GetLightningIntensity(), 0.5f);
    ASSERT_EQ(s.GetTerrainLines().size(), 2u);
    EXPECT_EQ(s.GetTerrainLines()[1], "900,900,1.2,moon.dds,0,0,0,1,1,50,50,0,0");
    EXPECT_EQ(s.GetVariableLines().size(), 5u);
}

TEST_F(ScenarioFiles, FlagWithoutNumberAndSupplyLimitsTruncate)
{
    SIM_Scenario s;
    ASSERT_TRUE(s.Load(m_dir.Write("data/scenarios/abc.txt", kFullScenario)));
    EXPECT_TRUE(s.GetAnomalyFlag(SIM_Anomaly::SHIELDS_INOPERABLE));
    EXPECT_FALSE(s.GetAnomalyFlag(SIM_Anomaly::CLOAK_INOPERABLE));
    EXPECT_FALSE(s.GetAnomalyFlag(SIM_Anomaly::SHIELD_STRENGTH_MULTIPLIER)); // not a flag
    ASSERT_EQ(s.GetAnomalies().size(), 2u);
    EXPECT_EQ(s.GetAnomalies()[0].keyword, "SHIELDS_INOPERABLE");
    EXPECT_FALSE(s.GetAnomalies()[0].hasAmount);
    EXPECT_TRUE(s.GetAnomalies()[1].hasAmount);
    EXPECT_FLOAT_EQ(s.GetEngineSpeedMultiplier(), 0.75f);
    EXPECT_FLOAT_EQ(s.GetShieldStrengthMultiplier(), 1.0f);
    EXPECT_TRUE(s.HasAnomalies());
    EXPECT_EQ(s.GetSupplyLimit("laser"), 2);
    EXPECT_EQ(s.GetSupplyLimit("missile"), 0);
    EXPECT_EQ(s.GetSupplyLimit("Laser"), -1);
    EXPECT_EQ(s.GetSupplyLimit("torpedo"), -1);
}

TEST_F(ScenarioFiles, TypeWordsAndMissingRace)
{
    SIM_Scenario a, b, c;
    const std::string map = "mapsizex = 100\nmapsizey = 100\n";
    ASSERT_TRUE(a.Load(m_dir.Write("a.txt", "[config]\nname = a\n" + map)));
    ASSERT_TRUE(b.Load(m_dir.Write("b.txt", "[config]\nname = b\ntype = WHATEVER\n" + map)));
    ASSERT_TRUE(c.Load(m_dir.Write("c.txt", "[config]\nname = c\ntype = TUTORIAL\n" + map)));
    EXPECT_EQ(a.GetType(), SIM_Scenario::SKIRMISH);
    EXPECT_EQ(a.GetTypeText(), "SKIRMISH");
    EXPECT_EQ(b.GetType(), SIM_Scenario::SKIRMISH);
    EXPECT_EQ(c.GetType(), SIM_Scenario::TUTORIAL);
    EXPECT_EQ(a.GetEnemyRace(), "federation");
    EXPECT_FALSE(a.HasAsteroids());
    EXPECT_FALSE(a.HasLightning());
}

TEST_F(ScenarioFiles, AMapWithoutSizeIsRefusedAndLeftOutOfTheList)
{
    {
        SIM_Scenario s;
        ASSERT_TRUE(s.Load(m_dir.Write("flat.txt", "[config]\nname = flat\nmapsizex = 0\nmapsizey = 1500\n")));
        EXPECT_FALSE(s.HasPlayableMap());
        ASSERT_TRUE(s.Load(m_dir.Write("thin.txt", "[config]\nname = thin\nmapsizex = 2000\n")));
        EXPECT_FALSE(s.HasPlayableMap());
        ASSERT_TRUE(s.Load(m_dir.Write("ok.txt", "[config]\nname = ok\nmapsizex = 0.5\nmapsizey = 0.5\n")));
        EXPECT_TRUE(s.HasPlayableMap());
    }
    m_dir.Write("data/scenarios/flat.txt", "[config]\nname = flat\nmapsizex = 0\nmapsizey = 1500\n");
    m_dir.Write("data/scenarios/good.txt", "[config]\nname = good\nmapsizex = 10\nmapsizey = 10\n");
    ScopedChdir cd(m_dir.Path());
    SIM_Scenario::LoadAll();
    EXPECT_EQ(SIM_Scenario::FindByName("flat"), nullptr);
    EXPECT_NE(SIM_Scenario::FindByName("good"), nullptr);
    EXPECT_EQ(SIM_Scenario::GetList().size(), 1u);
}

TEST_F(ScenarioFiles, MissingFileLeavesAnEmptyScenario)
{
    SIM_Scenario s;
    EXPECT_FALSE(s.Load(m_dir.File("nope.txt")));
    EXPECT_EQ(s.GetName(), "");
    EXPECT_EQ(s.GetGuiId(), 0);
}

TEST_F(ScenarioFiles, EnemyFleetPaths)
{
    SIM_Scenario survival;
    ASSERT_TRUE(survival.Load(m_dir.Write("data/scenarios/abc.txt", kFullScenario)));
    EXPECT_EQ(survival.GetEnemyFleetPath("wave1.txt"), m_dir.Path() + "/data/deployments/abc/wave1.txt");
    EXPECT_EQ(survival.GetSurvivalWavesPath(), m_dir.Path() + "/data/deployments/abc/waves.txt");
    // A wave name can't climb out of the scenario's folder.
    EXPECT_EQ(survival.GetEnemyFleetPath("../../x.txt").find(".."), std::string::npos);

    SIM_Scenario skirmish;
    ASSERT_TRUE(skirmish.Load(m_dir.Write("data/scenarios/def.txt", "[config]\nname = def\n")));
    EXPECT_EQ(skirmish.GetEnemyFleetPath(), m_dir.Path() + "/data/deployments/def/aifleet_easy.txt");
    skirmish.SetDifficulty(SIM_Scenario::MEDIUM);
    EXPECT_EQ(skirmish.GetEnemyFleetPath(), m_dir.Path() + "/data/deployments/def/aifleet_medium.txt");
    skirmish.SetDifficulty(SIM_Scenario::HARD);
    EXPECT_EQ(skirmish.GetEnemyFleetPath(), m_dir.Path() + "/data/deployments/def/aifleet_hard.txt");

    // Custom scenarios and survival scenarios outside a "scenarios" folder.
    SIM_Scenario custom;
    ASSERT_TRUE(custom.Load(m_dir.Write("user/custom_scenarios/mine.txt", kFullScenario)));
    EXPECT_EQ(custom.GetEnemyFleetPath("w.txt"), m_dir.Path() + "/user/custom_deployments/mine/w.txt");
    SIM_Scenario loose;
    ASSERT_TRUE(loose.Load(m_dir.Write("elsewhere/loose.txt", kFullScenario)));
    EXPECT_EQ(loose.GetEnemyFleetPath("w.txt"), m_dir.Path() + "/elsewhere/deployments/loose/w.txt");

    // A scenario name is made safe before it names a folder.
    SIM_Scenario evil;
    ASSERT_TRUE(evil.Load(m_dir.Write("data/scenarios/evil.txt", "[config]\nname = ../../etc\n")));
    std::string path = evil.GetEnemyFleetPath();
    EXPECT_EQ(path.find(".."), std::string::npos);
    EXPECT_EQ(path.rfind(m_dir.Path() + "/data/deployments/", 0), 0u);
}

TEST_F(ScenarioFiles, WriterKeepsEveryKeyAndRoundTrips)
{
    SIM_Scenario original;
    ASSERT_TRUE(original.Load(m_dir.Write("data/scenarios/abc.txt", kFullScenario)));
    std::string out1 = m_dir.File("out1.txt");
    ASSERT_TRUE(original.Save(out1));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(out1, text));
    EXPECT_NE(text.find("asteroidcount = 40"), std::string::npos);
    EXPECT_NE(text.find("lightninginterval = 3000.0000"), std::string::npos);
    EXPECT_NE(text.find("music = battle2.ogg"), std::string::npos);
    EXPECT_NE(text.find("[terrain]\nplanet = 100,200"), std::string::npos);
    EXPECT_NE(text.find("\nSHIELDS_INOPERABLE\n"), std::string::npos);

    SIM_Scenario reread;
    ASSERT_TRUE(reread.Load(out1));
    ExpectSameScenario(original, reread);

    // Writing what was read gives the same bytes again.
    std::string out2 = m_dir.File("out2.txt");
    ASSERT_TRUE(reread.Save(out2));
    std::string text2;
    ASSERT_TRUE(ReadWholeFile(out2, text2));
    EXPECT_EQ(text, text2);
}

TEST_F(ScenarioFiles, BothVariableFormatsReadBackTheSame)
{
    SIM_Scenario original;
    ASSERT_TRUE(original.Load(m_dir.Write("data/scenarios/abc.txt", kFullScenario)));

    original.FormatVariables();
    EXPECT_EQ(original.GetVariableLines(),
              (std::vector<std::string>{"SHIELDS_INOPERABLE", "ENGINE_SPEED_MULTIPLIER,0.75", "_sl_laser,2",
                                        "_sl_missile,0"}));
    ASSERT_TRUE(original.Save(m_dir.File("plain.txt")));

    original.FormatVariablesForEditor();
    EXPECT_EQ(original.GetVariableLines()[0], "SHIELDS_INOPERABLE,0.00");
    ASSERT_TRUE(original.Save(m_dir.File("editor.txt")));

    SIM_Scenario plain, editor;
    ASSERT_TRUE(plain.Load(m_dir.File("plain.txt")));
    ASSERT_TRUE(editor.Load(m_dir.File("editor.txt")));
    ExpectSameScenario(plain, editor);
    ExpectSameScenario(original, plain);
}

TEST_F(ScenarioFiles, SaveReportsFailure)
{
    SIM_Scenario s;
    ASSERT_TRUE(s.Load(m_dir.Write("a.txt", kFullScenario)));
    m_dir.Write("blocker", "a file, not a folder");
    EXPECT_FALSE(s.Save(m_dir.File("blocker/out.txt")));
    EXPECT_FALSE(s.Save(m_dir.File("no/such/folder/out.txt")));
}

TEST_F(ScenarioFiles, ListIsSortedStablyAndSearchable)
{
    const std::string map = "mapsizex = 100\nmapsizey = 100\n";
    m_dir.Write("data/scenarios/a.txt", "[config]\nname = a\ngui_id = 20\n" + map);
    m_dir.Write("data/scenarios/b.txt", "[config]\nname = b\ngui_id = 10\n" + map);
    m_dir.Write("data/scenarios/c.txt", "[config]\nname = c\ngui_id = 20\n" + map);
    m_dir.Write("data/scenarios/d.txt", "[config]\nname = d\ngui_id = -3\n" + map);
    ScopedChdir cd(m_dir.Path());
    ASSERT_NE(SIM_Scenario::FindByName("a"), nullptr);
    const auto& list = SIM_Scenario::GetList();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0]->GetName(), "d");
    EXPECT_EQ(list[1]->GetName(), "b");
    EXPECT_EQ(list[2]->GetName(), "a");
    EXPECT_EQ(list[3]->GetName(), "c");
    EXPECT_EQ(SIM_Scenario::FindByName("A"), nullptr);
    list[0]->SetChallengeFleet(true);
    EXPECT_EQ(SIM_Scenario::GetFirst()->GetName(), "b");
}

TEST_F(ScenarioFiles, AnomalyTextsShowAmountsAsPercentChange)
{
    std::string strings = m_dir.Write("strings.ini",
                                      "[strings]\nUI_ENGINE_SPEED_MULTIPLIER=Slow engines\n"
                                      "ANOMALYDESC_ENGINE_SPEED_MULTIPLIER=Engines <AMOUNT>% weaker, <AMOUNT>%\n"
                                      "ANOMALYDESC_SHIELDS_INOPERABLE=No shields <AMOUNT>\n");
    GetStringTable().LoadSection(strings, false);
    BuildAnomalyTable();
    EXPECT_EQ(FindAnomalyKeyword("ENGINE_SPEED_MULTIPLIER"), "Slow engines");
    EXPECT_EQ(FindAnomalyKeyword("NOT_A_KEYWORD"), "");
    EXPECT_EQ(GetAnomalyDescription(SIM_Anomaly("ENGINE_SPEED_MULTIPLIER", 0.75f, true)), "Engines 25% weaker, 25%");
    EXPECT_EQ(GetAnomalyDescription(SIM_Anomaly("ENGINE_SPEED_MULTIPLIER", 1.5f, true)), "Engines -50% weaker, -50%");
    EXPECT_EQ(GetAnomalyDescription(SIM_Anomaly("SHIELDS_INOPERABLE", 0.0f, false)), "No shields <AMOUNT>");
}

TEST(SIM_ScenarioContent, ShippedScenariosLoadWithSaneMapsAndZones)
{
    SIM_Scenario::FreeAll();
    ScopedChdir cd(QLM_SOURCE_DIR);
    const int errorsBefore = GDebugLog::GetInstance().GetErrorCount();
    SIM_Scenario::LoadAll();
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errorsBefore);
    for (const char* name : {"tutorial1", "scenario1", "scenario2", "survival1", "nebula1", "supply1"}) {
        SIM_Scenario* s = SIM_Scenario::FindByName(name);
        ASSERT_NE(s, nullptr) << name;
        EXPECT_GT(s->GetMapSizeX(), 0.0f);
        for (const SIM_Scenario::Zone& z : {s->GetPlayerDeployment(), s->GetAIDeployment()}) {
            EXPECT_LT(z.left, z.right) << name;
            EXPECT_LT(z.top, z.bottom) << name;
            EXPECT_GE(z.left, 0) << name;
            EXPECT_LE(z.right, s->GetMapSizeX()) << name;
            EXPECT_LE(z.bottom, s->GetMapSizeY()) << name;
        }
        if (s->GetType() != SIM_Scenario::SURVIVAL) {
            for (int d = 0; d < 3; ++d) {
                s->SetDifficulty(d);
                EXPECT_TRUE(FileExists(s->GetEnemyFleetPath())) << s->GetEnemyFleetPath();
            }
            s->SetDifficulty(0);
        }
    }
    EXPECT_EQ(SIM_Scenario::GetFirst()->GetName(), "tutorial1");
    EXPECT_EQ(SIM_Scenario::FindByName("tutorial1")->GetType(), SIM_Scenario::TUTORIAL);
    EXPECT_EQ(SIM_Scenario::FindByName("scenario2")->GetUnlockedAfter(), "scenario1");
    EXPECT_TRUE(SIM_Scenario::FindByName("nebula1")->HasAnomalies());
    EXPECT_FALSE(SIM_Scenario::FindByName("supply1")->GetSupplyLimits().empty());
    for (const SIM_Scenario::SupplyLimit& limit : SIM_Scenario::FindByName("supply1")->GetSupplyLimits())
        EXPECT_TRUE(FileExists("data/modules/" + limit.moduleType + ".txt")) << limit.moduleType;
    SIM_Scenario* survival = SIM_Scenario::FindByName("survival1");
    EXPECT_EQ(survival->GetType(), SIM_Scenario::SURVIVAL);
    EXPECT_TRUE(FileExists(survival->GetSurvivalWavesPath()));
    GIniFile waves;
    ASSERT_TRUE(waves.Load("waves", survival->GetSurvivalWavesPath().c_str()));
    ASSERT_GE(waves.GetEntryCount(), 1u);
    for (size_t i = 0; i < waves.GetEntryCount(); ++i) {
        std::string wave = waves.GetValueAt(i).substr(0, waves.GetValueAt(i).find(','));
        EXPECT_TRUE(FileExists(survival->GetEnemyFleetPath(wave))) << wave;
    }
    SIM_Scenario::FreeAll();
}

TEST_F(ScenarioFiles, AMapBeyondWhatAChallengeCarriesIsBoundedWithALineNamingTheKey)
{
    ScopedErrorLog log;
    SIM_Scenario s;
    const std::string path = m_dir.Write("huge.txt", "[config]\nname = huge\nmapsizex = 1e38\nmapsizey = 100000\n");
    ASSERT_TRUE(s.Load(path));
    EXPECT_FLOAT_EQ(s.GetMapSizeX(), SIM_ChallengeFile::kMaxMapSize);
    EXPECT_FLOAT_EQ(s.GetMapSizeY(), 100000.0f); // the bound itself is a map
    EXPECT_EQ(log.Count(path + " [config] mapsizex = 1e38: out of range"), 1);
    EXPECT_EQ(log.Count("mapsizey"), 0);
}
