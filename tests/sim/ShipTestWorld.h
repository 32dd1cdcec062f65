#pragma once
// A small battle world for ship tests: module types, five hulls (a cruiser
// whose destruction ends in a break-up, one that breaks up first and leaves
// a wreck, a wide cruiser that dies in a big blast, a frigate, a fighter
// without destruction lines), races and designs, written into a temporary folder.
// Ships are built directly against two fleets with fixed seeds and a fixed
// 12 ms battle frame.
#include "sim/TestBattleFleets.h"
#include "sim/TestDesignFile.h"
#include "support/TempDir.h"

#include <memory>
#include <string>
#include <vector>

#include "battle/GUI_BattleGUI.h"
#include "engine/GRandom.h"
#include "engine/RandomTables.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_DefaultOrders.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/ShipUpdateScheduler.h"

class ShipTestWorld {
public:
    static constexpr float kFrame = 12.0f;

    ShipTestWorld()
    {
        WriteModules();
        WriteHulls();
        m_dir.Write("data/races/federation.txt", "[config]\nname = federation\nguiid = 0\n[crew]\nc = Hale\n");
        m_dir.Write("data/races/korrath.txt", "[config]\nname = korrath\nguiid = 1\n[crew]\nc = Drakh\n");
        m_chdir = std::make_unique<ScopedChdir>(m_dir.Path());
        FreeAll();
        SIM_ShipModuleType::LoadAll();
        SIM_ShipHull::LoadAll();
        WriteDesign("cruiser_shielded", "t_cruiser", {"shield", "engine", "crew"});
        WriteDesign("cruiser_armoured", "t_cruiser", {"armour", "engine", "crew"});
        WriteDesign("cruiser_bare", "t_cruiser", {"crew", "engine", ""});
        WriteDesign("cruiser_noengine", "t_cruiser", {"crew", "", ""});
        WriteDesign("cruiser_twoshields", "t_cruiser", {"shield", "shield", "crew"});
        WriteDesign("cruiser_emptyshield", "t_cruiser", {"emptyshield", "crew", ""});
        WriteDesign("frigate_bare", "t_frigate", {"crew", "engine"});
        WriteDesign("fighter_bare", "t_fighter", {"engine"});
        WriteDesign("blaster_bare", "t_blaster", {"crew", "engine"});
        WriteDesign("cruiser_cloaked", "t_cruiser", {"crew", "engine", "cloak"});
        WriteDesign("breaker_bare", "t_breaker", {"crew", "engine"});

        StartTestBattle(1234, 77, kFrame);
    }

    ~ShipTestWorld()
    {
        m_fleets.DestroyAll();
        GetRemovalQueue().clear();
        FreeAll();
        m_chdir.reset();
    }

    static void FreeAll() { FreeBattleContent(); }

    // A ship of the player's (or the enemy's) fleet at (x, y), heading 0.
    SIM_Ship* Build(const std::string& designName, float x, float y, bool enemy = false)
    {
        return m_fleets.Build(designName, x, y, enemy);
    }

    void Destroy(SIM_Ship* ship) { m_fleets.Destroy(ship); }

    static void SetFrame(float ms) { GUI_BattleGUI::GetInstance().SetFrameTime(ms); }

    SIM_Fleet& Player() { return m_fleets.Player(); }
    SIM_Fleet& Enemy() { return m_fleets.Enemy(); }

private:
    void WriteModules()
    {
        m_dir.Write("data/modules/tactical.txt",
                    "[config]\nname = tactical\nclassname = SIM_TacticalModule\nslot_type = STANDARD\nvisible = 0\n");
        m_dir.Write("data/modules/engine.txt",
                    "[config]\nname = engine\nclassname = SIM_EngineModule\nslot_type = STANDARD\n"
                    "weight = 10\nhitpoints = 20\nthrust = 100\n");
        m_dir.Write("data/modules/shield.txt",
                    "[config]\nname = shield\nclassname = SIM_ShieldModule\nslot_type = STANDARD\n"
                    "weight = 10\nhitpoints = 10\nshieldpoints = 100\nresistance = 5\nrecharge_rate = 0.01\n");
        m_dir.Write("data/modules/emptyshield.txt",
                    "[config]\nname = emptyshield\nclassname = SIM_ShieldModule\nslot_type = STANDARD\n"
                    "weight = 10\nhitpoints = 10\nshieldpoints = 0\n");
        m_dir.Write("data/modules/armour.txt",
                    "[config]\nname = armour\nclassname = SIM_ArmourModule\nslot_type = STANDARD\n"
                    "weight = 10\nhitpoints = 30\nmaxdamageabsorbable = 50\n");
        m_dir.Write("data/modules/cloak.txt",
                    "[config]\nname = cloak\nclassname = SIM_CamoflageShieldModule\nslot_type = STANDARD\n"
                    "hitpoints = 10\nmax_cloak_power = 100\ncloak_rechargerate = 0.01\ncloak_consumptionrate = 0.05\n");
        m_dir.Write("data/modules/crew.txt",
                    "[config]\nname = crew\nclassname = SIM_CrewModule\nslot_type = STANDARD\n"
                    "weight = 10\nhitpoints = 40\n");
    }

