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
    // The manager windows draw their rows' texts in this font.
    static constexpr const char* kFont = "zekton16.dds";
    static constexpr float kFontSize = 16.0f;

    ~GUI_CampaignManagerStrip() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;
    // Placed: the first text is fitted to the room the place leaves it.
    void SetRect(float l, float t, float r, float b) override;

    SIM_CampaignEncounter* GetEncounter() const { return m_place; }
    const std::string& GetFirstText() const { return m_first; }
    // The first text as drawn: a fleet's name the player typed may be cut.
    const std::string& GetShownFirstText() const { return m_firstShown; }
    int GetPlaceLeft() const { return m_placeLeft; }
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
    std::string m_firstShown;
    int m_placeLeft = 0; // from the strip's left
    CTexturedSprite m_frame;
};
