#pragma once
#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/GeometryHelpers.h"

// Anything that lives on the battle map. Angles are degrees, 0 towards
// negative y, growing clockwise: a heading a moves by (sin a, -cos a).
class SIM_MapObject {
public:
    virtual ~SIM_MapObject() = default;

    virtual void SetAngle(float newAngle) { angle = newAngle; }
    virtual void Update() {}

    float GetAngle() const { return angle; }

    // A point in this object's frame to map coordinates:
    // x' = x cos - y sin + px, y' = x sin + y cos + py.
    void LocalToWorld(float localX, float localY, float& worldX, float& worldY) const;
    // The same with a sine and cosine the caller already has (inline: asked
    // for many times a frame).
    void LocalToWorld(float localX, float localY, float sine, float cosine, float& worldX, float& worldY) const
    {
        worldX = localX * cosine - localY * sine + x;
        worldY = localX * sine + localY * cosine + y;
    }
    // ((x - camera x) * zoom, (y - camera y) * zoom) with the battle camera.
    void GetScreenPosition(float& screenX, float& screenY) const;

    // The heading to hand TurnTowards, turning by turnStep, for a
    // point to steer at: its bearing, or any heading on the same side that
    // turns the object just as far. sine and cosine are those of the angle
    // whose bits trigAngleBits holds.
    float HeadingTowards(float targetX, float targetY, float turnStep, float sine, float cosine,
                         uint32_t trigAngleBits) const
    {
        // A point further off the nose than this frame's turn is turned
        // towards by the full step whatever its exact bearing, so only its
        // side matters and the arc tangent can wait. The margin dwarfs every
        // rounding of the exact path; near dead ahead, dead astern or with a
        // stale sine and cosine the bearing is worked out exactly.
        constexpr float kDegToRad = 3.14159265358979f / 180.0f;
        constexpr float kMarginDegrees = 0.05f;
        constexpr float kMaxShortcutStep = 45.0f;
        constexpr float kAsternSineSq = 1e-4f; // more than half a degree from dead astern
        if (turnStep > 0.0f && turnStep < kMaxShortcutStep && std::bit_cast<uint32_t>(angle) == trigAngleBits) {
            const float dx = targetX - x, dy = targetY - y;
            // Distance times the sine and the cosine of the bearing off the nose.
            const float across = sine * dy + cosine * dx;
            const float along = sine * dx - cosine * dy;
            const float s = (turnStep + kMarginDegrees) * kDegToRad;
            // Ahead: |sin| > s > sin s puts the point more than s off the nose.
            // Abeam or behind it is 90 degrees off already.
            const float bound = along > 0.0f ? s * s : kAsternSineSq;
            if (across * across > (dx * dx + dy * dy) * bound) {
                // A quarter turn to that side, kept within 0..360 so that the
                // turn needs no wrapping of it.
                float side = angle + (across > 0.0f ? 90.0f : -90.0f);
                if (side >= 360.0f)
                    side -= 360.0f;
                else if (side < 0.0f)
                    side += 360.0f;
                return side;
            }
        }
        return AngleBetweenPoints(x, y, targetX, targetY);
    }

    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
};

// Divides a vector by its length; a zero vector is left as it is.
void NormaliseVector2(float& x, float& y);
