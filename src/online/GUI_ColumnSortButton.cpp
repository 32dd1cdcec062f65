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
    LibText::GetInstance().SetText(TEXT_ALIGN_LEFT, m_title, static_cast<float>(left) + 3.0f,
                                   static_cast<float>((top + bottom) / 2) - 13.0f + 3.0f, 0xFFFFFFFFu, 0.0f);
    GUI_ButtonBase::Draw();
}
