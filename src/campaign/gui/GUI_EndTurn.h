#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>

class GUI_ButtonText;
class GUI_CampaignBattleManager;
class GUI_EndTurnLog;
class GUI_EndTurnSummary;

// What a turn (or a battle) changed, over the campaign backdrop: the summary,
// the battles still to fight and the planets' loyalty and threat. Continue is
// open once every battle is resolved. At most one exists; it is not modal,
// but it takes every click on the screen it covers.
class GUI_EndTurn : public GUI_Dialog, public GUI_OneOpen<GUI_EndTurn> {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 460;

    static GUI_EndTurn* Open();
    // Stops a running preparation (joining it) and closes the open dialog.
    static void CloseOpen();
    // Closes the open dialog at the window manager's next sweep, never at
    // once: for calls from inside its own windows.
    static void CloseLater();
    static void OnContinue(std::intptr_t);

    ~GUI_EndTurn() override;
    bool IsModal() const override { return false; }
    void Draw() override;
    void Update() override;
    bool OnLeftClick(float x, float y) override;

    GUI_EndTurnSummary* GetSummary() const { return m_summary; }
    GUI_CampaignBattleManager* GetBattles() const { return m_battles; }
    GUI_EndTurnLog* GetLog() const { return m_log; }
    GUI_ButtonText* GetContinueButton() const { return m_continue; }

private:
    GUI_EndTurn();

    GUI_EndTurnSummary* m_summary = nullptr;
    GUI_CampaignBattleManager* m_battles = nullptr;
    GUI_EndTurnLog* m_log = nullptr;
    GUI_ButtonText* m_continue = nullptr;
};
