#include "battle/hud/GUI_MiniMap.h"

#include <algorithm>

#include "battle/GUI_Map.h"
#include "battle/hud/HudWindow.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_FrameDrawing.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"

namespace {
constexpr uint32_t kFrameTint = 0xFFC8C8C8u;
constexpr uint32_t kLabelFill = 0xFF040404u;
constexpr float kLabelFontSize = 16.0f;
constexpr float kMinLabelFontSize = 10.0f;
} // namespace

void GUI_MiniMap::Open(float mapWidth, float mapHeight, int screenHeight)
{
    Close();
    if (!(mapWidth > 0.0f) || !(mapHeight > 0.0f))
        return;
    new GUI_MiniMap(mapWidth, mapHeight, screenHeight);
}

GUI_MiniMap::GUI_MiniMap(float mapWidth, float mapHeight, int screenHeight)
    : m_mapWidth(mapWidth), m_mapHeight(mapHeight)
{
    raisesOnClick = false;
    m_plotHeight = mapHeight / mapWidth * kPlotWidth;
    const int windowHeight = static_cast<int>(m_plotHeight) + 40;
    SetRect(0.0f, static_cast<float>(screenHeight - windowHeight), static_cast<float>(kWindowWidth),
            static_cast<float>(screenHeight));
    GUI_WindowManager::GetInstance().AddWindow(this);

    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    PlaceBoxBackground(m_background, *this);
    m_frame.SetTexture("minimap.dds");
    m_frame.SetColour(kFrameTint);
    m_frame.SetSize(w - 10.0f, h - 30.0f);
    m_frame.PlaceCentred(static_cast<float>(left) + w / 2.0f, static_cast<float>(bottom) - 5.0f - (h - 30.0f) / 2.0f);

    m_plot = GRect{left + 6, top + 26, right - 6, bottom - 6};
    m_speedLabel = GRect{left + 48, top + 3, right - 30, top + 23};
    m_caption = GetString("MINIMAP_SPEED");
    m_labelFontSize = SpeedLabelFontSize(LibText::GetInstance(), m_caption, m_speedText, GetSpeedLabelWidth());
    m_xScale = kPlotWidth / mapWidth;
    m_yScale = m_plotHeight / mapHeight;
    CreateShipIcons();
}

GUI_MiniMap::~GUI_MiniMap()
{
    for (Icon* icon : m_icons)
        delete icon;
}

void GUI_MiniMap::CreateShipIcons()
{
    for (Icon* icon : m_icons)
        delete icon;
    m_icons.clear();
    for (auto& list : m_lists)
        list.clear();
    m_remove.clear();
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    const SIM_Fleet* playerFleet = battle.GetPlayerFleet();
    m_shipsKnown = CountBattleShips();
    int next = 0;
    // The icons point at the fleets' ships: the map closes when a fleet goes.
    StopFollowing();
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()}) {
        if (!fleet)
            continue;
        Follow(fleet->lifetime);
        for (SIM_Ship* ship : fleet->GetAllShips()) {
            // Ships still to warp in get their icon now and show once they
            // are on the field; nothing else would ever make theirs.
            if (ship->state == SIM_Ship::RETREATED || ship->IsDead())
                continue;
            auto* icon = new Icon();
            icon->ship = ship;
            icon->list = next;
            uint32_t alpha = 225;
            const int hullClass = ship->GetHullClass();
            icon->halfSize = hullClass == SIM_ShipHull::CRUISER ? 2.0f : 1.0f;
            if (hullClass == SIM_ShipHull::FIGHTER)
                alpha = 160;
            const bool player = fleet == playerFleet;
            const uint32_t colour = (alpha << 24) | (player ? 0xFFFFFFu : 0x80D9FFu);
            const float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}};
            for (int v = 0; v < 4; ++v)
                icon->quad[v] = ScreenVertex{0.0f, 0.0f, 0.0f, 1.0f, colour, uv[v][0], uv[v][1]};
            m_icons.push_back(icon);
            m_lists[next].push_back(icon);
            next = (next + 1) % kUpdateLists;
        }
    }
    m_refreshAll = true;
    m_nextList = 0;
}

void GUI_MiniMap::PlaceIcon(Icon& icon) const
{
    const float x = icon.ship->x;
    const float y = icon.ship->y;
    if (icon.ship->state == SIM_Ship::OFF_FIELD || x < 0.0f || x > m_mapWidth || y < 0.0f || y > m_mapHeight) {
        icon.visible = false;
        return;
    }
    icon.visible = true;
    icon.x = x * m_xScale + static_cast<float>(m_plot.left);
    icon.y = y * m_yScale + static_cast<float>(m_plot.top);
    const float s = icon.halfSize;
    const float corners[4][2] = {{-s, -s}, {s, -s}, {-s, s}, {s, s}};
    for (int v = 0; v < 4; ++v) {
        icon.quad[v].x = icon.x + corners[v][0];
        icon.quad[v].y = icon.y + corners[v][1];
    }
}

size_t GUI_MiniMap::CountBattleShips()
{
    // A fleet's list only grows during a battle: a new count means new ships.
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    size_t count = 0;
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()})
        if (fleet)
            count += fleet->GetAllShips().size();
    return count;
}

