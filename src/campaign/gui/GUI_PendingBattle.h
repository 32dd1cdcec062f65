#pragma once
#include "engine/GLifetime.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

#include <cstdint>
#include <string>

class GUI_ButtonText;
class SIM_CampaignEncounter;
struct SIM_PendingBattle;

// One battle of the end-turn dialog's list: what it is and a resolve button.
// A fought battle is resolved by preparing it; an AI conquest by reading
// about it, which it may do as often as it likes.
class GUI_PendingBattle : public GUI_WindowBase {
public:
    static constexpr int kHeight = 60;
    static constexpr size_t kMaxText = 127;

    explicit GUI_PendingBattle(SIM_PendingBattle* battle);
    ~GUI_PendingBattle() override;

    void Layout();
    void Draw() override;
    void Resolve();
    // The preparation came to nothing: the battle waits to be tried again.
    void Unresolve();

    bool IsResolved() const { return m_resolved; }
    int GetKind() const { return m_kind; }
    // Null once the battle is gone (fought, forgotten).
    SIM_PendingBattle* GetBattle() const { return m_battle.Get(); }
    const std::string& GetText() const { return m_text; }
    // The text as drawn, fitted to the strip when it is laid out.
    const std::string& GetShownText() const { return m_shownText; }
    static constexpr const char* kFont = "zekton16.dds";
    static constexpr float kFontSize = 16.0f;
    GUI_ButtonText* GetResolveButton() const { return m_resolve; }
    const GRect& GetInner() const { return m_inner; }

    // Opens the details of a conquered planet; set by the screen that has them.
    static void (*openConquestDetails)(SIM_CampaignEncounter* encounter);

private:
    static void OnResolve(std::intptr_t strip);

    GWatch<SIM_PendingBattle> m_battle;
    GWatch<SIM_CampaignEncounter> m_encounter;
    int m_kind;
    bool m_resolved = false;
    std::string m_text;
    std::string m_shownText;
    GUI_ButtonText* m_resolve = nullptr;
    GRect m_inner{};
};
