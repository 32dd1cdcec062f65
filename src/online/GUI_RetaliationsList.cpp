#include "online/GUI_RetaliationsList.h"

#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "online/GUI_ChallengeListClientWindow.h"

void GUI_RetaliationsList::SetChallenge(const std::string& challengeId)
{
    m_list = new GUI_ChallengeListClientWindow();
    m_list->SetRect(static_cast<float>(left), static_cast<float>(top + 40), static_cast<float>(right),
                    static_cast<float>(bottom));
    m_list->SetParentFilter(challengeId);
    for (bool& on : m_list->filters)
        on = true;
    m_list->BuildColumns();
    AddChild(m_list);
    m_titleBar.SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                       static_cast<float>(top + 35));
    m_titleBar.SetText(GetString("CHALLENGE_RETALIATIONS_TITLE"));
}

void GUI_RetaliationsList::Draw()
{
    m_titleBar.Draw();
    const GRect area{left, top + 40, right, bottom};
    D3DEngine::GetInstance().FillRect(area, 0x80000000u);
    m_interlace.Draw(area);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render(-1);
}
