#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <string>

class GUI_ButtonText;
class GUI_ChallengeListClientWindow;
class GUI_CheckButton;

// The challenges window: the table, the four filters (kept in config.txt),
// Refresh, and the ways on to custom scenarios and messages.
class GUI_ChallengeListWindow : public GUI_Dialog {
public:
    static constexpr const char* kFilterOptions[4] = {"CHALLENGES_SHOWLOCAL", "CHALLENGES_SHOWPERSONAL",
                                                      "CHALLENGES_SHOWPOSTED", "CHALLENGES_SHOWALL"};
    // The refresh's outcome: a box this wide from this far above the bottom
    // down to the refresh button, left of the filters.
    static constexpr int kStatusTop = 88;
    static constexpr int kStatusWidth = 240;
    GUI_ChallengeListWindow();
    ~GUI_ChallengeListWindow() override;

    bool IsModal() const override { return false; }
    void Draw() override;
    void ToggleFilter(int index);

    GUI_ChallengeListClientWindow* GetClient() const { return m_client; }
    GUI_CheckButton* GetFilterBox(int index) const { return m_filters[index]; }
    GUI_ButtonText* GetRefreshButton() const { return m_refresh; }
    // The refresh's outcome as drawn, fitted to its box.
    const std::string& GetShownStatus();

private:
    static void OnRefresh(std::intptr_t window);
    static void OnCustom(std::intptr_t);
    static void OnMessages(std::intptr_t);
    static void OnFilter(std::intptr_t index);

    GUI_ChallengeListClientWindow* m_client = nullptr;
    GUI_CheckButton* m_filters[4] = {};
    GUI_ButtonText* m_refresh = nullptr;
    GUI_Interlace m_interlace;
    std::string m_shownStatus, m_shownFrom;
};
