#pragma once
#include "gui/GUI_ButtonBase.h"

#include <functional>
#include <string>

// The header of a sortable table column: its title, marked while the table
// is sorted by it; a press asks the table to sort by its column. A title
// wider than its column is drawn smaller (down to kMinSize), so that
// neighbouring titles never run together.
class GUI_ColumnSortButton : public GUI_ButtonBase {
public:
    static constexpr float kFontSize = 16.0f;
    static constexpr float kMinSize = 10.0f;
    static constexpr int kInset = 3;

    GUI_ColumnSortButton(const char* textKey, int column, std::function<void(int)> onSort);

    void Press() override;
    void Draw() override;

    int GetColumn() const { return m_column; }
    const std::string& GetTitle() const { return m_title; }
    // The title as drawn for the button's width, and its size.
    const std::string& GetShownTitle();
    float GetShownSize();

    bool selected = false;

private:
    void Fit();

    std::string m_title;
    std::string m_shown;
    float m_size = kFontSize;
    int m_fittedWidth = -1;
    int m_column;
    std::function<void(int)> m_onSort;
};
