#include "battle/BattleEffectSteps.h"

#include "battle/EffectTextures.h"
#include "battle/GUI_BlastGlare.h"
#include "battle/GUI_ConTrail.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_EngineGlow.h"
#include "battle/GUI_EscapePod.h"
#include "battle/GUI_ExplosionPlume.h"
#include "battle/GUI_Hulk.h"
#include "battle/GUI_ShipEffectHooks.h"
#include "battle/GUI_ShockWave.h"
#include "battle/GUI_SmokeSprite.h"
#include "battle/GUI_TractorBeam.h"

namespace BattleEffectSteps {

namespace {
void EmptyAll()
{
    GUI_DebrisPools& pools = GetDebrisPools();
    pools.first.Reset();
    pools.second.Reset();
    ClearHulks();
    ClearEscapePods();
    ClearShockWaves();
    ClearSmokeSprites();
    ClearBlastGlares();
    ClearPlumes();
}
} // namespace

void Reset()
{
    EmptyAll();
    EffectTextures::Refresh();
    SIM_BattleEffects::Set(&GUI_ShipEffectHooks::GetInstance());
}

void Release()
{
    EmptyAll();
    if (&SIM_BattleEffects::Get() == &GUI_ShipEffectHooks::GetInstance())
        SIM_BattleEffects::Set(nullptr);
}

void DrawSmoke()
{
    DrawSmokeSprites();
}

void DrawHulks()
{
    ::DrawHulks();
}

void DrawShockWaves()
{
    ::DrawShockWaves();
}

void DrawDebris(int pool)
{
    GUI_DebrisPools& pools = GetDebrisPools();
    (pool == 2 ? pools.second : pools.first).UpdateAndDraw();
}

void DrawEscapePods()
{
    ::DrawEscapePods();
}

void DrawFighterTrails(int drawLayer)
{
    GUI_ConTrail::DrawLayerList(drawLayer);
}

void DrawFighterGlows(int drawLayer)
{
    GUI_EngineGlow::DrawLayerBatch(drawLayer);
}

void DrawLargeShipUnderlays()
{
    GUI_TractorBeamCollection::DrawAll();
    GUI_EngineGlow::DrawMaskedFlames();
}

void PurgePlumes()
{
    PurgeFinishedPlumes();
}

void PurgeAfterFrame()
{
    PurgeBlastGlares();
    PurgeEscapePods();
}

} // namespace BattleEffectSteps
