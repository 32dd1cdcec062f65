// Module icons and race logos. An icon is a pictogram on a bevelled dark tile
// in the interface's blue-grey and cyan; the pictogram is chosen by keywords in
// the file name, so a new module gets a fitting picture (or its initials)
// without a change here, and a size word in the name adds its chevrons.
// Shapes are signed distance functions: anti-aliased edges for free and a
// dark rim by dilation keep them legible at half size.
#include "AssetGen.h"

#include "ArtCommon.h"
#include "platform/DdsImage.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

using Rgba = art::Tint;
using art::FromHex;

Rgba Mix(Rgba a, Rgba b, float t)
{
    return art::Blend(a, b, std::clamp(t, 0.0f, 1.0f));
}

Rgba Faded(Rgba c, float alpha)
{
    c.a *= std::clamp(alpha, 0.0f, 1.0f);
    return c;
}

// Tile palette (shared with the widget skins) and pictogram inks.
const Rgba kShadow = FromHex(0x06090E);
const Rgba kFillTop = FromHex(0x263245);
const Rgba kFillBottom = FromHex(0x121820);
const Rgba kFillLift = FromHex(0x33435A);
const Rgba kBevelLight = FromHex(0x44556F);
const Rgba kBevelDark = FromHex(0x0A0E14);
const Rgba kEdge = FromHex(0x2F4A60);
const Rgba kCyan = FromHex(0x3FD0F0);
const Rgba kCyanBright = FromHex(0x8FF2FF);
const Rgba kInk = FromHex(0xD0DAE8);
const Rgba kInkMid = FromHex(0x8E9DB3);
const Rgba kInkDark = FromHex(0x5A687E);
const Rgba kHollow = FromHex(0x0B1018);
const Rgba kAmber = FromHex(0xF5A33A);
const Rgba kFlame = FromHex(0xFFD77A);
const Rgba kWhiteHot = FromHex(0xFFF7E2);
const Rgba kRed = FromHex(0xE0483A);

struct P {
    float x, y;
};

float Len(float x, float y) { return std::sqrt(x * x + y * y); }

float SdCircle(P p, P c, float r) { return Len(p.x - c.x, p.y - c.y) - r; }

float SdBox(P p, P c, float hw, float hh, float round = 0.0f)
{
    const float qx = std::abs(p.x - c.x) - hw + round;
    const float qy = std::abs(p.y - c.y) - hh + round;
    return Len(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - round;
}

float SdSegment(P p, P a, P b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / std::max(1e-6f, dx * dx + dy * dy), 0.0f, 1.0f);
    return Len(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

float SdPolyline(P p, const std::vector<P>& pts)
{
    float d = 1e9f;
    for (size_t i = 1; i < pts.size(); ++i)
        d = std::min(d, SdSegment(p, pts[i - 1], pts[i]));
    return d;
}

// Exact for any simple polygon, convex or not (winding by crossings).
float SdPolygon(P p, const std::vector<P>& v)
{
    if (v.size() < 3)
        return 1e9f;
    float d = 1e9f;
    float s = 1.0f;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        const float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
        const float wx = p.x - v[i].x, wy = p.y - v[i].y;
        const float t = std::clamp((wx * ex + wy * ey) / std::max(1e-6f, ex * ex + ey * ey), 0.0f, 1.0f);
        const float bx = wx - ex * t, by = wy - ey * t;
        d = std::min(d, bx * bx + by * by);
        const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = ex * wy > ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
            s = -s;
    }
    return s * std::sqrt(d);
}

// Gradient-scaled implicit distance: close enough for thin orbit strokes.
float SdEllipse(P p, P c, float a, float b, float angle)
{
    const float cs = std::cos(angle), sn = std::sin(angle);
    const float x = (p.x - c.x) * cs + (p.y - c.y) * sn;
    const float y = -(p.x - c.x) * sn + (p.y - c.y) * cs;
    const float k = Len(x / a, y / b);
    if (k < 1e-4f)
        return -std::min(a, b);
    const float grad = Len(x / (a * a), y / (b * b)) / k;
    return (k - 1.0f) / std::max(grad, 1e-6f);
}

std::vector<P> Star(P c, int points, float outer, float inner, float rotation)
{
    std::vector<P> v;
    for (int i = 0; i < points * 2; ++i) {
        const float r = (i % 2 == 0) ? outer : inner;
        const float a = rotation + kPi * static_cast<float>(i) / static_cast<float>(points);
        v.push_back({c.x + r * std::sin(a), c.y - r * std::cos(a)});
    }
    return v;
}

std::vector<P> MirrorX(std::vector<P> v, float axis)
{
    for (P& p : v)
        p.x = 2.0f * axis - p.x;
    std::reverse(v.begin(), v.end());
    return v;
}

// The shared image with the signed-distance painting the pictograms use.
class Layer : public art::Image {
public:
    Layer(int width, int height) : art::Image(width, height), w(width), h(height) {}

    // Paints where sdf < 0 with a colour that may vary over the shape.
    template <class Sdf, class Paint>
    void Shade(Sdf sdf, Paint paint)
    {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const P p{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
                const float cover = std::clamp(0.5f - sdf(p), 0.0f, 1.0f);
                if (cover > 0.0f)
                    Over(x, y, paint(p), cover);
            }
        }
    }
    template <class Sdf>
    void Fill(Sdf sdf, Rgba c)
    {
        Shade(sdf, [c](P) { return c; });
    }
    template <class Sdf>
    void Stroke(Sdf sdf, float width, Rgba c)
    {
        Fill([&](P p) { return std::abs(sdf(p)) - width * 0.5f; }, c);
    }
    void Composite(const Layer& top)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                Over(x, y, top.Get(x, y));
    }
    // A dark rim around what is drawn (shifted down by `drop`), laid under it
    // so the shape reads on any fill.
    Layer Rim(int radius, int drop, Rgba colour) const
    {
        Layer out(w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float a = 0.0f;
                for (int oy = -radius; oy <= radius; ++oy) {
                    for (int ox = -radius; ox <= radius; ++ox) {
                        const int sx = x + ox, sy = y + oy - drop;
                        if (ox * ox + oy * oy > radius * radius + 1 || sx < 0 || sy < 0 || sx >= w || sy >= h)
                            continue;
                        a = std::max(a, Get(sx, sy).a);
                    }
                }
                out.Set(x, y, Faded(colour, a));
            }
        }
        return out;
    }
    const int w;
    const int h;
};

