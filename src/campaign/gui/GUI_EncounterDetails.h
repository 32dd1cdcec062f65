#pragma once
#include "engine/GLifetime.h"
#include "engine/GRect.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <memory>
#include <string>
#include <vector>

class SIM_CampaignEncounter;
class GUI_Tooltip;
class GUI_CampaignFacility;

// The window beside a planet the map has zoomed in on: its loyalty and
// threat (with their tooltip), one row per facility, then the anomalies of
// the planet's battles. One at a time; it is rebuilt, not refreshed.
class GUI_EncounterDetails : public GUI_Dialog, public GUI_OneOpen<GUI_EncounterDetails> {
public:
    static constexpr int kWidth = 350;
    static constexpr int kRowHeight = 75;
    static constexpr int kPlanetClearance = 256 + 40;

    explicit GUI_EncounterDetails(SIM_CampaignEncounter* encounter);
    ~GUI_EncounterDetails() override;

    void Draw() override;
    void Update() override;

    SIM_CampaignEncounter* GetEncounter() const { return m_encounter.Get(); }
    const std::string& GetLoyaltyText() const { return m_loyalty; }
    const std::string& GetThreatText() const { return m_threat; }
    const std::vector<GUI_CampaignFacility*>& GetFacilityPanels() const { return m_facilities; }
    const std::vector<std::string>& GetAnomalyTexts() const { return m_anomalies; }
    // The loyalty and threat panel, whose tooltip explains them.
    GRect GetSummaryRect() const;
    // Where the anomalies' list starts, below the facility rows.
    int GetAnomalyTop() const { return m_anomalyTop; }
    GUI_Tooltip* GetSummaryTooltip() const { return m_tooltip.get(); }
    // The loyalty as the summary shows it, with the garrison's share when there is one.
    static std::string LoyaltyText(float loyalty, float garrison);
    // Left edge of the window on a screen of that width.
    static int LeftFor(int screenWidth);

private:
    GWatch<SIM_CampaignEncounter> m_encounter;
    std::string m_loyaltyLabel;
    std::string m_threatLabel;
    std::string m_loyalty;
    std::string m_threat;
    std::vector<GUI_CampaignFacility*> m_facilities; // child windows
    std::vector<std::string> m_anomalies;
    int m_anomalyTop = 0;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
    GUI_Interlace m_interlace;
};

void ShowEncounterDetails(SIM_CampaignEncounter* encounter);
void CloseEncounterDetails();
