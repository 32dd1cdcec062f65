#pragma once
#include "campaign/gui/GUI_EncounterIcon.h"
#include "engine/GLifetime.h"

#include <string>
#include <vector>

class SIM_CampaignFleet;

// A player fleet below its planet. Dragged onto a planet joined to its own by
// a wormhole it moves there (the player's planet) or attacks (anyone else's);
// dropped on another fleet at the same planet it merges; a short click opens
// the fleet's details.
class GUI_PlayerFleetIcon : public GUI_EncounterIcon {
public:
    static constexpr float kClickPixels = 8.0f;
    static constexpr float kDragPixels = 60.0f;

    explicit GUI_PlayerFleetIcon(SIM_CampaignFleet* fleet);
    ~GUI_PlayerFleetIcon() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void StartDrag() override;
    void OnDragEnd() override;
    void RefreshTooltip() override;

    // Null once the fleet is gone; its planet rebuilds its icons then.
    SIM_CampaignFleet* GetFleet() const { return m_fleet.Get(); }
    bool IsPressed() const { return m_pressed; }
    bool HasDragStarted() const { return m_dragStarted; }
    // Frame of "fleeticons.dds": 1 battle pending, 0 moved this turn, 2 ready.
    int SmallFrame() const;

    static GUI_PlayerFleetIcon* GetDragged();
    static void ForgetDragged();
    static void RefreshAll();
    static const std::vector<GUI_PlayerFleetIcon*>& GetAll();
    // The fleet waits for a battle this turn.
    static bool IsInBattle(const SIM_CampaignFleet* fleet);

protected:
    // The leading hull shows as a flat silhouette in the icon's colour.
    void BeforeLargeIcon() override;
    void AfterLargeIcon() override;

private:
    void UpdatePreview();
    void EndDrag();

    GWatch<SIM_CampaignFleet> m_fleet;
    bool m_pressed = false;
    float m_pressX = 0.0f, m_pressY = 0.0f;
    bool m_empty = false;
    std::string m_battleText;
    std::string m_movedText;
    float m_dragStartX = 0.0f, m_dragStartY = 0.0f;
    bool m_dragStarted = false;
};
