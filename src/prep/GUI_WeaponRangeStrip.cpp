#include "prep/GUI_WeaponRangeStrip.h"

#include "app/GUI_Sounds.h"
#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tooltip.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_RangeBehaviorEditor.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

GUI_WeaponRangeStrip::GUI_WeaponRangeStrip(const SIM_ShipModuleType* type, const SIM_ShipDesign* design,
                                           float rangeMultiplier, GUI_RangeBehaviorEditor* editor)
    : m_type(type), m_editor(editor)
{
    QLM_ASSERT(type);
    if (!type)
        return;
    designer::SetModuleIcon(m_icon, type, design ? design->GetHull() : nullptr);
    m_icon.SetSize(38.0f, 38.0f);
    const float base = type->GetConfigFloat("max_range");
    m_range = base;
    if (rangeMultiplier == 1.0f) {
        m_rangeText = StrFormat("%s:  %.2f", GetString("WEAPON_RANGE"), static_cast<double>(base));
    } else {
        m_range = base * rangeMultiplier;
        m_rangeText = StrFormat("%s:  %.2f (%.2f)", GetString("WEAPON_RANGE"), static_cast<double>(base),
                                static_cast<double>(m_range));
    }
    m_tooltip = new GUI_Tooltip(GetString("WEAPON_RANGE_SET_TOOLTIP"), 30);
    BuildNameText();
}

GUI_WeaponRangeStrip::~GUI_WeaponRangeStrip()
{
    delete m_tooltip;
}

void GUI_WeaponRangeStrip::AddOne()
{
    ++m_count;
    BuildNameText();
}

void GUI_WeaponRangeStrip::BuildNameText()
{
    m_nameText = StrFormat("%s (x%d)", GetString(m_type->GetGuiName().c_str()), m_count);
}

bool GUI_WeaponRangeStrip::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    if (m_editor)
        m_editor->SetRange(m_range);
    GUI_Sounds::GetInstance().PlayGuiSound(5);
    // Not taken: the editor still sees the click.
    return false;
}

void GUI_WeaponRangeStrip::Draw()
{
    if (!visible)
        return;
    const bool over = IsMouseOver();
    if (over && !m_wasOver)
        GUI_Sounds::GetInstance().PlayGuiSound(2);
    m_wasOver = over;
    DrawPreloadedFrame(GUI_PreloadedTextures::kHighlight, 8.0f, over ? 0.25f : 0.125f, static_cast<float>(left),
                       static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
    m_icon.PlaceCentred(static_cast<float>(left) + 23.0f, static_cast<float>(top + bottom) / 2.0f);
    m_icon.Draw();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float x = static_cast<float>(left) + 23.0f + 19.0f + 10.0f;
    const float w = static_cast<float>(right) - x;
    text.SetText(TEXT_ALIGN_LEFT, m_nameText, x, static_cast<float>(top) + 1.0f, 0xFFFFFFFFu, w);
    text.SetText(TEXT_ALIGN_LEFT, m_rangeText, x, static_cast<float>(top) + 19.0f, 0xFFFFFFFFu, w);
    if (m_tooltip && over) {
        const CInput& input = CInput::GetInstance();
        m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
        m_tooltip->CheckShowTime();
        m_tooltip->Draw();
    }
}
