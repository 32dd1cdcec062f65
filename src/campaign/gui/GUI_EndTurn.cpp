#include "campaign/gui/GUI_EndTurn.h"

#include "app/Game.h"
#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignAttackArrow.h"
#include "campaign/gui/GUI_CampaignBackdrop.h"
#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignEndDialog.h"
#include "campaign/gui/GUI_CampaignUIMemory.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_EndTurnLog.h"
#include "campaign/gui/GUI_EndTurnSummary.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_Transition.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"

GUI_EndTurn* GUI_EndTurn::Open()
{
    CloseOpen();
    return new GUI_EndTurn();
}

void GUI_EndTurn::CloseOpen()
{
    if (GUI_EndTurn* open = GetOpen())
        open->m_battles->StopPreparation();
    GUI_OneOpen<GUI_EndTurn>::CloseOpen();
}

void GUI_EndTurn::CloseLater()
{
    GUI_EndTurn* dialog = GetOpen();
    if (!dialog)
        return;
    ForgetIfOpen(dialog);
    dialog->visible = false;
    GUI_WindowManager::GetInstance().QueueDelete(dialog);
}

GUI_EndTurn::GUI_EndTurn() : GUI_Dialog(false)
{
    SetOpen(this);
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    bottomMargin = 48.0f;
    SetClientRect();
    SetTitleKey("CAMPAIGN_ENDTURN_TITLE");
    GUI_WindowManager::GetInstance().BringToFront(this);

    m_continue = AddPanelButton(this, "CAMPAIGN_CONTINUE", OnContinue, 0, 0, 0, 0, 0);
    const float cx = static_cast<float>(left + right) * 0.5f;
    m_continue->SetRect(cx - 100.0f, static_cast<float>(bottom - 30), cx + 100.0f, static_cast<float>(bottom - 10));

    const int mid = (clientLeft + clientRight) / 2;
    m_summary = PlaceChild(new GUI_EndTurnSummary(), clientLeft, clientTop, mid - 10, clientTop + 130);
    m_summary->Build();
    m_battles = PlaceChild(new GUI_CampaignBattleManager(), clientLeft, clientTop + 140, mid - 10, clientBottom);
    m_battles->Layout();
    m_log = PlaceChild(new GUI_EndTurnLog(), mid + 10, top, clientRight, clientBottom);
    m_log->Fill();
    m_continue->enabled = m_battles->IsAllResolved();

    GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_ENDTURN");
}

GUI_EndTurn::~GUI_EndTurn()
{
    ForgetIfOpen(this);
    GUI_CampaignAttackArrow::GetInstance().ClearArrows();
    for (GUI_Encounter* view : GUI_Encounter::GetAll())
        view->dirty = true;
}

bool GUI_EndTurn::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    GUI_Dialog::OnLeftClick(x, y);
    // The backdrop hides the map: nothing under it may take the click.
    return true;
}

void GUI_EndTurn::Update()
{
    GUI_Dialog::Update();
    // Over the backdrop nothing of the map may light up under the pointer.
    if (visible)
        GUI_WindowManager::GetInstance().SetMouseOverWindow(this);
}

void GUI_EndTurn::Draw()
{
    if (!visible)
        return;
    m_continue->enabled = m_battles->IsAllResolved();
    GUI_CampaignBackdrop::GetInstance().Draw();
    GUI_Dialog::Draw();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render();
}

void GUI_EndTurn::OnContinue(std::intptr_t)
{
    GUI_Campaign::StartTransition();
    if (Game::GetInstance().GetModeId() != GUI_Campaign::kModeId)
        Game::GetInstance().SetMode(GUI_Campaign::kModeId);
    CloseOpen();
    // Conquests need no fight: they leave with the dialog, and the turn's
    // report with them. Until now it survived the battles, each of which
    // closes and reopens the dialog.
    SIM_CampaignBattleManager::GetInstance().FinishTurnEnd();
    QLM_ASSERT(SIM_CampaignBattleManager::GetInstance().GetPending().empty());
    // An ended campaign shows its ending alone, without the windows it had open.
    if (!GUI_CampaignEndDialog::OpenIfCampaignOver())
        RestoreCampaignUIMemory();
}
