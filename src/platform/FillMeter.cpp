#include "platform/FillMeter.h"

#include <algorithm>
#include <cmath>

namespace {

struct Point {
    double x, y;
};

// Convex polygons here have at most 4 corners before clipping; each of the
// four clip edges adds at most one.
constexpr int kMaxCorners = 8;

double ShoelaceArea(const Point* p, int n)
{
    double twice = 0.0;
    for (int i = 0, j = n - 1; i < n; j = i++)
        twice += (p[j].x + p[i].x) * (p[j].y - p[i].y);
    return std::fabs(twice) * 0.5;
}

// Keeps the part of the polygon where sign * (coordinate - limit) <= 0.
int ClipEdge(const Point* in, int n, Point* out, bool alongX, double limit, double sign)
{
    int m = 0;
    for (int i = 0; i < n; ++i) {
        const Point& a = in[i];
        const Point& b = in[(i + 1) % n];
        const double da = sign * ((alongX ? a.x : a.y) - limit);
        const double db = sign * ((alongX ? b.x : b.y) - limit);
        if (da <= 0.0)
            out[m++] = a;
        if ((da < 0.0 && db > 0.0) || (da > 0.0 && db < 0.0)) {
            const double t = da / (da - db);
            out[m++] = Point{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
        }
    }
    return m;
}

// Pixel i covers positions i - 0.5 .. i + 0.5.
double ClippedArea(Point* p, int n, const FillMeter::Clip& clip)
{
    const double l = clip.left - 0.5, t = clip.top - 0.5, r = clip.right - 0.5, b = clip.bottom - 0.5;
    double minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (int i = 1; i < n; ++i) {
        minX = std::min(minX, p[i].x);
        maxX = std::max(maxX, p[i].x);
        minY = std::min(minY, p[i].y);
        maxY = std::max(maxY, p[i].y);
    }
    if (maxX <= l || minX >= r || maxY <= t || minY >= b)
        return 0.0;
    if (minX >= l && maxX <= r && minY >= t && maxY <= b)
        return ShoelaceArea(p, n); // the common case: wholly inside
    Point a[kMaxCorners], c[kMaxCorners];
    n = ClipEdge(p, n, a, true, l, -1.0);
    n = ClipEdge(a, n, c, true, r, 1.0);
    n = ClipEdge(c, n, a, false, t, -1.0);
    n = ClipEdge(a, n, c, false, b, 1.0);
    return n >= 3 ? ShoelaceArea(c, n) : 0.0;
}

Point At(const unsigned char* bytes, size_t stride, size_t i)
{
    const auto* v = reinterpret_cast<const ScreenVertex*>(bytes + i * stride);
    return Point{v->x, v->y};
}

} // namespace

FillMeter::Clip FillMeter::ClipOf(const int viewport[4], int targetWidth, int targetHeight)
{
    return Clip{std::max(viewport[0], 0), std::max(viewport[1], 0), std::min(viewport[2], targetWidth),
                std::min(viewport[3], targetHeight)};
}

double FillMeter::Covered(PrimitiveType type, bool quads, const ScreenVertex* vertices, size_t stride,
                          size_t count, const Clip& clip)
{
    if (!vertices || clip.Area() <= 0.0 || type == PrimitiveType::LineList)
        return 0.0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(vertices);
    double total = 0.0;
    Point p[4];
    if (quads) {
        for (size_t q = 0; q + 4 <= count; q += 4) {
            // Around the edge: top-left, top-right, bottom-right, bottom-left.
            p[0] = At(bytes, stride, q);
            p[1] = At(bytes, stride, q + 1);
            p[2] = At(bytes, stride, q + 3);
            p[3] = At(bytes, stride, q + 2);
            total += ClippedArea(p, 4, clip);
        }
        return total;
    }
    const bool strip = type == PrimitiveType::TriangleStrip;
    const size_t triangles = strip ? (count >= 3 ? count - 2 : 0) : count / 3;
    for (size_t i = 0; i < triangles; ++i) {
        const size_t first = strip ? i : i * 3;
        for (int k = 0; k < 3; ++k)
            p[k] = At(bytes, stride, first + size_t(k));
        total += ClippedArea(p, 3, clip);
    }
    return total;
}

double FillMeter::Bound(bool quads, const ScreenVertex* vertices, size_t stride, size_t count, const Clip& clip)
{
    if (!vertices || count == 0 || clip.Area() <= 0.0)
        return 0.0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(vertices);
    const size_t group = quads ? 4 : 3;
    float minX = vertices->x, maxX = minX, minY = vertices->y, maxY = minY;
    double parts = 0.0;
    for (size_t first = 0; first < count; first += group) {
        const auto* v = reinterpret_cast<const ScreenVertex*>(bytes + first * stride);
        float l = v->x, r = v->x, t = v->y, b = v->y;
        for (size_t k = 1; k < group && first + k < count; ++k) {
            v = reinterpret_cast<const ScreenVertex*>(bytes + (first + k) * stride);
            l = std::min(l, v->x);
            r = std::max(r, v->x);
            t = std::min(t, v->y);
            b = std::max(b, v->y);
        }
        parts += double(r - l) * double(b - t);
        minX = std::min(minX, l);
        maxX = std::max(maxX, r);
        minY = std::min(minY, t);
        maxY = std::max(maxY, b);
    }
    // Pixel i covers positions i - 0.5 .. i + 0.5.
    const double w = std::min<double>(maxX, clip.right - 0.5) - std::max<double>(minX, clip.left - 0.5);
    const double h = std::min<double>(maxY, clip.bottom - 0.5) - std::max<double>(minY, clip.top - 0.5);
    const double whole = w > 0.0 && h > 0.0 ? w * h : 0.0;
    return parts < whole ? parts : whole; // a NaN corner gives the whole box
}
