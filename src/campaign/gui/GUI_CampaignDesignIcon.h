#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <memory>

class GUI_Tooltip;
class SIM_ShipDesign;

// One design in the shipyard's list: its hull in a frame that turns brown,
// and a tooltip that says why, when the design cannot be built here now. The
// new-design icon leads to the ship designer instead.
class GUI_CampaignDesignIcon : public GUI_WindowBase {
public:
    enum State { BUILDABLE = 0, NO_CREW = 1, NO_CASH = 2, WRONG_CLASS = 3 };

    GUI_CampaignDesignIcon(bool newDesign, SIM_ShipDesign* design, bool buildableHere);
    ~GUI_CampaignDesignIcon() override;

    bool OnLeftClick(float x, float y) override;
    void Update() override;
    void Draw() override;
    void UpdateState();

    // The refusal the icon shows: later tests win, in the order cash, crew, class.
    static int StateFor(float unitCost, int unitCrew, bool fighter, int quantity, int cash, int crew,
                        bool buildableHere);

    SIM_ShipDesign* GetDesign() const { return m_design; }
    bool IsNewDesign() const { return m_newDesign; }
    bool IsRefused() const { return m_refused; }
    int GetState() const { return m_state; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip.get(); }

private:
    SIM_ShipDesign* m_design;
    bool m_buildable;
    CTexturedSprite m_picture;
    CTexturedSprite m_frame;
    CTexturedSprite m_hoverFrame;
    CTexturedSprite m_refusedFrame;
    bool m_refused = false;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
    bool m_newDesign;
    int m_state = BUILDABLE;
};
