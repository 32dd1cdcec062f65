#pragma once
#include "campaign/gui/GUI_CampaignPanelBackground.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

#include "campaign/gui/GUI_CampaignCounter.h"

// The strip at the top of the campaign map with the five figures: cash,
// crew, income, recruitment and turn, in one row.
class GUI_CampaignControlPanelTop : public GUI_WindowBase {
public:
    static constexpr int kCounterWidth = 150;
    static constexpr int kCounterPitch = 160;

    GUI_CampaignControlPanelTop();
    ~GUI_CampaignControlPanelTop() override;

    void Draw() override;
    void Layout();
    void UpdateAll();

    GUI_CampaignCounter* Get(GUI_CampaignCounter::Kind kind) const { return m_counters[kind]; }
    static GUI_CampaignControlPanelTop* GetOpen();

private:
    GUI_CampaignPanelBackground m_background;
    GUI_CampaignCounter* m_counters[GUI_CampaignCounter::KIND_COUNT] = {};
    GUI_Interlace m_interlace[GUI_CampaignCounter::KIND_COUNT];
};
