#pragma once
#include <string>

class SIM_CampaignEncounter;
class SIM_CampaignFleet;

// What the campaign model asks of the campaign screens (counters, icons,
// windows). The model never includes a screen: the campaign screen installs
// its implementation, and without one every call does nothing, which is what
// headless runs and tests want.
class SIM_CampaignScreenHooks {
public:
    virtual ~SIM_CampaignScreenHooks() = default;

    // Cash and income, crew and recruitment.
    virtual void UpdateCashCounter() {}
    virtual void UpdateCrewCounter() {}
    virtual void RefreshFleetIcons() {}
    virtual void RefreshFleetManager() {}
    virtual void RefreshEncounterView(SIM_CampaignEncounter*) {}
    virtual void ShowFleetDetails(SIM_CampaignFleet*) {}
    // Refreshes the fleet's details window when one is open.
    virtual void RefreshFleetDetails(SIM_CampaignFleet*) {}
    virtual void RecordRepair(int /*amount*/) {}
    virtual void PlayInterfaceSound() {}
    // The turn's end starts here: a fleet the yard made and left empty goes
    // before anything else sees it.
    virtual void CloseShipyard() {}
    // Closes the single-instance windows before a turn ends.
    virtual void CloseTurnWindows() {}
    virtual void OpenEndTurnDialog() {}
    virtual void OpenCapturesDialog() {}
    // A campaign battle is over: back to the campaign screen.
    virtual void ReturnToCampaignScreen() {}
    // A message for the player, by string-table key.
    virtual void ShowMessage(const std::string& /*key*/) {}

    // The installed hooks, or ones that do nothing.
    static SIM_CampaignScreenHooks& Get();
    // Null restores the ones that do nothing; the caller keeps ownership.
    static void Install(SIM_CampaignScreenHooks* hooks);
};
