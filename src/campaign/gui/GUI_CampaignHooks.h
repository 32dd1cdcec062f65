#pragma once
#include "campaign/sim/SIM_CampaignScreenHooks.h"

// What the campaign model asks of the screens, answered by the campaign
// screen's windows while a campaign is open.
class GUI_CampaignHooks : public SIM_CampaignScreenHooks {
public:
    void UpdateCashCounter() override;
    void UpdateCrewCounter() override;
    void RefreshFleetIcons() override;
    void RefreshEncounterView(SIM_CampaignEncounter* encounter) override;
    void PlayInterfaceSound() override;
    void CloseShipyard() override;
    void CloseTurnWindows() override;
    void ReturnToCampaignScreen() override;
    void ShowMessage(const std::string& key) override;
    void ShowFleetDetails(SIM_CampaignFleet* fleet) override;
    void RefreshFleetDetails(SIM_CampaignFleet* fleet) override;
    void OpenEndTurnDialog() override;
    void OpenCapturesDialog() override;
    void RefreshFleetManager() override;
};
