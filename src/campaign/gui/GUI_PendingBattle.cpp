#include "campaign/gui/GUI_PendingBattle.h"

#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_ConquestDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"

#include <algorithm>

void (*GUI_PendingBattle::openConquestDetails)(SIM_CampaignEncounter*) = [](SIM_CampaignEncounter* encounter) {
    GUI_ConquestDetails::Open(encounter);
};

namespace {
std::string PlanetName(const SIM_CampaignEncounter* e)
{
    return e ? GetString(e->GetGuiName().c_str()) : std::string();
}
} // namespace

GUI_PendingBattle::GUI_PendingBattle(SIM_PendingBattle* battle)
    : m_battle(battle), m_encounter(battle ? battle->encounter : nullptr),
      m_kind(battle ? battle->kind : -1)
{
    m_resolve = new GUI_ButtonText("CAMPAIGN_RESOLVE", OnResolve, reinterpret_cast<std::intptr_t>(this));
    m_resolve->SetTooltip("CAMPAIGN_RESOLVE_TOOLTIP", 60);
    m_resolve->SetOwner(this);
    AddButton(m_resolve);
    QLM_ASSERT(!m_buttons.empty());

    const std::string planet = PlanetName(m_encounter.Get());
    switch (m_kind) {
    case SIM_PendingBattle::PLAYER_ATTACK:
        QLM_ASSERT(!battle->fleets.empty());
        m_text = StrFormat("%s %s %s", battle->fleets.empty() ? "" : battle->fleets[0]->GetName().c_str(),
                           GetString("CAMPAIGN_PENDINGBATTLE_ATTACKS"), planet.c_str());
        break;
    case SIM_PendingBattle::AI_ATTACK:
        QLM_ASSERT(!battle->fleets.empty());
        if (battle->fleets.size() == 1)
            m_text = StrFormat("%s %s %s", battle->fleets[0]->GetName().c_str(),
                               GetString("CAMPAIGN_PENDINGBATTLE_DEFENDS"), planet.c_str());
        else
            m_text = StrFormat("%s %s", GetString("CAMPAIGN_PENDINGBATTLE_DEFENDS_MULTIPLE"), planet.c_str());
        break;
    case SIM_PendingBattle::AI_CONQUEST:
        m_text = StrFormat("%s %s", GetString("CAMPAIGN_PENDINGBATTLE_AICONQUEST"), planet.c_str());
        m_resolve->SetTextKey("CAMPAIGN_RESOLVE_AICONQUEST");
        m_resolve->SetTooltip("CAMPAIGN_RESOLVE_AICONQUEST_TOOLTIP", 60);
        m_resolved = true;
        break;
    default:
        break;
    }
    if (m_text.size() > kMaxText)
        m_text.resize(kMaxText);
}

GUI_PendingBattle::~GUI_PendingBattle()
{
    // A conquest needs no fight: it leaves the list with its strip. The
    // record is looked for by address, so a list already cleared is no harm.
    if (m_kind != SIM_PendingBattle::AI_CONQUEST)
        return;
    SIM_CampaignBattleManager& manager = SIM_CampaignBattleManager::GetInstance();
    const SIM_PendingBattle* battle = m_battle.Get();
    SIM_CampaignEncounter* at = m_encounter.Get();
    for (const auto& b : manager.GetPending())
        if (battle && at && b.get() == battle) {
            manager.RemovePendingBattle(at);
            break;
        }
}

void GUI_PendingBattle::Layout()
{
    m_inner = GRect{left + 2, top + 2, right - 2, bottom - 2};
    const float cx = static_cast<float>(left + right) * 0.5f;
    m_resolve->SetRect(cx - 100.0f, static_cast<float>(m_inner.bottom - 25), cx + 100.0f,
                       static_cast<float>(m_inner.bottom - 5));
    // A fleet's name is as long as the player typed it: one line, cut with
    // "..." inside the strip.
    LibText& text = LibText::GetInstance();
    text.SetFont(kFont, kFontSize);
    m_shownText = text.FitText(m_text, std::max(1, m_inner.right - m_inner.left - 20), 1);
}

void GUI_PendingBattle::Draw()
{
    if (!visible)
        return;
    DrawNamedFrame("textbox_darken.dds", 16.0f, 0.5f, static_cast<float>(m_inner.left),
                   static_cast<float>(m_inner.top), static_cast<float>(m_inner.right),
                   static_cast<float>(m_inner.bottom));
    DrawButtons();
    LibText::GetInstance().SetText(TEXT_ALIGN_LEFT, m_shownText, static_cast<float>(m_inner.left + 10),
                                   static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
}

void GUI_PendingBattle::OnResolve(std::intptr_t strip)
{
    reinterpret_cast<GUI_PendingBattle*>(strip)->Resolve();
}

void GUI_PendingBattle::Resolve()
{
    GUI_EndTurn* dialog = GUI_EndTurn::GetOpen();
    GUI_CampaignBattleManager* list = dialog ? dialog->GetBattles() : nullptr;
    if (m_kind == SIM_PendingBattle::AI_CONQUEST) {
        m_resolved = true;
        if (SIM_CampaignEncounter* at = m_encounter.Get(); openConquestDetails && at)
            openConquestDetails(at);
    } else if (!m_resolved && list) {
        m_resolved = true;
        m_resolve->enabled = false;
        // Counted as fought, and taken off the list, only once it is prepared.
        if (!list->StartPreparationThread(this))
            Unresolve();
    }
    if (list)
        list->CheckAllResolved();
}

void GUI_PendingBattle::Unresolve()
{
    m_resolved = false;
    m_resolve->enabled = true;
}
