#include "campaign/gui/GUI_WormholeTraffic.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_CampaignWormhole.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GVertexBuffer.h"
#include "engine/RandomTables.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kDegrees = 57.29578f;
}

int GUI_WormholeTraffic::CountFor(float length)
{
    if (!(length > 0.0f))
        return 0;
    return std::min(static_cast<int>(length), kMaxShips);
}

int GUI_WormholeTraffic::FrameFor(float r)
{
    // A random range of 0..16 can land on 16 itself: the sheet has 16 cells.
    return std::clamp(static_cast<int>(r * kFrames), 0, kFrames - 1);
}

GUI_WormholeTraffic::GUI_WormholeTraffic(const SIM_CampaignEncounter* a, const SIM_CampaignEncounter* b)
{
    QLM_ASSERT(a && b);
    if (!a || !b || !a->campaign)
        return;
    const float sx = a->campaign->mapSizeX;
    const float sy = a->campaign->mapSizeY;
    float ax = a->mapPosition[0] * sx, ay = a->mapPosition[1] * sy;
    float bx = b->mapPosition[0] * sx, by = b->mapPosition[1] * sy;
    const float dx = bx - ax, dy = by - ay;
    const float d = std::sqrt(dx * dx + dy * dy);
    if (d <= 0.0f)
        return;
    const float ux = dx / d, uy = dy / d;
    ax += ux * a->mapIconSize * 0.5f;
    ay += uy * a->mapIconSize * 0.5f;
    bx -= ux * b->mapIconSize * 0.5f;
    by -= uy * b->mapIconSize * 0.5f;
    m_start[0][0] = ax;
    m_start[0][1] = ay;
    m_start[1][0] = bx;
    m_start[1][1] = by;
    m_bounds[0] = std::fabs(bx - ax);
    m_bounds[1] = std::fabs(by - ay);
    m_mid[0] = (ax + bx) * 0.5f;
    m_mid[1] = (ay + by) * 0.5f;
    m_length = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
    const int count = CountFor(m_length);
    if (count == 0)
        return;
    const float theta = std::atan2(by - ay, bx - ax) * kDegrees;
    const float spacing = m_length / count;
    m_ships.resize(count);
    for (int i = 0; i < count; ++i) {
        Ship& s = m_ships[i];
        s.progress = i * spacing + (RandomFloat() * 0.4f - 0.2f) * spacing;
        s.direction = i % 2;
        s.angle = s.direction ? std::fmod(theta + 180.0f + 360.0f, 360.0f) : theta;
        s.frame = FrameFor(RandomRange(0.0f, 16.0f) / 16.0f);
        s.sprite.SetFrame(s.frame, kFrames);
        s.speed = RandomFloat() * 0.8f + 0.7f;
        s.offset = RandomFloat() * 1.24f - 0.62f;
    }
}

void GUI_WormholeTraffic::Draw(const GUI_CampaignMap& map, float frameMs)
{
    if (m_ships.empty() || map.zoom <= 2.0f)
        return;
    const float z = map.zoom;
    BaseSprite bounds;
    bounds.SetSize(std::max(m_bounds[0] * z, 1.0f), std::max(m_bounds[1] * z, 1.0f));
    bounds.PlaceCentred(map.ToScreenX(m_mid[0]), map.ToScreenY(m_mid[1]));
    if (!bounds.IsOnScreen())
        return;
    const float alpha = z * 0.5f < 3.0f ? std::clamp(z * 0.5f - 2.0f, 0.0f, 1.0f) : 1.0f;
    const uint32_t colour = (static_cast<uint32_t>(alpha * 255.0f) << 24) | 0xFFFFFFu;
    GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
    for (Ship& s : m_ships) {
        s.progress += frameMs * kSpeed * s.speed;
        if (s.progress > m_length)
            s.progress = 0.0f;
        const float rad = s.angle / kDegrees;
        const float px = m_start[s.direction][0] + std::cos(rad) * s.progress - std::sin(rad) * s.offset;
        const float py = m_start[s.direction][1] + std::sin(rad) * s.progress + std::cos(rad) * s.offset;
        s.sprite.SetSize(z, z * 0.5f);
        s.sprite.SetAngle(s.angle);
        s.sprite.SetColour(colour);
        s.sprite.PlaceCentred(map.ToScreenX(px), map.ToScreenY(py));
        if (s.sprite.IsOnScreen())
            batch.AddVertices(s.sprite.m_vertices, 4);
    }
}

void DrawWormholeTraffic(const GUI_CampaignMap& map)
{
    if (map.zoom < GUI_WormholeTraffic::kMinZoom)
        return;
    GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
    batch.SetTexture("wormhole_ships.dds");
    for (GUI_CampaignWormhole* w : GUI_CampaignWormhole::GetAll())
        w->GetTraffic().Draw(map, map.GetFrameMs());
    batch.Flush();
}
