#pragma once
#include "platform/IGraphicsDevice.h"

#include <cstddef>

// Counts the pixels a draw covers, the rasteriser's share of a frame's cost
// that draw and bind counts do not show. Both devices feed it the vertices
// they are given (screen positions, pixel centres on whole numbers), so the
// recording device and the real window count the same.
class FillMeter {
public:
    // The pixels a draw can touch: the viewport within the target, in whole
    // pixels, right and bottom exclusive.
    struct Clip {
        int left = 0, top = 0, right = 0, bottom = 0;
        double Area() const
        {
            return right > left && bottom > top ? double(right - left) * double(bottom - top) : 0.0;
        }
    };
    static Clip ClipOf(const int viewport[4], int targetWidth, int targetHeight);

    // Area of the draw's quads (four corners each: top-left, top-right,
    // bottom-left, bottom-right) or triangles within the clip, in pixels.
    // Lines count nothing. stride is the vertex size in bytes.
    static double Covered(PrimitiveType type, bool quads, const ScreenVertex* vertices, size_t stride,
                          size_t count, const Clip& clip);

    // A cheap upper bound of Covered for every draw, fast enough to run on
    // each one: the sum of the quads' boxes (of the triangles' boxes for
    // other draws), never more than the draw's whole box within the clip.
    static double Bound(bool quads, const ScreenVertex* vertices, size_t stride, size_t count, const Clip& clip);
};
