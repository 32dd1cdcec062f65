#include "prep/GUI_ModulePickerIcon.h"

#include "app/APP_UsageMetrics.h"
#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_ModuleDetails.h"
#include "prep/GUI_ShipBlueprint.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_Unlockable.h"

#include <algorithm>

namespace {
GUI_ModulePickerIcon* g_dragged = nullptr;
const GUI_ModulePickerIcon* g_lastHovered = nullptr;
} // namespace

GUI_ModulePickerIcon::GUI_ModulePickerIcon()
{
    m_lock.SetTexture("module_locked.dds");
    m_lock.SetSize(24.0f, 24.0f);
    swallowsClicks = false;
    raisesOnClick = false;
}

GUI_ModulePickerIcon::~GUI_ModulePickerIcon()
{
    delete m_tooltip;
    if (g_dragged == this)
        g_dragged = nullptr;
    if (g_lastHovered == this)
        g_lastHovered = nullptr;
}

GUI_ModulePickerIcon* GUI_ModulePickerIcon::GetDragged()
{
    return g_dragged;
}

void GUI_ModulePickerIcon::SetModuleType(SIM_ShipModuleType* type, bool growIn)
{
    QLM_ASSERT(type != nullptr);
    m_type = type;
    if (!type)
        return;
    const SIM_ShipDesign* design = GUI_ShipDesignGUI::GetInstance().GetDesign();
    designer::SetModuleIcon(m_icon, type, design ? design->GetHull() : nullptr);
    m_locked = type->GetUnlockable() && type->GetUnlockable()->IsLocked();
    delete m_tooltip;
    if (m_locked) {
        m_tooltip = new GUI_Tooltip(GetString("LOCKED_MODULE_TOOLTIP"), 60);
        m_icon.SetColour(0x20FFFFFFu);
        m_lock.SetColour(0x40FFFFFFu);
        m_frame.SetColour(0x20FFFFFFu);
    } else {
        m_tooltip = new GUI_Tooltip(GetString(type->GetGuiName().c_str()), 60);
        m_icon.SetColour(0xFFFFFFFFu);
    }
    m_turret = type->GetSlotType() == SIM_ShipModuleType::TURRET;
    m_frame.SetTexture(m_turret ? "hex_box.dds" : "square_box.dds");
    m_growIn = growIn;
    if (growIn)
        m_growTimer.Start();
}

GUI_ModulePickerIcon* GUI_ModulePickerIcon::StartDragging(SIM_ShipModuleType* type, int sourceSlot, int l, int t,
                                                          int r, int b)
{
    auto* icon = new GUI_ModulePickerIcon();
    icon->SetModuleType(type, false);
    icon->SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
    icon->m_isDragCopy = true;
    icon->m_sourceSlot = sourceSlot;
    icon->claimsMouse = false;
    const CInput& input = CInput::GetInstance();
    icon->m_grabX = input.GetMouseX() - static_cast<float>(l);
    icon->m_grabY = input.GetMouseY() - static_cast<float>(t);
    g_dragged = icon;
    GUI_Cursor::GetInstance().SetDraggedWindow(icon);
    GUI_WindowManager::GetInstance().AddWindow(icon);
    return icon;
}

bool GUI_ModulePickerIcon::OnLeftClick(float x, float y)
{
    if (m_locked || m_isDragCopy || !m_type || !Contains(x, y))
        return false;
    if (g_dragged == nullptr) {
        StartDragging(m_type, kNoSourceSlot, left, top, right, bottom);
        if (GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen())
            blueprint->RefreshHighlights();
    }
    designer::PlaySound(designer::kSoundButton);
    if (GUI_ModuleDetails* details = GUI_ModuleDetails::GetOpen())
        details->SetModule(m_type);
    APP_UsageMetrics& metrics = APP_UsageMetrics::GetInstance();
    metrics.AddEventCount("modpickiconclick", 1);
    if (metrics.GetEventCount("modpickiconclick") > 8 && metrics.GetEventCount("modstatcompare") == 0)
        GUI_Tutorial::GetInstance().LaunchTutorial("MODULE_STAT_COMPARE");
    return true;
}

void GUI_ModulePickerIcon::OnDragEnd()
{
    if (g_dragged == this)
        g_dragged = nullptr;
    if (GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen())
        blueprint->DropModule(this);
    visible = false;
    GUI_WindowManager::GetInstance().QueueDelete(this);
}

void GUI_ModulePickerIcon::Update()
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    if (!m_locked && !m_isDragCopy && !manager.IsMouseOverWindow() && IsMouseOver()) {
        GUI_Cursor::GetInstance().SetHand();
        if (m_tooltip)
            m_tooltip->CheckShowTime();
    }
    if (!m_isDragCopy)
        GUI_WindowBase::Update();
}

void GUI_ModulePickerIcon::Draw()
{
    if (!visible || !m_type)
        return;
    if (m_isDragCopy) {
        // The copy follows the mouse where it was grabbed.
        const CInput& input = CInput::GetInstance();
        const int w = width, h = height;
        left = static_cast<int>(input.GetMouseX() - m_grabX);
        top = static_cast<int>(input.GetMouseY() - m_grabY);
        right = left + w;
        bottom = top + h;
    }
    const bool over = IsMouseOver();
    if (!m_locked) {
        const GUI_ModuleDetails* details = GUI_ModuleDetails::GetOpen();
        uint32_t colour = 0x80FFFFFFu;
        if (m_isDragCopy || (details && details->GetModule() == m_type))
            colour = 0xFFFFFFFFu;
        else if (over)
            colour = 0xDEFFFFFFu;
        m_frame.SetColour(colour);
        if (!m_isDragCopy && over && g_lastHovered != this && !GUI_WindowManager::GetInstance().IsModalOpen()) {
            g_lastHovered = this;
            designer::PlaySound(designer::kSoundButton);
        }
    }
    float t = 1.0f;
    if (m_growIn) {
        m_growTimer.Update();
        t = std::clamp(static_cast<float>(m_growTimer.GetTotalMs() / kGrowMs), 0.0f, 1.0f);
    }
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float cx = CentreX();
    const float cy = CentreY();
    if (m_turret) {
        m_frame.SetSize(w + 6.0f, h + 6.0f);
        m_icon.SetSize((w - 12.0f) * t, (h - 12.0f) * t);
    } else {
        m_frame.SetSize(w - 2.0f, h - 2.0f);
        m_icon.SetSize((w - 8.0f) * t, (h - 8.0f) * t);
    }
    m_frame.PlaceCentred(cx, cy);
    m_frame.Draw();
    m_icon.PlaceCentred(cx, cy);
    m_icon.Draw();
    if (m_locked) {
        m_lock.PlaceCentred(static_cast<float>(right - 18), static_cast<float>(bottom - 20));
        m_lock.Draw();
    }
    if (m_tooltip && !m_isDragCopy)
        m_tooltip->Draw();
}
