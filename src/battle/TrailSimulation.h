#pragma once
#include <cstdint>

#include "platform/IGraphicsDevice.h"

// A fading ribbon of up to 96 points behind a moving emitter (con trails,
// missile smoke). Point 0 is the head; a new point is pushed whenever the
// emitter has moved one segment from point 1. The ribbon's quads are built
// in screen space into fixed arrays, so drawing never allocates; the caller
// binds the texture and blend, this only stages the quads.
class TrailSimulation {
public:
    static constexpr int kMaxPoints = 96;

    TrailSimulation();

    // Style 0..3 picks a quarter of the trail texture (1 for anything else).
    void Init(int style, float startValue, float pointCount, float width, float segmentLength);
    void Reset();
    void AddAge(float ms);
    // Heading in degrees of the emitter at (x, y).
    void MoveHead(float angle, float x, float y);
    // Stages the visible part into the shared quad batch with this texture
    // and blend; returns the number of quads staged.
    int Draw(TextureHandle texture, bool additive);
    // The quads of the last draw (4 vertices each), for tests.
    const ScreenVertex* GetStagedVertices() const { return m_vertices; }

    void SetHeadPosition(float x, float y)
    {
        m_x[0] = x;
        m_y[0] = y;
    }
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
    bool IsActive(int i) const { return m_active[i] != 0; }
    float GetAge(int i) const { return m_age[i]; }
    float GetX(int i) const { return m_x[i]; }
    float GetY(int i) const { return m_y[i]; }
    int CountActive() const;
    bool HasActivePoint() const
    {
        for (int i = 0; i < m_pointCount; ++i)
            if (m_active[i])
                return true;
        return false;
    }

private:
    unsigned char m_anyVisible = 0;
    unsigned char m_detached = 0;
    float m_residual = 0.0f;
    float m_headAngle = 0.0f;
    int m_drawnCount = 0;
    float m_x[kMaxPoints];
    float m_y[kMaxPoints];
    unsigned char m_active[kMaxPoints];
    float m_age[kMaxPoints];
    float m_sin[kMaxPoints];
    float m_cos[kMaxPoints];
    ScreenVertex m_vertices[kMaxPoints * 4];
    float m_u0 = 0.5f, m_u1 = 1.0f, m_v0 = 0.05f, m_v1 = 0.45f;
    float m_lifetime = 1500.0f;
    int m_pointCount = kMaxPoints;
    float m_width = 1.5f;
    float m_segmentSq = 9.0f;
};
