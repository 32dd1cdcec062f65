#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_HullData;
class GUI_ScrollingWindow;
class SIM_ShipHull;

// The modal choice of the hull a new design starts from: hulls grouped by
// race (highest race id first) and class, locked ones shown but not
// selectable, the chosen hull's picture and figures beside the list.
class GUI_HullPicker : public GUI_Dialog {
public:
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 320;
    static constexpr int kStripStep = 22;
    // The figures start this far below the data panel's top: clear of the
    // hull's name above them (a row's text rises 3 pixels above the row,
    // and the name's descenders reach 19 pixels down).
    static constexpr int kFiguresTop = 24;
    enum Mode { DESIGNER = 0, HULL_EDITOR = 1 };

    static GUI_HullPicker* GetOpen();
    static GUI_HullPicker* Open(int mode, bool allRaces);
    ~GUI_HullPicker() override;

    // The listing rule alone: available races (the hull editor sees all),
    // the player's race unless all races are asked for, grouped as above.
    static std::vector<SIM_ShipHull*> ListHulls(int mode, bool allRaces, const std::string& playerRace);

    void BuildHullList();
    void ShowSelectedHull();
    void LayoutStrips();
    static void OnOk(std::intptr_t picker);
    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void OnKeyDown(int key) override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    const std::vector<SIM_ShipHull*>& GetHulls() const { return m_hulls; }
    SIM_ShipHull* GetSelectedHull() const { return m_selected; }
    GUI_ButtonText* GetOkButton() const { return m_ok; }
    GUI_HullData* GetHullData() const { return m_data; }
    GUI_ScrollingWindow* GetScroller() const { return m_scroller; }
    // Strip rectangles currently shown, with the index of their hull.
    struct Strip {
        GRect rect;
        size_t hull;
        std::string name;
    };
    const std::vector<Strip>& GetStrips() const { return m_strips; }

private:
    GUI_HullPicker(int mode, bool allRaces);
    void ScrollList(int step);
    void Wheel(int step);

    int m_mode;
    bool m_allRaces;
    std::vector<SIM_ShipHull*> m_hulls;
    SIM_ShipHull* m_selected = nullptr;
    GUI_ButtonText* m_ok = nullptr;
    std::string m_okText;
    std::string m_lockedText;
    std::string m_hullName;
    GUI_HullData* m_data = nullptr;
    GUI_ScrollingWindow* m_scroller = nullptr;
    std::vector<Strip> m_strips;
    GRect m_list;
    GRect m_dataRect;
    GRect m_imageRect;
    CTexturedSprite m_image;
    CTexturedSprite m_lock;
    GUI_Interlace m_interlace;
};
