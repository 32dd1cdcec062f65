#include "battle/hud/GUI_RateChallenge.h"

#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_RatingPicker.h"
#include "battle/hud/HudWindow.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Scenario.h"

namespace {
GUI_RateChallenge::Sender g_sender = nullptr;
} // namespace

void GUI_RateChallenge::SetSender(Sender sender)
{
    g_sender = sender;
}

GUI_RateChallenge::GUI_RateChallenge() : GUI_Dialog(true)
{
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    // The stars start under the title bar, not on it.
    sideMargin = bottomMargin = 0.0f;
    SetClientRect();
    drawButtons = false;
    const int centre = (left + right) / 2;
    m_submit = new GUI_ButtonText("SUBMIT_RATING", OnSubmit, 0);
    m_submit->SetRect(static_cast<float>(centre - 65), static_cast<float>(bottom - 37), static_cast<float>(centre + 65),
                      static_cast<float>(bottom - 17));
    AddButton(m_submit);
    AddChildElement(m_submit);
    m_difficulty = new GUI_RatingPicker();
    m_difficulty->SetRect(static_cast<float>(clientLeft + 20), static_cast<float>(clientTop + 10),
                          static_cast<float>(clientLeft + 200), static_cast<float>(clientTop + 42));
    m_enjoyment = new GUI_RatingPicker();
    m_enjoyment->SetRect(static_cast<float>(clientLeft + 20), static_cast<float>(clientTop + 52),
                         static_cast<float>(clientLeft + 200), static_cast<float>(clientTop + 86));
    for (GUI_RatingPicker* picker : {m_difficulty, m_enjoyment}) {
        AddChild(picker);
        AddChildElement(picker);
    }
    m_difficultyLabel = GetString("RATECHALLENGE_DIFFICULTY");
    m_enjoymentLabel = GetString("RATECHALLENGE_ENJOYMENT");
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
    SetTitleKey("RATECHALLENGE_TITLE");
    UpdateSubmit();
}

GUI_RateChallenge::~GUI_RateChallenge() = default;

void GUI_RateChallenge::UpdateSubmit()
{
    m_submit->enabled = m_difficulty->rating > 0 && m_enjoyment->rating > 0;
}

void GUI_RateChallenge::OnSubmit(std::intptr_t)
{
    GUI_RateChallenge* open = GetOpen();
    if (!open || open->m_difficulty->rating <= 0 || open->m_enjoyment->rating <= 0)
        return;
    const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    const std::string id = scenario ? scenario->GetChallengeId() : std::string();
    const int difficulty = open->m_difficulty->rating, enjoyment = open->m_enjoyment->rating;
    GUI_PostMortem* report = GUI_PostMortem::GetOpen();
    if (g_sender) {
        const bool sent = g_sender(id, difficulty, enjoyment);
        if (report)
            report->OnRatingSent(sent);
    } else if (report) {
        report->StartRating(id, difficulty, enjoyment);
    }
    Close();
}

void GUI_RateChallenge::Draw()
{
    if (!visible)
        return;
    UpdateSubmit();
    GUI_Dialog::Draw();
    DrawDialogClientPanel(*this, m_interlace);
    const auto cl = static_cast<float>(clientLeft);
    const auto ct = static_cast<float>(clientTop);
    DrawButtons();
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_difficultyLabel, cl + 220.0f, ct + 20.0f, 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_enjoymentLabel, cl + 220.0f, ct + 62.0f, 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
}
