#include "campaign/gui/GUI_CampaignEndDialog.h"

#include "app/GUI_Sounds.h"
#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignDefeat.h"
#include "campaign/gui/GUI_CampaignStats.h"
#include "campaign/gui/GUI_CampaignVictory.h"
#include "campaign/gui/GUI_CampaignWindows.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/sim/SIM_CampaignEnding.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_Options.h"

namespace {
constexpr int kMessageInset = 5;
constexpr int kTextInset = 10;
constexpr int kButtonInset = 120;
} // namespace

GUI_CampaignEndDialog::GUI_CampaignEndDialog(const Look& look, GUI_Callback onContinue) : GUI_Dialog(false)
{
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    bottomMargin = static_cast<float>(kBottomMargin);
    SetClientRect();
    GUI_WindowManager::GetInstance().BringToFront(this);
    m_messageRect = {clientLeft + kMessageInset, clientTop + kMessageInset, clientRight - kMessageInset,
                     clientTop + kMessageHeight};
    m_stats = PlaceChild(new GUI_CampaignStats(), clientLeft, clientTop + look.statsTop, clientRight, clientBottom);
    SetTitleKey(look.titleKey);
    m_message = GetString(look.messageKey);
    m_continue = new GUI_ButtonText(look.continueKey, onContinue, 0);
    m_continue->SetRect(static_cast<float>(clientLeft + kButtonInset), static_cast<float>(clientBottom + 12),
                        static_cast<float>(clientRight - kButtonInset), static_cast<float>(clientBottom + 32));
    m_continue->SetTooltip(look.tooltipKey, 60);
    AddButton(m_continue);
    drawButtons = false;
    // The campaign's music gives way to the ending's, played once.
    GUI_Sounds::GetInstance().PlayMusicOnce(look.music);
    GUI_WindowManager::GetInstance().AddModal(this);
}

GUI_CampaignEndDialog::~GUI_CampaignEndDialog() = default;

void GUI_CampaignEndDialog::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    const GRect& m = m_messageRect;
    DrawNamedFrame("textbox_darken.dds", 16.0f, 0.5f, static_cast<float>(m.left), static_cast<float>(m.top),
                   static_cast<float>(m.right), static_cast<float>(m.bottom));
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int wrap = m.Width() - 2 * kTextInset;
    text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_message, wrap), static_cast<float>(m.left + kTextInset),
                 static_cast<float>(m.top + kTextInset), 0xFFFFFFFFu, static_cast<float>(wrap));
    text.Render();
    DrawChildren();
    DrawButtons();
    text.Render();
}

bool GUI_CampaignEndDialog::OpenIfCampaignOver()
{
    const SIM_CampaignEnding::Result result = SIM_CampaignEnding::Judge(SIM_CampaignProgress::GetInstance());
    if (result == SIM_CampaignEnding::GOES_ON)
        return false;
    // The war is over: no window of it stays over the ending.
    CloseCampaignWindows();
    CloseEncounterDetails();
    switch (result) {
    case SIM_CampaignEnding::VICTORY:
        GUI_CampaignVictory::Open();
        return true;
    case SIM_CampaignEnding::DEFEAT:
        GUI_CampaignDefeat::Open();
        return true;
    default:
        return false;
    }
}

void GUI_CampaignEndDialog::EndCampaign()
{
    // Nothing may show a fleet once the reset has deleted it.
    CloseCampaignWindows();
    SIM_CampaignProgress::GetInstance().Reset(SIM_Options::GetInstance().GetRaceName());
    // Saves the screen's memory, leaves for the menu and lets go of the definition.
    GUI_Campaign::QuitCampaignToMenu();
}
