#pragma once
#include <string>
#include <vector>

#include "battle/hud/HudWindow.h"
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"
#include "platform/IGraphicsDevice.h"

class LibText;
class SIM_Ship;

// The whole battle map scaled down in the bottom-left corner: a square per
// ship, the camera's view as a light rectangle (drag it to pan, click
// elsewhere to jump) and the battle speed along the top edge.
class GUI_MiniMap : public GUI_WindowBase, public HudSingleWindow<GUI_MiniMap> {
public:
    static constexpr float kPlotWidth = 150.0f;
    static constexpr int kWindowWidth = 170;
    static constexpr int kUpdateLists = 4;
    static constexpr uint32_t kViewFill = 0x40FFFFFFu;
    static constexpr uint32_t kViewFrame = 0xC8FFFFFFu;

    struct Icon {
        int list = 0;
        SIM_Ship* ship = nullptr;
        float x = 0.0f, y = 0.0f;
        ScreenVertex quad[4];
        float halfSize = 1.0f;
        bool visible = false;
    };

    // Opens over a map of the given size (a size of 0 or less opens none).
    static void Open(float mapWidth, float mapHeight, int screenHeight);

    GUI_MiniMap(float mapWidth, float mapHeight, int screenHeight);
    ~GUI_MiniMap() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;

    // One icon for every ship of the battle in play, spread over the four
    // refresh lists in turn.
    void CreateShipIcons();
    void SetSpeedText(float speed);
    // The size at which the caption and the speed fit the label side by
    // side: 16, smaller only where they would touch (worked out when the
    // speed changes, not every frame).
    static float SpeedLabelFontSize(LibText& text, const std::string& caption, const std::string& speed,
                                    int labelWidth);
    int GetSpeedLabelWidth() const { return m_speedLabel.right - m_speedLabel.left; }
    float GetSpeedLabelFontSize() const { return m_labelFontSize; }
    // Moves this frame's share of the icons (all of them after creation);
    // first makes them again when ships have joined the battle.
    void RefreshIcons();
    // The ships both fleets have had in this battle.
    static size_t CountBattleShips();
    void PlaceIcon(Icon& icon) const;
    // The camera's view on the plot, as last drawn.
    GRect ComputeViewRect() const;

    const GRect& GetPlot() const { return m_plot; }
    float GetPlotHeight() const { return m_plotHeight; }
    float GetScale() const { return m_xScale; }
    const std::vector<Icon*>& GetIcons() const { return m_icons; }
    const std::string& GetSpeedText() const { return m_speedText; }
    int GetNextList() const { return m_nextList; }
    bool IsDragging() const { return m_draggingView; }

private:
    float m_xScale = 1.0f;
    float m_yScale = 1.0f;
    GRect m_plot{};
    std::vector<Icon*> m_remove;
    GRect m_view{};
    float m_plotWidth = kPlotWidth;
    float m_plotHeight = 0.0f;
    bool m_draggingView = false;
    float m_grabX = 0.0f;
    float m_grabY = 0.0f;
    CTexturedSprite m_background;
    CTexturedSprite m_frame;
    std::vector<Icon*> m_lists[kUpdateLists];
    std::vector<Icon*> m_icons;
    int m_nextList = 0;
    bool m_refreshAll = true;
    size_t m_shipsKnown = 0; // CountBattleShips when the icons were made
    GRect m_speedLabel{};
    std::string m_caption;
    std::string m_speedText = "1x";
    float m_labelFontSize = 16.0f;
    float m_mapWidth;
    float m_mapHeight;
    std::vector<ScreenVertex> m_batch;
};
