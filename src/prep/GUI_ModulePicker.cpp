#include "prep/GUI_ModulePicker.h"

#include "app/APP_UsageMetrics.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"
#include "engine/GHashTable.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_ModulePickerIcon.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_Unlockable.h"

#include <algorithm>

namespace {
GUI_ModulePicker* g_picker = nullptr;

struct TabLabel {
    const char* key;
    const char* tooltip;
};
const TabLabel kTabs[GUI_ModulePicker::TAB_COUNT] = {
    {"MODULEPICKER_WEAPONSTAB", "MODULEPICKER_WEAPONSTAB_TOOLTIP"},
    {"MODULEPICKER_DEFENSESTAB", "MODULEPICKER_DEFENSESTAB_TOOLTIP"},
    {"MODULEPICKER_ENGINESTAB", "MODULEPICKER_ENGINESTAB_TOOLTIP"},
    {"MODULEPICKER_OTHERTAB", "MODULEPICKER_OTHERTAB_TOOLTIP"},
    {"MODULEPICKER_ALL", "MODULEPICKER_ALL_TOOLTIP"},
};
} // namespace

GUI_ModulePicker* GUI_ModulePicker::GetOpen()
{
    return g_picker;
}

GUI_ModulePicker* GUI_ModulePicker::Open(float x, float y)
{
    delete g_picker;
    auto* picker = new GUI_ModulePicker();
    picker->MoveTo(x, y);
    picker->SetClientRect();
    // Tabs and scroller follow the panel.
    // Equal tabs across the client's width when every label fits; else
    // each as wide as its label and a fifth of what the labels leave.
    const float cw = static_cast<float>(picker->clientRight - picker->clientLeft);
    std::vector<int> labels;
    for (const GUI_ButtonTab* tab : picker->m_tabs)
        labels.push_back(tab->GetLabelWidth());
    const std::vector<float> widths = GUI_ButtonText::ShareRow(labels, cw - 2.0f, 0.0f, kTabLabelPad);
    float l = static_cast<float>(picker->clientLeft) + 2.0f;
    for (int i = 0; i < TAB_COUNT; ++i) {
        picker->m_tabs[i]->SetRect(l, static_cast<float>(picker->clientTop + 2), l + widths[i],
                                   static_cast<float>(picker->clientTop + 36));
        l += widths[i];
    }
    picker->BuildModuleList();
    return picker;
}

GUI_ModulePicker::GUI_ModulePicker() : GUI_Dialog(false)
{
    g_picker = this;
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    MoveTo(0.0f, 0.0f);
    SetTitleKey("SHIP_DESIGN_MODULEPICKER_TITLE");
    GUI_WindowManager::GetInstance().BringToFront(this);
    for (int i = 0; i < TAB_COUNT; ++i) {
        m_tabs[i] = new GUI_ButtonTab(kTabs[i].key, OnTab, i);
        const char* tip = GetString(kTabs[i].tooltip);
        m_tabs[i]->SetTooltip(*tip ? tip : kTabs[i].tooltip, 60);
        AddButton(m_tabs[i]);
    }
    m_tabs[0]->selected = true;
    SetClientRect();
    m_scroller = new GUI_ScrollingWindow();
    AddChild(m_scroller);
    SetName("SHIPDESIGN_MODULEPICKER");
}

GUI_ModulePicker::~GUI_ModulePicker()
{
    if (g_picker == this)
        g_picker = nullptr;
}

