#include "prep/GUI_DeploymentAIIcon.h"

#include "engine/GDebugLog.h"
#include "engine/RandomTables.h"
#include "prep/GUI_DeploymentMap.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_FleetLimits.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>
#include <cmath>

namespace {
std::vector<GUI_DeploymentAIIcon*> g_enemyIcons;
} // namespace

GUI_DeploymentAIIcon::GUI_DeploymentAIIcon(std::shared_ptr<SIM_DeployedShip> ship, float delayMs,
                                           const IClock* clock)
    : m_ship(std::move(ship)), m_timer(clock), m_delay(delayMs)
{
    g_enemyIcons.push_back(this);
    const SIM_ShipDesign* design = m_ship ? SIM_ShipDesign::Find(m_ship->design) : nullptr;
    QLM_ASSERT(design);
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    if (design && design->GetHull()) {
        m_texture = design->GetHull()->GetSprite();
        m_width = design->GetHull()->GetWidth() * map.GetScale();
        m_height = design->GetHull()->GetHeight() * map.GetScale();
    }
    if (m_ship && m_ship->quantity != 1) {
        m_width *= 1.5f;
        m_height *= 1.5f;
    }
    m_sprite.SetTexture(m_texture);
    m_sprite.SetSize(m_width, m_height);
    if (m_ship) {
        m_sprite.SetAngle(m_ship->angle);
        m_targetX = map.MapToScreenX(m_ship->x);
        m_targetY = map.MapToScreenY(m_ship->y);
    }
    m_timer.Start();
}

GUI_DeploymentAIIcon::~GUI_DeploymentAIIcon()
{
    g_enemyIcons.erase(std::remove(g_enemyIcons.begin(), g_enemyIcons.end(), this), g_enemyIcons.end());
}

std::vector<std::pair<float, float>> GUI_DeploymentAIIcon::GridCells(int quantity, float x, float y, float w)
{
    std::vector<std::pair<float, float>> cells;
    if (quantity <= 1) {
        cells.emplace_back(x, y);
        return cells;
    }
    // A squadron never holds more than 16: a file that says otherwise is not
    // drawn ship by ship.
    quantity = std::min(quantity, SIM_FleetLimits::kMaxSquadron);
    const int k = std::max(1, static_cast<int>(std::sqrt(static_cast<float>(quantity))));
    const float firstX = x - static_cast<float>(k) * w / 2.0f + w / 2.0f;
    const float firstY = y - static_cast<float>(k) * w / 2.0f + w / 2.0f;
    for (int i = 0; i < quantity; ++i)
        cells.emplace_back(firstX + static_cast<float>(i % k) * w, firstY + static_cast<float>(i / k) * w);
    return cells;
}

void GUI_DeploymentAIIcon::Draw()
{
    m_timer.Update();
    float t = 1.0f;
    if (m_state == WAITING) {
        if (m_timer.GetTotalMs() > m_delay) {
            m_timer.Start();
            m_state = SLIDING;
        }
        return;
    }
    if (m_state == SLIDING) {
        t = static_cast<float>(m_timer.GetTotalMs()) / kSlideMs;
        if (t >= 1.0f)
            m_state = ARRIVED;
        t = std::clamp(t, 0.0f, 1.0f);
    }
    const uint32_t alpha = static_cast<uint32_t>(std::lround(t * 255.0f));
    m_sprite.SetColour((alpha << 24) | 0xFFC8C8u);
    const float right = static_cast<float>(GUI_DeploymentMap::GetInstance().GetRect().right);
    m_drawnX = t * m_targetX + (1.0f - t) * right;
    for (const auto& [x, y] : GridCells(m_ship ? m_ship->quantity : 1, m_drawnX, m_targetY, m_width)) {
        m_sprite.PlaceCentred(x, y);
        m_sprite.Draw();
    }
}

std::vector<GUI_DeploymentAIIcon*>& GetEnemyDeploymentIcons()
{
    return g_enemyIcons;
}

void CreateEnemyFleetIcons(const SIM_DeployedFleet& fleet, const IClock* clock)
{
    DeleteEnemyIcons();
    for (const SIM_DeployedFleet::ShipPtr& ship : fleet.GetShips())
        new GUI_DeploymentAIIcon(ship, RandomFloat() * GUI_DeploymentAIIcon::kMaxDelayMs, clock);
    std::stable_sort(g_enemyIcons.begin(), g_enemyIcons.end(),
                     [](const GUI_DeploymentAIIcon* a, const GUI_DeploymentAIIcon* b) {
                         return a->GetTextureName() < b->GetTextureName();
                     });
}

void DeleteEnemyIcons()
{
    while (!g_enemyIcons.empty())
        delete g_enemyIcons.back();
}

void DrawEnemyDeploymentIcons()
{
    for (GUI_DeploymentAIIcon* icon : g_enemyIcons)
        icon->Draw();
}
