#include "support/PanelPixels.h"

#include "support/WindowInput.h"

#include <algorithm>
#include <vector>

namespace {
// A line's middle row is at least this much brighter than the rows beside it.
constexpr int kLineStep = 3;

int GreenBlue(const TextureData& picture, int x, int y)
{
    int r = 0, g = 0, b = 0;
    PixelAt(picture, x, y, r, g, b);
    return g + b;
}

double Median(std::vector<int>& values)
{
    if (values.empty())
        return 0.0;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

} // namespace

PanelReading ReadPanel(const TextureData& picture, const GRect& area)
{
    PanelReading reading;
    // Clear of the corners, where the edge bends.
    const int inset = std::min(34, area.Height() / 3);
    std::vector<int> leftEdge, rightEdge, leftInside, rightInside;
    for (int y = area.top + inset; y < area.bottom - inset; ++y) {
        leftEdge.push_back(GreenBlue(picture, area.left + 1, y));
        rightEdge.push_back(GreenBlue(picture, area.right - 2, y));
        leftInside.push_back(GreenBlue(picture, area.left + 5, y));
        rightInside.push_back(GreenBlue(picture, area.right - 6, y));
    }
    std::vector<int> edge = leftEdge, inside = leftInside;
    edge.insert(edge.end(), rightEdge.begin(), rightEdge.end());
    inside.insert(inside.end(), rightInside.begin(), rightInside.end());
    reading.edge = Median(edge) - Median(inside);
    reading.leftEdge = Median(leftEdge) - Median(leftInside);
    reading.rightEdge = Median(rightEdge) - Median(rightInside);

    // The middle half of each row; the lines fade towards the area's sides.
    reading.lines = ReadScanLines(
        picture, GRect{area.left + area.Width() / 8, area.top + 6, area.right - area.Width() / 8, area.bottom - 6},
        area.top);
    return reading;
}

double ReadScanLines(const TextureData& picture, const GRect& band, int lineOrigin)
{
    int lines = 0, bright = 0;
    for (int y = band.top; y < band.bottom; ++y) {
        if (((y - lineOrigin) % 3 + 3) % 3 != 0)
            continue;
        for (int x = band.left; x < band.right; ++x) {
            const int v = GreenBlue(picture, x, y);
            ++lines;
            bright += v >= GreenBlue(picture, x, y - 1) + kLineStep && v >= GreenBlue(picture, x, y + 1) + kLineStep;
        }
    }
    return lines ? static_cast<double>(bright) / lines : 0.0;
}
