#include "gui/GUI_TitleBar.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"

#include <algorithm>
#include <cmath>

namespace {
// The bar's underline lies this far below its top; two lines of text stand
// between kTwoLinesTop and it.
constexpr float kUnderlineY = 35.0f;
constexpr float kTwoLinesTop = 3.0f;

// One line's advance in the current font and size.
float LineAdvance(const LibText& lib)
{
    return static_cast<float>(lib.GetWrappedTextHeight("x", 1000));
}

// The wrapped text holds every word whole (the wrap breaks a word only when
// it is wider than the line).
bool KeepsWords(const std::string& wrapped, const std::string& text)
{
    std::string joined = wrapped;
    std::replace(joined.begin(), joined.end(), '\n', ' ');
    return joined == text;
}
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
    m_size = kFontSize;
    const float limit = static_cast<float>(width) - kTextPad;
    const int room = static_cast<int>(limit - kTextPad);
    if (room <= 0) {
        m_text.clear();
        m_barWidth = std::max(0.0f, limit);
        return;
    }
    m_text = text;
    if (lib.GetTextWidth(text) > room) {
        // Two lines, as large as they fit whole; else cut at the smallest.
        bool fitted = false;
        for (float size = kTwoLineSize; size >= kSmallestSize && !fitted; size -= 1.0f) {
            lib.SetFont("cwfont20.dds", size);
            const std::string wrapped = lib.GetWrappedText(text, room);
            // Both lines clear of the underline: the first line's advance
            // and the second's height.
            const bool clear = LineAdvance(lib) + size <= kUnderlineY - kTwoLinesTop || size <= kSmallestSize;
            if (std::count(wrapped.begin(), wrapped.end(), '\n') <= 1 && KeepsWords(wrapped, text) && clear) {
                m_text = wrapped;
                m_size = size;
                fitted = true;
            }
        }
        if (!fitted) {
            m_size = kSmallestSize;
            lib.SetFont("cwfont20.dds", m_size);
            m_text = lib.FitText(text, room, 2);
        }
    }
    m_barWidth = std::min(static_cast<float>(lib.GetTextWidth(m_text)) + kTextPad, limit);
    lib.SetFont("cwfont20.dds", kFontSize);
}

int GUI_TitleBar::WidthForOneLine(const std::string& text)
{
    LibText& lib = LibText::GetInstance();
    if (!lib.FindFont("cwfont20.dds"))
        return 0;
    lib.SetFont("cwfont20.dds", kFontSize);
    return lib.GetTextWidth(text) + 2 * static_cast<int>(kTextPad);
}

float GUI_TitleBar::GetTabLeft() const
{
    if (m_centred)
        return std::floor((static_cast<float>(left + right) - m_barWidth) / 2.0f);
    return static_cast<float>(left) + kCapWidth;
}

void GUI_TitleBar::Draw()
{
    if (m_barWidth <= 2.0f * kCapWidth && m_text.empty())
        return;
    // Everything below is laid out from the box's left edge, the tab
    // starting a cap's width in.
    const float l = GetTabLeft() - kCapWidth;
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
        lib.SetFont("cwfont20.dds", m_size);
        // One line at the full size stands 8 below the top; two smaller ones
        // end above the underline.
        const bool twoLines = m_text.find('\n') != std::string::npos;
        const float y = twoLines ? static_cast<float>(top) +
                                       std::max(kTwoLinesTop, kUnderlineY - LineAdvance(lib) - m_size)
                                 : static_cast<float>(top) + 8.0f;
        lib.SetText(TEXT_ALIGN_LEFT, m_text, l + 30.0f, y, 0xFFFFFFFFu, 0.0f);
        lib.Render(-1);
        lib.SetFont("cwfont20.dds", kFontSize);
    }
}
