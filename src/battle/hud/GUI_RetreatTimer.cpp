#include "battle/hud/GUI_RetreatTimer.h"

#include <algorithm>

#include "battle/GUI_Map.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "sim/SIM_RetreatManager.h"

namespace {
constexpr uint32_t kFill = 0xC8000000u;
constexpr float kFontSize = 20.0f;
} // namespace

void GUI_RetreatTimer::Open()
{
    Close();
    new GUI_RetreatTimer(GUI_Map::GetInstance().GetScreenWidth());
}

GUI_RetreatTimer::GUI_RetreatTimer(int screenWidth)
{
    raisesOnClick = false;
    const int w = screenWidth - 300;
    const int l = screenWidth / 2 - w / 2;
    SetRect(static_cast<float>(l), 44.0f, static_cast<float>(l + w), static_cast<float>(44 + kHeight));
    GUI_WindowManager::GetInstance().AddWindow(this);
    m_caption = GetString("CAMPAIGN_RETREAT_TIMER");
    LibText& text = LibText::GetInstance();
    if (text.IsInitialised()) {
        text.SetFont("cwfont20.dds", kFontSize);
        m_captionWidth = static_cast<float>(text.GetTextWidth(m_caption + " 0:0:0"));
    }
}

GUI_RetreatTimer::~GUI_RetreatTimer() = default;

std::string GUI_RetreatTimer::FormatCountdown(const std::string& caption, float elapsedMs)
{
    const float s = std::max(0.0f, (kRetreatMs - elapsedMs) / 1000.0f);
    const int n = static_cast<int>(s);
    const int h = static_cast<int>((s - static_cast<float>(n)) * 100.0f);
    return StrFormat("%s %d:%d%d:%d%d", caption.c_str(), n / 60, (n % 60) / 10, n % 10, h / 10, h % 10);
}

void GUI_RetreatTimer::Draw()
{
    if (!visible)
        return;
    // The retreat over (its clock starts again from 0), the countdown stays at its end.
    const SIM_RetreatManager& retreat = SIM_RetreatManager::GetInstance();
    m_text = FormatCountdown(m_caption, retreat.IsActive() ? retreat.GetTimer() : kRetreatMs);
    D3DEngine::GetInstance().FillRect(GRect{left, top, right, bottom}, kFill);
    LibText& text = LibText::GetInstance();
    text.SetFont("cwfont20.dds", kFontSize);
    text.SetText(TEXT_ALIGN_LEFT, m_text, static_cast<float>(left + right) / 2.0f - m_captionWidth / 2.0f,
                 static_cast<float>(top + 4), 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
}
