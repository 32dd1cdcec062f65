#pragma once

// The battle frame's effect steps, each a named layer of the frame: the
// world effects (smoke, hulks, shock waves, debris, escape pods), the
// fighters' bulk trails and glows, and the purges of finished effects.
// Every step opens the shared quad batch itself when the frame has not.
namespace BattleEffectSteps {

// Battle start: empty every effect list and pool, look the effect textures
// up and install the screen's effect hooks.
void Reset();
// Battle end: the same emptying, and the hooks go.
void Release();

void DrawSmoke();
void DrawHulks();
void DrawShockWaves();
// Pool 2 lies under the ships, pool 1 over them.
void DrawDebris(int pool);
void DrawEscapePods();
void DrawFighterTrails(int drawLayer);
void DrawFighterGlows(int drawLayer);
// The two-texture underlays of the large ships: engine flames, structural bands.
void DrawLargeShipUnderlays();
void PurgePlumes();
void PurgeAfterFrame();

} // namespace BattleEffectSteps
