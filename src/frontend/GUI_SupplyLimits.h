#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <functional>
#include <string>
#include <vector>

class GUI_ScrollingWindow;
class GUI_Tooltip;
class SIM_Scenario;
class SIM_ShipModuleType;

// One module type's supply limit; in deployment it also shows how many the
// fleet uses, with a bar that turns red past the limit.
class GUI_SupplyLimitStrip : public GUI_WindowBase {
public:
    GUI_SupplyLimitStrip(const SIM_ShipModuleType& type, int limit, int mode);
    ~GUI_SupplyLimitStrip() override;

    // Counts again what the fleet uses (deployment only).
    void Refresh();
    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    // How much of the limit a count uses; a limit of 0 is full at one unit.
    static float UsageFraction(int count, int limit);
    // Using exactly the limit is fine, one more is not.
    static bool IsOverLimit(int count, int limit) { return limit >= 0 && count > limit; }

    const std::string& GetLimitText() const { return m_limitText; }
    const std::string& GetInUseText() const { return m_inUseText; }
    float GetFraction() const { return m_fraction; }
    const GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    const SIM_ShipModuleType& GetType() const { return m_type; }

private:
    const SIM_ShipModuleType& m_type;
    std::string m_name;
    CTexturedSprite m_icon;
    std::string m_limitText;
    std::string m_inUseText;
    int m_limit;
    int m_mode;
    float m_fraction = 0.0f;
    GUI_Tooltip* m_tooltip = nullptr;
};

// The read-only list of a scenario's supply limits: from the scenario
// details (centred, modal) or beside the deployment map (with the fleet's
// usage). At most one is open.
class GUI_SupplyLimits : public GUI_Dialog, public GUI_OneOpen<GUI_SupplyLimits> {
public:
    enum Mode { MODE_SCENARIO = 0, MODE_DEPLOYMENT = 1 };
    // How many modules of a type the deployed fleet carries; the deployment
    // screen sets it.
    using FleetCounter = std::function<int(const std::string& moduleType)>;
    static void SetFleetCounter(FleetCounter counter);
    static int CountInFleet(const std::string& moduleType);
    // What a click on a deployment line does (the deployment screen selects
    // the ships that carry the type).
    using StripClickHandler = std::function<void(const std::string& moduleType)>;
    static void SetStripClickHandler(StripClickHandler handler);
    static void OnStripClicked(const std::string& moduleType);
    // Deployment: the window stands on the left while the AI fleet is edited.
    static void SetAtLeftEdge(bool on);

    static void Open(SIM_Scenario* scenario, int mode);
    static void Close();
    static void RefreshStrips();

    ~GUI_SupplyLimits() override;
    bool IsModal() const override { return m_mode != MODE_DEPLOYMENT; }
    void Draw() override;

    const std::vector<GUI_SupplyLimitStrip*>& GetStrips() const { return m_strips; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    int GetColumns() const { return m_columns; }

private:
    GUI_SupplyLimits(SIM_Scenario* scenario, int mode);
    void LayOutStrips();

    SIM_Scenario* m_scenario;
    int m_mode;
    int m_columns = 2;
    std::vector<GUI_SupplyLimitStrip*> m_strips;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_Interlace m_interlace;
};
