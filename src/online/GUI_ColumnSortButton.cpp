#include "online/GUI_ColumnSortButton.h"

#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"

namespace {
void NoCallback(std::intptr_t) {}
} // namespace

GUI_ColumnSortButton::GUI_ColumnSortButton(const char* textKey, int column, std::function<void(int)> onSort)
    : GUI_ButtonBase(NoCallback, column), m_title(GetString(textKey)), m_column(column), m_onSort(std::move(onSort))
{
}

void GUI_ColumnSortButton::Press()
{
    if (!enabled)
        return;
    PlayClick();
    if (m_onSort)
        m_onSort(m_column);
}

void GUI_ColumnSortButton::Draw()
{
    if (!visible)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect r{left, top, right, bottom};
    engine.FillRect(r, selected ? 0x60409040u : (hover ? 0x40FFFFFFu : 0x20FFFFFFu));
    engine.DrawRectFrame(r, 0x60FFFFFFu);
    Fit();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", m_size);
    // A smaller title keeps the line's middle where the full size has it.
    text.SetText(TEXT_ALIGN_LEFT, m_shown, static_cast<float>(left + kInset),
                 static_cast<float>((top + bottom) / 2) - 13.0f + 3.0f + (kFontSize - m_size) * 0.5f, 0xFFFFFFFFu, 0.0f);
    text.SetFont("zekton16.dds", kFontSize);
    GUI_ButtonBase::Draw();
}

void GUI_ColumnSortButton::Fit()
{
    const int room = (right - left) - 2 * kInset;
    if (room == m_fittedWidth)
        return;
    m_fittedWidth = room;
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    m_shown = m_title;
    m_size = text.FitLine(m_shown, room, kFontSize, kMinSize);
    text.SetFont("zekton16.dds", kFontSize);
}

const std::string& GUI_ColumnSortButton::GetShownTitle()
{
    Fit();
    return m_shown;
}

float GUI_ColumnSortButton::GetShownSize()
{
    Fit();
    return m_size;
}
