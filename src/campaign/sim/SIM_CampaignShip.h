#pragma once
#include "engine/GLifetime.h"

#include <memory>
#include <string>
#include <vector>

class GIniFile;
class SIM_CampaignFleet;
class SIM_CampaignShip;
class SIM_CampaignShipsLog;
class SIM_ShipDesign;
class SIM_CampaignEncounter;
struct SIM_BattleShipResult;

// One recorded hit on a module, carried from battle to battle until repaired.
struct SIM_CampaignDamage {
    std::string description;
    float damage = 0.0f; // module hit points
    int repairCost = 0;  // credits
};

// One fitted module of a campaign ship and the damage it carries.
struct SIM_CampaignModuleState {
    std::string moduleTypeName;
    float integrity = 1.0f; // recomputed from the damage, never stored
    int slot = 0;
    std::vector<SIM_CampaignDamage> damage;
    SIM_CampaignShip* ship = nullptr;

    // The module's hit points (armour: what it can absorb); 0 when unknown.
    float GetHitPoints() const;
    bool IsArmour() const;
    void RecalculateIntegrity();
};

// One ship (or one fighter squadron) of the player's campaign fleets. Every
// campaign ship is in one global list, which gives out ids and finds ships by
// id; a ship holds a use of its design so the design outlives it.
class SIM_CampaignShip {
public:
    SIM_CampaignShip();
    virtual ~SIM_CampaignShip();
    SIM_CampaignShip(const SIM_CampaignShip&) = delete;
    SIM_CampaignShip& operator=(const SIM_CampaignShip&) = delete;

    static int GetNextFreeID();
    static SIM_CampaignShip* FindByID(int id);
    static const std::vector<SIM_CampaignShip*>& GetAll();

    // Sets the design (and its name); null clears it.
    void SetDesign(SIM_ShipDesign* design);
    void ChooseName();
    void InitModuleStates();
    // Whether the module records are those of the design: slot and type, in order.
    bool MatchesDesign() const;
    void RecalculateIntegrity();

    int GetModuleRepairCost(const SIM_CampaignModuleState& module) const;
    // False (and nothing changed) when the cash does not cover the entry.
    bool RepairDamageEntry(SIM_CampaignModuleState& module, size_t entryIndex);
    bool RepairModuleFully(SIM_CampaignModuleState& module);
    // Moves this ship into a new fleet at the same place; the new fleet.
    SIM_CampaignFleet* DetachToNewFleet();

    // A battle's damage to this ship becomes described, priced items; the
    // ship's log gets the battle.
    void RecordBattleDamage(const SIM_BattleShipResult& result, const SIM_CampaignEncounter* where);
    SIM_CampaignModuleState* FindModuleBySlot(int slot);

    // The ship's section of its fleet file.
    std::string SaveText(int index) const;
    // False when the section names no known design (the ship is unusable;
    // nothing is logged, its fleet tells it).
    bool LoadFromSection(const GIniFile& section);

    std::vector<std::unique_ptr<SIM_CampaignModuleState>> modules;
    float armourIntegrity = 1.0f;
    float integrity = 1.0f;
    std::string name;
    std::string designName;
    SIM_ShipDesign* design = nullptr;
    int quantity = 1;
    int id = -1;
    bool moved = false;
    SIM_CampaignFleet* fleet = nullptr;
    std::unique_ptr<SIM_CampaignShipsLog> log;
    // Windows showing the ship or squadron watch this (GWatch).
    GLifetime lifetime;
};