// Small drawing verbs the pictograms are written in.
void FillCircle(Layer& g, P c, float r, Rgba col)
{
    g.Fill([=](P p) { return SdCircle(p, c, r); }, col);
}
void Ring(Layer& g, P c, float r, float width, Rgba col)
{
    g.Stroke([=](P p) { return SdCircle(p, c, r); }, width, col);
}
void Line(Layer& g, P a, P b, float width, Rgba col)
{
    g.Fill([=](P p) { return SdSegment(p, a, b) - width * 0.5f; }, col);
}
void Polyline(Layer& g, const std::vector<P>& pts, float width, Rgba col)
{
    g.Fill([&](P p) { return SdPolyline(p, pts) - width * 0.5f; }, col);
}
void FillPoly(Layer& g, const std::vector<P>& pts, Rgba col)
{
    g.Fill([&](P p) { return SdPolygon(p, pts); }, col);
}
// Vertical light-to-dark shading between y0 and y1, for metal parts.
auto Metal(Rgba top, Rgba bottom, float y0, float y1)
{
    return [=](P p) { return Mix(top, bottom, (p.y - y0) / std::max(1.0f, y1 - y0)); };
}
// A dark gap cut around a shape before it is painted, so overlaps stay apart.
template <class Sdf>
void Separate(Layer& g, Sdf sdf, float gap = 1.8f)
{
    g.Fill([&](P p) { return sdf(p) - gap; }, kHollow);
}

// ---- pictograms -----------------------------------------------------------

void Plate(Layer& g, P c, float hw, float hh)
{
    g.Shade([=](P p) { return SdBox(p, c, hw, hh, 1.5f); }, Metal(kInk, kInkMid, c.y - hh, c.y + hh));
    g.Fill([=](P p) { return SdBox(p, {c.x, c.y + 1.0f}, hw - 1.5f, hh - 2.0f, 1.0f); },
           Faded(kInkMid, 0.7f));
    FillCircle(g, {c.x - hw + 2.8f, c.y}, 1.3f, kInkDark);
    FillCircle(g, {c.x + hw - 2.8f, c.y}, 1.3f, kInkDark);
}

void DrawArmour(Layer& g)
{
    // Staggered plates like a bulkhead wall.
    const float rows[3] = {21.0f, 32.0f, 43.0f};
    for (int r = 0; r < 3; ++r) {
        if (r == 1) {
            Plate(g, {17.5f, rows[r]}, 4.5f, 4.5f);
            Plate(g, {32.0f, rows[r]}, 9.0f, 4.5f);
            Plate(g, {46.5f, rows[r]}, 4.5f, 4.5f);
        } else {
            Plate(g, {23.0f, rows[r]}, 9.5f, 4.5f);
            Plate(g, {41.0f, rows[r]}, 9.5f, 4.5f);
        }
    }
}

