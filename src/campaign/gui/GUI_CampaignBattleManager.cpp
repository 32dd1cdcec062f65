#include "campaign/gui/GUI_CampaignBattleManager.h"

#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignBattlePreparation.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_PleaseWait.h"
#include "sim/SIM_Scenario.h"
#include "campaign/gui/CampaignPanelDrawing.h"

#include <algorithm>

GUI_CampaignBattleManager::GUI_CampaignBattleManager()
{
    swallowsClicks = true;
    raisesOnClick = false;
}

GUI_CampaignBattleManager::~GUI_CampaignBattleManager()
{
    StopPreparation();
    // Strips scrolled out of view are not children: they go here.
    for (GUI_PendingBattle* strip : m_strips)
        if (strip->GetParent() != this)
            delete strip;
}

void GUI_CampaignBattleManager::Layout()
{
    m_list = GRect{left, top + 40, right, bottom};
    m_allResolved = true;
    if (!SIM_CampaignBattleManager::GetInstance().GetPending().empty())
        BuildStrips();
    if (m_strips.empty())
        m_noBattles = GetString("CAMPAIGN_BATTLES_NONE");
    m_titleBar.SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                       static_cast<float>(top + 42));
    m_titleBar.SetText(GetString("CAMPAIGN_BATTLES_PENDING"));
}

void GUI_CampaignBattleManager::BuildStrips()
{
    for (const auto& battle : SIM_CampaignBattleManager::GetInstance().GetPending()) {
        auto* strip = new GUI_PendingBattle(battle.get());
        m_strips.push_back(strip);
        if (!strip->IsResolved())
            m_allResolved = false;
    }
    if (!m_strips.empty()) {
        m_scroll = PlaceChild(new GUI_ScrollingWindow(), m_list.right - 20, m_list.top + 5, m_list.right - 5,
                              m_list.bottom - 5);
    }
    LayoutStrips();
}

void GUI_CampaignBattleManager::LayoutStrips()
{
    for (GUI_PendingBattle* strip : m_strips) {
        RemoveChild(strip);
        RemoveChildElement(strip);
    }
    int y = m_list.top;
    int index = 0;
    m_shown = 0;
    const int position = m_scroll ? m_scroll->position : 0;
    for (GUI_PendingBattle* strip : m_strips) {
        if (index >= position) {
            if (y < m_list.bottom - kStripHeight) {
                AddChild(strip);
                AddChildElement(strip);
                strip->SetRect(static_cast<float>(m_list.left), static_cast<float>(y),
                               static_cast<float>(m_list.right - 25), static_cast<float>(y + kStripHeight));
                strip->Layout();
                ++m_shown;
            }
            y += kStripHeight;
        }
        ++index;
    }
    if (m_scroll) {
        const int total = static_cast<int>(m_strips.size());
        m_scroll->contentSize = static_cast<float>(total);
        m_scroll->visibleSize = static_cast<float>(m_shown);
        m_scroll->maximum = std::max(0, total - m_shown);
    }
}

void GUI_CampaignBattleManager::CheckAllResolved()
{
    // Unlike a plain flag that only ever rises, a battle whose preparation
    // failed is open again, and so is the way past the dialog.
    // Nor is the way open while a preparation may still fail.
    m_allResolved = !m_preparation && std::all_of(m_strips.begin(), m_strips.end(),
                                                  [](const GUI_PendingBattle* s) { return s->IsResolved(); });
}

bool GUI_CampaignBattleManager::StartPreparationThread(GUI_PendingBattle* strip)
{
    if (m_preparation && m_preparation->IsCancelled())
        m_preparation.reset(); // a cancelled worker's request is ending: joined now
    if (m_preparation || !strip || !strip->GetBattle())
        return false;
    SIM_CampaignBattleManager& manager = SIM_CampaignBattleManager::GetInstance();
    SIM_PendingBattle* battle = strip->GetBattle();
    if (battle->fleets.empty()) {
        // No fleet is left to fight it (they were merged or scrapped): nothing to prepare.
        manager.RemovePendingBattle(battle->encounter);
        return true;
    }
    if (!manager.BeginBattle(battle->encounter))
        return false;
    GUI_PleaseWait::OpenCancellable([this] { CancelPreparation(); });
    m_preparation = std::make_unique<SIM_CampaignBattlePreparation>();
    if (!m_preparation->Start()) {
        LOG_ERROR("Thread creation b0rked");
        m_preparation.reset();
        GUI_PleaseWait::Close();
        manager.ReturnCurrentToPending();
        SIM_CampaignScreenHooks::Get().ShowMessage("CAMPAIGN_NO_OPPONENT");
        return false;
    }
    m_preparing = strip;
    return true;
}

