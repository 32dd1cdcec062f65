#pragma once
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <string>

class GUI_Tooltip;

// One figure of the campaign's top panel: a label on the left and the value
// right-aligned, with a tooltip. The kind says which figure it shows.
class GUI_CampaignCounter : public GUI_WindowBase {
public:
    enum Kind { CASH = 0, CREW, INCOME, RECRUITMENT, TURN, KIND_COUNT };

    explicit GUI_CampaignCounter(Kind kind);
    ~GUI_CampaignCounter() override;

    void Draw() override;
    void Update() override;
    void UpdateText();

    Kind GetKind() const { return m_kind; }
    const std::string& GetLabel() const { return m_label; }
    const std::string& GetValue() const { return m_value; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip.get(); }
    // The value a counter of that kind shows now.
    static std::string ValueText(Kind kind);
    // The label's string key ("CAMPAIGN_CASH" and so on).
    static const char* LabelKey(Kind kind);

private:
    Kind m_kind;
    std::string m_label;
    std::string m_value;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
};
