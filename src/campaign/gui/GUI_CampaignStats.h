#pragma once
#include "gui/GUI_WindowBase.h"

#include <string>

// The campaign's figures at its end, in two columns: the real counters, the
// turns played, and ten tongue-in-cheek figures made from them. A snapshot
// taken when the panel is made.
class GUI_CampaignStats : public GUI_WindowBase {
public:
    static constexpr int kEntries = 20;
    static constexpr int kLineHeight = 20;

    GUI_CampaignStats();
    void Draw() override;

    const std::string& GetLabel(int i) const { return m_labels[i]; }
    const std::string& GetValue(int i) const { return m_values[i]; }

private:
    std::string m_labels[kEntries];
    std::string m_values[kEntries];
};
