#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_IconButton;
class GUI_ScrollingWindow;
class GUI_SubtleTextButton;
class SIM_ShipDesign;

// The list of design files under a set of folder masks whose designs are
// loaded: name, class and race columns that sort, a delete button on the
// player's own files (refused, as from the deployment screen, while anything
// uses the design), and an open button that loads the selected design.
class GUI_DesignLoader : public GUI_Dialog {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 304;
    static constexpr int kRowHeight = 22;
    static constexpr int kRowStep = 24;
    static constexpr int kFirstRowOffset = 26;
    // Where each column's text starts in a row, and how wide it may be: the
    // name takes what the class (a single word) does not need, so that the
    // longest design names show whole.
    static constexpr int kColumnLeft[3] = {10, 270, 410};
    static constexpr int kColumnWidth[3] = {250, 130, 120};
    enum SortKey { BY_NAME = 0, BY_CLASS = 1, BY_RACE = 2 };

    struct Row {
        SIM_ShipDesign* design = nullptr;
        std::string columns[3];
        // The columns cut to their widths, for drawing.
        std::string shown[3];
        bool deletable = false;
        GUI_IconButton* deleteButton = nullptr;
        GRect rect;
        bool placed = false;
    };

    static GUI_DesignLoader* GetOpen();
    static GUI_DesignLoader* Open(const std::vector<std::string>& masks);
    ~GUI_DesignLoader() override;

    // Rows sorted like the column buttons do it: the same key again flips
    // the order, another key sorts ascending (stable, byte-wise).
    static void SortRows(std::vector<Row>& rows, int& currentKey, bool& reverse, int key);
    // Only the player's own files may be deleted, never shipped samples.
    static bool IsDeletable(const std::string& fileName);

    void BuildRows();
    void LayoutRows();
    void Sort(int key);
    void Select(size_t row);
    static void OpenPressed(std::intptr_t);
    static void SortPressed(std::intptr_t key);
    static void AskDelete(std::intptr_t row);
    static void DeleteConfirmed(std::intptr_t);

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    const std::vector<Row>& GetRows() const { return m_rows; }
    int GetSelected() const { return m_selected; }
    int GetSortKey() const { return m_sortKey; }
    GUI_ButtonText* GetOpenButton() const { return m_open; }
    GUI_ScrollingWindow* GetScroller() const { return m_scroller; }

private:
    explicit GUI_DesignLoader(const std::vector<std::string>& masks);
    void ClearRows();

    std::vector<std::string> m_masks;
    std::vector<std::string> m_files;
    std::vector<Row> m_rows;
    int m_selected = -1;
    int m_sortKey = BY_NAME;
    bool m_reverse = true;
    GUI_ScrollingWindow* m_scroller = nullptr;
    GRect m_list;
    GRect m_nameBox;
    std::string m_nameLabel;
    GUI_ButtonText* m_open = nullptr;
    GUI_SubtleTextButton* m_sortButtons[3] = {};
    int m_hovered = -1;
    std::string m_pendingDelete;
    GUI_Interlace m_interlace;
};
