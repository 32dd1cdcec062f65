#include "prep/GUI_DeploymentDesignPicker.h"

#include "app/GUI_Sounds.h"
#include "engine/GHashTable.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_ShipIcon.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
GUI_DeploymentDesignPicker* g_picker = nullptr;
const char* const kFilterTooltips[3] = {"DESIGN_FILTER_CRUISER_TOOLTIP", "DESIGN_FILTER_FRIGATE_TOOLTIP",
                                        "DESIGN_FILTER_FIGHTER_TOOLTIP"};
// Columns of "filterbuttons.dds" by class: cruiser, frigate, fighter.
const float kFilterColumn[3] = {0.65625f, 0.328125f, 0.0f};
constexpr float kFilterCell = 0.328125f;
} // namespace

GUI_FilterButton::GUI_FilterButton(int cls) : GUI_ButtonBase(nullptr, cls), hullClass(cls)
{
    m_on.SetTexture("filterbuttons.dds");
    m_off.SetTexture("filterbuttons.dds");
    const float u = kFilterColumn[cls];
    m_on.SetUV(u, 0.0f, u + kFilterCell, kFilterCell);
    m_off.SetUV(u, kFilterCell, u + kFilterCell, 2.0f * kFilterCell);
    SetTooltipString(GetString(kFilterTooltips[cls]));
}

void GUI_FilterButton::Draw()
{
    CTexturedSprite& sprite = on ? m_on : m_off;
    sprite.SetSize(static_cast<float>(width), static_cast<float>(height));
    sprite.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    sprite.Draw();
    QueueTooltip();
}

GUI_DeploymentDesignPicker* GUI_DeploymentDesignPicker::GetOpen()
{
    return g_picker;
}

GUI_DeploymentDesignPicker::GUI_DeploymentDesignPicker(int x, int screenHeight)
{
    g_picker = this;
    SetRect(static_cast<float>(x), 0.0f, static_cast<float>(x + kWidth), static_cast<float>(screenHeight - 45));
    SetName("DESIGN_PICKER");
    for (int cls = 0; cls < 3; ++cls) {
        m_filters[cls] = new GUI_FilterButton(cls);
        m_filters[cls]->callback = OnFilter;
        AddButton(m_filters[cls]);
    }
    m_scroll = new GUI_ScrollingWindow();
    m_scroll->SetRect(static_cast<float>(right - 15), static_cast<float>(top + 5), static_cast<float>(right - 4),
                      static_cast<float>(bottom - 5));
    AddChild(m_scroll);
    Rebuild();
    GUI_WindowManager::GetInstance().BringToFront(this);
}

GUI_DeploymentDesignPicker::~GUI_DeploymentDesignPicker()
{
    DeleteChildren();
    DeleteIcons();
    if (g_picker == this)
        g_picker = nullptr;
}

void GUI_DeploymentDesignPicker::DeleteIcons()
{
    for (GUI_ShipIcon* icon : m_icons)
        delete icon;
    m_icons.clear();
    m_visible.clear();
    delete m_newDesign;
    delete m_changeRace;
    m_newDesign = nullptr;
    m_changeRace = nullptr;
}

void GUI_DeploymentDesignPicker::Rebuild()
{
    DeleteIcons();
    const GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    const bool editingAI = screen.IsEditingAIFleet();
    std::string race = SIM_Options::GetInstance().GetRaceName();
    if (editingAI && screen.GetScenario())
        race = screen.GetScenario()->GetEnemyRace();
    for (const SIM_ShipDesign* design : SIM_ShipDesign::GetList()) {
        const SIM_ShipHull* hull = design->GetHull();
        if (!hull || hull->GetRaceName() != race || design->IsPlayerDesign() == editingAI)
            continue;
        const int cls = hull->GetClass();
        if (cls < 0 || cls > 2 || !m_filterOn[cls])
            continue;
        m_icons.push_back(new GUI_ShipIcon(GUI_ShipIcon::DESIGN, design));
    }
    if (SIM_Race::CountSelectableRaces() >= 2)
        m_changeRace = new GUI_ShipIcon(GUI_ShipIcon::CHANGE_RACE, nullptr);
    m_newDesign = new GUI_ShipIcon(GUI_ShipIcon::NEW_DESIGN, nullptr);
    Layout();
}

