#pragma once
#include <cstdint>

// The battle speed steps of the keys and the speed buttons: 0.2 up to 2.0,
// then 0.4, between 0.2 and 4.0. While paused the speed stays.
void BattleSpeedUp();
void BattleSpeedDown();
// The step from a speed (float arithmetic, as the speed drifts).
float NextBattleSpeed(float speed, bool up);
// The pause key and button: the pause, the click sound and the usage event.
void TogglePause(std::intptr_t = 0);
