#pragma once
#include <cmath>

// Map geometry: angles in degrees, 0 towards the top of the screen (negative
// y) and growing clockwise, results in 0..360.
// Inline: every search of the battle calls it per candidate.
inline float DistanceSquared(float x1, float y1, float x2, float y2)
{
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    return dx * dx + dy * dy;
}
float DistanceBetweenPoints(float x1, float y1, float x2, float y2);

// std::fmod(a, 360) to the bit, without the call for an angle inside a
// turn (fmod hands those back as they are); spinning pictures wrap their
// heading every frame.
inline float FmodTurn(float a)
{
    return a < 360.0f && a > -360.0f ? a : std::fmod(a, 360.0f);
}

// The direction from the first point to the second.
float AngleBetweenPoints(float x1, float y1, float x2, float y2);

// The bearing of the way (dx, dy) as its sine and cosine, with no angle
// worked out; false, leaving them as they were, for a way of no length.
inline bool BearingOfWay(float dx, float dy, float& sine, float& cosine)
{
    const float d2 = dx * dx + dy * dy;
    if (!(d2 > 0.0f))
        return false;
    const float inverse = 1.0f / std::sqrt(d2);
    sine = dx * inverse;
    cosine = -dy * inverse;
    return true;
}

// The unsigned difference of two angles the shorter way round (0..180 for
// angles within 0..360).
float AngleDifference(float a, float b);

// Turns current towards target by at most maxStep degrees the shorter way
// round (clockwise when exactly opposite).
float RotateTowardsAngle(float current, float target, float maxStep);

// The turn from `current` to `target`, both within 0..360, the short way
// round: above -180, at most 180.
inline float ShortTurn(float current, float target)
{
    float diff = target - current; // -360..360
    if (diff > 180.0f)
        diff -= 360.0f;
    else if (diff <= -180.0f)
        diff += 360.0f;
    return diff;
}

// RotateTowardsAngle, with headings already within 0..360 (nearly every
// turn) worked out here without the call: the same steps, less the wrapping
// they need not. Anything else takes the call.
inline float TurnTowards(float current, float target, float maxStep)
{
    if (current >= 0.0f && current < 360.0f && target >= 0.0f && target < 360.0f && maxStep > 0.0f) {
        const float diff = ShortTurn(current, target);
        if (std::fabs(diff) <= maxStep)
            return target;
        const float next = current + (diff > 0.0f ? maxStep : -maxStep);
        if (next >= 0.0f && next < 360.0f)
            return next;
    }
    return RotateTowardsAngle(current, target, maxStep);
}

// Where the line from (x1, y1) through (x2, y2) first meets the circle (the
// smaller root of the ray's quadratic, which lies behind the start point when
// the start is inside). False when the line misses or the segment has no length.
bool SegmentIntersectsCircle(float radius, float cx, float cy, float x1, float y1, float x2, float y2,
                             float hit[2]);
