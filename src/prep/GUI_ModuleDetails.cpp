#include "prep/GUI_ModuleDetails.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_DataItem.h"
#include "prep/GUI_ModulePicker.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

namespace {
GUI_ModuleDetails* g_details = nullptr;
} // namespace

GUI_ModuleDetails* GUI_ModuleDetails::GetOpen()
{
    return g_details;
}

GUI_ModuleDetails* GUI_ModuleDetails::Open()
{
    delete g_details;
    QLM_ASSERT(GUI_ModulePicker::GetOpen() != nullptr);
    return new GUI_ModuleDetails();
}

GUI_ModuleDetails::GUI_ModuleDetails() : GUI_Dialog(false)
{
    g_details = this;
    const GUI_ModulePicker* picker = GUI_ModulePicker::GetOpen();
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    const float l = picker ? static_cast<float>(picker->left) : designer.GetOriginX();
    const float r = picker ? static_cast<float>(picker->right) : l + GUI_ModulePicker::kWidth;
    const float t = picker ? static_cast<float>(picker->bottom) : designer.GetOriginY() + GUI_ModulePicker::kHeight;
    const float pickerH = static_cast<float>(picker ? picker->height : GUI_ModulePicker::kHeight);
    const float b = std::min(t + (768.0f - pickerH), designer.GetScreenHeight() - 45.0f);
    SetRect(l, t, r, b);
    GUI_WindowManager::GetInstance().BringToFront(this);
    SetTitleKey("SHIP_DESIGN_MODULEDETAILS_TITLE");
    SetFrameTexture("border_depth.dds");
    SetClientRect();
    m_icon.SetSize(56.0f, 56.0f);
    m_icon.PlaceCentred(static_cast<float>(clientLeft + 37), static_cast<float>(clientTop + 42));
    m_darken.SetTexture("textbox_darken.dds");
    const int iconBottom = clientTop + 42 + 28;
    m_descriptionBox = GRect{clientLeft + 8, clientTop + 8, clientRight - 8, iconBottom + 12};
    for (int i = 0; i < kMaxStripes; ++i) {
        const int y = iconBottom + 13 + kRowStep * i;
        if (y > clientBottom - 18)
            break;
        m_stripes[m_stripeCount++] = GRect{clientLeft + 5, y, clientRight - 5, y + 18};
    }
    SetName("SHIPDESIGN_MODULEDETAILS");

    SIM_ShipModuleType* first = nullptr;
    const SIM_ShipDesign* design = designer.GetDesign();
    if (design)
        first = design->GetModuleInSlot(0);
    if (!first)
        first = SIM_ShipModuleType::Find("cruiser crew", false);
    if (first)
        SetModule(first);
}

GUI_ModuleDetails::~GUI_ModuleDetails()
{
    if (g_details == this)
        g_details = nullptr;
}

void GUI_ModuleDetails::SetModule(SIM_ShipModuleType* type)
{
    QLM_ASSERT(type != nullptr);
    if (!type)
        return;
    m_type = type;
    const SIM_ShipDesign* design = GUI_ShipDesignGUI::GetInstance().GetDesign();
    designer::SetModuleIcon(m_icon, type, design ? design->GetHull() : nullptr);
    SetTitle(GetString(type->GetGuiName().c_str()));
    for (GUI_DataItem* row : m_rows)
        delete row;
    m_rows.clear();
    SetClientRect();
    const int iconBottom = clientTop + 42 + 28;
    const int centre = (left + right) / 2;
    int column = 0;
    int y = iconBottom + 14;
    for (const SIM_ShipModuleType::DataItem& item : type->GetDataItems()) {
        if (y > clientBottom - 18 && column == 0) {
            column = 1;
            y = iconBottom + 14;
        }
        GUI_DataItem* row = AddModuleDataItem(type, item.statName, item.kind, item.multiplier);
        const int l = column == 0 ? clientLeft + 2 : centre + 2;
        const int r = column == 0 ? centre - 2 : clientRight - 2;
        row->SetRect(static_cast<float>(l), static_cast<float>(y), static_cast<float>(r), static_cast<float>(y + 18));
        m_rows.push_back(row);
        AddChild(row);
        y += kRowStep;
    }
    LibText& text = LibText::GetInstance();
    m_description = GetString(type->GetDescription().c_str());
    if (text.FindFont("zekton16.dds")) {
        text.SetFont("zekton16.dds", 16.0f);
        const int iconRight = clientLeft + 37 + 28;
        m_description = text.GetWrappedText(m_description, (clientRight - 20) - iconRight);
    }
    m_descriptionChars = static_cast<int>(m_description.size());
    m_fade.Start();
}

void GUI_ModuleDetails::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    const GRect client{clientLeft, clientTop, clientRight, clientBottom};
    designer::DrawPanelBackdrop(client);
    m_darken.SetSize(static_cast<float>(m_descriptionBox.Width()), static_cast<float>(m_descriptionBox.Height()));
    m_darken.PlaceCentred(designer::RectCentreX(m_descriptionBox.left, m_descriptionBox.right),
                          designer::RectCentreY(m_descriptionBox.top, m_descriptionBox.bottom));
    m_darken.Draw();
    m_interlace.Draw(client);
    m_icon.Draw();
    for (int i = 0; i < m_stripeCount; ++i)
        DrawPreloadedFrame(GUI_PreloadedTextures::kHighlight, 8.0f, 0.2f, static_cast<float>(m_stripes[i].left),
                           static_cast<float>(m_stripes[i].top), static_cast<float>(m_stripes[i].right),
                           static_cast<float>(m_stripes[i].bottom));
    LibText& text = LibText::GetInstance();
    if (m_type && text.FindFont("zekton16.dds")) {
        m_fade.Update();
        const float t = std::clamp(static_cast<float>(m_fade.GetTotalMs() / kTypeOutMs), 0.0f, 1.0f);
        text.SetFont("zekton16.dds", 16.0f);
        text.SetText(TEXT_ALIGN_LEFT, m_description, static_cast<float>(clientLeft + 37 + 28 + 10),
                     static_cast<float>(clientTop + 42 - 28 - 6), 0xFFFFFFFFu, 0.0f);
        text.Render(static_cast<int>(t * static_cast<float>(m_descriptionChars)));
    }
    DrawChildren();
}
