#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

#include <string>

class GUI_ButtonText;
class GUI_CampaignDesignDetails;
class GUI_CampaignDesignPicker;
class GUI_ShipyardQuantity;
class SIM_CampaignEncounter;
class SIM_CampaignFleet;
class SIM_ShipDesign;

// Where campaign cash and crew become ships: the designs this planet's yard
// may build, the chosen one's details, the squadron size for fighters and a
// build button that says why it cannot build. One open at a time.
class GUI_Shipyard : public GUI_Dialog, public GUI_OneOpen<GUI_Shipyard> {
public:
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 617;
    static constexpr float kTitleHeight = 66.0f;
    static constexpr float kBottomRoom = 56.0f;
    enum { NO_CREW = 1, NO_CASH = 2 };

    // Replaces an open shipyard.
    static GUI_Shipyard* Open(SIM_CampaignEncounter* encounter, SIM_CampaignFleet* fleet);
    // Into a new, randomly named empty fleet at the encounter.
    static GUI_Shipyard* OpenWithNewFleet(SIM_CampaignEncounter* encounter);
    // Hides the open yard and lets go of its fleet at once: the window itself
    // may be deleted later (after a click), when the fleets may be gone.
    static void CloseOpen();
    // 1, or the squadron size while a fighter design is chosen in the open yard.
    static int GetBuildQuantity();
    static void SelectDesignInOpen(SIM_ShipDesign* design);
    static void QuantityChanged();
    // Where the dialog's left edge goes on a screen of that width.
    static int LeftFor(int screenWidth);

    GUI_Shipyard(SIM_CampaignEncounter* encounter, SIM_CampaignFleet* fleet);
    ~GUI_Shipyard() override;
    // The fleet went (merged, emptied, scrapped, a battle): nothing to let go.
    void OnSubjectGone() override { ReleaseFleet(); }

    void Draw() override;
    bool IsModal() const override { return false; }
    void SelectDesign(SIM_ShipDesign* design);
    void UpdateBuildButton();
    // 0 buildable or nothing chosen, 1 not enough crew, 2 not enough cash,
    // 3 not at this yard.
    int GetBuildState() const { return m_buildState; }

    // Null once the planet or the fleet is gone.
    SIM_CampaignEncounter* GetEncounter() const { return m_encounter.Get(); }
    SIM_CampaignFleet* GetFleet() const { return m_fleet.Get(); }
    SIM_ShipDesign* GetSelectedDesign() const;
    GUI_ButtonText* GetBuildButton() const { return m_build; }
    GUI_CampaignDesignPicker* GetPicker() const { return m_picker; }
    GUI_CampaignDesignDetails* GetDetails() const { return m_details; }
    GUI_ShipyardQuantity* GetQuantityPanel() const { return m_quantity; }

    // The shipyard a trip to the ship designer left, reopened on return.
    static void RememberForReturn();
    static void ReopenRemembered();

private:
    static void OnBuild(std::intptr_t);
    // A fleet made for this visit that got no ship goes with the yard.
    void ReleaseFleet();

    GWatch<SIM_CampaignEncounter> m_encounter;
    GWatch<SIM_CampaignFleet> m_fleet;
    GUI_CampaignDesignPicker* m_picker = nullptr;
    GUI_CampaignDesignDetails* m_details = nullptr;
    GUI_ShipyardQuantity* m_quantity = nullptr;
    GUI_ButtonText* m_build = nullptr;
    int m_buildState = 0;
    std::string m_tooltips[3];
};
