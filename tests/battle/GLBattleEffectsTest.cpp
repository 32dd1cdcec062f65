// A few seconds of a real battle drawn through OpenGL (offscreen), looked at
// where it happens: a struck shield's flash must light its rim, and a hit's
// fire and sparks must show, probed against the same still view without them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "battle/GLBattleFixture.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/GUI_Shield.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipDrawLists.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/ShippedBattleWorld.h"
#include "support/GLTestContext.h"
#include "support/ImageCompare.h"

namespace {

// A shield flashing from a shot that crossed it (an impact spark is live).
GUI_Shield* StruckShield()
{
    for (GUI_Shield* shield : GUI_Shield::GetAll()) {
        if (!shield->IsFlashing() || shield->GetFlashTimer() > 300.0f)
            continue;
        for (int i = 0; i < GUI_Shield::kImpacts; ++i) {
            const GUI_ShieldImpact* impact = shield->GetImpact(i);
            if (impact && impact->active && impact->age < 150.0f)
                return shield;
        }
    }
    return nullptr;
}

// A hit's explosion under a ship that is still fighting, with particles alive.
GUI_ParticleEmmiterGroup* BurningHit()
{
    for (GUI_Ship* visual : GUI_Ship::GetAll()) {
        if (visual->GetShip()->state != SIM_Ship::ACTIVE)
            continue;
        for (GUI_RenderObject* child : visual->GetChildren()) {
            auto* group = dynamic_cast<GUI_ParticleEmmiterGroup*>(child);
            if (!group || !group->IsActive() || (group->GetName() != "exp_small" && group->GetName() != "exp_small2"))
                continue;
            // Past the particles' fade-in, while the fire still burns.
            const GUI_ParticleEmmiter* fire = group->GetEmmiter(1);
            if (fire && fire->GetLiveCount() > 6 && fire->GetParticle(0).age > 80.0f &&
                fire->GetParticle(0).age < 200.0f)
                return group;
        }
    }
    return nullptr;
}

class GLBattleEffects : public GLBattleFixture {
protected:
    GLBattleEffects() : GLBattleFixture("battle effects") {}
};

TEST_F(GLBattleEffects, HitsBurnAndStruckShieldsFlash)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    ASSERT_TRUE(StartBattleFromDeploymentFile(scenario, "data/sample deployment/deployed.txt", SIM_Scenario::EASY));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.Enter();
    gui.hudShown = 0;
    gui.shadersOn = 1;

    GUI_Shield* shield = nullptr;
    for (int frame = 0; frame < 6000 && !shield; ++frame) {
        Frame(true);
        shield = StruckShield();
    }
    ASSERT_NE(shield, nullptr) << "no shield was struck in the first minutes of battle";
    // The ship behind that shield, in the middle of the view, held still.
    const SIM_Ship* ship = nullptr;
    for (GUI_Ship* visual : GUI_Ship::GetAll())
        if (visual->GetShield() == shield)
            ship = visual->GetShip();
    ASSERT_NE(ship, nullptr);
    GUI_Map::GetInstance().SetCentre(ship->x, ship->y);
    gui.TogglePauseState();
    const std::vector<uint8_t> backdrop = Frame(false);
    const std::vector<uint8_t> rgba = Frame(true);
    gui.TogglePauseState();
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_effects.png", kWidth, kHeight, rgba);

    // The bubble's rim lies outside the hull: probe it all round for the
    // blue the flash adds.
    const GUI_Map& map = GUI_Map::GetInstance();
    const float cx = (ship->x - map.cameraX) * ZoomScale, cy = (ship->y - map.cameraY) * ZoomScale;
    const float rim = shield->GetRadius() * 0.93f * ZoomScale;
    int lit = 0, probes = 0;
    for (int k = 0; k < 24; ++k) {
        const float a = static_cast<float>(k) * 15.0f * 0.017453292f;
        const int x = static_cast<int>(cx + rim * std::sin(a)), y = static_cast<int>(cy - rim * std::cos(a));
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
            continue;
        ++probes;
        const size_t i = (static_cast<size_t>(y) * kWidth + x) * 4;
        if (rgba[i + 2] > backdrop[i + 2] + 12)
            ++lit;
    }
    ASSERT_GT(probes, 12);
    EXPECT_GT(lit, probes / 2) << lit << " of " << probes << " rim probes lit";

    // Fight on until a hull is hit, look there, and compare the picture with
    // the same still frame without the explosions' particles.
    GUI_ParticleEmmiterGroup* blast = nullptr;
    for (int frame = 0; frame < 6000 && !blast; ++frame) {
        Frame(true);
        blast = BurningHit();
    }
    ASSERT_NE(blast, nullptr) << "no hull was hit";
    GUI_Map::GetInstance().SetCentre(blast->centreX, blast->centreY);
    gui.TogglePauseState();
    const std::vector<uint8_t> burning = Frame(true);
    ClearEmmiterGroupLists();
    const std::vector<uint8_t> quiet = Frame(true);
    gui.TogglePauseState();
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_hit.png", kWidth, kHeight, burning);
    size_t fire = 0;
    for (size_t i = 0; i < burning.size(); i += 4) {
        const int lift = (burning[i] + burning[i + 1] + burning[i + 2]) - (quiet[i] + quiet[i + 1] + quiet[i + 2]);
        if (lift > 90 && burning[i] >= burning[i + 2])
            ++fire;
    }
    EXPECT_GT(fire, 40u) << "a hit should burn with warm particles";
}

} // namespace
