#pragma once
#include "gui/GUI_WindowBase.h"

#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_ScrollingWindow;
class SIM_Scenario;

// One anomaly of the edited scenario, with its description and a Delete
// button.
class GUI_AnomalyStrip : public GUI_WindowBase {
public:
    GUI_AnomalyStrip(SIM_Scenario* scenario, size_t index);
    void Draw() override;
    void SetRect(float l, float t, float r, float b) override;
    size_t GetIndex() const { return m_index; }
    const std::string& GetDescription() const { return m_description; }
    GUI_ButtonText* GetDeleteButton() const { return m_delete; }

private:
    static void OnDelete(std::intptr_t strip);

    std::string m_description;
    std::string m_wrapped;
    size_t m_index;
    GUI_ButtonText* m_delete = nullptr;
};

// The scenario editor's anomalies: the scenario's list, an Add button that
// opens the anomaly picker, and a Delete on each strip.
class GUI_AnomalyEditor : public GUI_WindowBase {
public:
    explicit GUI_AnomalyEditor(SIM_Scenario* scenario);
    ~GUI_AnomalyEditor() override;
    static GUI_AnomalyEditor* GetOpen();

    void Layout();
    void Refresh();
    // Takes the anomaly out of the scenario now; the strips follow at the
    // next draw, since the asking strip's own click is still running.
    void DeleteAnomaly(size_t index);
    void Update() override;
    void Draw() override;

    const std::vector<GUI_AnomalyStrip*>& GetStrips() const { return m_strips; }
    GUI_ButtonText* GetAddButton() const { return m_add; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    bool IsRefreshPending() const { return m_refreshPending; }

private:
    static void OnAdd(std::intptr_t);

    GUI_ButtonText* m_add = nullptr;
    std::string m_title;
    GUI_ScrollingWindow* m_scroll = nullptr;
    SIM_Scenario* m_scenario;
    std::vector<GUI_AnomalyStrip*> m_strips;
    bool m_refreshPending = false;
};
