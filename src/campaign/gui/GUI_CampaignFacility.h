#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <string>

class GUI_ButtonText;
class GUI_Tooltip;
class SIM_CampaignFacility;

// One facility of a planet in its details window: its name, what it yields
// or which classes it builds or repairs, and for yards the button that opens
// the shipyard or the repairs.
class GUI_CampaignFacility : public GUI_WindowBase {
public:
    static constexpr int kHeight = 75;

    explicit GUI_CampaignFacility(SIM_CampaignFacility* facility);
    ~GUI_CampaignFacility() override;

    void Draw() override;
    void Update() override;
    void SetRect(float left, float top, float right, float bottom) override;

    // The classes a yard of that type builds: fighters, then frigates, then cruisers.
    static std::string ShipyardClassesText(const std::string& typeName);
    // The font size of a value that must fit beside its label: 16, or smaller
    // (not below 10) when the value is wider than the room left.
    static float ValueFontSize(int valueWidth, int room);
    // The shipyard button: opens the yard with a new fleet, or closes the open one.
    static void UseFacility(std::intptr_t facility);

    // Null once the facility is gone (the planet window closes then).
    SIM_CampaignFacility* GetFacility() const { return m_facility.Get(); }
    GUI_ButtonText* GetButton() const { return m_button; }
    const std::string& GetContextText() const { return m_context; }
    const std::string& GetValueText() const { return m_value; }

private:
    // The button's click: the panel's facility, looked up now.
    static void OnUse(std::intptr_t panel);

    GWatch<SIM_CampaignFacility> m_facility;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
    GUI_ButtonText* m_button = nullptr;
    std::string m_context;
    std::string m_value;
    std::string m_name;
};
