#pragma once
#include "gui/GUI_ButtonBase.h"

#include <functional>
#include <string>

// The header of a sortable table column: its title, marked while the table
// is sorted by it; a press asks the table to sort by its column.
class GUI_ColumnSortButton : public GUI_ButtonBase {
public:
    GUI_ColumnSortButton(const char* textKey, int column, std::function<void(int)> onSort);

    void Press() override;
    void Draw() override;

    int GetColumn() const { return m_column; }
    const std::string& GetTitle() const { return m_title; }

    bool selected = false;

private:
    std::string m_title;
    int m_column;
    std::function<void(int)> m_onSort;
};
