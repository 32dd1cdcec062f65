#pragma once

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

// The direction from the first point to the second.
float AngleBetweenPoints(float x1, float y1, float x2, float y2);

// The unsigned difference of two angles the shorter way round (0..180 for
// angles within 0..360).
float AngleDifference(float a, float b);

// Turns current towards target by at most maxStep degrees the shorter way
// round (clockwise when exactly opposite).
float RotateTowardsAngle(float current, float target, float maxStep);

// Where the line from (x1, y1) through (x2, y2) first meets the circle (the
// smaller root of the ray's quadratic, which lies behind the start point when
// the start is inside). False when the line misses or the segment has no length.
bool SegmentIntersectsCircle(float radius, float cx, float cy, float x1, float y1, float x2, float y2,
                             float hit[2]);
