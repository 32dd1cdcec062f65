#include "gui/GUI_CheckButton.h"

#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"

namespace {
constexpr float kBoxOffsetX = 37.0f;
constexpr float kBoxOffsetY = 21.0f;
constexpr float kLabelFrameCorner = 8.0f;
constexpr float kLabelFrameAlpha = 0.2f;
constexpr int kLabelLeft = 64;
constexpr int kLabelInset = 10;
constexpr int kLabelRightInset = 10;
} // namespace

GUI_CheckButton::GUI_CheckButton(const char* labelKey, GUI_Callback cb, std::intptr_t arg) : GUI_ButtonBase(cb, arg)
{
    m_label = GetString(labelKey ? labelKey : "");
    if (m_label.size() > kMaxLabel)
        m_label.resize(kMaxLabel);
    m_box.SetTexture("checkbox.dds");
    m_tick.SetTexture("checkbox_checked.dds");
    m_box.SetSize(kBoxSize, kBoxSize);
    m_tick.SetSize(kBoxSize, kBoxSize);
}

bool GUI_CheckButton::BoxContains(float x, float y) const
{
    const float cx = static_cast<float>(left) + kBoxOffsetX;
    const float cy = static_cast<float>(top) + kBoxOffsetY;
    const float half = kBoxSize / 2.0f;
    return x >= cx - half && x < cx + half && y >= cy - half && y < cy + half;
}

int GUI_CheckButton::WidthFor(const std::string& label)
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    // The frame starts 64 in and ends 10 short of the right; the label
    // starts 10 into the frame, and keeps a pixel clear of it.
    return kLabelLeft + kLabelInset + text.GetTextWidth(label) + 1 + kLabelRightInset;
}

bool GUI_CheckButton::OnLeftClick(float x, float y)
{
    if (!BoxContains(x, y))
        return false;
    // A disabled box swallows the click but must not show a state nobody set.
    if (enabled)
        ticked = !ticked;
    Press();
    return true;
}

void GUI_CheckButton::Draw()
{
    QueueTooltip();
    const float cx = static_cast<float>(left) + kBoxOffsetX;
    const float cy = static_cast<float>(top) + kBoxOffsetY;
    m_box.PlaceCentred(cx, cy);
    m_box.Draw();
    if (ticked) {
        m_tick.PlaceCentred(cx, cy);
        m_tick.Draw();
    }
    m_labelRect = GRect{left + kLabelLeft, top + 5, right - kLabelRightInset, bottom - 5};
    DrawPreloadedFrame(GUI_PreloadedTextures::kHighlight, kLabelFrameCorner, kLabelFrameAlpha,
                       static_cast<float>(m_labelRect.left), static_cast<float>(m_labelRect.top),
                       static_cast<float>(m_labelRect.right), static_cast<float>(m_labelRect.bottom));
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_label, static_cast<float>(m_labelRect.left + kLabelInset), static_cast<float>(top + 6),
                 0xFFFFFFFFu, 0.0f);
    text.Render(-1);
}