std::vector<P> Hexagon(P c, float r)
{
    std::vector<P> v;
    for (int i = 0; i < 6; ++i) {
        const float a = kPi / 6.0f + kPi / 3.0f * static_cast<float>(i);
        v.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return v;
}

void DrawHeavyArmour(Layer& g)
{
    // A second slab behind, then a thick bolted one.
    const std::vector<P> back = Hexagon({37.0f, 28.0f}, 18.0f);
    FillPoly(g, back, kInkDark);
    const std::vector<P> front = Hexagon({29.0f, 35.0f}, 19.0f);
    Separate(g, [&](P p) { return SdPolygon(p, front); });
    g.Shade([&](P p) { return SdPolygon(p, front); }, Metal(kInk, kInkMid, 16.0f, 54.0f));
    const std::vector<P> inner = Hexagon({29.0f, 35.0f}, 12.0f);
    g.Stroke([&](P p) { return SdPolygon(p, inner); }, 2.0f, kInkDark);
    for (const P& corner : Hexagon({29.0f, 35.0f}, 15.5f))
        FillCircle(g, corner, 1.5f, kInkDark);
    FillCircle(g, {29.0f, 35.0f}, 3.0f, kInkDark);
}

void DrawCarrier(Layer& g)
{
    // Hangar bay below, a fighter launching from it.
    const std::vector<P> frame = {{9, 53}, {14, 33}, {50, 33}, {55, 53}};
    g.Shade([&](P p) { return SdPolygon(p, frame); }, Metal(kInk, kInkMid, 33, 53));
    const std::vector<P> mouth = {{18, 53}, {21, 38}, {43, 38}, {46, 53}};
    FillPoly(g, mouth, kHollow);
    for (int i = 0; i < 4; ++i)
        FillCircle(g, {23.0f + 6.0f * static_cast<float>(i), 49.5f}, 1.2f, kCyan);
    const std::vector<P> fighter = {{32, 8}, {42, 30}, {32, 25}, {22, 30}};
    Separate(g, [&](P p) { return SdPolygon(p, fighter); });
    g.Shade([&](P p) { return SdPolygon(p, fighter); }, Metal(kCyanBright, kCyan, 8, 30));
    Line(g, {32, 13}, {32, 23}, 1.6f, FromHex(0x1E6A80));
}

std::vector<P> ShipOutline()
{
    return {{32, 9}, {38, 23}, {49, 33}, {49, 40}, {38, 37}, {36, 49}, {28, 49},
            {26, 37}, {15, 40}, {15, 33}, {26, 23}};
}

void DrawCloak(Layer& g)
{
    // Solid on the left, dissolving into scan lines on the right.
    const std::vector<P> ship = ShipOutline();
    const auto fade = [](P p) {
        float a = std::clamp(1.15f - (p.x - 14.0f) / 34.0f, 0.12f, 1.0f);
        if (p.x > 30.0f && static_cast<int>(p.y) % 3 != 0)
            a *= 0.35f;
        return a;
    };
    g.Shade([&](P p) { return SdPolygon(p, ship); }, [&](P p) { return Faded(kCyan, 0.28f * fade(p)); });
    g.Shade([&](P p) { return std::abs(SdPolygon(p, ship)) - 1.3f; },
            [&](P p) { return Faded(kCyanBright, fade(p)); });
}

float SdFigure(P p, float cx, float base, float s)
{
    const float head = SdCircle(p, {cx, base - 23.0f * s}, 5.5f * s);
    const float body = std::max(SdBox(p, {cx, base - 7.0f * s}, 9.5f * s, 9.0f * s, 5.5f * s), p.y - base);
    return std::min(head, body);
}

void DrawCrew(Layer& g)
{
    for (float cx : {19.0f, 45.0f})
        g.Fill([=](P p) { return SdFigure(p, cx, 47.0f, 0.82f); }, kInkMid);
    Separate(g, [](P p) { return SdFigure(p, 32.0f, 52.0f, 1.0f); });
    g.Shade([](P p) { return SdFigure(p, 32.0f, 52.0f, 1.0f); }, Metal(kInk, FromHex(0xA9B6C9), 24, 52));
}

void DrawBurst(Layer& g)
{
    std::vector<P> burst;
    for (int i = 0; i < 24; ++i) {
        const float r = (i % 2 == 1) ? 8.0f : (i % 4 == 0 ? 24.0f : 16.0f);
        const float a = kPi * static_cast<float>(i) / 12.0f;
        burst.push_back({32.0f + r * std::sin(a), 32.0f - r * std::cos(a)});
    }
    g.Shade([&](P p) { return SdPolygon(p, burst); },
            [](P p) { return Mix(kWhiteHot, kCyan, SdCircle(p, {32, 32}, 0.0f) / 18.0f); });
    Ring(g, {32, 32}, 11.0f, 1.5f, Faded(kWhiteHot, 0.7f));
    FillCircle(g, {32, 32}, 4.5f, kWhiteHot);
}

void DrawBomb(Layer& g)
{
    const P centre{28, 37};
    g.Shade([=](P p) { return SdCircle(p, centre, 14.5f); },
            [=](P p) { return Mix(kInk, kInkDark, SdCircle(p, {centre.x - 6, centre.y - 6}, 0.0f) / 22.0f); });
    const std::vector<P> cap = {{34, 20}, {41, 27}, {37, 31}, {30, 24}};
    g.Shade([&](P p) { return SdPolygon(p, cap); }, Metal(kInk, kInkMid, 20, 31));
    Polyline(g, {{38.5f, 23.5f}, {41.0f, 19.0f}, {45.0f, 17.0f}}, 2.0f, kInkMid);
    const std::vector<P> flash = Star({47, 15}, 8, 11.0f, 3.5f, 0.2f);
    g.Shade([&](P p) { return SdPolygon(p, flash); },
            [](P p) { return Mix(kWhiteHot, kAmber, SdCircle(p, {47, 15}, 0.0f) / 10.0f); });
    g.Fill([=](P p) { return SdEllipse(p, {centre.x - 6, centre.y - 6}, 4.0f, 2.2f, -0.8f); },
           Faded(kWhiteHot, 0.65f));
}

// An arc whose radius saws in and out: interference rather than a clean signal.
std::vector<P> JaggedArc(P c, float radius, float spread, float amp)
{
    std::vector<P> pts;
    const int teeth = std::max(4, static_cast<int>(radius * spread * 2.0f / 6.0f));
    for (int i = 0; i <= teeth; ++i) {
        const float a = -spread + 2.0f * spread * static_cast<float>(i) / static_cast<float>(teeth);
        const float r = radius + ((i % 2 == 0) ? -amp : amp);
        pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return pts;
}

void DrawEcm(Layer& g)
{
    const P source{14, 32};
    const std::vector<P> mast = {{8, 52}, {14, 34}, {20, 52}};
    g.Shade([&](P p) { return SdPolygon(p, mast); }, Metal(kInk, kInkMid, 34, 52));
    FillCircle(g, source, 4.5f, kCyanBright);
    const float radii[3] = {12.0f, 21.0f, 30.0f};
    for (int i = 0; i < 3; ++i)
        Polyline(g, JaggedArc(source, radii[i], 0.9f, 1.7f), 2.4f, Mix(kCyanBright, kCyan, static_cast<float>(i) / 2.0f));
}

// Thruster pointing up; the flame trails down.
void Thruster(Layer& g, float cx, float top, float s, float flame)
{
    const float nb = top + 15.0f * s; // nozzle bottom
    const std::vector<P> nozzle = {{cx - 7 * s, top}, {cx + 7 * s, top}, {cx + 11 * s, nb}, {cx - 11 * s, nb}};
    const std::vector<P> outer = {{cx - 11 * s, nb}, {cx + 11 * s, nb}, {cx + 10 * s, nb + flame * 0.3f},
                                  {cx + 5 * s, nb + flame * 0.7f}, {cx, nb + flame},
                                  {cx - 5 * s, nb + flame * 0.7f}, {cx - 10 * s, nb + flame * 0.3f}};
    const std::vector<P> core = {{cx - 6 * s, nb}, {cx + 6 * s, nb}, {cx + 5 * s, nb + flame * 0.3f},
                                 {cx, nb + flame * 0.65f}, {cx - 5 * s, nb + flame * 0.3f}};
    g.Shade([&](P p) { return SdPolygon(p, outer); },
            [=](P p) { return Mix(kAmber, kRed, (p.y - nb) / flame); });
    g.Fill([&](P p) { return SdPolygon(p, core); }, kFlame);
    g.Fill([=](P p) { return SdEllipse(p, {cx, nb + 2.0f * s}, 4.0f * s, 5.0f * s, 0.0f); }, kWhiteHot);
    g.Shade([&](P p) { return SdPolygon(p, nozzle); }, Metal(kInk, kInkMid, top, nb));
    g.Fill([=](P p) { return SdBox(p, {cx, top + 1.0f}, 8.5f * s, 2.0f, 0.8f); }, kInk);
    g.Fill([=](P p) { return SdBox(p, {cx, nb - 1.0f}, 11.5f * s, 1.3f); }, kInkDark);
}

void DrawEngine(Layer& g) { Thruster(g, 32.0f, 9.0f, 1.0f, 36.0f); }

void DrawFastEngine(Layer& g)
{
    Thruster(g, 21.0f, 8.0f, 0.72f, 40.0f);
    Thruster(g, 43.0f, 8.0f, 0.72f, 40.0f);
}

void DrawReactor(Layer& g)
{
    const P c{32, 32};
    for (int i = 0; i < 3; ++i) {
        const float angle = kPi / 3.0f * static_cast<float>(i) + kPi / 6.0f;
        g.Stroke([=](P p) { return SdEllipse(p, c, 22.0f, 8.5f, angle); }, 2.4f, kCyan);
        const float t = 1.1f + 2.0f * static_cast<float>(i);
        const float ex = 22.0f * std::cos(t), ey = 8.5f * std::sin(t);
        FillCircle(g, {c.x + ex * std::cos(angle) - ey * std::sin(angle), c.y + ex * std::sin(angle) + ey * std::cos(angle)},
                   2.6f, kInk);
    }
    FillCircle(g, c, 7.5f, Faded(kCyanBright, 0.5f));
    g.Shade([=](P p) { return SdCircle(p, c, 5.5f); },
            [=](P p) { return Mix(kWhiteHot, kCyanBright, SdCircle(p, c, 0.0f) / 5.5f); });
}

float SdWrench(P p, P head, P tail, float s)
{
    const float len = std::max(1e-3f, Len(head.x - tail.x, head.y - tail.y));
    const float dx = (head.x - tail.x) / len, dy = (head.y - tail.y) / len;
    const float u = (p.x - head.x) * dx + (p.y - head.y) * dy;
    const float v = -(p.x - head.x) * dy + (p.y - head.y) * dx;
    const float jaws = std::max(SdCircle(p, head, 10.0f * s), -SdBox({u, v}, {7.0f * s, 0.0f}, 8.0f * s, 4.0f * s));
    const float handle = SdSegment(p, head, tail) - 3.6f * s;
    const float eye = std::max(SdCircle(p, tail, 5.5f * s), -SdCircle(p, tail, 2.4f * s));
    return std::min({jaws, handle, eye});
}

void DrawRepair(Layer& g)
{
    g.Shade([](P p) { return SdWrench(p, {43, 21}, {19, 46}, 1.05f); }, Metal(kInk, kInkMid, 10, 52));
    Line(g, {36.0f, 29.0f}, {22.0f, 43.5f}, 1.5f, Faded(kCyan, 0.8f));
}

void DrawRepairArmour(Layer& g)
{
    Plate(g, {24.0f, 34.0f}, 13.0f, 5.0f);
    Plate(g, {24.0f, 46.0f}, 13.0f, 5.0f);
    Plate(g, {24.0f, 22.0f}, 13.0f, 5.0f);
    const auto wrench = [](P p) { return SdWrench(p, {46, 18}, {30, 50}, 0.85f); };
    Separate(g, wrench, 2.0f);
    g.Shade(wrench, Metal(kCyanBright, kCyan, 10, 52));
}

void DrawScanner(Layer& g)
{
    const P c{32, 32};
    const float r = 21.0f;
    const float lead = -0.55f; // leading edge angle
    g.Shade([=](P p) { return SdCircle(p, c, r); }, [=](P p) {
        float behind = lead - std::atan2(p.y - c.y, p.x - c.x);
        while (behind < 0.0f)
            behind += 2.0f * kPi;
        return Faded(kCyan, 0.75f * std::max(0.0f, 1.0f - behind / 1.4f));
    });
    g.Fill([=](P p) { return SdCircle(p, c, r); }, Faded(kCyan, 0.12f));
    Ring(g, c, r, 2.2f, kCyan);
    Ring(g, c, 12.0f, 1.3f, Faded(kCyan, 0.6f));
    Line(g, {c.x - r, c.y}, {c.x + r, c.y}, 1.0f, Faded(kCyan, 0.5f));
    Line(g, {c.x, c.y - r}, {c.x, c.y + r}, 1.0f, Faded(kCyan, 0.5f));
    Line(g, c, {c.x + r * std::cos(lead), c.y + r * std::sin(lead)}, 2.2f, kCyanBright);
    FillCircle(g, {24, 24}, 2.2f, kCyanBright);
    FillCircle(g, {41, 40}, 2.2f, kAmber);
    FillCircle(g, c, 2.0f, kCyanBright);
}

void DrawShield(Layer& g)
{
    const P c{32, 45};
    const auto dome = [=](P p) { return std::max(SdCircle(p, c, 22.0f), p.y - c.y); };
    g.Shade(dome, [=](P p) { return Faded(kCyan, 0.12f + 0.35f * std::pow(std::max(0.0f, SdCircle(p, c, 0.0f) / 22.0f), 3.0f)); });
    g.Fill([=](P p) { return std::max(std::abs(SdCircle(p, c, 22.0f)) - 1.5f, p.y - c.y); }, kCyanBright);
    g.Fill([=](P p) { return std::max(std::abs(SdCircle(p, c, 15.5f)) - 0.8f, p.y - c.y); }, Faded(kCyanBright, 0.55f));
    const std::vector<P> ship = {{20, 42}, {25, 36}, {38, 35}, {45, 40}, {38, 43}};
    g.Shade([&](P p) { return SdPolygon(p, ship); }, Metal(kInk, kInkMid, 35, 43));
    Line(g, {7, 47}, {57, 47}, 2.2f, kInkMid);
}

void DrawTactical(Layer& g)
{
    for (int i = 0; i < 5; ++i) {
        const float v = 13.0f + 9.5f * static_cast<float>(i);
        Line(g, {v, 13}, {v, 51}, 1.0f, Faded(kCyan, 0.45f));
        Line(g, {13, v}, {51, v}, 1.0f, Faded(kCyan, 0.45f));
    }
    const P c{32, 32};
    Ring(g, c, 8.5f, 2.2f, kCyanBright);
    for (int i = 0; i < 4; ++i) {
        const float a = kPi / 2.0f * static_cast<float>(i);
        Line(g, {c.x + 11.0f * std::cos(a), c.y + 11.0f * std::sin(a)},
             {c.x + 17.0f * std::cos(a), c.y + 17.0f * std::sin(a)}, 2.2f, kCyanBright);
    }
    FillPoly(g, {{46.0f, 13.0f}, {51.0f, 21.0f}, {41.0f, 21.0f}}, kRed);
    FillPoly(g, {{18.0f, 41.0f}, {23.0f, 46.0f}, {18.0f, 51.0f}, {13.0f, 46.0f}}, kInk);
}

void DrawTargetBooster(Layer& g)
{
    const P c{28, 29};
    Ring(g, c, 13.0f, 2.6f, kInk);
    for (int i = 0; i < 4; ++i) {
        const float a = kPi / 2.0f * static_cast<float>(i);
        Line(g, {c.x + 7.0f * std::cos(a), c.y + 7.0f * std::sin(a)},
             {c.x + 19.0f * std::cos(a), c.y + 19.0f * std::sin(a)}, 2.4f, kInk);
    }
    FillCircle(g, c, 2.6f, kRed);
    const std::vector<P> arrow = {{46, 31}, {55, 42}, {49.5f, 42}, {49.5f, 55}, {42.5f, 55}, {42.5f, 42}, {37, 42}};
    Separate(g, [&](P p) { return SdPolygon(p, arrow); }, 2.0f);
    g.Shade([&](P p) { return SdPolygon(p, arrow); }, Metal(kFlame, kAmber, 31, 55));
}

// ---- weapon pictograms: each class its own shape ----------------------------

// A gun barrel pointing up and to the right from a round mount in the lower left.
void Barrel(Layer& g, P mount, P muzzle, float width)
{
    Separate(g, [=](P p) { return SdSegment(p, mount, muzzle) - width * 0.5f; }, 1.5f);
    g.Shade([=](P p) { return SdSegment(p, mount, muzzle) - width * 0.5f; }, Metal(kInk, kInkMid, muzzle.y, mount.y));
    g.Shade([=](P p) { return SdCircle(p, mount, 8.0f); }, Metal(kInk, kInkDark, mount.y - 8.0f, mount.y + 8.0f));
    FillCircle(g, mount, 3.0f, kInkDark);
}

void DrawLaser(Layer& g)
{
    // One straight unbroken beam with a soft glow.
    const P a{20, 44}, b{58, 6};
    g.Fill([=](P p) { return SdSegment(p, a, b) - 5.0f; }, Faded(kCyan, 0.25f));
    Line(g, a, b, 3.2f, kCyanBright);
    Line(g, a, b, 1.2f, kWhiteHot);
    Barrel(g, {14, 50}, {24, 40}, 6.0f);
}

void DrawPulseCannon(Layer& g)
{
    // Short bolts in a row: separate shots rather than a beam.
    for (int i = 0; i < 3; ++i) {
        const float t = static_cast<float>(i);
        const P c{31.0f + 9.0f * t, 33.0f - 9.0f * t};
        g.Fill([=](P p) { return SdEllipse(p, c, 5.5f, 2.4f, -kPi / 4.0f); }, Faded(kAmber, 0.5f));
        g.Fill([=](P p) { return SdEllipse(p, c, 3.8f, 1.5f, -kPi / 4.0f); }, kFlame);
    }
    Barrel(g, {16, 48}, {26, 38}, 7.0f);
}

void DrawKinetic(Layer& g)
{
    // A long rail with a solid slug and speed lines behind it.
    const std::vector<P> slug = {{44, 12}, {52, 8}, {49, 17}, {42, 21}, {39, 19}};
    for (int i = 0; i < 3; ++i) {
        const float o = -4.0f + 4.0f * static_cast<float>(i);
        Line(g, {29.0f + o, 31.0f + o}, {37.0f + o, 23.0f + o}, 1.2f, Faded(kInk, 0.7f));
    }
    g.Shade([&](P p) { return SdPolygon(p, slug); }, Metal(kWhiteHot, kInkMid, 8, 21));
    Line(g, {10, 49}, {33, 26}, 2.0f, kInkMid);
    Line(g, {16, 55}, {39, 32}, 2.0f, kInkMid);
    Barrel(g, {13, 52}, {21, 44}, 6.0f);
}

// A missile flying up and to the right; the warhead's colour tells the kind.
void Missile(Layer& g, Rgba warhead, bool ghost)
{
    const auto body = [](P p, float dx, float dy) {
        const P q{p.x - dx, p.y - dy};
        return std::min(SdSegment(q, {22, 42}, {42, 22}) - 4.5f,
                        SdPolygon(q, {{18, 38}, {12, 42}, {22, 52}, {26, 46}}));
    };
    if (ghost)
        g.Fill([&](P p) { return std::abs(body(p, -8.0f, 8.0f)) - 0.8f; }, Faded(kInk, 0.6f));
    g.Fill([](P p) { return SdEllipse(p, {14, 50}, 7.0f, 3.0f, -kPi / 4.0f); }, kAmber);
    g.Fill([](P p) { return SdEllipse(p, {15, 49}, 4.0f, 1.8f, -kPi / 4.0f); }, kFlame);
    Separate(g, [&](P p) { return body(p, 0.0f, 0.0f); }, 1.5f);
    g.Shade([&](P p) { return body(p, 0.0f, 0.0f); }, Metal(kInk, kInkMid, 18, 52));
    g.Fill([](P p) { return SdCircle(p, {42, 22}, 5.5f); }, warhead);
    g.Fill([](P p) { return SdEllipse(p, {40.5f, 20.5f}, 2.0f, 1.2f, -kPi / 4.0f); }, Faded(kWhiteHot, 0.7f));
}

void DrawMissile(Layer& g) { Missile(g, kRed, false); }
void DrawDecoyMissile(Layer& g) { Missile(g, kInk, true); }
void DrawDisruptorMissile(Layer& g) { Missile(g, FromHex(0xB48CF0), false); }
void DrawDummyMissile(Layer& g) { Missile(g, kInkDark, false); }
void DrawEcmMissile(Layer& g) { Missile(g, kCyanBright, false); }
void DrawRadiationMissile(Layer& g) { Missile(g, FromHex(0xC8E84A), false); }

void DrawPlasma(Layer& g)
{
    // A glowing ball trailing wisps.
    const P c{38, 26};
    for (int i = 0; i < 3; ++i) {
        const float o = -6.0f + 6.0f * static_cast<float>(i);
        Line(g, {c.x - 6.0f + o * 0.7f, c.y + 6.0f + o * 0.7f}, {12.0f + o, 52.0f + o}, 2.0f - 0.4f * std::abs(o) / 6.0f,
             Faded(FromHex(0x6FD08A), 0.55f));
    }
    g.Fill([=](P p) { return SdCircle(p, c, 15.0f); }, Faded(FromHex(0x6FD08A), 0.3f));
    g.Shade([=](P p) { return SdCircle(p, c, 10.5f); },
            [=](P p) { return Mix(kWhiteHot, FromHex(0x6FD08A), SdCircle(p, c, 0.0f) / 10.5f + 0.4f); });
}

void DrawPointDefence(Layer& g)
{
    // A small dome throwing a fan of tracers.
    const P c{32, 50};
    for (int i = 0; i < 5; ++i) {
        const float a = -kPi / 2.0f + (static_cast<float>(i) - 2.0f) * 0.38f;
        for (int j = 0; j < 3; ++j) {
            const float r0 = 16.0f + 10.0f * static_cast<float>(j);
            Line(g, {c.x + r0 * std::cos(a), c.y + r0 * std::sin(a)},
                 {c.x + (r0 + 5.0f) * std::cos(a), c.y + (r0 + 5.0f) * std::sin(a)}, 1.8f, kFlame);
        }
    }
    g.Shade([=](P p) { return std::max(SdCircle(p, c, 11.0f), p.y - c.y); }, Metal(kInk, kInkMid, c.y - 11.0f, c.y));
    g.Fill([=](P p) { return SdBox(p, {c.x, c.y + 2.0f}, 14.0f, 2.0f, 0.8f); }, kInkDark);
}

void DrawLightning(Layer& g)
{
    // A forked bolt between two nodes.
    const std::vector<P> bolt = {{14, 50}, {26, 36}, {21, 32}, {36, 20}, {31, 17}, {50, 8}};
    Polyline(g, bolt, 7.0f, Faded(FromHex(0xB48CF0), 0.35f));
    Polyline(g, bolt, 3.0f, Mix(FromHex(0xB48CF0), kWhiteHot, 0.5f));
    Polyline(g, {{26, 36}, {38, 38}, {44, 46}}, 1.6f, FromHex(0xB48CF0));
    FillCircle(g, {14, 50}, 4.5f, kInk);
    FillCircle(g, {50, 8}, 3.5f, kWhiteHot);
}

void DrawLimpet(Layer& g)
{
    // A round pod with grapple legs, clinging to a hull plate.
    const P c{32, 30};
    for (int i = 0; i < 4; ++i) {
        const float a = kPi * (0.15f + 0.233f * static_cast<float>(i));
        const P knee{c.x + 17.0f * std::cos(a), c.y + 12.0f * std::sin(a) + 4.0f};
        Polyline(g, {{c.x + 8.0f * std::cos(a), c.y + 8.0f * std::sin(a)}, knee, {knee.x, 50.0f}}, 2.2f, kInkMid);
    }
    g.Shade([=](P p) { return SdCircle(p, c, 11.0f); }, Metal(FromHex(0x6FD08A), FromHex(0x2F6A40), c.y - 11.0f, c.y + 11.0f));
    FillCircle(g, c, 3.5f, kRed);
    g.Fill([](P p) { return SdBox(p, {32, 53}, 22.0f, 2.5f, 1.0f); }, kInkDark);
}

void DrawShieldSupport(Layer& g)
{
    // A beam feeding a shield arc, with a plus: shield points given to a friend.
    const P c{40, 40};
    g.Fill([=](P p) { return std::max(std::abs(SdCircle(p, c, 17.0f)) - 1.6f, -(p.x - c.x) - (p.y - c.y)); }, kCyanBright);
    Line(g, {10, 54}, {30, 34}, 3.0f, Faded(kCyan, 0.9f));
    Line(g, {10, 54}, {30, 34}, 1.0f, kWhiteHot);
    Line(g, {45, 9}, {45, 23}, 3.0f, kFlame);
    Line(g, {38, 16}, {52, 16}, 3.0f, kFlame);
}

void DrawTargetPainter(Layer& g)
{
    // A cone of light marking a red spot on the target.
    const std::vector<P> cone = {{12, 52}, {48, 14}, {54, 22}};
    g.Fill([&](P p) { return SdPolygon(p, cone); }, Faded(kRed, 0.35f));
    const P c{48, 18};
    Ring(g, c, 8.5f, 1.6f, kInk);
    Line(g, {c.x - 13.0f, c.y}, {c.x - 5.0f, c.y}, 1.4f, kInk);
    Line(g, {c.x, c.y + 5.0f}, {c.x, c.y + 13.0f}, 1.4f, kInk);
    FillCircle(g, c, 3.2f, kRed);
    g.Shade([](P p) { return SdCircle(p, {12, 52}, 6.0f); }, Metal(kInk, kInkMid, 46, 58));
}

void DrawTractor(Layer& g)
{
    // Two prongs and the waves between them pulling a block in.
    Polyline(g, {{10, 54}, {10, 40}, {24, 26}}, 3.0f, kInk);
    Polyline(g, {{10, 54}, {24, 54}, {38, 40}}, 3.0f, kInk);
    for (int i = 0; i < 3; ++i) {
        const float r = 14.0f + 8.0f * static_cast<float>(i);
        g.Fill([=](P p) {
            const float d = std::abs(SdCircle(p, {10, 54}, r)) - 1.0f;
            return std::max(d, std::abs((p.x - 10.0f) + (p.y - 54.0f)) - r * 0.55f);
        }, Faded(kCyan, 0.85f - 0.2f * static_cast<float>(i)));
    }
    const std::vector<P> block = {{44, 12}, {54, 18}, {48, 28}, {38, 22}};
    g.Shade([&](P p) { return SdPolygon(p, block); }, Metal(kInk, kInkMid, 12, 28));
}

void DrawEcmBeam(Layer& g)
{
    // A sawtooth beam ending in a scrambled spark: jamming one target.
    std::vector<P> saw;
    for (int i = 0; i <= 8; ++i) {
        const float t = static_cast<float>(i) / 8.0f;
        const float side = (i % 2 == 0) ? -3.0f : 3.0f;
        saw.push_back({16.0f + 30.0f * t + side, 48.0f - 30.0f * t + side});
    }
    Polyline(g, saw, 2.0f, kCyanBright);
    const std::vector<P> spark = Star({48, 16}, 6, 10.0f, 4.0f, 0.3f);
    g.Shade([&](P p) { return SdPolygon(p, spark); }, [](P p) { return Mix(kWhiteHot, kCyan, SdCircle(p, {48, 16}, 0.0f) / 9.0f); });
    g.Shade([](P p) { return SdBox(p, {13, 51}, 6.0f, 6.0f, 2.0f); }, Metal(kInk, kInkMid, 45, 57));
}

// ---- fallback: initials in a simple stroke font -----------------------------

// Strokes on a 5 x 7 grid, each point two digits "xy"; strokes split by spaces.
const char* StrokeGlyph(char ch)
{
    static const char* const kLetters[26] = {
        "062046 1333", "06003041423303 3344453606", "4130100105163645", "06003041453606", "40000646 0333",
        "400006 0333", "41301001051636454323", "0006 4046 0343", "1030 2026 1636", "4045361605", "0006 400346",
        "000646", "0600224046", "06004640", "103041453616050110", "06003041423303", "103041453616050110 2446",
        "06003041423303 2346", "413010010213334445361605", "0040 2026", "000516364540", "002640", "0016233640",
        "0046 4006", "002340 2326", "00400646"};
    static const char* const kDigits[10] = {
        "103041453616050110", "112026 1636", "01103041420646", "01103041423313 334445361605", "36300444",
        "400002324345361605", "30100105163645443303", "004016", "103041423313020110 1304051636454433",
        "16364541301001021343"};
    if (ch >= 'a' && ch <= 'z')
        return kLetters[ch - 'a'];
    if (ch >= 'A' && ch <= 'Z')
        return kLetters[ch - 'A'];
    if (ch >= '0' && ch <= '9')
        return kDigits[ch - '0'];
    return "0343"; // a dash for anything else
}

void DrawGlyph(Layer& g, char ch, P origin, float unit, float width, Rgba col)
{
    std::vector<P> stroke;
    const std::string spec = StrokeGlyph(ch);
    for (size_t i = 0; i <= spec.size(); ++i) {
        if (i == spec.size() || spec[i] == ' ') {
            if (stroke.size() > 1)
                Polyline(g, stroke, width, col);
            stroke.clear();
            continue;
        }
        if (i + 1 < spec.size() && spec[i + 1] != ' ') {
            stroke.push_back({origin.x + unit * static_cast<float>(spec[i] - '0'),
                              origin.y + unit * static_cast<float>(spec[i + 1] - '0')});
            ++i;
        }
    }
}

uint32_t NameHash(const std::string& s)
{
    uint32_t h = 2166136261u;
    for (unsigned char ch : s)
        h = (h ^ ch) * 16777619u;
    return h;
}

Rgba TintFor(const std::string& name)
{
    static const Rgba kTints[] = {FromHex(0x3FD0F0), FromHex(0xF5A33A), FromHex(0x6FD08A), FromHex(0xB48CF0), FromHex(0xF07A8A),
                                  FromHex(0xE8D36A)};
    return kTints[NameHash(name) % (sizeof(kTints) / sizeof(kTints[0]))];
}

std::vector<std::string> Words(const std::string& stem)
{
    std::vector<std::string> words;
    std::string cur;
    for (char ch : stem + "_") {
        if (ch == '_' || ch == '-' || ch == ' ' || ch == '.') {
            if (!cur.empty())
                words.push_back(cur);
            cur.clear();
        } else {
            cur += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
    }
    return words;
}

// Up to two initials from the words that say what the thing is (not its size class).
std::string Initials(const std::string& stem)
{
    static const std::set<std::string> kSkip = {"icon", "logo", "cruiser", "frigate", "fighter", "module", "dds"};
    std::string out;
    for (const std::string& w : Words(stem))
        if (!kSkip.count(w) && out.size() < 2)
            out += w[0];
    if (out.empty())
        out = stem.empty() ? "?" : stem.substr(0, 1);
    return out;
}

void DrawLetters(Layer& g, const std::string& text, P centre, float unit, float width, Rgba col)
{
    const float glyphW = 4.0f * unit, gap = 1.6f * unit;
    const float total = glyphW * static_cast<float>(text.size()) + gap * static_cast<float>(text.size() - 1);
    float x = centre.x - total / 2.0f;
    for (char ch : text) {
        DrawGlyph(g, ch, {x, centre.y - 3.0f * unit}, unit, width, col);
        x += glyphW + gap;
    }
}

// ---- tiles and assembly -----------------------------------------------------

// Chamfered 62-px square: 1-px edge, 1-px bevel, a lit centre behind the picture.
Layer Tile()
{
    Layer t(64, 64);
    const int x0 = 1, y0 = 1, x1 = 62, y1 = 62, ch = 7;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const int l = x - x0, r = x1 - x, tp = y - y0, b = y1 - y;
            const int depth = std::min({l, r, tp, b, l + tp - ch, r + tp - ch, l + b - ch, r + b - ch});
            if (depth < 0)
                continue;
            const float v = static_cast<float>(tp) / static_cast<float>(y1 - y0);
            Rgba fill = Mix(kFillTop, kFillBottom, v);
            const float lift = std::max(0.0f, 1.0f - Len(static_cast<float>(x) - 31.5f, static_cast<float>(y) - 31.5f) / 30.0f);
            fill = Mix(fill, kFillLift, lift * lift * 0.8f);
            fill = Mix(fill, kShadow, 0.05f + 0.08f * art::Hash(x, y, 7u));
            if (tp % 2 == 1)
                fill = Mix(fill, kShadow, 0.10f);
            if (depth == 0)
                t.Set(x, y, kEdge);
            else if (depth == 1)
                t.Set(x, y, (l + tp < r + b) ? Mix(fill, kBevelLight, 0.8f) : Mix(fill, kBevelDark, 0.8f));
            else
                t.Set(x, y, fill);
        }
    }
    // Cyan corner ticks, as on the buttons.
    for (int i = 0; i < 6; ++i) {
        t.Over(x0 + ch + 2 + i, y0 + 2, kCyan, 0.8f);
        t.Over(x1 - ch - 2 - i, y1 - 2, kCyan, 0.8f);
    }
    return t;
}

// Chevrons in the lower right say which size class the module belongs to:
// one for a fighter's, two for a frigate's, three for a cruiser's.
void ClassMarks(Layer& tile, const std::vector<std::string>& words)
{
    int marks = 0;
    for (const std::string& w : words) {
        if (w == "cruiser")
            marks = 3;
        else if (w == "frigate")
            marks = 2;
        else if (w == "fighter")
            marks = 1;
    }
    for (int i = 0; i < marks; ++i) {
        const float y = 54.5f - 4.0f * static_cast<float>(i);
        Polyline(tile, {{49.0f, y}, {52.5f, y - 3.0f}, {56.0f, y}}, 1.6f, kCyanBright);
    }
}

using Pictogram = void (*)(Layer&);

struct Rule {
    std::vector<const char*> any;  // one of these in the name...
    std::vector<const char*> also; // ...and, if given, one of these too
    Pictogram draw;
};

bool HasAny(const std::string& s, const std::vector<const char*>& keys)
{
    return std::any_of(keys.begin(), keys.end(), [&](const char* k) { return s.find(k) != std::string::npos; });
}

Pictogram PictogramFor(const std::string& stem)
{
    // Order matters: the more specific rules come first.
    static const std::vector<Rule> kRules = {
        {{"missile"}, {"decoy"}, DrawDecoyMissile},
        {{"missile"}, {"disruptor"}, DrawDisruptorMissile},
        {{"missile"}, {"dummy"}, DrawDummyMissile},
        {{"missile"}, {"ecm"}, DrawEcmMissile},
        {{"missile"}, {"radiation"}, DrawRadiationMissile},
        {{"missile", "rocket"}, {}, DrawMissile},
        {{"shieldsupport", "support"}, {}, DrawShieldSupport},
        {{"painter"}, {}, DrawTargetPainter},
        {{"pointdefence", "point"}, {}, DrawPointDefence},
        {{"ecm"}, {"beam"}, DrawEcmBeam},
        {{"pulse", "bullet"}, {}, DrawPulseCannon},
        {{"laser"}, {}, DrawLaser},
        {{"kinetic", "rail"}, {}, DrawKinetic},
        {{"plasma"}, {}, DrawPlasma},
        {{"lightning"}, {}, DrawLightning},
        {{"limpet"}, {}, DrawLimpet},
        {{"tractor"}, {}, DrawTractor},
        {{"repair", "fix"}, {"armour", "armor", "hull"}, DrawRepairArmour},
        {{"repair", "fix"}, {}, DrawRepair},
        {{"armour", "armor", "plating"}, {"heavy", "thick", "reinforced"}, DrawHeavyArmour},
        {{"armour", "armor", "plating"}, {}, DrawArmour},
        {{"carrier", "hangar"}, {}, DrawCarrier},
        {{"cloak", "stealth"}, {}, DrawCloak},
        {{"crew", "marine", "troop"}, {}, DrawCrew},
        {{"shock", "burst"}, {}, DrawBurst},
        {{"bomb", "mine"}, {}, DrawBomb},
        {{"ecm", "jam"}, {}, DrawEcm},
        {{"engine", "thrust", "drive"}, {"fast", "after", "boost"}, DrawFastEngine},
        {{"engine", "thrust", "drive"}, {}, DrawEngine},
        {{"reactor", "power", "core"}, {}, DrawReactor},
        {{"scan", "sensor", "radar"}, {}, DrawScanner},
        {{"shield"}, {}, DrawShield},
        {{"target", "aim"}, {}, DrawTargetBooster},
        {{"tactic", "command", "computer"}, {}, DrawTactical},
    };
    for (const Rule& rule : kRules)
        if (HasAny(stem, rule.any) && (rule.also.empty() || HasAny(stem, rule.also)))
            return rule.draw;
    return nullptr;
}

std::string Stem(const std::string& file)
{
    std::string s = file;
    const size_t dot = s.rfind('.');
    if (dot != std::string::npos)
        s.resize(dot);
    for (char& ch : s)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

Layer ModuleIcon(const std::string& file)
{
    const std::string stem = Stem(file);
    Layer glyph(64, 64);
    if (Pictogram draw = PictogramFor(stem)) {
        draw(glyph);
    } else {
        const Rgba tint = TintFor(stem);
        glyph.Stroke([](P p) { return SdBox(p, {32, 32}, 19.0f, 19.0f, 5.0f); }, 2.0f, Faded(tint, 0.75f));
        const std::string text = Initials(stem);
        DrawLetters(glyph, text, {32, 32}, text.size() > 1 ? 3.0f : 4.0f, text.size() > 1 ? 3.0f : 3.6f,
                    Mix(tint, kWhiteHot, 0.35f));
    }
    Layer icon = Tile();
    ClassMarks(icon, Words(stem));
    icon.Composite(glyph.Rim(2, 1, Faded(kShadow, 0.85f)));
    icon.Composite(glyph);
    return icon;
}

// ---- race logos -------------------------------------------------------------

void FederationEmblem(Layer& g)
{
    const Rgba wingTop = FromHex(0xB4C3D8), wingBottom = FromHex(0x61748F);
    for (int i = 0; i < 4; ++i) {
        const float fi = static_cast<float>(i);
        const std::vector<P> feather = {{54.0f, 49.0f + 8.0f * fi}, {8.0f + 9.0f * fi, 30.0f + 11.0f * fi},
                                        {13.0f + 9.0f * fi, 39.0f + 11.0f * fi}, {54.0f, 58.0f + 8.0f * fi}};
        for (const std::vector<P>& f : {feather, MirrorX(feather, 64.0f)}) {
            Separate(g, [&](P p) { return SdPolygon(p, f); }, 1.2f);
            g.Shade([&](P p) { return SdPolygon(p, f); }, Metal(wingTop, wingBottom, 30.0f + 11.0f * fi, 66.0f + 8.0f * fi));
        }
    }
    const P c{64, 60};
    const std::vector<P> tail = {{52, 80}, {76, 80}, {64, 108}};
    g.Shade([&](P p) { return SdPolygon(p, tail); }, Metal(wingTop, wingBottom, 80, 108));
    Separate(g, [=](P p) { return SdCircle(p, c, 25.0f); }, 1.5f);
    g.Shade([=](P p) { return SdCircle(p, c, 25.0f); }, Metal(FromHex(0x34465F), FromHex(0x1A2433), 35, 85));
    Ring(g, c, 23.0f, 3.0f, FromHex(0x9CB0CC));
    const std::vector<P> star = Star(c, 5, 18.0f, 7.2f, 0.0f);
    g.Shade([&](P p) { return SdPolygon(p, star); }, Metal(FromHex(0xF2F7FF), FromHex(0xA9C4E4), 42, 78));
}

std::vector<P> Talon(P a, P ctrl, P b, float width)
{
    // A curved blade tapering to its tip at b.
    std::vector<P> left, right;
    const int steps = 16;
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const float u = 1.0f - t;
        const P p{u * u * a.x + 2 * u * t * ctrl.x + t * t * b.x, u * u * a.y + 2 * u * t * ctrl.y + t * t * b.y};
        float tx = 2 * u * (ctrl.x - a.x) + 2 * t * (b.x - ctrl.x);
        float ty = 2 * u * (ctrl.y - a.y) + 2 * t * (b.y - ctrl.y);
        const float l = std::max(1e-4f, Len(tx, ty));
        tx /= l;
        ty /= l;
        const float half = width * 0.5f * std::pow(1.0f - t, 0.75f);
        left.push_back({p.x - ty * half, p.y + tx * half});
        right.push_back({p.x + ty * half, p.y - tx * half});
    }
    std::reverse(right.begin(), right.end());
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

void KorrathEmblem(Layer& g)
{
    const std::vector<P> tri = {{8, 16}, {120, 16}, {64, 118}};
    g.Shade([&](P p) { return SdPolygon(p, tri); }, Metal(FromHex(0xC0522E), FromHex(0x7A2A16), 16, 118));
    const std::vector<P> inner = {{24, 25}, {104, 25}, {64, 99}};
    g.Shade([&](P p) { return SdPolygon(p, inner); }, Metal(FromHex(0x4A1A10), FromHex(0x2A0E08), 25, 99));
    // Three talons raking down across the field.
    for (int i = 0; i < 3; ++i) {
        const float fi = static_cast<float>(i) - 1.0f;
        const float top = 27.0f - 2.0f * std::abs(fi);
        const std::vector<P> talon = Talon({58.0f + 22.0f * fi, top}, {84.0f + 20.0f * fi, 52.0f + 4.0f * std::abs(fi)},
                                           {62.0f + 9.0f * fi, 96.0f - 14.0f * std::abs(fi)}, 15.0f);
        Separate(g, [&](P p) { return SdPolygon(p, talon); }, 1.6f);
        g.Shade([&](P p) { return SdPolygon(p, talon); }, Metal(FromHex(0xFFB27A), FromHex(0xD8582C), 20, 96));
    }
    g.Stroke([&](P p) { return SdPolygon(p, tri); }, 1.5f, FromHex(0xE88A5A));
}

void GenericEmblem(Layer& g, const std::string& stem)
{
    const Rgba tint = TintFor(stem);
    const std::vector<P> hex = Hexagon({64, 64}, 56.0f);
    g.Shade([&](P p) { return SdPolygon(p, hex); }, Metal(Mix(tint, kFillTop, 0.5f), Mix(tint, kShadow, 0.7f), 8, 120));
    g.Stroke([&](P p) { return SdPolygon(p, hex); }, 3.0f, tint);
    const std::string text = Initials(stem);
    DrawLetters(g, text, {64, 64}, text.size() > 1 ? 7.0f : 9.0f, 7.0f, Mix(tint, kWhiteHot, 0.5f));
}

Layer RaceLogo(const std::string& file)
{
    const std::string stem = Stem(file);
    Layer emblem(128, 128);
    if (stem.find("federation") != std::string::npos)
        FederationEmblem(emblem);
    else if (stem.find("korrath") != std::string::npos)
        KorrathEmblem(emblem);
    else
        GenericEmblem(emblem, stem);
    Layer logo = emblem.Rim(2, 1, Faded(kShadow, 0.9f));
    logo.Composite(emblem);
    return logo;
}

// ---- which files ----------------------------------------------------------

bool SafeFileName(const std::string& name)
{
    if (name.size() < 5 || name.size() > 120 || name.find_first_of("/\\") != std::string::npos || name[0] == '.')
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& ch : ext)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return ext == ".dds";
}

// "key = value" lines of every .txt in a content folder; empty if the text
// content has not been copied beside the pictures yet.
void CollectValues(const std::string& dir, const std::string& key, std::set<std::string>& out)
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (!entry.is_regular_file(ec) || entry.path().extension() != ".txt")
            continue;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos || line.compare(0, key.size(), key) != 0)
                continue;
            const size_t keyEnd = line.find_first_of(" \t=");
            if (keyEnd != key.size())
                continue;
            const size_t b = line.find_first_not_of(" \t", eq + 1);
            const size_t e = line.find_last_not_of(" \t\r");
            if (b == std::string::npos || e < b)
                continue;
            const std::string value = line.substr(b, e - b + 1);
            if (SafeFileName(value))
                out.insert(value);
        }
    }
}

