#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>
#include <vector>

class GUI_ScrollingWindow;
class SIM_CampaignShip;
struct SIM_CampaignShipsLogEntry;

// One event of a ship's history: its icon, turn, kind and text. The row
// keeps its own copy: the log may grow (and move its entries) while it shows.
class GUI_ShipsLogEntry : public GUI_WindowBase {
public:
    static constexpr int kHeight = 60;
    explicit GUI_ShipsLogEntry(const SIM_CampaignShipsLogEntry& entry);
    void Draw() override;
    const std::string& GetTitle() const { return m_title; }
    // The kind's cell of the 4 x 2 icon atlas: u0, v0, u1, v1.
    static void IconCell(int kind, float cell[4]);

private:
    std::string m_turnText;
    std::string m_text;
    std::string m_title;
    CTexturedSprite m_icon;
};

// A ship's history, oldest first, five rows at a time. One open at a time.
class GUI_ShipsLog : public GUI_Dialog, public GUI_OneOpen<GUI_ShipsLog> {
public:
    static constexpr int kWidth = 500;
    static constexpr int kMaxRowsShown = 5;

    static GUI_ShipsLog* Open(SIM_CampaignShip* ship);
    static int HeightFor(int entryCount);

    explicit GUI_ShipsLog(SIM_CampaignShip* ship);
    ~GUI_ShipsLog() override;
    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Null once the ship is gone (the window closes at the next frame).
    SIM_CampaignShip* GetShip() const { return m_ship.Get(); }
    // After the ship was renamed.
    void RefreshTitle();
    const std::vector<GUI_ShipsLogEntry*>& GetRows() const { return m_rows; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    int GetRowsShown() const { return m_rowsShown; }

private:
    void LayOut();

    GUI_ScrollingWindow* m_scroll = nullptr;
    GWatch<SIM_CampaignShip> m_ship;
    std::vector<GUI_ShipsLogEntry*> m_rows;
    int m_rowsShown = 0;
    GUI_Interlace m_interlace;
};
