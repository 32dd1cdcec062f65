#pragma once
#include "battle/GUI_RenderObject.h"
#include "engine/BaseSprite.h"

class GUI_DamageSprite;
class GUI_Ship;
class SIM_RepairModule;

// One tiny repair bot hovering over a damage patch and zapping it.
class GUI_RepairBot {
public:
    explicit GUI_RepairBot(GUI_Ship* owner);
    ~GUI_RepairBot();

    void PickTarget();
    void LeaveTarget();
    // The patch was deleted: forget it without touching it.
    void ForgetTarget() { target = nullptr; }
    void HoverUpdate(float dt);
    void DrawLightning(float dt);
    void DrawBody();

    GUI_DamageSprite* GetTarget() const { return target; }
    float botX = 0.0f, botY = 0.0f;
    float targetX = 0.0f, targetY = 0.0f;
    float homeX = 0.0f, homeY = 0.0f;
    float wobbleX = 0.0f, wobbleY = 0.0f;
    float lightningAngle = 0.0f;
    float lightningTimer = 0.0f;
    float lightningPeriod = 0.0f;
    unsigned char lightningOn = 0;
    float jitterX = 0.0f, jitterY = 0.0f;

private:
    GUI_Ship* owner = nullptr;
    GUI_DamageSprite* target = nullptr;
    BaseSprite body;
    BaseSprite lightning;
};

// Up to 8 repair bots of a ship with a repair module, over its damage
// patches: n = trunc(2 x patches x efficiency), while supplies last.
class GUI_RepairBotSwarm : public GUI_RenderObject {
public:
    static constexpr int kBots = 8;

    GUI_RepairBotSwarm(GUI_Ship* ship, SIM_RepairModule* module);
    ~GUI_RepairBotSwarm() override;
    void Draw() override;
    // Ends one repair whose patch has been fully shown for over 400 ms.
    void LaunchBot();
    static int ActiveBotCount(int patches, float efficiency);

    GUI_RepairBot* GetBot(int i) { return bots[i]; }
    int GetActiveCount() const { return activeCount; }
    SIM_RepairModule* GetModule() const { return module; }

private:
    GUI_RepairBot* bots[kBots];
    GUI_Ship* ship = nullptr;
    SIM_RepairModule* module = nullptr;
    int activeCount = 0;
};
