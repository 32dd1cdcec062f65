#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"
#include "sim/SIM_Anomaly.h"

#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_OptionsSlider;
class GUI_ScrollingWindow;
class SIM_Scenario;

// One anomaly the scenario does not have yet: its name, an amount slider for
// multipliers, and an Add button.
class GUI_AnomalyPickerStrip : public GUI_WindowBase {
public:
    explicit GUI_AnomalyPickerStrip(SIM_Anomaly& candidate);
    void SetRect(float l, float t, float r, float b) override;
    void Draw() override;
    // Reads the slider into the candidate's amount and the amount text.
    void ReadSlider();
    SIM_Anomaly& GetCandidate() { return m_candidate; }
    GUI_ButtonText* GetAddButton() const { return m_add; }
    GUI_OptionsSlider* GetSlider() const { return m_slider; }
    const std::string& GetAmountText() const { return m_amountText; }

private:
    static void OnAdd(std::intptr_t strip);

    std::string m_label;
    std::string m_amountText;
    SIM_Anomaly& m_candidate;
    GUI_ButtonText* m_add = nullptr;
    GUI_OptionsSlider* m_slider = nullptr;
};

// The modal list of anomalies to add to the edited scenario; each keyword
// at most once.
class GUI_AnomalyPicker : public GUI_Dialog, public GUI_OneOpen<GUI_AnomalyPicker> {
public:
    static void Open(SIM_Scenario* scenario);
    ~GUI_AnomalyPicker() override;

    void Draw() override;
    // Appends a copy of the candidate, refreshes the anomaly list and closes.
    void Add(const SIM_Anomaly& candidate);

    // The keywords the scenario lacks, multipliers first, in table order.
    static std::vector<SIM_Anomaly> Candidates(const SIM_Scenario& scenario);
    const std::vector<GUI_AnomalyPickerStrip*>& GetStrips() const { return m_strips; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }

private:
    explicit GUI_AnomalyPicker(SIM_Scenario* scenario);
    void BuildStrips();

    SIM_Scenario* m_scenario;
    std::vector<SIM_Anomaly> m_candidates;
    std::vector<GUI_AnomalyPickerStrip*> m_strips;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_Interlace m_interlace;
};