void GUI_DeploymentDesignPicker::Layout()
{
    m_visible.clear();
    int x = left + 5, y = top + 5;
    for (GUI_ShipIcon* button : {m_changeRace, m_newDesign}) {
        if (!button)
            continue;
        button->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kIconSide),
                        static_cast<float>(y + kIconSide));
        m_visible.push_back(button);
        y += kIconSide;
    }
    for (int cls = 0; cls < 3; ++cls) {
        const int fx = x + cls * kFilterSide;
        m_filters[cls]->SetRect(static_cast<float>(fx), static_cast<float>(y), static_cast<float>(fx + kFilterSide),
                                static_cast<float>(y + kFilterSide));
    }
    y += kFilterSide;
    // Rows that fit below the buttons, and how far the list can scroll.
    int capacity = 0;
    for (int rowY = y; rowY + kIconSide < bottom; rowY += kIconSide)
        ++capacity;
    m_maxRow = std::max(0, static_cast<int>(m_icons.size()) - capacity);
    m_firstRow = std::clamp(m_firstRow, 0, m_maxRow);
    for (size_t i = static_cast<size_t>(m_firstRow); i < m_icons.size(); ++i) {
        if (y + kIconSide >= bottom)
            break;
        m_icons[i]->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kIconSide),
                            static_cast<float>(y + kIconSide));
        m_visible.push_back(m_icons[i]);
        y += kIconSide;
    }
    if (m_scroll) {
        m_scroll->maximum = m_maxRow;
        m_scroll->position = m_firstRow;
        m_scroll->contentSize = static_cast<float>(m_icons.size());
        m_scroll->visibleSize = static_cast<float>(capacity);
        m_scroll->visible = m_maxRow > 0;
        m_scroll->changed = false;
    }
}

void GUI_DeploymentDesignPicker::OnFilter(std::intptr_t hullClass)
{
    if (g_picker)
        g_picker->ToggleFilter(static_cast<int>(hullClass));
}

void GUI_DeploymentDesignPicker::ToggleFilter(int hullClass)
{
    if (hullClass < 0 || hullClass > 2)
        return;
    m_filterOn[hullClass] = !m_filterOn[hullClass];
    for (GUI_FilterButton* button : m_filters)
        button->on = m_filterOn[button->hullClass];
    m_firstRow = 0;
    Rebuild();
}

void GUI_DeploymentDesignPicker::ScrollBy(int rows)
{
    const int next = std::clamp(m_firstRow + rows, 0, m_maxRow);
    if (next == m_firstRow)
        return;
    m_firstRow = next;
    GUI_Sounds::GetInstance().PlayGuiSound(0);
    Layout();
}

void GUI_DeploymentDesignPicker::RefreshShipIconAvailability()
{
    for (GUI_ShipIcon* icon : m_icons)
        icon->RefreshAvailability();
}

bool GUI_DeploymentDesignPicker::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    if (m_scroll && m_scroll->visible && m_scroll->OnLeftClick(x, y))
        return true;
    if (ClickButtons())
        return true;
    for (GUI_ShipIcon* icon : m_visible)
        if (icon->OnLeftClick(x, y))
            return true;
    return true;
}

bool GUI_DeploymentDesignPicker::OnRightClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    for (GUI_ShipIcon* icon : m_visible)
        if (icon->OnRightClick(x, y))
            return true;
    return true;
}

void GUI_DeploymentDesignPicker::Update()
{
    // A window in front (the mission summary on a small screen) has the
    // pointer before us, and our own claim comes in the base update.
    const bool covered = GUI_WindowManager::GetInstance().IsMouseOverWindow();
    GUI_WindowBase::Update();
    if (!visible || covered || !IsMouseOver()) {
        ClearHover();
        return;
    }
    for (GUI_ShipIcon* icon : m_visible)
        icon->Update();
}

void GUI_DeploymentDesignPicker::ClearHover()
{
    GUI_WindowBase::ClearHover();
    // Icons scrolled out of sight too, so none comes back lit.
    for (GUI_ShipIcon* icon : m_icons)
        icon->ClearHover();
    for (GUI_ShipIcon* button : {m_changeRace, m_newDesign})
        if (button)
            button->ClearHover();
}

void GUI_DeploymentDesignPicker::Draw()
{
    if (!visible)
        return;
    if (m_scroll && m_scroll->changed) {
        m_firstRow = m_scroll->position;
        Layout();
    }
    DrawNamedFrame("border_depth.dds", 15.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    for (GUI_ShipIcon* icon : m_visible)
        icon->Draw();
    DrawButtons();
    DrawChildren();
}

bool AnyShipIconAvailable()
{
    if (!g_picker)
        return false;
    for (const GUI_ShipIcon* icon : g_picker->GetDesignIcons())
        if (icon->IsAvailable())
            return true;
    return false;
}
