#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "platform/IGraphicsDevice.h"

#include <vector>

class SIM_Scenario;

// The battle map of the deployment screens: the scenario's backdrop scaled
// to fit beside the design picker, a 96-unit grid, the conversion between
// world units and screen pixels (one scale for both axes) and the
// rubber-band selection.
class GUI_DeploymentMap {
public:
    static constexpr float kBandMinMove = 3.0f;

    static GUI_DeploymentMap& GetInstance();

    void SetScenario(const SIM_Scenario* scenario) { m_scenario = scenario; }
    const SIM_Scenario* GetScenario() const { return m_scenario; }
    // The deployment screen: as high as the screen allows less the bottom
    // bar, as wide as fits right of the picker, 8 px right of it.
    void Layout(int pickerRight, int screenWidth, int screenHeight);
    // Any other screen: fills the rectangle's height.
    void SetArea(int left, int top, int right, int bottom);
    void Draw();

    float MapToScreenX(float x) const { return static_cast<float>(m_rect.left) + x * m_scale; }
    float MapToScreenY(float y) const { return static_cast<float>(m_rect.top) + y * m_scale; }
    float ScreenToMapX(float x) const { return m_scale > 0.0f ? (x - static_cast<float>(m_rect.left)) / m_scale : 0.0f; }
    float ScreenToMapY(float y) const { return m_scale > 0.0f ? (y - static_cast<float>(m_rect.top)) / m_scale : 0.0f; }
    bool Contains(float x, float y) const;

    // Rubber band: started by a click on empty map, followed every frame
    // while the left button is held.
    void BeginSelectionBox(float mouseX, float mouseY);
    void UpdateSelectionBox(float mouseX, float mouseY, bool leftButtonDown);
    bool IsSelecting() const { return m_selecting; }
    bool IsSelectionVisible() const { return m_selectionVisible; }
    const GRect& GetSelectionRect() const { return m_selectionRect; }

    const GRect& GetRect() const { return m_rect; }
    const GRect& GetFrameRect() const { return m_frame; }
    float GetScale() const { return m_scale; }
    int GetGridLineCount() const { return static_cast<int>(m_grid.size() / 2); }

private:
    void PlaceBackdrop(float centreX, float centreY);
    void BuildGrid();

    const SIM_Scenario* m_scenario = nullptr;
    GRect m_rect;
    GRect m_frame;
    float m_scale = 0.0f;
    CTexturedSprite m_backdrop;
    std::vector<ScreenVertex> m_grid;
    float m_startX = 0.0f, m_startY = 0.0f, m_endX = 0.0f, m_endY = 0.0f;
    bool m_selecting = false;
    bool m_selectionVisible = false;
    GRect m_selectionRect;
};
