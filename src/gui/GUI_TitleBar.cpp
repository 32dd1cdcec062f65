#include "gui/GUI_TitleBar.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"

#include <algorithm>

namespace {
constexpr float kFontSize = 20.0f;
constexpr float kTextPad = 40.0f;
} // namespace

GUI_TitleBar::GUI_TitleBar() : m_texture("dialog_titlebar.dds")
{
    claimsMouse = false;
    m_leftCap.SetUV(0.0f, 0.0f, 0.25f, 1.0f);
    m_middle.SetUV(0.25f, 0.0f, 0.75f, 1.0f);
    m_rightCap.SetUV(0.75f, 0.0f, 1.0f, 1.0f);
}

void GUI_TitleBar::SetText(const std::string& text)
{
    QLM_ASSERT(width > 0);
    LibText& lib = LibText::GetInstance();
    lib.SetFont("cwfont20.dds", kFontSize);
    const float limit = static_cast<float>(width) - kTextPad;
    m_barWidth = std::min(static_cast<float>(lib.GetTextWidth(text)) + kTextPad, limit);
    const int room = static_cast<int>(m_barWidth - kTextPad);
    m_text = room <= 0 ? std::string() : lib.FitText(text, room, 1);
}

void GUI_TitleBar::Draw()
{
    if (m_barWidth <= 2.0f * kCapWidth && m_text.empty())
        return;
    const float l = static_cast<float>(left);
    const float cy = static_cast<float>(top) + 20.0f;
    const float middle = std::max(0.0f, m_barWidth - 2.0f * kCapWidth);
    m_texture.Bind();
    m_leftCap.SetSize(kCapWidth, kBarHeight);
    m_leftCap.PlaceCentred(l + 30.0f, cy);
    m_leftCap.Draw();
    if (middle > 0.0f) {
        m_middle.SetSize(middle, kBarHeight);
        m_middle.PlaceCentred(l + 40.0f + middle / 2.0f, cy);
        m_middle.Draw();
    }
    m_rightCap.SetSize(kCapWidth, kBarHeight);
    m_rightCap.PlaceCentred(l + 40.0f + middle + kCapWidth / 2.0f, cy);
    m_rightCap.Draw();
    if (!m_text.empty()) {
        LibText& lib = LibText::GetInstance();
        lib.SetFont("cwfont20.dds", kFontSize);
        lib.SetText(TEXT_ALIGN_LEFT, m_text, l + 30.0f, static_cast<float>(top) + 8.0f, 0xFFFFFFFFu, 0.0f);
        lib.Render(-1);
    }
}
