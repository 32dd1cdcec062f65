#include "campaign/gui/GUI_CampaignDeploymentPicker.h"

#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "gui/GUI_ScrollingWindow.h"

#include <algorithm>
#include <string>

GUI_CampaignDeploymentPicker::GUI_CampaignDeploymentPicker(const std::vector<SIM_CampaignFleet*>& fleets)
{
    for (SIM_CampaignFleet* fleet : fleets) {
        QLM_ASSERT(fleet);
        if (!fleet)
            continue;
        for (SIM_CampaignShip* ship : fleet->GetShips())
            m_available.push_back(new GUI_CampaignShipIcon(ship));
    }
}

GUI_CampaignDeploymentPicker::~GUI_CampaignDeploymentPicker()
{
    // Tiles not shown are not children: they go here; the shown ones go with
    // the children.
    for (GUI_CampaignShipIcon* icon : m_available)
        if (icon->GetParent() != this)
            delete icon;
    for (auto& placed : m_placed)
        if (placed.first->GetParent() != this)
            delete placed.first;
}

void GUI_CampaignDeploymentPicker::LayOut()
{
    PlaceScrollBar();
    for (GUI_CampaignShipIcon* icon : m_available)
        RemoveChild(icon);
    const size_t first = static_cast<size_t>(std::max(0, m_scroll->position)) * kColumns;
    int y = top;
    int rowsShown = 0;
    for (size_t i = first; i < m_available.size(); ++i) {
        if (y >= bottom - kCell)
            break;
        const int column = static_cast<int>((i - first) % kColumns);
        const int x = left + column * kCell;
        m_available[i]->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kCell),
                                static_cast<float>(y + kCell));
        AddChild(m_available[i]);
        if (column == 0)
            ++rowsShown;
        if (column == kColumns - 1)
            y += kCell;
    }
    // The scroll range: every row less the rows that fit.
    const int rows = static_cast<int>((m_available.size() + kColumns - 1) / kColumns);
    const int fit = RowsThatFit(height);
    m_scroll->maximum = std::max(0, rows - fit);
    m_scroll->contentSize = static_cast<float>(rows);
    m_scroll->visibleSize = static_cast<float>(rowsShown);
    m_scroll->visible = m_scroll->maximum > 0;
}

int GUI_CampaignDeploymentPicker::RowsThatFit(int panelHeight)
{
    // Rows start while their top is above the last full cell.
    return panelHeight > kCell ? (panelHeight - kCell - 1) / kCell + 1 : 0;
}

void GUI_CampaignDeploymentPicker::MarkPlaced(GUI_CampaignShipIcon* icon, GUI_DeploymentIcon* mapIcon)
{
    auto it = std::find(m_available.begin(), m_available.end(), icon);
    if (it == m_available.end())
        return;
    m_available.erase(it);
    RemoveChild(icon);
    m_placed.push_back({icon, mapIcon});
    LayOut();
}

bool GUI_CampaignDeploymentPicker::PutIconBack(const GUI_DeploymentIcon* mapIcon)
{
    for (auto it = m_placed.begin(); it != m_placed.end(); ++it) {
        if (it->second != mapIcon)
            continue;
        m_available.push_back(it->first);
        m_placed.erase(it);
        LayOut();
        return true;
    }
    LOG_ERROR("Failed to put icon back");
    return false;
}

GUI_CampaignShipIcon* GUI_CampaignDeploymentPicker::FindAvailable(int shipId, const std::string& name) const
{
    for (GUI_CampaignShipIcon* icon : m_available)
        if (icon->GetShip() && icon->GetShip()->id == shipId && icon->GetShip()->name == name)
            return icon;
    return nullptr;
}

void GUI_CampaignDeploymentPicker::DrawContent()
{
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    GUI_CampaignShipIcon::DrawShipIconBatch();
    LibText::GetInstance().Render();
}
