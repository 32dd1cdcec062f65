#pragma once
#include <vector>

#include "engine/BaseSprite.h"

// A crew's escape pod: a small glowing craft that flies from its dying ship
// towards the left or right edge of the battle map and is gone past it.
class GUI_EscapePod {
public:
    static constexpr float kSpeed = 0.55f; // world units per step

    GUI_EscapePod(float x, float y, bool leftSide, float heading);
    // One step: turn towards the target and move.
    void Move(float step);
    // The heading in degrees, clockwise from up.
    float Heading() const;
    bool HasLeftMap() const;

    // The engine's glow: all of the pod that shows.
    BaseSprite engine;
    float x = 0.0f, y = 0.0f;
    // The heading's sine and cosine: the pod flies straight at its target,
    // so they are its direction, with no angle worked out a frame.
    float sine = 0.0f, cosine = 1.0f;
    bool leftSide = false;
    float targetX = 0.0f, targetY = 0.0f;
};

// Makes a pod while ESCAPEPODS is on; side: the player's pods go left.
void LaunchEscapePod(float x, float y, float heading, bool playerSide);
void DrawEscapePods();
void PurgeEscapePods();
void ClearEscapePods();
std::vector<GUI_EscapePod>& GetEscapePods();
