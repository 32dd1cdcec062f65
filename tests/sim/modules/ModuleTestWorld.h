#pragma once
// A small battle world for module tests: module types of every class the
// factory builds, hulls with and without bonuses, a big hull (every hit
// lands on it), races and designs, written into a temporary folder. Ships are
// built straight into two fleets with fixed seeds and a fixed 12 ms frame.
#include "sim/TestBattleFleets.h"
#include "sim/TestDesignFile.h"
#include "support/TempDir.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
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
#include "sim/modules/SIM_ShipModule.h"

class ModuleTestWorld {
public:
    static constexpr float kFrame = 12.0f;

    ModuleTestWorld()
    {
        WriteModules();
        WriteHulls();
        m_dir.Write("data/races/federation.txt", "[config]\nname = federation\nguiid = 0\n[crew]\ncrew = Hale\n"
                                                 "[turrets]\nturret_laser = fed_turret_laser,t.dds,0\n");
        m_dir.Write("data/races/korrath.txt", "[config]\nname = korrath\nguiid = 1\n[crew]\ncrew = Vask\n"
                                              "[turrets]\nturret_laser = kor_turret_laser,t.dds,0\n");
        std::ifstream csv(std::string(QLM_SOURCE_DIR) + "/data/behaviors.csv");
        std::stringstream text;
        text << csv.rdbuf();
        m_dir.Write("data/behaviors.csv", text.str());
        m_chdir = std::make_unique<ScopedChdir>(m_dir.Path());
        FreeAll();
        SIM_BehaviourType::LoadAll();
        SIM_Race::LoadAll();
        SIM_ShipModuleType::LoadAll();
        SIM_ShipHull::LoadAll();
        WriteDesigns();

        StartTestBattle(4321, 99, kFrame);
        GUI_Map::GetInstance() = GUI_Map();
        Player().SetZone({0, 0, 200, 1000});
        Enemy().SetZone({1800, 0, 2000, 1000});
    }

    ~ModuleTestWorld()
    {
        m_fleets.DestroyAll();
        GetRemovalQueue().clear();
        GUI_Map::GetInstance() = GUI_Map();
        GUI_BattleGUI::GetInstance().ResetForBattle();
        FreeAll();
        m_chdir.reset();
    }

    ModuleTestWorld(const ModuleTestWorld&) = delete;
    ModuleTestWorld& operator=(const ModuleTestWorld&) = delete;

    static void FreeAll() { FreeBattleContent(); }

    // An active ship at (x, y), heading 0, with the given orders.
    SIM_Ship* Build(const std::string& designName, float x, float y, bool enemy = false,
                    std::unique_ptr<SIM_ShipOrders> orders = nullptr)
    {
        SIM_Ship* ship = m_fleets.Build(designName, x, y, enemy, std::move(orders), m_nextId++);
        ship->state = SIM_Ship::ACTIVE;
        return ship;
    }

    template <class T>
    static T* FindModule(const SIM_Ship* ship)
    {
        for (SIM_ShipModule* m : ship->GetModules())
            if (auto* found = dynamic_cast<T*>(m))
                return found;
        return nullptr;
    }

    static void SetFrame(float ms) { GUI_BattleGUI::GetInstance().SetFrameTime(ms); }

    static float ModuleHitpoints(const SIM_Ship* ship)
    {
        float sum = 0.0f;
        for (const SIM_ShipModule* m : ship->GetModules())
            sum += m->GetHitpoints();
        return sum;
    }

    SIM_Fleet& Player() { return m_fleets.Player(); }
    SIM_Fleet& Enemy() { return m_fleets.Enemy(); }
    const TempDir& Dir() const { return m_dir; }

    // A module type added to the loaded ones (the world frees it with them).
    void AddModuleType(const std::string& name, const std::string& body) { new SIM_ShipModuleType(Module(name, body)); }
    void Design(const std::string& name, const std::string& hull, std::initializer_list<const char*> modules,
                const std::string& guiName = "")
    {
        WriteTestDesign(m_dir, name, hull, modules, guiName);
    }

private:
    // Written for the loader to find.
    std::string Module(const std::string& name, const std::string& body)
    {
        return m_dir.Write("data/modules/" + name + ".txt", "[config]\nname = " + name + "\n" + body);
    }

