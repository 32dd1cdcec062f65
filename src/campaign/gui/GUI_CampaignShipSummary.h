#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class SIM_CampaignShip;
class SIM_ShipDesign;
class GUI_Shipyard;

// The seven-row table of a design's key figures: title, cost, speed, hull,
// armour, shields and crew. For a design offered at a shipyard the cost and
// crew are those of the squadron to be built, and the row the player cannot
// pay for blinks red.
class GUI_CampaignShipSummary : public GUI_WindowBase {
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kRows = 7;
    static constexpr double kBlinkMs = 200.0;
    static constexpr uint32_t kWarningColour = 0xFFE10000u;
    static constexpr float kFontSize = 16.0f;
    // The smallest size a value shrinks to before it is cut.
    static constexpr float kMinFontSize = 12.0f;
    // The least room between a row's label and its value.
    static constexpr int kLabelGap = 8;

    GUI_CampaignShipSummary();
    void Draw() override;

    void SetShip(SIM_CampaignShip* ship);
    void SetDesign(SIM_ShipDesign* design);
    void RefreshValues();

    // "%s CR", or for a squadron offered at a yard "%s CR ( X %d = %s)".
    static std::string CostText(float designCost, int quantity, bool squadronOffer);

    GUI_Shipyard* linkedShipyard = nullptr;

    const std::string& GetTitle() const { return m_title; }
    // The title as drawn: smaller, or cut, when the table is too narrow for it.
    const std::string& GetShownTitle() const { return m_shownTitle; }
    float GetTitleSize() const { return m_titleSize; }
    const std::string& GetCostText() const { return m_values[0]; }
    const std::string& GetCrewText() const { return m_values[5]; }
    // The size the cost is drawn at: smaller when it would reach its label.
    float GetCostSize() const { return m_valueSizes[0]; }
    bool IsShipyardMode() const { return m_shipyardMode; }
    // Whether the warned row shows in this frame's blink phase.
    bool IsBlinkOn() const { return m_blinkOn; }

private:
    void FitValues();
    void FitTitle();

    SIM_ShipDesign* m_design = nullptr;
    SIM_CampaignShip* m_ship = nullptr;
    bool m_shipyardMode = true;
    std::string m_title;
    std::string m_shownTitle;
    // What the shown title was fitted from, and to which width.
    std::string m_fittedTitle;
    int m_titleWidth = -1;
    float m_titleSize = kFontSize;
    // cost, speed, hull, armour, shields, crew
    std::string m_labels[6];
    std::string m_values[6];
    // As drawn: fitted right of their labels.
    std::string m_shownValues[6];
    float m_valueSizes[6] = {kFontSize, kFontSize, kFontSize, kFontSize, kFontSize, kFontSize};
    int m_fittedWidth = -1;
    GTimer m_blinkTimer;
    bool m_blinkOn = true;
};