void GUI_CampaignBattleManager::CancelPreparation()
{
    if (!m_preparation || m_preparation->IsCancelled())
        return;
    m_preparation->Cancel();
    // The battle waits in the list again at once, as a failed try leaves it
    // but without a word; the worker ends on its own and is joined then.
    SIM_CampaignBattleManager::GetInstance().ReturnCurrentToPending();
    if (m_preparing)
        m_preparing->Unresolve();
    m_preparing = nullptr;
    CheckAllResolved();
}

void GUI_CampaignBattleManager::StopPreparation()
{
    if (!m_preparation)
        return;
    m_preparation.reset(); // joins
    m_preparing = nullptr;
    GUI_PleaseWait::Close();
    SIM_CampaignBattleManager::GetInstance().ReturnCurrentToPending();
}

bool GUI_CampaignBattleManager::FinishPreparation()
{
    if (!m_preparation)
        return false;
    std::unique_ptr<SIM_CampaignBattlePreparation> done = std::move(m_preparation);
    GUI_PendingBattle* strip = m_preparing;
    m_preparing = nullptr;
    GUI_PleaseWait::Close();
    SIM_PendingBattle* battle = SIM_CampaignBattleManager::GetInstance().GetCurrent();
    // Finish joins the worker; on failure it puts the battle back and tells
    // the player. The challenge is read into a scenario of its own: the
    // planet takes only its map size and zone, never its name or picture.
    SIM_Scenario challenge{SIM_Scenario::Unlisted{}};
    const bool ready = battle && battle->encounter && done->Finish(challenge);
    done.reset();
    if (!ready) {
        if (strip)
            strip->Unresolve();
        CheckAllResolved();
        return false;
    }
    LaunchDeployment();
    return true;
}

void GUI_CampaignBattleManager::LaunchDeployment()
{
    // The map waits behind the deployment: nothing of it may be pressed meanwhile.
    if (GUI_CampaignMap* map = GUI_CampaignMap::Get())
        map->visible = false;
    // The deployment first: its opening may free windows queued earlier, and
    // the end-turn dialog, whose code runs now, is queued only after it, to
    // go when the window manager next sweeps.
    GUI_CampaignDeployment::Open(SIM_CampaignBattleManager::GetInstance().GetCurrent());
    GUI_EndTurn::CloseLater();
}

bool GUI_CampaignBattleManager::OnLeftClick(float x, float y)
{
    if (GUI_PleaseWait::IsOpen())
        return true;
    return GUI_WindowBase::OnLeftClick(x, y);
}

void GUI_CampaignBattleManager::OnWheelUp()
{
    if (m_scroll)
        m_scroll->ScrollUp();
}

void GUI_CampaignBattleManager::OnWheelDown()
{
    if (m_scroll)
        m_scroll->ScrollDown();
}

void GUI_CampaignBattleManager::Draw()
{
    if (!visible)
        return;
    if (m_preparation && m_preparation->IsReady()) {
        if (m_preparation->IsCancelled()) {
            m_preparation.reset();
            CheckAllResolved();
        } else {
            FinishPreparation();
            return;
        }
    }
    if (m_scroll && m_scroll->changed) {
        LayoutStrips();
        m_scroll->changed = false;
    }
    m_titleBar.Draw();
    DrawCampaignClientArea(m_interlace, m_list.left, m_list.top, m_list.right, m_list.bottom);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    if (m_strips.empty())
        text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_noBattles, m_list.right - m_list.left - 20),
                     static_cast<float>(m_list.left + 10), static_cast<float>(m_list.top + 10), 0xFFFFFFFFu, 0.0f);
    DrawChildren();
    text.Render();
}