    void WriteModules()
    {
        Module("tactical", "classname = SIM_TacticalModule\nslot_type = STANDARD\nhitpoints = 1\n");
        Module("engine", "classname = SIM_EngineModule\nslot_type = STANDARD\ncategory = ENGINES\n"
                         "weight = 10\nhitpoints = 20\nthrust = 100\n");
        Module("armour", "classname = SIM_ArmourModule\nslot_type = STANDARD\ncategory = DEFENSES\n"
                         "weight = 10\nhitpoints = 30\nmaxdamageabsorbable = 50\n");
        Module("stackarmour", "classname = SIM_ArmourModule\nslot_type = STANDARD\ncategory = DEFENSES\n"
                              "weight = 10\nhitpoints = 30\nmaxdamageabsorbable = 50\nstack_effectiveness = 0.8\n");
        Module("shield", "classname = SIM_ShieldModule\nslot_type = STANDARD\ncategory = DEFENSES\n"
                         "weight = 10\nhitpoints = 10\nshieldpoints = 100\nresistance = 5\nrecharge_rate = 0.01\n");
        Module("power", "classname = SIM_PowerModule\nslot_type = STANDARD\nweight = 10\nhitpoints = 10\n"
                        "powerproduced = 10\n");
        Module("crew", "classname = SIM_CrewModule\nslot_type = STANDARD\nweight = 10\nhitpoints = 40\n");
        Module("scanner", "classname = SIM_PDScannerModule\nslot_type = STANDARD\nhitpoints = 5\n"
                          "scanner_accuracy = 0.3\n");
        Module("cloak", "classname = SIM_CamoflageShieldModule\nslot_type = STANDARD\nhitpoints = 10\n"
                        "max_cloak_power = 100\ncloak_rechargerate = 0.01\ncloak_consumptionrate = 0.05\n");
        const std::string laser = "classname = SIM_BeamWeaponModule\ncategory = WEAPONS\nweight = 10\nhitpoints = 20\n"
                                  "max_range = 600\noptimum_range = 300\nmin_range = 0\n"
                                  "tracking_speed = 2\nshield_penetration = 6\narmour_penetration = 10\n"
                                  "turretsize = 16\ndamage = 40\nturret_sprite = turret_laser\n"
                                  "texture = beam.dds\nblasttexture = blast.dds\nbeam_duration = 600\n"
                                  "beamwidth = 6\n";
        Module("laser", laser + "fire_interval = 1000\nslot_type = STANDARD\nfiredelay = 100\nsound = laser_fire\nsoundvolume = 0.6\n");
        Module("quicklaser", laser + "fire_interval = 1000\nslot_type = STANDARD\nfiredelay = 0\n");
        Module("turretlaser", laser + "fire_interval = 1000\nslot_type = TURRET\nfiredelay = 100\nconvergence = 1\n");
        Module("salvolaser", laser + "slot_type = STANDARD\nfiredelay = 0\nsalvo_size = 3\nsalvo_interval = 3000\n"
                                     "fire_interval = 200\n");
        Module("missile", "classname = SIM_MissileModule\nslot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 15\n"
                          "weight = 7\n");
        Module("mystery", "classname = SIM_NoSuchModule\nslot_type = STANDARD\nhitpoints = 5\n");
    }

    void WriteHulls()
    {
        m_dir.Write("data/hulls/test/cruiser.txt",
                    "[config]\nname = t_cruiser\nclassname = cruiser\nracename = federation\n"
                    "guiname = HULL\nsprite = c.dds\ndamagetexture = d.dds\nwidth = 100\nheight = 80\n"
                    "[targets]\n0 = 128,128,0,0\n"
                    "[slots]\n0 = 128,100,STANDARD\n1 = 128,128,STANDARD\n2 = 128,156,STANDARD\n"
                    "3 = 128,64,TURRET,100-64,128-64,156-64\n");
        m_dir.Write("data/hulls/test/boosted.txt",
                    "[config]\nname = t_boosted\nclassname = cruiser\nracename = federation\n"
                    "guiname = HULL\nsprite = c.dds\ndamagetexture = d.dds\nwidth = 100\nheight = 80\n"
                    "[slots]\n0 = 128,100,STANDARD\n1 = 128,128,STANDARD\n2 = 128,156,STANDARD\n"
                    "3 = 128,180,STANDARD\n"
                    "[bonuses]\n0 = INTEGRITYBOOST,0.5\n1 = ARMOURBOOST,0.25\n2 = SPEEDBOOST,0.1\n"
                    "3 = SHIELDBOOST,0.2\n4 = POWERBOOST,0.5\n");
        m_dir.Write("data/hulls/test/big.txt",
                    "[config]\nname = t_big\nclassname = cruiser\nracename = korrath\n"
                    "guiname = HULL\nsprite = b.dds\ndamagetexture = d.dds\nwidth = 300\nheight = 300\n"
                    "[targets]\n0 = 128,128,0,0\n"
                    "[slots]\n0 = 128,100,STANDARD\n1 = 128,128,STANDARD\n2 = 128,156,STANDARD\n");
        m_dir.Write("data/hulls/test/frigate.txt",
                    "[config]\nname = t_frigate\nclassname = frigate\nracename = korrath\n"
                    "guiname = HULL\nsprite = f.dds\ndamagetexture = d.dds\nwidth = 60\nheight = 60\n[slots]\n0 = 128,100,STANDARD\n1 = 128,156,STANDARD\n");
        m_dir.Write("data/hulls/test/fighter.txt",
                    "[config]\nname = t_fighter\nclassname = fighter\nracename = korrath\n"
                    "guiname = HULL\nsprite = x.dds\ndamagetexture = d.dds\nwidth = 20\nheight = 20\n[slots]\n0 = 128,128,STANDARD\n"
                    "1 = 128,140,STANDARD\n");
    }

    void WriteDesigns()
    {
        Design("gunship", "t_cruiser", {"engine", "crew", "laser", ""});
        Design("quickgun", "t_cruiser", {"engine", "crew", "quicklaser", ""});
        Design("salvoship", "t_cruiser", {"engine", "crew", "salvolaser", ""});
        Design("turretship", "t_cruiser", {"engine", "crew", "", "turretlaser"});
        Design("cloakship", "t_cruiser", {"cloak", "crew", "laser", ""});
        Design("unarmed", "t_cruiser", {"engine", "crew", "", ""});
        Design("boosted", "t_boosted", {"armour", "engine", "shield", "power"});
        Design("plainbox", "t_cruiser", {"armour", "engine", "shield", ""});
        Design("stacked", "t_cruiser", {"stackarmour", "stackarmour", "stackarmour", ""});
        Design("bigtarget", "t_big", {"crew", "crew", "crew"});
        Design("bigshielded", "t_big", {"crew", "shield", "crew"});
        Design("frigate", "t_frigate", {"crew", "engine"});
        Design("fighter", "t_fighter", {"engine", "armour"});
        Design("standins", "t_cruiser", {"missile", "scanner", "mystery", ""});
    }

    TempDir m_dir;
    std::unique_ptr<ScopedChdir> m_chdir;
    TestBattleFleets m_fleets;
    int m_nextId = 1;
};
