#pragma once
// The module test world plus the missile, limpet, point-defence, ECM and
// smart-bomb module types and designs that carry them. Every launcher design
// is a cruiser with an engine, a crew module and the weapon in slot 2.
#include <memory>
#include <string>

#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_ShipModule.h"

class MissileTestWorld : public ModuleTestWorld {
public:
    MissileTestWorld()
    {
        const std::string missile = "classname = SIM_MissileModule\nslot_type = STANDARD\ncategory = WEAPONS\n"
                                    "hitpoints = 20\nweight = 10\nmax_range = 2000\nmin_range = 0\n"
                                    "fire_interval = 1000\ntracking_speed = 10\narmour_penetration = 100\n"
                                    "shield_penetration = 100\nmissilespeed = 0.5\ndamage = 50\nturnspeed = 3\n"
                                    "trail_fade_time = 120\n";
        AddModuleType("m_explosive", missile + "fuel = 3000\nwarhead = EXPLOSIVE\n");
        AddModuleType("m_disruptor", missile + "fuel = 3000\nwarhead = SHIELD_DISRUPTOR\n");
        AddModuleType("m_dummy", missile + "fuel = 600\nwarhead = DUMMY\n");
        AddModuleType("m_radiation", missile + "fuel = 3000\nwarhead = RADIATION\nradiation_damage = 5\n"
                                               "radiation_decay = 0.1\n");
        AddModuleType("m_ecm", missile + "fuel = 3000\nwarhead = ECMSHOCK\nshock_duration = 3000\necm_strength = 1\n");
        AddModuleType("m_decoy",
                      missile + "fuel = 3000\nwarhead = EXPLOSIVE\nhas_decoys = 1\ndecoy_release_range = 200\n");
        AddModuleType("m_bogus", missile + "fuel = 3000\nwarhead = NAPALM\n");
        AddModuleType("pd",
                      "classname = SIM_PointDefenseModule\nslot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 20\n"
                      "max_range = 300\nfire_interval = 400\ntracking_speed = 6\nbeam_duration = 150\n");
        AddModuleType("ecmbeam",
                      "classname = SIM_ECMBeamModule\nslot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 20\n"
                      "max_range = 600\nbeam_duration = 1500\n");
        AddModuleType("ecmshock",
                      "classname = SIM_ECMShockModule\nslot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 20\n"
                      "max_range = 350\nmin_range = 0\nfire_interval = 1000\ntracking_speed = 10\n"
                      "beam_duration = 800\necm_strength = 1\nshock_duration = 3000\n");
        AddModuleType("smartbomb",
                      "classname = SIM_SmartBombModule\nslot_type = STANDARD\ncategory = WEAPONS\n"
                      "hitpoints = 20\nmax_range = 250\nfire_interval = 1000\nsb_trigger_percentage = 1\n");
        AddModuleType("limpets",
                      "classname = SIM_LimpetLauncher\nslot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 20\n"
                      "max_range = 600\nmin_range = 0\nfire_interval = 1000\ntracking_speed = 6\n"
                      "launch_duration = 600\nstart_launch_speed = 4\nend_launch_speed = 1\nlimpet_weight = 20\n"
                      "seek_acceleration = 0.05\nmax_seek_speed = 3\ndrift_decelleration = 0.02\n"
                      "seek_range = 500\nturnspeed = 4\n");
        // Zero times that a careless division would turn into a hang or NaN.
        AddModuleType("ecmbeam0",
                      "classname = SIM_ECMBeamModule\nslot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 20\n"
                      "max_range = 600\nbeam_duration = 0\n");
        AddModuleType("limpets0",
                      "classname = SIM_LimpetLauncher\nslot_type = STANDARD\ncategory = WEAPONS\nhitpoints = 20\n"
                      "max_range = 600\nlaunch_duration = 0\nstart_launch_speed = 4\nend_launch_speed = 1\n"
                      "limpet_weight = 20\n");
        AddModuleType("smartbomb0", "classname = SIM_SmartBombModule\nslot_type = STANDARD\ncategory = WEAPONS\n"
                                    "hitpoints = 20\nmax_range = 250\nfire_interval = 0\n");
        Carrier("zeros", {"ecmbeam0", "limpets0", "smartbomb0"});
        for (const char* weapon : {"m_explosive", "m_disruptor", "m_dummy", "m_radiation", "m_ecm", "m_decoy",
                                   "m_bogus", "pd", "ecmbeam", "ecmshock", "limpets"})
            Carrier(weapon, {"engine", "crew", weapon});
        Carrier("twopd", {"pd", "pd", "crew"});
        Carrier("cloakedshock", {"cloak", "crew", "ecmshock"});
        Carrier("twobombs", {"smartbomb", "smartbomb", "crew"});
    }

    // The first module of class T on the ship.
    template <class T>
    static T* Get(const SIM_Ship* ship)
    {
        return FindModule<T>(ship);
    }

private:
    void Carrier(const std::string& name, std::initializer_list<const char*> modules)
    {
        Design("d_" + name, "t_cruiser", modules, "x");
    }
};