bool GenerateIconArt(const std::string& dataDir)
{
    // Size-less pictures for content that wants one, plus every name the
    // copied content uses (ours name class and size: "icon_laser_frigate.dds").
    std::set<std::string> icons = {
        "icon_armour.dds", "icon_armour_heavy.dds", "icon_carrier.dds", "icon_cloak.dds", "icon_crew.dds",
        "icon_cruiser_ecm_shock.dds", "icon_cruiser_smartbomb.dds", "icon_ecm.dds", "icon_engine.dds",
        "icon_engine_fast.dds", "icon_frigate_smartbomb.dds", "icon_reactor.dds", "icon_repair.dds",
        "icon_repair_armour.dds", "icon_scanner.dds", "icon_shield.dds", "icon_tactical.dds",
        "icon_targetbooster.dds"};
    std::set<std::string> logos = {"logo_federation.dds", "logo_korrath.dds"};
    CollectValues(dataDir + "/modules", "icon", icons);
    CollectValues(dataDir + "/races", "logo", logos);

    const std::string dir = dataDir + "/bitmaps/icons/";
    bool ok = true;
    for (const std::string& name : icons)
        ok = WriteAssetIfChanged(dir + name, ModuleIcon(name).ToDds()) && ok;
    for (const std::string& name : logos)
        ok = WriteAssetIfChanged(dir + name, RaceLogo(name).ToDds()) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(icon_art, GenerateIconArt);
