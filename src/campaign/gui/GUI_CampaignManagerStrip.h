#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <string>

class GUI_Tooltip;
class SIM_CampaignEncounter;

// One row of a manager window: an icon in a square frame, a name with the
// planet it belongs to beside it, and a line below (with a figure on the
// right for facilities). A click moves the map to that planet.
class GUI_CampaignManagerStrip : public GUI_WindowBase {
public:
    static constexpr int kIconSize = 40;

    ~GUI_CampaignManagerStrip() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    SIM_CampaignEncounter* GetEncounter() const { return m_place; }
    const std::string& GetFirstText() const { return m_first; }
    const std::string& GetSecondText() const { return m_second; }
    const std::string& GetFigure() const { return m_figure; }
    const std::string& GetPlaceName() const { return m_placeName; }

protected:
    explicit GUI_CampaignManagerStrip(SIM_CampaignEncounter* place);
    // After the map moved there.
    virtual void OnChosen() {}

    CTexturedSprite m_icon;
    std::string m_first;
    std::string m_second;
    std::string m_figure;
    std::unique_ptr<GUI_Tooltip> m_tooltip;

private:
    SIM_CampaignEncounter* m_place;
    std::string m_placeName;
    CTexturedSprite m_frame;
};
