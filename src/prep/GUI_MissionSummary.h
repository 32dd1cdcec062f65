#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <string>
#include <vector>

class SIM_Scenario;

// The scenario's limits and anomalies, opened from the summary bar. One at
// a time. Not modal: the map stays usable while the player reads it.
class GUI_MissionSummary : public GUI_Dialog {
public:
    static constexpr int kWidth = 500;

    explicit GUI_MissionSummary(const SIM_Scenario& scenario);
    ~GUI_MissionSummary() override;
    void Draw() override;
    bool IsModal() const override { return false; }

    const std::vector<std::string>& GetAnomalyLines() const { return m_anomalies; }
    static GUI_MissionSummary* GetOpen();

private:
    std::string m_costLabel, m_costValue, m_pilotLabel, m_pilotValue;
    std::vector<std::string> m_anomalies;
    GUI_Interlace m_interlace;
};

void OpenMissionSummary(const SIM_Scenario& scenario);
// Not modal, so the player can leave the screen with it open: leaving closes it.
void CloseMissionSummary();
