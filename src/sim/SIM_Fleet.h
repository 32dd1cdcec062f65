#pragma once
#include <vector>

#include "engine/GLifetime.h"

class SIM_DeployedFleet;
class SIM_FighterSquadron;
class SIM_Race;
class SIM_Ship;
class SIM_ShipDesign;
class SIM_ShipOrders;

// One side of a battle: every ship built for it (owned, destroyed ones too,
// until the fleet goes), the ones still in the world, squadrons, home zone
// and strength.
class SIM_Fleet {
public:
    struct Zone {
        int left = 0, top = 0, right = 0, bottom = 0;
    };

    static constexpr float kBeatenFraction = 0.1f;

    SIM_Fleet();
    virtual ~SIM_Fleet();
    SIM_Fleet(const SIM_Fleet&) = delete;
    SIM_Fleet& operator=(const SIM_Fleet&) = delete;

    // Builds a ship (or a squadron) per record; records whose design is
    // unknown are skipped with an error.
    void BuildFromDeployment(const SIM_DeployedFleet& deployed, bool addToScheduler);
    // Takes ownership of the ship.
    void AddShip(SIM_Ship* ship, SIM_ShipDesign* design, const SIM_ShipOrders& orders);
    void FinishBuild();
    void PrepareShips();

    void UpdateClassPresence();
    void NotifyOpponentShips();
    void OnShipKilled();
    // Sum of the starting hit points of the ships not destroyed.
    float ComputeCurrentStrength() const;
    // current / starting; 0 when the fleet started with nothing.
    float GetStrengthFraction() const;
    bool HasOnlyFighters() const;
    SIM_Ship* GetStrongestShip() const;

    // Kept by the ships themselves as they join and leave the world.
    void AddLiveShip(SIM_Ship* ship);
    void RemoveLiveShip(SIM_Ship* ship);

    const std::vector<SIM_Ship*>& GetLiveShips() const { return m_liveShips; }
    const std::vector<SIM_Ship*>& GetAllShips() const { return m_allShips; }
    const std::vector<SIM_FighterSquadron*>& GetSquadrons() const { return m_squadrons; }

    bool IsBeaten() const { return m_beaten != 0; }
    void SetBeaten(bool beaten) { m_beaten = beaten ? 1 : 0; }
    const Zone& GetZone() const { return m_zone; }
    void SetZone(const Zone& zone) { m_zone = zone; }
    SIM_Fleet* GetOpponent() const { return m_opponent; }
    void SetOpponent(SIM_Fleet* opponent) { m_opponent = opponent; }
    float GetStartingStrength() const { return m_startingStrength; }
    float GetCurrentStrength() const { return m_currentStrength; }
    void SetStartingStrength(float s) { m_startingStrength = s; m_currentStrength = s; }
    float GetTotalCost() const { return m_totalCost; }
    void SetTotalCost(float cost) { m_totalCost = cost; }
    SIM_Race* GetRace() const { return m_race; }
    bool HasClass(int hullClass) const
    {
        return hullClass >= 0 && hullClass < 3 && m_classPresence[hullClass] != 0;
    }

private:
    void BuildSingleShip(const class SIM_DeployedShip& record, SIM_ShipDesign* design, bool addToScheduler);
    void BuildSquadron(const class SIM_DeployedShip& record, SIM_ShipDesign* design, bool addToScheduler);

    std::vector<SIM_Ship*> m_liveShips;
    std::vector<SIM_Ship*> m_allShips;
    std::vector<SIM_FighterSquadron*> m_squadrons;
    unsigned char m_beaten = 0;
    Zone m_zone;
    SIM_Fleet* m_opponent = nullptr;
    float m_startingStrength = 0.0f;
    float m_currentStrength = 0.0f;
    float m_totalCost = 0.0f;
    SIM_Race* m_race = nullptr;
    unsigned char m_classPresence[3] = {0, 0, 0};

public:
    // Its ships go with it: battle windows that show them follow this.
    GLifetime lifetime;
};