    void WriteHulls()
    {
        m_dir.Write("data/hulls/test/cruiser.txt",
                    "[config]\nname = t_cruiser\nguiname = C\ndamagetexture = cd.dds\nclassname = cruiser\nracename = federation\n"
                    "sprite = c.dds\nwidth = 100\nheight = 80\n"
                    "[targets]\n0 = 128,64,0,0\n1 = 128,192,0,1,0,0,64,64\n"
                    "[slots]\n0 = 128,100,STANDARD\n1 = 128,128,STANDARD\n2 = 128,156,STANDARD\n"
                    "[explosions]\n0 = 0,128,64,EXP_SMALL\n1 = 300,64,128,EXP_MEDIUM2\n"
                    "2 = 300,192,128,EXP_NOSUCHTHING\n3 = 600,128,128,EXP_STARTBREAKUP\n");
        // Wide enough for its last glare (a third of the width) to push with full strength.
        m_dir.Write("data/hulls/test/blaster.txt",
                    "[config]\nname = t_blaster\nguiname = B\ndamagetexture = bd.dds\nclassname = cruiser\nracename = federation\n"
                    "sprite = b.dds\nwidth = 768\nheight = 768\n"
                    "[slots]\n0 = 128,100,STANDARD\n1 = 128,156,STANDARD\n"
                    "[explosions]\n0 = 0,128,128,EXP_BLASTGLARE\n1 = 100,128,128,EXP_SMALL\n");
        // Breaks up first and dies later, leaving a wreck.
        m_dir.Write("data/hulls/test/breaker.txt",
                    "[config]\nname = t_breaker\nguiname = R\ndamagetexture = rd.dds\nclassname = cruiser\nracename = federation\n"
                    "sprite = r.dds\nwidth = 100\nheight = 80\nhulktexture = rh.dds\n"
                    "[hulks]\n0 = 0,0,256,256,\n"
                    "[slots]\n0 = 128,100,STANDARD\n1 = 128,156,STANDARD\n"
                    "[explosions]\n0 = 0,128,128,EXP_STARTBREAKUP\n1 = 1000,128,128,EXP_SMALL\n");
        m_dir.Write("data/hulls/test/frigate.txt",
                    "[config]\nname = t_frigate\nguiname = F\ndamagetexture = fd.dds\nclassname = frigate\nracename = federation\n"
                    "sprite = f.dds\nwidth = 60\nheight = 60\n"
                    "[slots]\n0 = 128,100,STANDARD\n1 = 128,156,STANDARD\n"
                    "[explosions]\n0 = 100,128,128,EXP_SMALL\n");
        m_dir.Write("data/hulls/test/fighter.txt",
                    "[config]\nname = t_fighter\nguiname = X\ndamagetexture = xd.dds\nclassname = fighter\nracename = korrath\n"
                    "sprite = x.dds\nwidth = 20\nheight = 20\n[slots]\n0 = 128,128,STANDARD\n");
    }

    void WriteDesign(const std::string& name, const std::string& hull, std::initializer_list<const char*> modules)
    {
        WriteTestDesign(m_dir, name, hull, modules);
    }

    TempDir m_dir;
    std::unique_ptr<ScopedChdir> m_chdir;
    TestBattleFleets m_fleets;
};
