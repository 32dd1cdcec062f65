#pragma once
#include "gui/GUI_Transition.h"
#include "platform/IClock.h"
#include "sim/SIM_Options.h"

#include <memory>
#include <string>

// Screen transitions switched on in fresh options, on an injected clock;
// Close detaches both again.
class TransitionSetup {
public:
    void Open(const std::string& configPath, const IClock* clock)
    {
        m_options = std::make_unique<SIM_Options>(configPath);
        m_options->SetValue("TRANSITIONS", 1.0f);
        GUI_Transition& transition = GUI_Transition::GetInstance();
        transition.Reset();
        transition.SetClock(clock);
        transition.SetOptions(m_options.get());
    }
    void Close()
    {
        GUI_Transition& transition = GUI_Transition::GetInstance();
        transition.Reset();
        transition.SetClock(nullptr);
        transition.SetOptions(nullptr);
    }
    SIM_Options& Options() { return *m_options; }

private:
    std::unique_ptr<SIM_Options> m_options;
};
