#include "prep/GUI_BehaviourPickerStrip.h"

#include "app/GUI_Sounds.h"
#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "prep/GUI_BehaviourPicker.h"
#include "sim/SIM_BehaviourType.h"

namespace {
GUI_BehaviourPickerStrip* g_hovered = nullptr;
} // namespace

GUI_BehaviourPickerStrip* GUI_BehaviourPickerStrip::GetHovered()
{
    return g_hovered;
}

GUI_BehaviourPickerStrip::GUI_BehaviourPickerStrip(const SIM_BehaviourType* type, GUI_BehaviourPicker* picker)
    : m_type(type), m_picker(picker)
{
    QLM_ASSERT(type);
}

GUI_BehaviourPickerStrip::~GUI_BehaviourPickerStrip()
{
    if (g_hovered == this)
        g_hovered = nullptr;
}

bool GUI_BehaviourPickerStrip::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y) || !m_picker)
        return false;
    m_picker->Select(this);
    GUI_Sounds::GetInstance().PlayGuiSound(4);
    if (CInput::GetInstance().IsDoubleClick())
        m_picker->AddSelectedOrder();
    return true;
}

void GUI_BehaviourPickerStrip::Draw()
{
    if (!visible || !m_type)
        return;
    const bool over = TrackHover(this, g_hovered);
    const bool lit = over || (m_picker && m_picker->GetSelected() == this);
    DrawPreloadedFrame(lit ? GUI_PreloadedTextures::kHighlight : GUI_PreloadedTextures::kHighlightBlack, 8.0f,
                       lit ? 0.4f : 0.2f, static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                       static_cast<float>(bottom));
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, GetString(m_type->displayText.c_str()), static_cast<float>(left),
                 static_cast<float>(top), 0xFFFFFFFFu, static_cast<float>(width));
}
