#pragma once
// The campaign's scrolled lists: rows of one height laid out from the scroll
// bar's position down, attached as children only while they fit.
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowBase.h"

#include <algorithm>
#include <vector>

// Every row is detached; from the bar's position on, rows are placed at
// (left, y, right, y + rowHeight) and attached while y <= bottom - rowHeight.
// The bar gets the range that is left. The number of rows shown.
template <typename Row>
int LayOutScrolledRows(GUI_WindowBase& owner, const std::vector<Row*>& rows, GUI_ScrollingWindow& bar, int left,
                       int top, int right, int bottom, int rowHeight)
{
    for (Row* row : rows)
        owner.RemoveChild(row);
    const int count = static_cast<int>(rows.size());
    int y = top;
    int shown = 0;
    for (int i = std::max(0, bar.position); i < count && y <= bottom - rowHeight; ++i) {
        Row* row = rows[static_cast<size_t>(i)];
        row->SetRect(static_cast<float>(left), static_cast<float>(y), static_cast<float>(right),
                     static_cast<float>(y + rowHeight));
        owner.AddChild(row);
        owner.AddChildElement(row);
        ++shown;
        y += rowHeight;
    }
    bar.maximum = std::max(0, count - shown);
    bar.contentSize = static_cast<float>(count);
    bar.visibleSize = static_cast<float>(shown);
    bar.changed = false;
    return shown;
}
