#include "frontend/GUI_ScenarioAchievements.h"

#include "engine/CInput.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Scenario.h"

namespace {
struct MedalTexts {
    const char* medal;
    const char* name;
    const char* tooltip;
    const char* notYet;
};
const MedalTexts kMedals[3] = {
    {"achieve_bronze.dds", "AWARD_EASY", "AWARD_TOOLTIP_EASY", "AWARD_TOOLTIP_EASY_NOTYET"},
    {"achieve_silver.dds", "AWARD_MEDIUM", "AWARD_TOOLTIP_MEDIUM", "AWARD_TOOLTIP_MEDIUM_NOTYET"},
    {"achieve_gold.dds", "AWARD_HARD", "AWARD_TOOLTIP_HARD", "AWARD_TOOLTIP_HARD_NOTYET"},
};
} // namespace

GUI_Achievement::GUI_Achievement(const SIM_Scenario& scenario, int level)
{
    const MedalTexts& texts = kMedals[level];
    // A scenario without a score record simply has nothing earned yet.
    const SIM_ScenarioScore* record = nullptr;
    for (const auto& r : SIM_HighScores::GetInstance().GetRecords())
        if (r->scenarioName == SIM_HighScores::StorableScenarioName(scenario.GetName()))
            record = r.get();
    m_earned = record && record->beaten[level];
    m_medal.SetSize(110.0f, 32.0f);
    m_medal.SetUV(0.0f, 0.0f, 0.859375f, 1.0f);
    m_medal.SetTexture(m_earned ? texts.medal : "achieve_empty.dds");
    std::string tip = GetString(m_earned ? texts.tooltip : texts.notYet);
    if (m_earned) {
        m_name = GetString(texts.name);
        tip += " (" + std::string(GetString("AWARD_HONOR")) + ": " + std::to_string(record->highestHonour[level]) + ")";
    }
    m_tooltip = new GUI_Tooltip(tip, 0);
    claimsMouse = false;
    raisesOnClick = false;
}

GUI_Achievement::~GUI_Achievement()
{
    delete m_tooltip;
}

void GUI_Achievement::Draw()
{
    const float cx = static_cast<float>(left + right) * 0.5f;
    m_medal.PlaceCentred(cx, static_cast<float>(top + 16));
    m_medal.Draw();
    if (m_earned)
        LibText::GetInstance().SetText(TEXT_ALIGN_CENTRE, m_name, cx - 55.0f, static_cast<float>(top + 4), 0xFFFFFFFFu,
                                       110.0f);
    if (IsMouseOver()) {
        m_tooltip->SetAnchor(CInput::GetInstance().GetMouseX(), CInput::GetInstance().GetMouseY());
        m_tooltip->CheckShowTime();
    } else {
        m_tooltip->visibility = 0.0f;
    }
    m_tooltip->Draw();
}

GUI_ScenarioAchievements::GUI_ScenarioAchievements(const SIM_Scenario& scenario)
{
    for (int level = 0; level < 3; ++level) {
        m_medals[level] = new GUI_Achievement(scenario, level);
        AddChild(m_medals[level]);
    }
    claimsMouse = false;
    raisesOnClick = false;
    swallowsClicks = false;
}

void GUI_ScenarioAchievements::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    const int third = width / 3;
    for (int level = 0; level < 3; ++level) {
        const float x = static_cast<float>(left + level * third);
        m_medals[level]->SetRect(x, t, x + static_cast<float>(third), b);
    }
}

void GUI_ScenarioAchievements::Draw()
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render(-1);
}
