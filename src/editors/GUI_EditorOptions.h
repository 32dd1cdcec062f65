#pragma once
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_CheckButton;
class GUI_OptionsSlider;
class SIM_Scenario;

// The scenario editor's limits: fleet cost, pilots and map size on sliders,
// and the starfield. The values go into the scenario when it is written.
class GUI_EditorOptions : public GUI_WindowBase {
public:
    static constexpr int kMinCost = 2000, kMaxCost = 100000;
    static constexpr int kMinPilots = 1, kMaxPilots = 1000;
    static constexpr int kMinSize = 1024, kMaxSize = 4096;

    explicit GUI_EditorOptions(SIM_Scenario* scenario);
    ~GUI_EditorOptions() override;
    static GUI_EditorOptions* GetOpen();

    void Layout();
    void Draw() override;
    // Reads the sliders into the three values and their texts.
    void UpdateValues();

    // What a slider position (0..1) stands for.
    static int CostAt(float position);
    static int PilotsAt(float position);
    static int SizeAt(float position);
    // Where a scenario's value puts its slider (clamped to 0..1).
    static float CostPosition(int cost);
    static float PilotsPosition(int pilots);
    static float SizePosition(float size);

    int GetCost() const { return m_cost; }
    int GetPilots() const { return m_pilots; }
    int GetSize() const { return m_size; }
    bool HasStars() const;
    GUI_OptionsSlider* GetCostSlider() const { return m_costSlider; }
    GUI_OptionsSlider* GetPilotsSlider() const { return m_pilotsSlider; }
    GUI_OptionsSlider* GetSizeSlider() const { return m_sizeSlider; }
    GUI_CheckButton* GetStarsBox() const { return m_stars; }
    const std::string& GetCostText() const { return m_costText; }

private:
    static void OnSlider(std::intptr_t);
    static void OnStars(std::intptr_t);

    GUI_OptionsSlider* m_costSlider = nullptr;
    GUI_OptionsSlider* m_pilotsSlider = nullptr;
    GUI_OptionsSlider* m_sizeSlider = nullptr;
    GUI_CheckButton* m_stars = nullptr;
    std::string m_costText, m_pilotsText, m_sizeText;
    std::string m_title;
    int m_size = kMinSize;
    int m_cost = kMinCost;
    int m_pilots = kMinPilots;
    SIM_Scenario* m_scenario;
};
