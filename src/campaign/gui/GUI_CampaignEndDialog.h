#pragma once
#include "engine/GRect.h"
#include "gui/GUI_Callback.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <string>

class GUI_ButtonText;
class GUI_CampaignStats;

// The dialog that ends a campaign, won or lost: a message, the campaign's
// figures and one button. That button (or Escape) leaves: the progress is reset,
// the player goes back to the main menu and the definition is let go, in
// that order, so that nothing of the campaign outlives its planets.
class GUI_CampaignEndDialog : public GUI_Dialog {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 400;
    static constexpr int kBottomMargin = 44;
    static constexpr int kMessageHeight = 80;

    // What tells a victory from a defeat.
    struct Look {
        const char* titleKey;
        const char* messageKey;
        const char* continueKey;
        const char* tooltipKey;
        const char* music;
        int statsTop; // below the client top
    };

    ~GUI_CampaignEndDialog() override;
    void Draw() override;

    const std::string& GetMessage() const { return m_message; }
    const GRect& GetMessageRect() const { return m_messageRect; }
    GUI_CampaignStats* GetStats() const { return m_stats; }
    GUI_ButtonText* GetContinueButton() const { return m_continue; }

    // A turn is over: the victory or the defeat opens when the campaign has
    // ended; false when it goes on.
    static bool OpenIfCampaignOver();
    // Leaves the ended campaign for the main menu.
    static void EndCampaign();

protected:
    GUI_CampaignEndDialog(const Look& look, GUI_Callback onContinue);

private:
    GRect m_messageRect;
    std::string m_message;
    GUI_CampaignStats* m_stats = nullptr;
    GUI_ButtonText* m_continue = nullptr;
    GUI_Interlace m_interlace;
};

// One open dialog of each kind, held in a pointer of its own.
template <typename Kind>
class GUI_CampaignEndDialogOf : public GUI_CampaignEndDialog, public GUI_OneOpen<Kind> {
    using One = GUI_OneOpen<Kind>;

public:
    ~GUI_CampaignEndDialogOf() override { One::ForgetIfOpen(this); }

    // Replaces an open one.
    static Kind* Open()
    {
        One::CloseOpen();
        return One::SetOpen(new Kind());
    }
    static void OnContinue(std::intptr_t)
    {
        One::CloseOpen();
        EndCampaign();
    }
    // The ending is final whichever way the dialog goes: Escape continues.
    bool TakeEscape() override
    {
        OnContinue(0);
        return true;
    }

protected:
    GUI_CampaignEndDialogOf() : GUI_CampaignEndDialog(Kind::kLook, OnContinue) {}
};
