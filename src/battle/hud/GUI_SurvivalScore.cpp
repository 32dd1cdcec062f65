#include "battle/hud/GUI_SurvivalScore.h"

#include "battle/hud/HudWindow.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "sim/SIM_SurvivalMode.h"

GUI_SurvivalScore& GetSurvivalScore()
{
    static GUI_SurvivalScore window;
    return window;
}

void GUI_SurvivalScore::Layout(int screenWidth)
{
    SetRect(static_cast<float>(screenWidth - kWidth - 4), 4.0f, static_cast<float>(screenWidth - 4),
            static_cast<float>(4 + kHeight));
    PlaceBoxBackground(m_background, *this);
    m_inner = GRect{left + 10, top + 10, right - 10, bottom - 10};
    m_title = GetString("SURVIVAL_SCORE_TITLE");
    // A new battle's score starts from nothing, not from the last battle's.
    m_shown = 0;
    m_target = 0;
    m_textFor = -1;
    m_scoreText = "0";
    m_newWave = false;
}

void GUI_SurvivalScore::WaveArrived()
{
    m_title = GetString("SURVIVAL_SCORE_TITLE");
    m_scoreText = FormatThousands(m_shown);
    m_textFor = m_shown;
    m_newWave = true;
}

void GUI_SurvivalScore::Count(int target)
{
    m_target = target;
    if (m_shown < m_target)
        m_shown += kStep;
    if (m_shown > m_target)
        m_shown = m_target;
    if (m_shown < m_target - kMaxLag)
        m_shown = m_target - kMaxLag;
    if (m_shown != m_textFor) {
        m_scoreText = FormatThousands(m_shown);
        m_textFor = m_shown;
    }
}

void GUI_SurvivalScore::Draw()
{
    Count(SIM_SurvivalMode::GetInstance().GetScore());
    DrawHudPanel(*this, m_background, 32.0f, m_inner, 8.0f, m_lines);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_title, static_cast<float>(left), static_cast<float>(m_inner.top), 0xFFFFFFFFu,
                 static_cast<float>(width));
    text.SetText(TEXT_ALIGN_CENTRE, m_scoreText, static_cast<float>(left), static_cast<float>(m_inner.top + 20),
                 0xFFFFFFFFu, static_cast<float>(width));
    text.Render(-1);
}
