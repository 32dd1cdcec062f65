#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <vector>

class GUI_ButtonText;
class GUI_CampaignShipIcon;
class GUI_ScrollingWindow;
class SIM_CampaignFleet;
class SIM_CampaignShip;

// A player fleet's ships as a grid of tiles, with repair, rename and build
// below. Tiles dragged onto another fleet's window at the same planet move
// there; a fighter squadron dropped on one of its design merges with it (16
// at most); dropped outside every fleet window a ship becomes a fleet of its
// own; dropped back on its window it shows its details. One window per fleet.
class GUI_CampaignFleetDetails : public GUI_Dialog {
public:
    static constexpr int kWidth = 500;
    static constexpr int kCell = 64;
    static constexpr int kColumns = 7;
    static constexpr int kMaxRows = 6;
    static constexpr int kCascade = 50;
    static constexpr int kMaxSquadron = 16;

    static GUI_CampaignFleetDetails* ShowForFleet(SIM_CampaignFleet* fleet);
    static GUI_CampaignFleetDetails* FindForFleet(const SIM_CampaignFleet* fleet);
    static void CloseForFleet(const SIM_CampaignFleet* fleet);
    static void CloseAll();
    // After any change of fleet membership: windows of emptied fleets go,
    // the others rebuild their tiles at their next draw.
    static void RefreshAll();
    static const std::vector<GUI_CampaignFleetDetails*>& GetAll();
    // A dragged tile was let go; what it means is carried out after the frame's window update.
    static void OnShipIconDropped(GUI_CampaignShipIcon* icon);
    static void ProcessDrop();
    static int HeightFor(int shipCount);
    // Whether two squadrons may merge: same design, fighters, 16 at most.
    static bool CanMerge(const SIM_CampaignShip* dragged, const SIM_CampaignShip* target);
    // False when taking a ship out of the fleet would empty a fleet a
    // pending battle counts on.
    static bool MayTakeShipFrom(const SIM_CampaignFleet* fleet);

    explicit GUI_CampaignFleetDetails(SIM_CampaignFleet* fleet);
    ~GUI_CampaignFleetDetails() override;

    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Null once the fleet is gone (the window closes at the next frame).
    SIM_CampaignFleet* GetFleet() const { return m_fleet.Get(); }
    const std::vector<GUI_CampaignShipIcon*>& GetIcons() const { return m_icons; }
    GUI_ButtonText* GetRepairButton() const { return m_repair; }
    GUI_ButtonText* GetRenameButton() const { return m_rename; }
    GUI_ButtonText* GetBuildButton() const { return m_build; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    int GetRowsShown() const { return m_rowsShown; }
    // The tiles are made again from the fleet at the next draw.
    bool rebuildPending = false;
    void RebuildNow();

private:
    static void OnRepair(std::intptr_t window);
    static void OnRename(std::intptr_t window);
    static void OnBuild(std::intptr_t window);
    void RebuildIcons();
    void LayOut();
    bool AcceptShip(SIM_CampaignShip* ship, float x, float y);
    bool TryMergeFighters(SIM_CampaignShip* dragged, float x, float y);

    std::vector<GUI_CampaignShipIcon*> m_icons;
    GUI_ButtonText* m_rename = nullptr;
    GUI_ButtonText* m_repair = nullptr;
    GUI_ButtonText* m_build = nullptr;
    GWatch<SIM_CampaignFleet> m_fleet;
    GUI_ScrollingWindow* m_scroll = nullptr;
    int m_rowsShown = 0;
    GUI_Interlace m_interlace;
};
