#pragma once
#include <cstdint>
#include <limits>
#include <vector>

#include "engine/QuadRunBatch.h"
#include "platform/IGraphicsDevice.h"
#include "sim/SIM_Prefetch.h"

// A fading ribbon of up to 96 points behind a moving emitter (con trails,
// missile smoke). Point 0 is the head; a new point is pushed whenever the
// emitter has moved one segment from point 1. The ribbon's edges are built
// in screen space into fixed arrays, so drawing never allocates; the caller
// binds the texture and blend, this only stages the quads. Points keep the
// trail time they were born at, so ageing the trail is one addition.
class TrailSimulation {
public:
    static constexpr int kMaxPoints = 96;
    // Points this far off the screen (pixels) are not drawn.
    static constexpr float kScreenMargin = 16.0f;

    TrailSimulation();

    // Style 0..3 picks a quarter of the trail texture (1 for anything else).
    void Init(int style, float startValue, float pointCount, float width, float segmentLength);
    void Reset();
    void AddAge(float ms) { m_clock += ms; }
    // Heading in degrees of the emitter at (x, y).
    void MoveHead(float angle, float x, float y)
    {
        const int one = m_second;
        const float dx = x - m_x[one], dy = y - m_y[one];
        const float d2 = dx * dx + dy * dy;
        m_residual = d2;
        if (d2 > m_segmentSq)
            LayPoint(angle, x, y, d2);
    }
    // Stages the visible part into the shared quad batch with this texture
    // and blend; returns the number of quads staged.
    int Draw(TextureHandle texture, bool additive);
    // The quads of the last draw (4 vertices each), for tests.
    const ScreenVertex* GetStagedVertices() const;

    void SetHeadPosition(float x, float y)
    {
        m_x[m_head] = x;
        m_y[m_head] = y;
        Cover(x, y);
    }
    // False when Draw would find every point off the screen: the caller may
    // skip it (its points past their lifetime then stay until a later draw,
    // which shows them at no alpha, as it would any point ageing out).
    bool MayShowOnScreen() const { return MayShowOnScreen(Screen::Current()); }
    // What that test reads of the view: a sweep over many trails reads it once.
    struct Screen {
        float cameraX, cameraY, zoom, width, height;
        // The map's camera and screen at the battle's zoom.
        static Screen Current();
    };
    bool MayShowOnScreen(const Screen& screen) const
    {
        // Hidden when the box is empty, or a side lies beyond the margin:
        // minX, minY past the right and bottom, maxX, maxY past the left
        // and top. The negated sides, less the negated camera, give the
        // negated screen places exactly, so one comparison tests all four.
        const Floats4 camera = {screen.cameraX, screen.cameraY, -screen.cameraX, -screen.cameraY};
        const Floats4 past = (m_box - camera) * screen.zoom;
        const Floats4 limit = {screen.width + kScreenMargin, screen.height + kScreenMargin, kScreenMargin,
                               kScreenMargin};
        return !(-m_box[2] < m_box[0]) && !AnyLane(past > limit);
    }
    // In place of a skipped draw: once even the newest point is past its
    // lifetime, the whole trail is over, as a draw would have found it.
    void SkipDraw();
    void SetDetached(bool on) { m_detached = on; }
    bool IsDetached() const { return m_detached != 0; }
    void SetLifetime(float ms) { m_lifetime = ms; }

    bool IsAnyVisible() const { return m_anyVisible != 0; }
    int GetDrawnCount() const { return m_drawnCount; }
    int GetPointCount() const { return m_pointCount; }
    float GetWidth() const { return m_width; }
    float GetLifetime() const { return m_lifetime; }
    float GetSegmentLengthSquared() const { return m_segmentSq; }
    float GetResidual() const { return m_residual; }
    // Point i counted from the head.
    bool IsActive(int i) const { return m_active[Slot(i)] != 0; }
    float GetAge(int i) const { return static_cast<float>(m_clock - m_birth[Slot(i)]); }
    float GetX(int i) const { return m_x[Slot(i)]; }
    float GetY(int i) const { return m_y[Slot(i)]; }
    int CountActive() const { return m_activeCount; }
    bool HasActivePoint() const { return m_activeCount > 0; }

    // Starts loading what each frame reads of the trail besides its points
    // (the members ahead of them).
    void PrefetchScalars() const
    {
        PrefetchObject(this, static_cast<size_t>(reinterpret_cast<const char*>(m_x) - reinterpret_cast<const char*>(this)));
    }

private:
    using Floats4 = float __attribute__((vector_size(16)));
    using Ints4 = int32_t __attribute__((vector_size(16)));
    static bool AnyLane(Ints4 mask) { return __builtin_ia32_movmskps(reinterpret_cast<Floats4>(mask)) != 0; }
    static constexpr float kFar = std::numeric_limits<float>::max();

    // The points are a ring: a new head steps back one place instead of
    // moving every point along.
    int Slot(int i) const
    {
        const int s = m_head + i;
        return s >= m_pointCount ? s - m_pointCount : s;
    }

    // The head's place becomes point 1; the oldest point's place the head.
    void LayPoint(float angle, float x, float y, float d2);

    // What a draw's walk reads of the view, worked out once.
    struct WalkView {
        float cameraX, cameraY, zoom, halfWidth;
        float left, top, right, bottom;
    };
    // The point walk of Draw, building the edges; kClip tests each point
    // against the screen (a trail whose box lies on it needs no test).
    template <bool kClip>
    void Walk(const WalkView& view);

    // Grows the box lane-wise: -x < -maxX exactly when maxX < x, and
    // negation is exact.
    void Cover(float x, float y)
    {
        const Floats4 p = {x, y, -x, -y};
        m_box = p < m_box ? p : m_box;
    }
    // The slot of point 1 (1 for a one-point trail, which measures from a
    // place never laid, as it always has).
    int SecondSlot() const { return m_pointCount > 1 ? Slot(1) : 1; }

    // Holds every active point as minX, minY, -maxX, -maxY: grown as
    // points are laid or the head moves, fitted again by a draw that
    // reaches every point.
    Floats4 m_box = {kFar, kFar, kFar, kFar};
    int m_head = 0;
    int m_second = 1;
    // Active points in the ring: a draw stops once it has met them all.
    int m_activeCount = 0;
    unsigned char m_anyVisible = 0;
    unsigned char m_detached = 0;
    float m_residual = 0.0f;
    float m_headAngle = 0.0f;
    int m_drawnCount = 0;
    // The rest of what each frame reads besides the points, on the same
    // two lines as the above.
    float m_lifetime = 1500.0f;
    int m_pointCount = kMaxPoints;
    float m_width = 1.5f;
    float m_segmentSq = 9.0f;
    // Trail time in ms; sums of float frame times stay exact in a double.
    double m_clock = 0.0;
    int m_edgeCount = 0;
    float m_uv[4] = {0.5f, 0.05f, 1.0f, 0.45f}; // u0, v0, u1, v1
    float m_x[kMaxPoints];
    float m_y[kMaxPoints];
    unsigned char m_active[kMaxPoints];
    double m_birth[kMaxPoints];
    float m_sin[kMaxPoints];
    float m_cos[kMaxPoints];
    // The staged quads lie between consecutive edges: a quad's far side is
    // the near side of the next.
    QuadRunBatch::StripEdge m_edges[kMaxPoints + 1];
    mutable std::vector<ScreenVertex> m_staged; // built for GetStagedVertices
};
