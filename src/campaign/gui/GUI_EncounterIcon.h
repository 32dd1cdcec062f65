#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <string>

class SIM_CampaignFacility;
class GUI_Tooltip;

// A small icon on a planet: a facility above it (this class) or a player
// fleet below it (GUI_PlayerFleetIcon). Zoomed out it shows a small symbol
// from a 4 x 4 sheet; zoomed in past 5 a framed large picture fades in.
class GUI_EncounterIcon : public GUI_WindowBase {
public:
    static constexpr float kFadeStartZoom = 5.0f;
    static constexpr float kFadeSpan = 10.0f;
    static constexpr float kUnselectableAlpha = 0.4f;
    enum Kind { FACILITY = 0, FLEET = 1 };

    GUI_EncounterIcon();
    ~GUI_EncounterIcon() override;

    void Draw() override;
    void Update() override;
    void SetFacility(SIM_CampaignFacility* facility);
    virtual void RefreshTooltip();

    // The large picture's alpha at a map zoom; the small symbol's is 1 minus it.
    static float LargeAlpha(float zoom);
    GUI_Tooltip* GetTooltip() const { return m_tooltip.get(); }
    SIM_CampaignFacility* GetFacility() const { return m_facility; }

    bool selectable = true;
    bool showLargeIcon = true;
    int kind = FACILITY;

protected:
    virtual void BeforeLargeIcon() {}
    virtual void AfterLargeIcon() {}
    // The map's display flag that shows the small symbol of this kind.
    bool SmallShown() const;

    CTexturedSprite m_frame;
    CTexturedSprite m_large;
    CTexturedSprite m_small;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
    float m_largeAlpha = 0.0f;
    float m_smallAlpha = 1.0f;
    SIM_CampaignFacility* m_facility = nullptr;
    std::string m_extraLine;
};