void GUI_MiniMap::RefreshIcons()
{
    // Ships that joined the battle (a survival wave) get theirs: the icons
    // are made again, every one of them placed at once.
    if (CountBattleShips() != m_shipsKnown)
        CreateShipIcons();
    if (m_refreshAll) {
        for (Icon* icon : m_icons)
            PlaceIcon(*icon);
        m_refreshAll = false;
        return;
    }
    for (Icon* icon : m_lists[m_nextList])
        PlaceIcon(*icon);
    m_nextList = (m_nextList + 1) % kUpdateLists;
}

float GUI_MiniMap::SpeedLabelFontSize(LibText& text, const std::string& caption, const std::string& speed,
                                      int labelWidth)
{
    // Both texts sit 5 pixels in from their edge and keep 4 between them.
    const int room = labelWidth - 14;
    text.SetFont("zekton16.dds", kLabelFontSize);
    float size = kLabelFontSize;
    while (size > kMinLabelFontSize && text.MeasureText(caption, size) + text.MeasureText(speed, size) > room)
        size -= 1.0f;
    return size;
}

void GUI_MiniMap::SetSpeedText(float speed)
{
    m_speedText = StrFormat("%.1fx", speed);
    m_labelFontSize = SpeedLabelFontSize(LibText::GetInstance(), m_caption, m_speedText, GetSpeedLabelWidth());
}

GRect GUI_MiniMap::ComputeViewRect() const
{
    const GUI_Map& map = GUI_Map::GetInstance();
    const float zoom = ZoomScale > 0.0f ? ZoomScale : 1.0f;
    const float l = map.cameraX * m_xScale + static_cast<float>(m_plot.left);
    const float t = map.cameraY * m_yScale + static_cast<float>(m_plot.top);
    const float w = static_cast<float>(map.GetScreenWidth()) * m_xScale / zoom;
    const float h = static_cast<float>(map.GetScreenHeight()) * m_yScale / zoom;
    return GRect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(l + w), static_cast<int>(t + h)};
}

bool GUI_MiniMap::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    if (ClickButtons())
        return true;
    const int px = static_cast<int>(x);
    const int py = static_cast<int>(y);
    if (px >= m_view.left && px < m_view.right && py >= m_view.top && py < m_view.bottom) {
        m_draggingView = true;
        m_grabX = x - static_cast<float>(m_view.left);
        m_grabY = y - static_cast<float>(m_view.top);
        return true;
    }
    GUI_Map& map = GUI_Map::GetInstance();
    map.SetCentre((x - static_cast<float>(m_plot.left)) / m_xScale, (y - static_cast<float>(m_plot.top)) / m_yScale);
    map.AddJumpBlur();
    return true;
}

void GUI_MiniMap::Draw()
{
    const CInput& input = CInput::GetInstance();
    if (m_draggingView) {
        if (!input.IsLeftButtonDown()) {
            m_draggingView = false;
        } else {
            GUI_Map& map = GUI_Map::GetInstance();
            const int halfW = (m_view.right - m_view.left) / 2;
            const int halfH = (m_view.bottom - m_view.top) / 2;
            const float cx =
                ((input.GetMouseX() - static_cast<float>(m_plot.left) - m_grabX) + static_cast<float>(halfW)) / m_xScale;
            const float cy =
                ((input.GetMouseY() - static_cast<float>(m_plot.top) - m_grabY) + static_cast<float>(halfH)) / m_yScale;
            map.SetCentre(cx, cy);
            map.UpdateZoom();
            map.ClampCamera();
        }
    }
    if (!visible)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    m_background.Draw();
    DrawNamedFrame("border_depth.dds", 32.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    m_frame.Draw();

    RefreshIcons();
    engine.SetNormalBlend();
    // Room for every icon first, then plain copies: an insert per icon
    // costs a library call each, a thousand a frame in a big battle.
    m_batch.resize(m_icons.size() * 4);
    ScreenVertex* out = m_batch.data();
    for (Icon* icon : m_icons) {
        if (!icon->visible)
            continue;
        if (icon->ship->IsDead() || icon->ship->state == SIM_Ship::DESTROYED) {
            m_remove.push_back(icon);
            continue;
        }
        if (icon->ship->docked)
            continue;
        for (int i = 0; i < 4; ++i)
            out[i] = icon->quad[i];
        out += 4;
    }
    engine.FillQuads(m_batch.data(), static_cast<size_t>(out - m_batch.data()));
    for (Icon* icon : m_remove) {
        auto& list = m_lists[icon->list];
        list.erase(std::remove(list.begin(), list.end(), icon), list.end());
        m_icons.erase(std::remove(m_icons.begin(), m_icons.end(), icon), m_icons.end());
        delete icon;
    }
    m_remove.clear();

    m_view = ComputeViewRect();
    engine.FillRect(m_view, kViewFill);
    engine.DrawRectFrame(m_view, kViewFrame);

    engine.FillRect(m_speedLabel, kLabelFill);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", m_labelFontSize);
    text.SetText(TEXT_ALIGN_LEFT, m_caption, static_cast<float>(m_speedLabel.left + 5),
                 static_cast<float>(m_speedLabel.top - 3), 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_speedText, static_cast<float>(m_speedLabel.right - 105),
                 static_cast<float>(m_speedLabel.top - 3), 0xFFFFFFFFu, 100.0f);
    text.Render(-1);
    DrawButtons();
}
