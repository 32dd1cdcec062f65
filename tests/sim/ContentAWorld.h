#pragma once
// A tiny game world written into a temporary folder: module types, two hulls
// of different races and classes, a few designs, races, ship names and the
// behaviour table. The working folder moves into it for the test's life.
#include "sim/TestDesignFile.h"
#include "support/TempDir.h"

#include "engine/GFileHelpers.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_DefaultOrders.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipNameGenerator.h"

#include <memory>
#include <string>

class ContentAWorld {
public:
    ContentAWorld()
    {
        WriteModules();
        WriteHulls();
        WriteRaces();
        m_dir.Write("data/shipnames/federation.txt", "[names]\nAlpha\nBravo\nCharlie\n");
        m_dir.Write("data/shipnames/korrath.txt", "[names]\nFang\nClaw\n");
        std::string csv;
        ReadWholeFileOrEmpty(std::string(QLM_SOURCE_DIR) + "/data/behaviors.csv", csv);
        m_dir.Write("data/behaviors.csv", csv);
        m_chdir = std::make_unique<ScopedChdir>(m_dir.Path());
        FreeAll();
        SIM_ShipModuleType::LoadAll();
        SIM_ShipHull::LoadAll();
        WriteDesign("fedcruiser", "test_cruiser", {"engine", "shield", "repair"});
        WriteDesign("fedcruiser_norepair", "test_cruiser", {"engine", "shield", ""});
        WriteDesign("korfighter", "test_fighter", {"engine"});
        WriteDesign("korfighter_noengine", "test_fighter", {"shield"});
        SIM_ShipNameGenerator::GetInstance().LoadAll();
    }

    ~ContentAWorld()
    {
        FreeAll();
        SIM_ShipNameGenerator::GetInstance().Clear();
        m_chdir.reset();
    }

    static void FreeAll() { FreeBattleContent(); }

    const TempDir& Dir() const { return m_dir; }
    std::string Path(const std::string& name) const { return m_dir.File(name); }

private:
    static void ReadWholeFileOrEmpty(const std::string& path, std::string& out);

    void WriteModules()
    {
        m_dir.Write("data/modules/engine.txt",
                    "[config]\nname = engine\nguiname = ENGINE\nclassname = SIM_EngineModule\nslot_type = STANDARD\n"
                    "cost = 50\nweight = 10\nhitpoints = 20\nthrust = 100\n");
        m_dir.Write("data/modules/shield.txt",
                    "[config]\nname = shield\nguiname = SHIELD\nclassname = SIM_ShieldModule\nslot_type = STANDARD\n"
                    "cost = 30\nweight = 5\nhitpoints = 10\n");
        m_dir.Write("data/modules/repair.txt",
                    "[config]\nname = repair\nguiname = REPAIR\nclassname = SIM_RepairModule\nslot_type = STANDARD\n"
                    "cost = 20\nweight = 5\nhitpoints = 10\n");
    }

    void WriteHulls()
    {
        const char* common = "sprite = s.dds\ndamagetexture = d.dds\nhulktexture = h.dds\nwidth = 100\nheight = 100\n";
        m_dir.Write("data/hulls/test/cruiser.txt",
                    std::string("[config]\nname = test_cruiser\nguiname = CRUISER\nclassname = cruiser\n"
                                "racename = federation\ncost = 100\n") +
                        common + "[slots]\n0 = 128,100,STANDARD\n1 = 128,128,STANDARD\n2 = 128,156,STANDARD\n");
        m_dir.Write("data/hulls/test/fighter.txt",
                    std::string("[config]\nname = test_fighter\nguiname = FIGHTER\nclassname = fighter\n"
                                "racename = korrath\ncost = 10\n") +
                        common + "[slots]\n0 = 128,128,STANDARD\n");
    }

    void WriteRaces()
    {
        m_dir.Write("data/races/federation.txt",
                    "[config]\nname = federation\ndefaultnames = federation\nguiid = 0\n[crew]\nc = Hale\n");
        m_dir.Write("data/races/korrath.txt",
                    "[config]\nname = korrath\ndefaultnames = korrath\nguiid = 1\n[crew]\nc = Drakh\n");
    }

    void WriteDesign(const std::string& name, const std::string& hull, std::initializer_list<const char*> modules)
    {
        WriteTestDesign(m_dir, name, hull, modules);
    }

    TempDir m_dir;
    std::unique_ptr<ScopedChdir> m_chdir;
};

#include "engine/GSafeFile.h"
inline void ContentAWorld::ReadWholeFileOrEmpty(const std::string& path, std::string& out)
{
    if (!ReadWholeFile(path, out))
        out.clear();
}
