#pragma once
#include <memory>

class SIM_CampaignBattlePreparation;

// Until the campaign has its end-turn dialog: after a turn (and after each
// battle) the player is asked about the next battle their fleets are in; a
// yes prepares it (the opponent is fetched on a worker) and opens the
// campaign deployment once it is ready.
class GUI_CampaignBattleLauncher {
public:
    static GUI_CampaignBattleLauncher& GetInstance();

    // Asks about the first battle that has player fleets; false when none has.
    bool OfferNextBattle();
    // Begins the battle at the first such planet and starts its preparation.
    bool PrepareNextBattle();
    // Once a frame: a finished preparation opens the deployment.
    void Poll();
    bool IsPreparing() const { return m_preparation != nullptr; }
    // Joins a running worker and forgets it (the campaign closes).
    void Stop();

private:
    GUI_CampaignBattleLauncher();
    ~GUI_CampaignBattleLauncher();
    static void OnFightNow(std::intptr_t);

    std::unique_ptr<SIM_CampaignBattlePreparation> m_preparation;
};
