#include "campaign/gui/GUI_CampaignDesignPicker.h"

#include "campaign/gui/GUI_CampaignDesignIcon.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ScrollingWindow.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
GUI_CampaignDesignPicker* g_picker = nullptr;
}

GUI_CampaignDesignPicker* GUI_CampaignDesignPicker::GetOpen()
{
    return g_picker;
}

GUI_CampaignDesignPicker::GUI_CampaignDesignPicker(SIM_CampaignEncounter* encounter) : m_encounter(encounter)
{
    g_picker = this;
    for (int cls = 0; cls < 3; ++cls) {
        m_filterButtons[cls] = new GUI_FilterButton(cls);
        m_filterButtons[cls]->callback = OnFilter;
        m_filterButtons[cls]->SetName(StrFormat("campaign_design_filter_%d", cls));
        AddButton(m_filterButtons[cls]);
    }
}

GUI_CampaignDesignPicker::~GUI_CampaignDesignPicker()
{
    if (g_picker == this)
        g_picker = nullptr;
}

void GUI_CampaignDesignPicker::Refresh()
{
    PlaceScrollBar();
    RebuildList();
}

void GUI_CampaignDesignPicker::ToggleFilter(int hullClass)
{
    if (hullClass < 0 || hullClass > 2)
        return;
    m_filters[hullClass] = !m_filters[hullClass];
    for (int cls = 0; cls < 3; ++cls)
        m_filterButtons[cls]->on = m_filters[cls];
    // The shorter list starts from its top again.
    m_scroll->position = 0;
    RebuildList();
}

void GUI_CampaignDesignPicker::OnFilter(std::intptr_t hullClass)
{
    if (g_picker)
        g_picker->ToggleFilter(static_cast<int>(hullClass));
}

void GUI_CampaignDesignPicker::RebuildList()
{
    m_designs.clear();
    std::vector<SIM_ShipDesign*> players;
    SIM_ShipDesign::GetPlayerDesignsForRace(SIM_Options::GetInstance().GetRaceName(), players);
    for (SIM_ShipDesign* d : players) {
        const int hullClass = d->GetHull()->GetClass();
        if (hullClass >= 0 && hullClass <= 2 && m_filters[hullClass])
            m_designs.push_back(d);
    }
    LayOut();
    // The yard shows (and builds) only a design the list shows: with every
    // class filtered out it shows none.
    GUI_Shipyard::SelectDesignInOpen(m_designs.empty() ? nullptr : m_designs.front());
}

void GUI_CampaignDesignPicker::LayOut()
{
    for (GUI_CampaignDesignIcon* icon : m_icons) {
        RemoveChild(icon);
        RemoveChildElement(icon);
        delete icon;
    }
    m_icons.clear();
    for (int cls = 0; cls < 3; ++cls) {
        const int x = left + 2 + cls * (kFilterSide + 2);
        m_filterButtons[cls]->SetRect(static_cast<float>(x), static_cast<float>(top + 2),
                                      static_cast<float>(x + kFilterSide), static_cast<float>(top + 2 + kFilterSide));
    }
    const int listTop = top + kFilterStrip;
    auto place = [this](GUI_CampaignDesignIcon* icon, int x, int y) {
        icon->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kIconSize),
                      static_cast<float>(y + kIconSize));
        AddChild(icon);
        AddChildElement(icon);
        m_icons.push_back(icon);
    };
    // The new-design icon holds the first cell whatever the scroll.
    place(new GUI_CampaignDesignIcon(true, nullptr, true), left, listTop);
    int column = 1;
    int y = listTop;
    for (size_t i = static_cast<size_t>(std::max(0, m_scroll->position)); i < m_designs.size(); ++i) {
        if (y >= bottom - kIconSize)
            break;
        SIM_ShipDesign* d = m_designs[i];
        const bool here = m_encounter && m_encounter->CanBuildClass(d->GetHull()->GetClass());
        place(new GUI_CampaignDesignIcon(false, d, here), left + kIconSize * column, y);
        if (++column == kColumns) {
            column = 0;
            y += kIconSize;
        }
    }
    // The list scrolls one design at a time, until the last one shows.
    const int capacity = CellCapacity(bottom - listTop);
    m_scroll->maximum = std::max(0, static_cast<int>(m_designs.size()) - capacity);
    m_scroll->contentSize = static_cast<float>(m_designs.size());
    m_scroll->visibleSize = static_cast<float>(capacity);
    m_scroll->visible = m_scroll->maximum > 0;
}

int GUI_CampaignDesignPicker::CellCapacity(int listHeight)
{
    int rows = 0;
    for (int y = 0; y < listHeight - kIconSize; y += kIconSize)
        ++rows;
    return std::max(0, rows * kColumns - 1);
}

void GUI_CampaignDesignPicker::UpdateIcons()
{
    for (GUI_CampaignDesignIcon* icon : m_icons)
        if (!icon->IsNewDesign())
            icon->UpdateState();
}

void GUI_CampaignDesignPicker::DrawContent()
{
    DrawChildren();
    DrawButtons();
}
