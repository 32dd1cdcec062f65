#pragma once
#include "gui/GUI_ScrollingWindow.h"

#include <algorithm>

// The scenario editor's scrolling lists: strips from the scroll position on,
// one step apart, while a strip's top is still above the limit.
struct StripListRule {
    int firstTop = 0;
    int step = 1;
    int limit = 0;

    // How many strips the list has room for.
    int Capacity() const
    {
        if (step <= 0 || firstTop >= limit)
            return 0;
        return (limit - firstTop + step - 1) / step;
    }
    int TopOf(int row) const { return firstTop + row * step; }
    // Tells the scroll column the count and the room; its position stays
    // within them.
    void SetUpScroll(GUI_ScrollingWindow& scroll, int count) const
    {
        const int room = Capacity();
        scroll.maximum = std::max(0, count - room);
        scroll.position = std::clamp(scroll.position, 0, scroll.maximum);
        scroll.contentSize = static_cast<float>(count);
        scroll.visibleSize = static_cast<float>(std::min(count, room));
    }
};
