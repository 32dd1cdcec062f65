#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <vector>

class SIM_CampaignEncounter;
class GUI_WormholeTraffic;

// The tube between two planets joined by a wormhole, drawn from edge to
// edge; bright normally, faint while a dragged fleet cannot use it, and
// pulsing white while the tutorial points at the wormholes.
class GUI_CampaignWormhole : public GUI_WindowBase {
public:
    static constexpr uint32_t kBright = 0xBE3F86B0u;
    static constexpr uint32_t kFaint = 0x203F86B0u;
    static constexpr float kWidthPerZoom = 6.0f;
    static constexpr double kPulseMs = 1000.0;

    GUI_CampaignWormhole(SIM_CampaignEncounter* a, SIM_CampaignEncounter* b);
    ~GUI_CampaignWormhole() override;

    void Draw() override {}
    void LayOut();
    void DrawOne();

    SIM_CampaignEncounter* GetA() const { return m_a; }
    SIM_CampaignEncounter* GetB() const { return m_b; }
    GUI_WormholeTraffic& GetTraffic() { return *m_traffic; }
    uint32_t CurrentColour() const;

    static void DrawAll();
    static const std::vector<GUI_CampaignWormhole*>& GetAll();
    static void SetHighlight(bool on);
    static bool IsHighlighted();
    // The pulse's ARGB after t milliseconds of it.
    static uint32_t PulseColour(double ms);

    bool bright = true;

private:
    SIM_CampaignEncounter* m_a;
    SIM_CampaignEncounter* m_b;
    CTexturedSprite m_shaft;
    CTexturedSprite m_endA;
    CTexturedSprite m_endB;
    std::unique_ptr<GUI_WormholeTraffic> m_traffic;
    bool m_visible = false;
};
