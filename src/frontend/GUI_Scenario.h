#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_IconButton;
class GUI_Tooltip;
class IClock;
class SIM_Scenario;

// One row of the scenario list: type icon and name. A locked row is faded,
// beeps when clicked and never hovers; an available row opens the details.
// Rows appear one after another: each waits for its delay, then sweeps open
// from the left.
class GUI_Scenario : public GUI_WindowBase {
public:
    enum State { WAITING = 0, GROWING = 1, SHOWN = 2 };
    static constexpr float kSweepMs = 500.0f;
    static constexpr uint32_t kFadedColour = 0x42FFFFFFu;

    explicit GUI_Scenario(SIM_Scenario* scenario);
    ~GUI_Scenario() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    // The mouse went onto a window above the list.
    void ClearHover() override;

    // Starts the appearance: shown after delayMs, fully open 500 ms later.
    void Animate(float delayMs);

    SIM_Scenario* GetScenario() const { return m_scenario; }
    bool IsAvailable() const { return m_available; }
    bool IsHovered() const { return m_hovered; }
    int GetState() const { return m_state; }
    // The width drawn at the last draw.
    int GetVisibleWidth() const { return m_visibleWidth; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    const std::string& GetName() const { return m_name; }

    // Rows made afterwards time their appearance by this clock (tests).
    static void SetClock(const IClock* clock);
    static const GUI_Scenario* GetLastHovered();

private:
    void DrawRow(float fraction);

    SIM_Scenario* m_scenario;
    std::string m_name;
    bool m_available;
    GUI_IconButton* m_icon = nullptr;
    GUI_Tooltip* m_tooltip = nullptr;
    GTimer m_timer;
    float m_delay = 0.0f;
    int m_state = SHOWN;
    bool m_hovered = false;
    int m_visibleWidth = 0;
};
