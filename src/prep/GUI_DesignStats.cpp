#include "prep/GUI_DesignStats.h"

#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_ModuleDetails.h"
#include "prep/GUI_ShipBlueprint.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipDesignSummaryStrip.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
GUI_DesignStats* g_stats = nullptr;
const char* const kKeys[GUI_DesignStats::FIGURE_COUNT] = {"DESIGN_STATS_ARMOR", "DESIGN_STATS_SHIELD",
                                                           "DESIGN_STATS_RESIST", "DESIGN_STATS_HITPOINTS"};
} // namespace

GUI_DesignStats* GUI_DesignStats::GetOpen()
{
    return g_stats;
}

GUI_DesignStats* GUI_DesignStats::Create(bool floating)
{
    delete g_stats;
    return new GUI_DesignStats(floating);
}

void GUI_DesignStats::Toggle()
{
    if (g_stats) {
        GUI_DesignStats* open = g_stats;
        g_stats = nullptr;
        open->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(open);
        return;
    }
    Create(true);
}

void GUI_DesignStats::RefreshOpen()
{
    if (g_stats)
        g_stats->Refresh();
}

GUI_DesignStats::GUI_DesignStats(bool floating) : GUI_Dialog(floating), m_floating(floating)
{
    g_stats = this;
    SetTitleKey("SHIP_DESIGN_STATS_TITLE");
    for (int i = 0; i < FIGURE_COUNT; ++i) {
        m_strips[i] = new GUI_ShipDesignSummaryStrip(kKeys[i], true);
        AddChild(m_strips[i]);
    }
    m_scroller = new GUI_ScrollingWindow();
    AddChild(m_scroller);
    if (m_floating) {
        SetSize(600.0f, 170.0f);
        Centre();
        GUI_WindowManager::GetInstance().BringToFront(this);
        GUI_WindowManager::GetInstance().AddModal(this);
    } else {
        const GUI_ModuleDetails* details = GUI_ModuleDetails::GetOpen();
        const GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen();
        const float l = details ? static_cast<float>(details->left) : GUI_ShipDesignGUI::GetInstance().GetOriginX();
        const float t = details ? static_cast<float>(details->bottom) : 0.0f;
        const float r = blueprint ? static_cast<float>(blueprint->right) : l + 1024.0f;
        SetRect(l, t, r, t + kFixedHeight);
        SetFrameTexture("border_depth.dds");
    }
    Place();
    Refresh();
}

GUI_DesignStats::~GUI_DesignStats()
{
    if (g_stats == this)
        g_stats = nullptr;
}

void GUI_DesignStats::Place()
{
    SetClientRect();
    // Two columns of two figures, the bonus list under them.
    const int colW = (clientRight - clientLeft - 26) / 2;
    for (int i = 0; i < FIGURE_COUNT; ++i) {
        const int l = clientLeft + 13 + (i % 2) * (colW + 13);
        const int t = clientTop + 2 + (i / 2) * 20;
        m_strips[i]->SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(l + colW),
                             static_cast<float>(t + 18));
    }
    m_bonusRect = GRect{clientLeft + 13, clientTop + 44, clientRight - 13, clientTop + 44 + 3 * 20};
    m_scroller->SetRect(static_cast<float>(m_bonusRect.right - 15), static_cast<float>(m_bonusRect.top),
                        static_cast<float>(m_bonusRect.right), static_cast<float>(m_bonusRect.bottom));
}

void GUI_DesignStats::Refresh()
{
    if (!GUI_ShipBlueprint::GetOpen())
        return;
    const SIM_ShipDesign* design = GUI_ShipDesignGUI::GetInstance().GetDesign();
    QLM_ASSERT(design != nullptr);
    if (!design || !design->GetHull())
        return;
    m_strips[SHIELD]->value = StrFormat("%.2f", static_cast<double>(design->GetTotalShieldPoints()));
    m_strips[RESIST]->value = StrFormat("%.2f", static_cast<double>(design->GetShieldResistance()));
    m_strips[ARMOUR]->value = StrFormat("%.2f", static_cast<double>(design->GetTotalArmour()));
    m_strips[HITPOINTS]->value = StrFormat("%.2f", static_cast<double>(design->GetTotalHitpoints()));
    m_bonuses.clear();
    const SIM_ShipHull& hull = *design->GetHull();
    for (const SIM_ShipHull::Bonus& bonus : hull.GetBonuses())
        m_bonuses.push_back(hull.GetBonusDescription(bonus));
    const int total = static_cast<int>(m_bonuses.size());
    m_scroller->contentSize = static_cast<float>(total);
    m_scroller->visibleSize = static_cast<float>(kVisibleBonuses);
    m_scroller->maximum = std::max(0, total - kVisibleBonuses);
    m_scroller->position = std::min(m_scroller->position, m_scroller->maximum);
    m_scroller->visible = total > kVisibleBonuses;
}

void GUI_DesignStats::Draw()
{
    if (!visible)
        return;
    if (m_floating) {
        // The floating window may be dragged by its title.
        Place();
    }
    GUI_Dialog::Draw();
    for (int i : {ARMOUR, HITPOINTS, SHIELD})
        designer::FillRect(m_strips[i]->left, m_strips[i]->top, m_strips[i]->right, m_strips[i]->bottom, 0x33FFFFFFu);
    designer::FillRect(m_bonusRect.left, m_bonusRect.top, m_bonusRect.right, m_bonusRect.bottom, 0x33FFFFFFu);
    float y = static_cast<float>(m_bonusRect.top);
    for (size_t i = static_cast<size_t>(m_scroller->position);
         i < m_bonuses.size() && i < static_cast<size_t>(m_scroller->position + kVisibleBonuses); ++i) {
        designer::DrawText(m_bonuses[i], static_cast<float>(m_bonusRect.left + 10), y);
        y += 20.0f;
    }
    DrawChildren();
}
