#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>
#include <vector>

class SIM_Scenario;

// The list of a scenario's spatial anomalies, one line each. At most one is
// open; opening another replaces it.
class GUI_Scenario_Anomalies : public GUI_Dialog, public GUI_OneOpen<GUI_Scenario_Anomalies> {
public:
    static void Open(const SIM_Scenario& scenario);

    ~GUI_Scenario_Anomalies() override;
    void Draw() override;
    const std::vector<std::string>& GetLines() const { return m_lines; }

private:
    explicit GUI_Scenario_Anomalies(const SIM_Scenario& scenario);
    std::vector<std::string> m_lines;
    GUI_Interlace m_interlace;
};
