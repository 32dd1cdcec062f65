#include "campaign/gui/GUI_ScrapShip.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignWindows.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

GUI_ScrapShip* GUI_ScrapShip::Open(SIM_CampaignShip* ship)
{
    QLM_ASSERT(ship && ship->design);
    CloseOpen();
    return ship && ship->design ? new GUI_ScrapShip(ship) : nullptr;
}

int GUI_ScrapShip::ScrapValue(float integrity, float designCost)
{
    return static_cast<int>(integrity * designCost * 0.25f);
}

GUI_ScrapShip::GUI_ScrapShip(SIM_CampaignShip* ship) : GUI_Dialog(false), m_ship(ship)
{
    SetOpen(this);
    Follow(m_ship);
    if (ship->design->GetHull())
        m_picture.SetTexture(ship->design->GetHull()->GetSprite());
    m_picture.SetSize(100.0f, 100.0f);
    bottomMargin = 36.0f;
    const float cost = ship->design->GetCost();
    m_value = ScrapValue(ship->integrity, cost);
    static const char* const keys[5] = {"CAMPAIGN_SCRAP_SHIPNAME", "CAMPAIGN_SCRAP_DESIGN",
                                        "CAMPAIGN_SCRAP_CONSTRUCTION", "CAMPAIGN_SCRAP_INTEGRITY",
                                        "CAMPAIGN_SCRAP_VALUE"};
    for (int i = 0; i < 5; ++i)
        m_labels[i] = GetString(keys[i]);
    m_values[0] = ship->name;
    m_values[1] = ship->design->GetGuiName();
    m_values[2] = FormatThousands(static_cast<long long>(cost)) + " CR";
    m_values[3] = StrFormat("%.0f%%", ship->integrity * 100.0f);
    m_values[4] = FormatThousands(m_value) + " CR";
    // As wide as the longest name needs, from where the values start.
    int widest = 0;
    LibText& text = LibText::GetInstance();
    if (text.FindFont("zekton16.dds")) {
        text.SetFont("zekton16.dds", 16.0f);
        for (const std::string& value : m_values)
            widest = std::max(widest, text.GetTextWidth(value));
    }
    const float w = std::max(static_cast<float>(kWidth), 2.0f * sideMargin + kValuesLeft + static_cast<float>(widest) + 10.0f);
    SetSize(w, static_cast<float>(kHeight));
    Centre();
    SetClientRect();
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
    const int mid = (left + right) / 2;
    m_ok = AddPanelButton(this, "CAMPAIGN_SCRAP_OK", OnOK, 0, clientLeft, bottom - 28, mid - 10, bottom - 8);
    m_ok->SetName("CampaignScrapOK");
    if (!GUI_CampaignFleetDetails::MayTakeShipFrom(ship->fleet)) {
        m_ok->enabled = false;
        m_ok->SetTooltip("CAMPAIGN_SCRAP_IN_BATTLE_TOOLTIP");
    }
    m_cancel = AddPanelButton(this, "CAMPAIGN_SCRAP_CANCEL", OnCancel, 0, mid + 10, bottom - 28, clientRight, bottom - 8);
    SetTitleKey("CAMPAIGN_SCRAP_SHIP_TITLE");
    GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_SCRAP");
}

GUI_ScrapShip::~GUI_ScrapShip()
{
    ForgetIfOpen(this);
}

bool GUI_ScrapShip::Scrap(SIM_CampaignShip* ship)
{
    QLM_ASSERT(ship && ship->fleet && ship->fleet->location);
    if (!ship || !ship->fleet)
        return false;
    // The last ship of a fleet a battle waits for stays: the battle needs it.
    if (!GUI_CampaignFleetDetails::MayTakeShipFrom(ship->fleet))
        return false;
    SIM_CampaignFleet* fleet = ship->fleet;
    SIM_CampaignEncounter* at = fleet->location;
    const int value = ship->design ? ScrapValue(ship->integrity, ship->design->GetCost()) : 0;
    // The windows that show the ship or its emptied fleet close as they go.
    fleet->RemoveShip(ship);
    GUI_CampaignFleetDetails::RefreshAll();
    SIM_CampaignScreenHooks& hooks = SIM_CampaignScreenHooks::Get();
    // An emptied fleet's going rebuilds the fleet manager; else the counts changed.
    if (!fleet->DeleteIfEmpty())
        hooks.RefreshFleetManager();
    RebuildEncounterView(at);
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    progress.GetStats().AddToStat("ships_scrapped", 1);
    // A wreck worth nothing brings nothing; it is scrapped all the same.
    if (value > 0) {
        progress.AddCash(value);
        hooks.UpdateCashCounter();
    }
    ship->log->DeleteLogFile();
    delete ship;
    progress.Save();
    return true;
}

void GUI_ScrapShip::OnOK(std::intptr_t)
{
    GUI_ScrapShip* self = GetOpen();
    if (!self)
        return;
    SIM_CampaignShip* ship = self->m_ship.Get();
    CloseOpen();
    if (ship)
        Scrap(ship);
}

void GUI_ScrapShip::OnCancel(std::intptr_t)
{
    CloseOpen();
}

void GUI_ScrapShip::Draw()
{
    if (!visible)
        return;
    drawButtons = false;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    const float cx = static_cast<float>(clientLeft + 60);
    const float cy = static_cast<float>(clientTop + 60);
    DrawOutlinedBox(cx - 50.0f, cy - 50.0f, cx + 50.0f, cy + 50.0f, 0xFF000000u, 0x00000000u);
    m_picture.PlaceCentred(cx, cy);
    m_picture.Draw();
    DrawOutlinedBox(cx - 50.0f, cy - 50.0f, cx + 50.0f, cy + 50.0f, 0x00000000u, 0x40FFFFFFu);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float x = cx + 60.0f;
    for (int i = 0; i < 5; ++i) {
        const float y = static_cast<float>(clientTop + 20 * i);
        text.SetText(0, m_labels[i], x, y, 0xFFFFFFFFu, 0.0f);
        text.SetText(0, m_values[i], static_cast<float>(clientLeft) + kValuesLeft, y, 0xFFFFFFFFu, 0.0f);
    }
    DrawButtons();
    text.Render();
}
