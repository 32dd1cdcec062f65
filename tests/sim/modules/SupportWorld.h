#pragma once
// The module test world plus the support module types (repair, carrier,
// tractor, shield support, painter) and designs that fit them.
#include "ModuleTestWorld.h"

#include "sim/SIM_ShipModuleType.h"

class SupportWorld : public ModuleTestWorld {
public:
    SupportWorld()
    {
        AddModuleType("repair", "classname = SIM_RepairModule\nslot_type = STANDARD\nhitpoints = 50\n"
                                "peace_interval = 1000\nrepair_rate = 1\nrepair_type = ANY\nmaxrepairsupplies = 100\n");
        AddModuleType("armourrepair",
                      "classname = SIM_RepairModule\nslot_type = STANDARD\nhitpoints = 50\n"
                      "peace_interval = 0\nrepair_rate = 1\nrepair_type = ARMOR\nmaxrepairsupplies = 100\n");
        AddModuleType("bay", "classname = SIM_CarrierModule\nslot_type = STANDARD\nhitpoints = 60\nrepair_rate = 1\n"
                             "maxrepairsupplies = 50\n");
        AddModuleType("tractor",
                      "classname = SIM_TractorModule\nslot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 30\n"
                      "max_range = 300\nfire_interval = 1000\nbeamweight = 5\nbeampower = 100\n"
                      "powerusage = 0.05\npowerrecharge = 0.02\nrange = 300\n");
        AddModuleType("support", "classname = SIM_ShieldSupportBeam\nslot_type = STANDARD\ncategory = WEAPONS\n"
                                 "hitpoints = 30\nmax_range = 500\nfire_interval = 100\ntracking_speed = 6\n"
                                 "pulseduration = 800\nssb_beamrate = 20\nssb_rechargerate = 5\ncapacitorsize = 200\n"
                                 "mincaptodischarge = 50\n");
        AddModuleType("painter", "classname = SIM_TargetPainterModule\nslot_type = STANDARD\ncategory = WEAPONS\n"
                                 "hitpoints = 30\nmax_range = 800\nfire_interval = 100\ntracking_speed = 6\n"
                                 "beam_duration = 2500\n");

        AddModuleType("booster", "classname = SIM_TargetBoosterModule\nslot_type = STANDARD\nhitpoints = 10\n"
                                 "targetboost = 0.5\n");
        Design("boostedgun", "t_cruiser", {"engine", "booster", "laser", ""});
        Design("repairship", "t_cruiser", {"engine", "repair", "armour", ""});
        Design("armourfixer", "t_cruiser", {"engine", "armourrepair", "armour", ""});
        Design("carrier", "t_cruiser", {"engine", "bay", "crew", ""});
        Design("twobays", "t_cruiser", {"engine", "bay", "bay", ""});
        Design("tug", "t_cruiser", {"engine", "tractor", "crew", ""});
        Design("supporter", "t_cruiser", {"engine", "support", "crew", ""});
        Design("painter", "t_cruiser", {"engine", "painter", "crew", ""});
        Design("shieldbox", "t_cruiser", {"engine", "shield", "crew", ""});
        Design("shieldfrigate", "t_frigate", {"shield", "engine"});
        Design("shieldfighter", "t_fighter", {"shield", "engine"});
    }

    // Runs n scheduler-sized thinks of dt ms on the ship.
    static void Think(SIM_Ship* ship, float dt, int n = 1)
    {
        static float step = 0.0f;
        step = dt;
        for (SIM_ShipModule* m : ship->GetModules())
            m->SetThinkTime(&step);
        for (int i = 0; i < n; ++i)
            ship->Think();
    }
};
