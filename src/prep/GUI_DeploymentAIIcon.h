#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GTimer.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class IClock;
class SIM_DeployedFleet;
class SIM_DeployedShip;

// One enemy ship shown on the deployment map: it waits a random moment
// (within 400 ms), then slides in from the map's right edge over 500 ms;
// a squadron is drawn as a grid of its fighters.
class GUI_DeploymentAIIcon {
public:
    enum State { WAITING = 0, SLIDING = 1, ARRIVED = 2 };
    static constexpr float kMaxDelayMs = 400.0f;
    static constexpr float kSlideMs = 500.0f;

    GUI_DeploymentAIIcon(std::shared_ptr<SIM_DeployedShip> ship, float delayMs, const IClock* clock = nullptr);
    ~GUI_DeploymentAIIcon();

    void Draw();
    // Centres of the ships drawn for a quantity at (x, y) with cells of the
    // given width: k = int(sqrt(n)) columns, rows until n are placed.
    static std::vector<std::pair<float, float>> GridCells(int quantity, float x, float y, float cellWidth);

    const std::string& GetTextureName() const { return m_texture; }
    int GetState() const { return m_state; }
    const SIM_DeployedShip* GetShip() const { return m_ship.get(); }
    float GetWidth() const { return m_width; }
    // Where the last draw put it (after the slide).
    float GetDrawnX() const { return m_drawnX; }

private:
    std::string m_texture;
    std::shared_ptr<SIM_DeployedShip> m_ship;
    CTexturedSprite m_sprite;
    float m_width = 0.0f, m_height = 0.0f;
    float m_targetX = 0.0f, m_targetY = 0.0f;
    GTimer m_timer;
    int m_state = WAITING;
    float m_delay = 0.0f;
    float m_drawnX = 0.0f;
};

std::vector<GUI_DeploymentAIIcon*>& GetEnemyDeploymentIcons();
void CreateEnemyFleetIcons(const SIM_DeployedFleet& fleet, const IClock* clock = nullptr);
void DeleteEnemyIcons();
void DrawEnemyDeploymentIcons();
