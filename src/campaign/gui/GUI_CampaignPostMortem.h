#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <string>

class GUI_ButtonText;

// After a campaign battle: one sentence on what it meant for the planet, then
// on to the campaign (the result is applied) or to the battle's statistics.
class GUI_CampaignPostMortem : public GUI_Dialog, public GUI_OneOpen<GUI_CampaignPostMortem> {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 200;
    // The sentence starts this far below the dialog's top.
    static constexpr int kTextTop = 50;
    // The battle's result as the battle reports it.
    enum Result { WON = 0, LOST = 1, RETREATED = 2 };

    GUI_CampaignPostMortem(int battleResult, int pendingKind, const std::string& planetName);
    ~GUI_CampaignPostMortem() override;

    void Draw() override;
    // Escape is OK: however the report closes, its result is applied.
    bool TakeEscape() override;

    const std::string& GetText() const { return m_text; }
    bool PlayerWon() const { return m_won; }
    int GetResult() const { return m_result; }

    // The text key for a result and the kind of the battle fought.
    static const char* OutcomeKey(int battleResult, int pendingKind);
    // Every "<PLANETNAME>" of the text replaced by the name.
    static std::string FillPlanetName(std::string text, const std::string& planetName);
    // Opens the dialog for the campaign's current battle; false when there is none.
    static bool Open(int battleResult);
    static void OnOK(std::intptr_t);
    // The battle's statistics first: leaving them (the map button or
    // Escape) then applies the result (ApplyViewedResult).
    static void OnViewStats(std::intptr_t);
    // Every way out of a campaign battle's statistics: the result the report
    // showed, or without one (the battle was quit) the battle's own end,
    // applied once. With no battle left to settle, straight back to the campaign.
    static void ApplyViewedResult();
    // The battle's result as it stands: won or retreated once it ended so;
    // a battle left before its end is lost.
    static int CurrentBattleResult();

    GUI_ButtonText* GetOKButton() const { return m_ok; }
    GUI_ButtonText* GetViewStatsButton() const { return m_viewStats; }

private:
    std::string m_text;
    bool m_won = false;
    int m_result = LOST;
    // A won or lost battle applied as such, a retreat as one.
    static void ApplyResult(int result);

    GUI_ButtonText* m_ok = nullptr;
    GUI_ButtonText* m_viewStats = nullptr;
    GUI_Interlace m_interlace;
};
