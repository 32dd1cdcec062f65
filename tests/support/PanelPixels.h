#pragma once
// The dialogs' panel and its scan lines as a screenshot shows them. Both are
// read row by row from the median of a row's pixels, so the texts and small
// controls on the panel do not count.
#include "engine/GRect.h"
#include "platform/DdsImage.h"

struct PanelReading {
    // How much brighter the panel's bright edge line (one pixel in from the
    // area's left and right sides) is than the panel four pixels further in.
    double edge = 0.0;
    // The same of each side alone, for a panel with a scroll bar along one.
    double leftEdge = 0.0;
    double rightEdge = 0.0;
    // The share of the scan lines' pixels (every third row from the area's
    // top, its sides left out, where the lines fade) brighter than the pixels
    // above and below them.
    double lines = 0.0;
};

// Read in green plus blue, the channels the panel and its lines are drawn in.
PanelReading ReadPanel(const TextureData& picture, const GRect& area);
// The scan lines alone, over a band of the panel clear of what stands on it;
// the lines' middle rows are lineOrigin and every third row from it.
double ReadScanLines(const TextureData& picture, const GRect& band, int lineOrigin);

// A panel the dialogs draw: its edge line and its scan lines stand out.
constexpr double kPanelEdge = 20.0;
constexpr double kScanLines = 0.45;
