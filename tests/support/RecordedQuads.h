#pragma once
// The quads a recording device drew in one colour, as boxes: for probing
// what a screen drew where, on the recording device. Only the first
// vertices of each draw are kept (HeadlessGraphicsDevice::kMaxRecordedVertices).
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/HeadlessGraphicsDevice.h"

struct RecordedQuad {
    float left, top, right, bottom;
    bool flat;
    TextureHandle texture;
    float Width() const { return right - left; }
    float CentreX() const { return (left + right) * 0.5f; }
    float CentreY() const { return (top + bottom) * 0.5f; }
};

inline std::vector<RecordedQuad> RecordedQuadsOfColour(const HeadlessGraphicsDevice& device, uint32_t colour)
{
    std::vector<RecordedQuad> found;
    for (const HeadlessGraphicsDevice::DrawRecord& draw : device.GetDraws()) {
        // Quads in fours; a lone quad may come as a strip of four.
        if (!draw.quads && draw.vertices.size() != 4)
            continue;
        for (size_t q = 0; q + 4 <= draw.vertices.size(); q += 4) {
            const ScreenVertex* v = &draw.vertices[q];
            if (!std::all_of(v, v + 4, [colour](const ScreenVertex& c) { return c.colour == colour; }))
                continue;
            RecordedQuad box{v[0].x, v[0].y, v[0].x, v[0].y, draw.flatColour, draw.texture};
            for (int i = 1; i < 4; ++i) {
                box.left = std::min(box.left, v[i].x);
                box.right = std::max(box.right, v[i].x);
                box.top = std::min(box.top, v[i].y);
                box.bottom = std::max(box.bottom, v[i].y);
            }
            found.push_back(box);
        }
    }
    return found;
}
