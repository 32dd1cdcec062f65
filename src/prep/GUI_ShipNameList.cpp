#include "prep/GUI_ShipNameList.h"

#include "app/GUI_Sounds.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "prep/GUI_RandomShipName.h"
#include "sim/SIM_Race.h"

namespace {
GUI_ShipNameList* g_hovered = nullptr;
} // namespace

GUI_ShipNameList* GUI_ShipNameList::GetHovered()
{
    return g_hovered;
}

GUI_ShipNameList::GUI_ShipNameList(const std::string& listName, GUI_RandomShipName* dialog)
    : m_listName(listName), m_shownName(SIM_Race::DisplayName(listName)), m_dialog(dialog)
{
}

GUI_ShipNameList::~GUI_ShipNameList()
{
    if (g_hovered == this)
        g_hovered = nullptr;
}

bool GUI_ShipNameList::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    if (m_dialog)
        m_dialog->Select(this);
    GUI_Sounds::GetInstance().PlayGuiSound(5);
    return true;
}

void GUI_ShipNameList::Draw()
{
    if (!visible)
        return;
    const bool over = TrackHover(this, g_hovered);
    const bool lit = over || (m_dialog && m_dialog->GetSelected() == this);
    DrawPreloadedFrame(GUI_PreloadedTextures::kHighlight, 8.0f, lit ? 0.4f : 0.2f, static_cast<float>(left),
                       static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_shownName, static_cast<float>(left) + 10.0f, static_cast<float>(top), 0xFFFFFFFFu,
                 static_cast<float>(width - 10));
}