std::vector<SIM_ShipModuleType*> GUI_ModulePicker::ListModules(int tab, int hullClass, const std::string& raceName)
{
    std::vector<SIM_ShipModuleType*> list;
    std::vector<SIM_ShipModuleType*> locked;
    for (SIM_ShipModuleType* type : SIM_ShipModuleType::GetList()) {
        if (tab != ALL && type->GetCategory() != tab)
            continue;
        if (type->GetSize() != hullClass || !type->IsVisible())
            continue;
        if (!type->GetRestricted().empty() && type->GetRestricted() != raceName)
            continue;
        if (type->GetUnlockable() && type->GetUnlockable()->IsLocked())
            locked.push_back(type);
        else
            list.push_back(type);
    }
    std::stable_sort(list.begin(), list.end(), [](const SIM_ShipModuleType* a, const SIM_ShipModuleType* b) {
        return a->GetUiSortPos() < b->GetUiSortPos();
    });
    list.insert(list.end(), locked.begin(), locked.end());
    return list;
}

void GUI_ModulePicker::BuildModuleList()
{
    const SIM_ShipDesign* design = GUI_ShipDesignGUI::GetInstance().GetDesign();
    const std::string race = design && design->GetHull() ? design->GetHull()->GetRaceName() : std::string();
    m_modules = ListModules(m_tab, hullClass, race);
    m_scroller->position = 0;
    BuildIcons(true);
}

void GUI_ModulePicker::BuildIcons(bool growIn)
{
    for (GUI_ModulePickerIcon* icon : m_icons)
        delete icon;
    m_icons.clear();
    SetClientRect();
    const int x0 = clientLeft + (clientRight - clientLeft - kColumns * kCell) / 2;
    const int y0 = clientTop + 34;
    const size_t first = static_cast<size_t>(std::max(0, m_scroller->position)) * kColumns;
    for (size_t i = first; i < m_modules.size() && m_icons.size() < static_cast<size_t>(kColumns * kRows); ++i) {
        const int n = static_cast<int>(m_icons.size());
        const int l = x0 + (n % kColumns) * kCell;
        const int t = y0 + (n / kColumns) * kCell;
        auto* icon = new GUI_ModulePickerIcon();
        icon->SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(l + kCell),
                      static_cast<float>(t + kCell));
        icon->SetModuleType(m_modules[i], growIn);
        m_icons.push_back(icon);
        AddChild(icon);
    }
    const int rows = static_cast<int>((m_modules.size() + kColumns - 1) / kColumns);
    m_scroller->maximum = std::max(0, rows - kRows);
    m_scroller->contentSize = static_cast<float>(rows);
    m_scroller->visibleSize = static_cast<float>(kRows);
}

void GUI_ModulePicker::OnTab(std::intptr_t tab)
{
    GUI_ModulePicker* picker = g_picker;
    if (!picker || tab < 0 || tab >= TAB_COUNT)
        return;
    for (GUI_ButtonTab* t : picker->m_tabs)
        t->selected = false;
    APP_UsageMetrics::GetInstance().SetEventFlag("modulepickertab");
    picker->m_tab = static_cast<int>(tab);
    picker->m_tabs[tab]->selected = true;
    picker->BuildModuleList();
}

void GUI_ModulePicker::Scroll(int rows)
{
    const int next = std::clamp(m_scroller->position + rows, 0, m_scroller->maximum);
    if (next == m_scroller->position)
        return;
    m_scroller->position = next;
    m_scroller->changed = true;
    designer::PlaySound(designer::kSoundButton);
}

void GUI_ModulePicker::OnWheelUp()
{
    Scroll(-1);
}

void GUI_ModulePicker::OnWheelDown()
{
    Scroll(1);
}

void GUI_ModulePicker::Draw()
{
    if (!visible)
        return;
    SetClientRect();
    if (m_scroller->changed) {
        m_scroller->changed = false;
        BuildIcons(false);
    }
    m_scroller->SetRect(static_cast<float>(clientRight - 17), static_cast<float>(clientTop + 34),
                        static_cast<float>(clientRight - 2), static_cast<float>(clientBottom - 5));
    drawButtons = false;
    GUI_Dialog::Draw();
    const GRect client{clientLeft, clientTop, clientRight, clientBottom};
    designer::DrawPanelBackdrop(client);
    DrawChildren();
    m_interlace.Draw(client);
    DrawButtons();
}
