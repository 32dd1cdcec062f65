#pragma once

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
    // The same with a sine and cosine the caller already has.
    void LocalToWorld(float localX, float localY, float sine, float cosine, float& worldX, float& worldY) const;
    // ((x - camera x) * zoom, (y - camera y) * zoom) with the battle camera.
    void GetScreenPosition(float& screenX, float& screenY) const;

    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
};

// Divides a vector by its length; a zero vector is left as it is.
void NormaliseVector2(float& x, float& y);
