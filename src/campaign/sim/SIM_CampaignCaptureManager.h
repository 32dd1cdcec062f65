#pragma once
#include <memory>
#include <vector>

class SIM_CampaignFleet;
class SIM_CampaignShip;
struct SIM_BattleShipResult;
struct SIM_CampaignBattleOutcome;

// Enemy ships that survived a battle the player won become campaign ships
// waiting for the captures dialog; a squadron gives one capture with its
// living craft. They join the receiving fleet when the player accepts.
class SIM_CampaignCaptureManager {
public:
    static SIM_CampaignCaptureManager& GetInstance();

    void CollectCaptures(SIM_CampaignFleet* receiving, const SIM_CampaignBattleOutcome& outcome);
    // Null when the ship's design is unknown or it was already taken.
    SIM_CampaignShip* AddCapturedShip(const SIM_BattleShipResult& ship, int livingCraft);
    void AddCapturedShipToFleet();
    void Clear();

    bool HasWaiting() const { return !m_waiting.empty(); }
    const std::vector<std::unique_ptr<SIM_CampaignShip>>& GetWaiting() const { return m_waiting; }
    SIM_CampaignFleet* GetReceivingFleet() const { return m_receiving; }

private:
    SIM_CampaignCaptureManager() = default;
    std::vector<std::unique_ptr<SIM_CampaignShip>> m_waiting;
    std::vector<int> m_taken; // ship ids of this battle already captured
    SIM_CampaignFleet* m_receiving = nullptr;
};
