#include "engine/GeometryHelpers.h"

#include <cmath>

namespace {
float WrapDegrees(float a)
{
    // Most angles are in range already, and fmod would hand them back as
    // they are.
    if (a >= 0.0f && a < 360.0f)
        return a;
    if (!std::isfinite(a))
        return 0.0f;
    a = std::fmod(a, 360.0f);
    if (a < 0.0f)
        a += 360.0f;
    // fmod of a tiny negative number can round up to 360 itself
    return a >= 360.0f ? 0.0f : a;
}
} // namespace

float DistanceBetweenPoints(float x1, float y1, float x2, float y2)
{
    return std::sqrt(DistanceSquared(x1, y1, x2, y2));
}

float AngleBetweenPoints(float x1, float y1, float x2, float y2)
{
    float a = (std::atan2(y2 - y1, x2 - x1) + 3.1415927f) * 57.2957763671875f - 90.0f;
    if (a < 0.0f)
        a += 360.0f;
    return a;
}

float AngleDifference(float a, float b)
{
    float d = std::fabs(a - b);
    if (d > 180.0f)
        d = 360.0f - d;
    return d;
}

float RotateTowardsAngle(float current, float target, float maxStep)
{
    current = WrapDegrees(current);
    target = WrapDegrees(target);
    if (!(maxStep > 0.0f))
        return current;
    const float diff = ShortTurn(current, target);
    if (std::fabs(diff) <= maxStep)
        return target;
    return WrapDegrees(current + (diff > 0.0f ? maxStep : -maxStep));
}

bool SegmentIntersectsCircle(float radius, float cx, float cy, float x1, float y1, float x2, float y2,
                             float hit[2])
{
    float len = DistanceBetweenPoints(x1, y1, x2, y2);
    if (!(len > 0.0f))
        return false;
    float dx = (x2 - x1) / len;
    float dy = (y2 - y1) / len;
    float ox = x1 - cx;
    float oy = y1 - cy;
    // t^2 + 2bt + c = 0 for the unit direction
    float b = dx * ox + dy * oy;
    float c = ox * ox + oy * oy - radius * radius;
    float disc = b * b - c;
    if (disc < 0.0f)
        return false;
    float t = -b - std::sqrt(disc);
    if (hit) {
        hit[0] = x1 + dx * t;
        hit[1] = y1 + dy * t;
    }
    return true;
}
