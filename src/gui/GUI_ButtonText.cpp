#include "gui/GUI_ButtonText.h"

#include <algorithm>

#include "engine/GHashTable.h"
#include "engine/LibText.h"

namespace {
constexpr float kCapWidth = 32.0f;
constexpr float kLabelRaise = 13.0f;
} // namespace

GUI_ButtonText::GUI_ButtonText(const char* textKey, GUI_Callback cb, std::intptr_t arg) : GUI_ButtonBase(cb, arg)
{
    m_text = GetString(textKey ? textKey : "");
    m_normal.SetTexture("textbutton.dds");
    m_hover.SetTexture("textbutton_h.dds");
    m_normal.SetSize(0.0f, kSkinHeight);
    m_hover.SetSize(0.0f, kSkinHeight);
}

GUI_ButtonText* GUI_ButtonText::GUI_ButtonTextFromString(const std::string& textKey, GUI_Callback cb,
                                                         std::intptr_t arg)
{
    auto* button = new GUI_ButtonText(textKey.c_str(), cb, arg);
    button->m_flushLabel = true;
    return button;
}

int GUI_ButtonText::GetLabelWidth() const
{
    LibText& text = LibText::GetInstance();
    if (!text.FindFont("zekton16.dds"))
        return 0;
    text.SetFont("zekton16.dds", 16.0f);
    return text.GetTextWidth(m_text);
}

std::vector<float> GUI_ButtonText::ShareRow(const std::vector<int>& labelWidths, float span, float gap, float pad)
{
    const size_t n = labelWidths.size();
    if (n == 0)
        return {};
    const float room = span - gap * static_cast<float>(n - 1);
    const float share = room / static_cast<float>(n);
    float labels = 0.0f;
    bool allFit = true;
    for (int w : labelWidths) {
        labels += static_cast<float>(w);
        allFit = allFit && static_cast<float>(w) + 2.0f * pad <= share;
    }
    if (allFit)
        return std::vector<float>(n, share);
    const float extra = (room - labels) / static_cast<float>(n);
    std::vector<float> widths;
    for (int w : labelWidths)
        widths.push_back(static_cast<float>(w) + extra);
    return widths;
}

void GUI_ButtonText::SetTextKey(const char* key)
{
    m_text = GetString(key ? key : "");
}

CTexturedSprite& GUI_ButtonText::PickSkin()
{
    return hover == 1 ? m_hover : m_normal;
}

void GUI_ButtonText::Draw()
{
    if (chosen)
        DrawSkin(m_hover, 0xFFFFFFFFu);
    else if (enabled)
        DrawSkin(PickSkin(), 0xFFFFFFFFu);
    else
        DrawSkin(m_normal, 0xFF808080u);
    DrawLabel();
    QueueTooltip();
}

GRect GUI_ButtonText::GetTextBox() const
{
    const int centre2 = top + bottom;
    const int half = static_cast<int>(kSkinHeight) / 2;
    return GRect{left, std::min(top, centre2 / 2 - half), right, std::max(bottom, (centre2 + 1) / 2 + half)};
}

void GUI_ButtonText::DrawSkin(CTexturedSprite& skin, uint32_t colour)
{
    const float centreY = static_cast<float>(top + bottom) / 2.0f;
    const float w = static_cast<float>(width);
    const float middle = w - 2.0f * kCapWidth;
    skin.SetColour(colour);

    skin.SetSize(kCapWidth, kSkinHeight);
    skin.SetUV(0.0f, 0.0f, 0.25f, 1.0f);
    skin.PlaceCentred(static_cast<float>(left) + kCapWidth / 2.0f, centreY);
    skin.Draw();

    // A button no wider than its caps has no middle at all.
    if (middle > 0.0f) {
        skin.SetSize(middle, kSkinHeight);
        skin.SetUV(0.5f, 0.0f, 0.75f, 1.0f);
        skin.PlaceCentred(static_cast<float>(left) + kCapWidth + middle / 2.0f, centreY);
        skin.Draw();
    }

    skin.SetSize(kCapWidth, kSkinHeight);
    skin.SetUV(0.75f, 0.0f, 1.0f, 1.0f);
    skin.PlaceCentred(static_cast<float>(left) + w - kCapWidth / 2.0f, centreY);
    skin.Draw();
}

void GUI_ButtonText::DrawLabel()
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const uint32_t alpha = enabled || chosen ? 255u : 64u;
    const float centreY = static_cast<float>(top + bottom) / 2.0f;
    text.SetText(TEXT_ALIGN_CENTRE, m_text, static_cast<float>(left), centreY - kLabelRaise, (alpha << 24) | 0xFFFFFFu,
                 static_cast<float>(width));
    if (m_flushLabel)
        text.Render(-1);
}
