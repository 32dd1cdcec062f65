#include "battle/GUI_RepairBotSwarm.h"

#include <algorithm>
#include <cmath>

#include "battle/EffectTextures.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_DamageSprite.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/VisualRandom.h"
#include "battle/VisualStep.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/QuadRunBatch.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_RepairModule.h"

namespace {
constexpr float kTwoPi = 6.283185307179586f;
constexpr float kDegToRad = 0.017453292519943295f;
constexpr float kWobbleMs = 2000.0f;
constexpr float kFullyShownMs = 400.0f;
} // namespace

GUI_RepairBot::GUI_RepairBot(GUI_Ship* visual)
    : owner(visual)
{
    const float a = VisualFloat() * 360.0f * kDegToRad;
    const float d = 10.0f + VisualFloat() * 5.0f;
    homeX = std::sin(a) * d;
    homeY = -std::cos(a) * d;
    wobbleX = VisualFloat() * kWobbleMs;
    wobbleY = VisualFloat() * kWobbleMs;
    body.SetFrame(SheetCell(VisualFloat(), 4), 4);
}

GUI_RepairBot::~GUI_RepairBot()
{
    LeaveTarget();
}

void GUI_RepairBot::LeaveTarget()
{
    if (target)
        target->RemoveFollower(this);
    target = nullptr;
}

void GUI_RepairBot::PickTarget()
{
    LeaveTarget();
    target = owner->PickDamageSprite();
    if (target)
        target->AddFollower(this);
}

void GUI_RepairBot::HoverUpdate(float dt)
{
    if (!target || target->GetState() != GUI_DamageSprite::SHOWN)
        PickTarget();
    if (!target)
        return;
    const SIM_Ship* ship = owner->GetShip();
    const SIM_ShipHull::Target& where = target->GetLocation();
    ship->LocalToWorld(where.rectCentreX, where.rectCentreY, ship->sine, ship->cosine, targetX, targetY);
    botX = targetX + homeX;
    botY = targetY + homeY;
    wobbleX += dt;
    wobbleY += dt;
    if (wobbleX > kWobbleMs)
        wobbleX -= kWobbleMs;
    if (wobbleY > kWobbleMs)
        wobbleY -= kWobbleMs;
    botX += 4.0f * std::sin(wobbleX / kWobbleMs * kTwoPi);
    botY += 4.0f * std::sin(wobbleY / kWobbleMs * kTwoPi);
}

void GUI_RepairBot::DrawLightning(float dt)
{
    if (!target || !GUI_BattleGUI::GetInstance().repairBots)
        return;
    const float width = ZoomScale * 3.0f;
    if (width < 6.0f)
        return;
    lightningTimer += dt;
    if (lightningTimer > lightningPeriod) {
        lightningTimer = 0.0f;
        lightningPeriod = VisualRange(0.0f, 70.0f);
        lightningOn ^= 1;
        if (lightningOn)
            lightningPeriod *= 0.5f;
        jitterX = VisualRange(-2.0f, 2.0f);
        jitterY = VisualRange(-2.0f, 2.0f);
        const int k = std::min(static_cast<int>(VisualRange(0.0f, 8.0f)), 7);
        lightning.SetUV(k * 0.125f, 0.0f, k * 0.125f + 0.125f, 1.0f);
    }
    if (!lightningOn)
        return;
    const float ex = targetX + jitterX, ey = targetY + jitterY;
    const float dx = ex - botX, dy = ey - botY;
    lightningAngle = std::atan2(dx, -dy) / kDegToRad;
    const float length = std::sqrt(dx * dx + dy * dy) * ZoomScale;
    const GUI_Map& map = GUI_Map::GetInstance();
    lightning.SetSize(width, length);
    lightning.SetAngle(lightningAngle);
    lightning.PlaceCentred(((botX + ex) * 0.5f - map.cameraX) * ZoomScale, ((botY + ey) * 0.5f - map.cameraY) * ZoomScale);
    if (lightning.IsOnScreen())
        QuadRunBatch::Shared().Add(EffectTextures::Get(EffectTextures::LIGHTNING), true, lightning.m_vertices);
}

void GUI_RepairBot::DrawBody()
{
    if (!target || !GUI_BattleGUI::GetInstance().repairBots)
        return;
    const GUI_Map& map = GUI_Map::GetInstance();
    if (map.IsOffScreen(botX, botY, 8.0f))
        return;
    body.SetSize(ZoomScale * 3.0f, ZoomScale * 3.0f);
    body.SetAngle(lightningAngle);
    body.PlaceCentred((botX - map.cameraX) * ZoomScale, (botY - map.cameraY) * ZoomScale);
    QuadRunBatch::Shared().Add(EffectTextures::Get(EffectTextures::REPAIR_BOTS), false, body.m_vertices);
}

// ---- the swarm ---------------------------------------------------------------

GUI_RepairBotSwarm::GUI_RepairBotSwarm(GUI_Ship* visual, SIM_RepairModule* repair)
    : ship(visual), module(repair)
{
    QLM_ASSERT(ship != nullptr && module != nullptr);
    layer = 2;
    for (GUI_RepairBot*& bot : bots)
        bot = new GUI_RepairBot(visual);
}

GUI_RepairBotSwarm::~GUI_RepairBotSwarm()
{
    for (GUI_RepairBot* bot : bots)
        delete bot;
}

int GUI_RepairBotSwarm::ActiveBotCount(int patches, float efficiency)
{
    return std::min(static_cast<int>(2.0f * static_cast<float>(patches) * efficiency), kBots);
}

void GUI_RepairBotSwarm::Draw()
{
    activeCount = 0;
    if (!ship || !module || !ship->GetShip() || ship->GetShip()->IsDead())
        return;
    if (module->GetSuppliesFraction() <= 0.0f)
        return;
    const int n = std::max(ActiveBotCount(ship->GetDamageSpriteCount(), module->GetEfficiency()), 0);
    for (int i = n; i < kBots; ++i)
        bots[i]->LeaveTarget();
    activeCount = n;
    if (n < 1)
        return;
    const float dt = VisualStep::Current().ms;
    for (int i = 0; i < n; ++i) {
        bots[i]->HoverUpdate(dt);
        bots[i]->DrawLightning(dt);
    }
    for (int i = 0; i < n; ++i)
        bots[i]->DrawBody();
}

void GUI_RepairBotSwarm::LaunchBot()
{
    for (GUI_RepairBot* bot : bots) {
        GUI_DamageSprite* patch = bot->GetTarget();
        if (patch && patch->GetState() == GUI_DamageSprite::SHOWN && patch->GetTimer() > kFullyShownMs) {
            patch->FinishRepair();
            return;
        }
    }
}
