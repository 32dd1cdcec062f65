#pragma once
#include "app/GUI_GameModeBase.h"
#include "frontend/GUI_MenuChrome.h"
#include "gui/GUIButtonList.h"
#include "gui/GUI_Callback.h"

#include <cstdint>
#include <vector>

class GUI_ButtonText;

// The screen the game starts on: the title picture, the version in the top
// right corner and one row of buttons on a dark bar along the bottom edge.
// The row spans 1000 pixels around the screen centre whatever the number of
// buttons, so it fits any screen 1024 pixels wide or more, unless a label
// needs more room than an equal share gives it.
class GUI_MainMenu : public GUI_GameModeBase, public GUIButtonList {
public:
    static constexpr float kRowSpan = 1010.0f;
    static constexpr int kTooltipDelay = 60;

    static GUI_MainMenu& GetInstance();

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void OnLeftClick() override;
    // The screen is also its own button list, which keeps its positioned click.
    using GUIButtonList::OnLeftClick;
    void Enter() override;
    void Leave() override;

    // The buttons in row order, left to right.
    const std::vector<GUI_ButtonText*>& GetRow() const { return m_row; }
    GUI_ButtonText* GetBattleButton() const { return m_battle; }
    GUI_ButtonText* GetCampaignButton() const { return m_campaign; }
    GUI_ButtonText* GetShipDesignButton() const { return m_shipDesign; }
    GUI_ButtonText* GetChallengesButton() const { return m_challenges; }
    GUI_ButtonText* GetOptionsButton() const { return m_options; }
    GUI_ButtonText* GetUnlocksButton() const { return m_unlocks; }
    GUI_ButtonText* GetManualButton() const { return m_manual; }
    GUI_ButtonText* GetQuitButton() const { return m_quit; }
    GUI_ButtonText* GetHullEditorButton() const { return m_hullEditor; }
    GUI_ButtonText* GetScenarioEditorButton() const { return m_scenarioEditor; }

    struct Slot {
        float left, top, right, bottom;
    };
    // The row's places for buttons whose labels are that wide, on a screen
    // spanning left..right and height pixels high: the row spans kRowSpan
    // less a gap around the centre, in equal shares when every label fits
    // its share with GUI_ButtonText::kLabelPad on each side, else each button its label's
    // width and an equal share of the rest. Only when that leaves a label
    // less than kMinLabelPad a side does the row widen, as far as the screen
    // allows.
    static std::vector<Slot> LayOutRow(int left, int right, int height, const std::vector<int>& labelWidths);
    static constexpr int kMinLabelPad = 3;

    static void AskToQuit();
    static constexpr const char* kManualFile = "QLM Manual.pdf";
    // Opens the manual (in the game folder) with the desktop's viewer; false,
    // with a message to the player, when it is missing or cannot be opened.
    static bool OpenManual();

private:
    GUI_MainMenu();
    // A row button; the tooltip from its key, none without one.
    GUI_ButtonText* MakeButton(const char* key, const char* tooltipKey, GUI_Callback callback);
    void LayOut();

    static void OnBattle(std::intptr_t);
    static void OnCampaign(std::intptr_t);
    static void OnShipDesign(std::intptr_t);
    static void OnOnline(std::intptr_t);
    static void OnOptions(std::intptr_t);
    static void OnChallenges(std::intptr_t);
    static void OnUnlocks(std::intptr_t);
    static void OnManual(std::intptr_t);
    static void OnQuit(std::intptr_t);
    static void OnHullEditor(std::intptr_t);
    static void OnScenarioEditor(std::intptr_t);

    GUI_MenuChrome m_chrome;
    int m_laidOutW = 0, m_laidOutH = 0;
    std::vector<GUI_ButtonText*> m_row;
    GUI_ButtonText* m_battle = nullptr;
    GUI_ButtonText* m_campaign = nullptr;
    GUI_ButtonText* m_shipDesign = nullptr;
    GUI_ButtonText* m_online = nullptr;
    GUI_ButtonText* m_options = nullptr;
    GUI_ButtonText* m_challenges = nullptr;
    GUI_ButtonText* m_unlocks = nullptr;
    GUI_ButtonText* m_hullEditor = nullptr;
    GUI_ButtonText* m_scenarioEditor = nullptr;
    GUI_ButtonText* m_manual = nullptr;
    GUI_ButtonText* m_quit = nullptr;
};
