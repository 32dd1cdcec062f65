#pragma once
#include "gui/GUI_Interlace.h"
#include "gui/GUI_TitleBar.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

#include <memory>
#include <string>
#include <vector>

class GUI_PendingBattle;
class GUI_ScrollingWindow;
class SIM_CampaignBattlePreparation;

// The end-turn dialog's list of this turn's battles. Resolving a fought one
// prepares it on a worker behind the please-wait window; this window polls
// the worker each frame, joins it, and hands over to the campaign deployment
// or, when no opponent could be had, puts the battle back so the player can
// try again. The window's Cancel puts the battle back at once and stops the
// worker's request; the worker is always joined, never abandoned.
class GUI_CampaignBattleManager : public GUI_WindowBase {
public:
    static constexpr int kStripHeight = 60;

    GUI_CampaignBattleManager();
    ~GUI_CampaignBattleManager() override;

    void Layout();
    void BuildStrips();
    void LayoutStrips();
    void CheckAllResolved();
    // Begins the strip's battle and starts its preparation; false (and the
    // strip stays unresolved) when it could not start.
    bool StartPreparationThread(GUI_PendingBattle* strip);
    // Joins a running worker and returns its battle to the list.
    void StopPreparation();
    // The please-wait window's Cancel: the battle back in the list and open
    // to another press at once, the worker told to stop.
    void CancelPreparation();

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    bool IsAllResolved() const { return m_allResolved; }
    bool IsPreparing() const { return m_preparation != nullptr; }
    const std::vector<GUI_PendingBattle*>& GetStrips() const { return m_strips; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    const std::string& GetNoBattlesText() const { return m_noBattles; }
    const GRect& GetListArea() const { return m_list; }
    int GetShownCount() const { return m_shown; }

    // The main thread's part once the worker is done: join, close the
    // please-wait window, then deploy or put the battle back. True when the
    // deployment opened.
    bool FinishPreparation();

private:
    void LaunchDeployment();

    GUI_TitleBar m_titleBar;
    GUI_Interlace m_interlace;
    GRect m_list{};
    bool m_allResolved = true;
    std::vector<GUI_PendingBattle*> m_strips;
    GUI_ScrollingWindow* m_scroll = nullptr;
    std::unique_ptr<SIM_CampaignBattlePreparation> m_preparation;
    GUI_PendingBattle* m_preparing = nullptr;
    std::string m_noBattles;
    int m_shown = 0;
};
