#include "prep/GUI_DeploymentMap.h"

#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "prep/GUI_DeploymentZone.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr uint32_t kGridColour = 0x1020FF20u;
constexpr uint32_t kTint = 0xFF808080u;
} // namespace

GUI_DeploymentMap& GUI_DeploymentMap::GetInstance()
{
    static GUI_DeploymentMap instance;
    return instance;
}

void GUI_DeploymentMap::Layout(int pickerRight, int screenWidth, int screenHeight)
{
    QLM_ASSERT(m_scenario);
    if (!m_scenario || m_scenario->GetMapSizeX() <= 0.0f || m_scenario->GetMapSizeY() <= 0.0f)
        return;
    const float worldW = m_scenario->GetMapSizeX();
    const float worldH = m_scenario->GetMapSizeY();
    int height = static_cast<int>(static_cast<float>(screenHeight) - 61.0f);
    float scale = static_cast<float>(height) / worldH;
    int width = static_cast<int>(scale * worldW);
    if (width > screenWidth - 325) {
        width = screenWidth - 325;
        height = static_cast<int>(static_cast<float>(width) * worldH / worldW);
    }
    m_scale = static_cast<float>(height) / worldH;
    m_backdrop.SetSize(static_cast<float>(width), static_cast<float>(height));
    PlaceBackdrop(static_cast<float>(pickerRight) + 8.0f + static_cast<float>(width) / 2.0f,
                  static_cast<float>(height) / 2.0f + 8.0f);
}

void GUI_DeploymentMap::SetArea(int left, int top, int right, int bottom)
{
    if (!m_scenario || m_scenario->GetMapSizeY() <= 0.0f)
        return;
    m_scale = static_cast<float>(bottom - top) / m_scenario->GetMapSizeY();
    m_backdrop.SetSize(static_cast<float>(right - left), static_cast<float>(bottom - top));
    PlaceBackdrop(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
}

void GUI_DeploymentMap::PlaceBackdrop(float centreX, float centreY)
{
    m_backdrop.SetTexture(m_scenario->GetBackdrop());
    m_backdrop.SetColour(kTint);
    m_backdrop.PlaceCentred(centreX, centreY);
    const float w = m_backdrop.GetWidth(), h = m_backdrop.GetHeight();
    m_rect = {static_cast<int>(centreX - w / 2.0f), static_cast<int>(centreY - h / 2.0f),
              static_cast<int>(centreX + w / 2.0f), static_cast<int>(centreY + h / 2.0f)};
    m_frame = {m_rect.left - 8, m_rect.top - 8, m_rect.right + 8, m_rect.bottom + 8};
    BuildGrid();
}

void GUI_DeploymentMap::BuildGrid()
{
    m_grid.clear();
    const float step = GUI_DeploymentZone::kGridSize * m_scale;
    if (step < 1.0f)
        return;
    const float w = static_cast<float>(m_rect.Width()), h = static_cast<float>(m_rect.Height());
    auto line = [this](float x1, float y1, float x2, float y2) {
        m_grid.push_back({x1, y1, 0.0f, 1.0f, kGridColour, 0.0f, 0.0f});
        m_grid.push_back({x2, y2, 0.0f, 1.0f, kGridColour, 0.0f, 0.0f});
    };
    // Centred: the spare width is shared by both edges.
    const int nx = static_cast<int>(w / step);
    for (float x = static_cast<float>(m_rect.left) + (w - static_cast<float>(nx) * step) / 2.0f;
         x < static_cast<float>(m_rect.right); x += step)
        line(x, static_cast<float>(m_rect.top), x, static_cast<float>(m_rect.bottom));
    const int ny = static_cast<int>(h / step);
    for (float y = static_cast<float>(m_rect.top) + (h - static_cast<float>(ny) * step) / 2.0f;
         y < static_cast<float>(m_rect.bottom); y += step)
        line(static_cast<float>(m_rect.left), y, static_cast<float>(m_rect.right), y);
}

bool GUI_DeploymentMap::Contains(float x, float y) const
{
    return x >= static_cast<float>(m_rect.left) && x < static_cast<float>(m_rect.right) &&
           y >= static_cast<float>(m_rect.top) && y < static_cast<float>(m_rect.bottom);
}

void GUI_DeploymentMap::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    m_backdrop.Draw();
    if (!m_grid.empty() && engine.GetDevice()) {
        // One line list for the whole grid.
        engine.SetAdditiveBlend();
        engine.SetTexture(0);
        engine.DrawPrimitives(PrimitiveType::LineList, m_grid.data(), m_grid.size());
        engine.SetNormalBlend();
    }
    if (m_selectionVisible)
        engine.DrawRectFrame(m_selectionRect, 0xFFFFFFFFu);
}

void GUI_DeploymentMap::BeginSelectionBox(float mouseX, float mouseY)
{
    if (m_selecting || !Contains(mouseX, mouseY))
        return;
    m_startX = m_endX = mouseX;
    m_startY = m_endY = mouseY;
    m_selecting = true;
    m_selectionVisible = false;
    m_selectionRect = {0, 0, 1, 1};
}

void GUI_DeploymentMap::UpdateSelectionBox(float mouseX, float mouseY, bool leftButtonDown)
{
    if (!m_selecting)
        return;
    m_endX = std::min(mouseX, static_cast<float>(m_rect.right));
    m_endY = std::min(mouseY, static_cast<float>(m_rect.bottom));
    m_selectionRect = {static_cast<int>(std::min(m_startX, m_endX)), static_cast<int>(std::min(m_startY, m_endY)),
                       static_cast<int>(std::max(m_startX, m_endX)), static_cast<int>(std::max(m_startY, m_endY))};
    if (!leftButtonDown) {
        m_selecting = false;
        m_selectionVisible = false;
        return;
    }
    if (std::fabs(m_endX - m_startX) > kBandMinMove || std::fabs(m_endY - m_startY) > kBandMinMove)
        m_selectionVisible = true;
}
