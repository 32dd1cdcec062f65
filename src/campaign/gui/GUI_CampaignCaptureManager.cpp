#include "campaign/gui/GUI_CampaignCaptureManager.h"

#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignBackdrop.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/CampaignScrolledRows.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

// The strip

GUI_CampaignCaptureStrip::GUI_CampaignCaptureStrip(SIM_CampaignShip* ship)
    : m_ship(ship), m_integrity(IntegrityText(ship ? ship->integrity : 0.0f))
{
    QLM_ASSERT(ship);
    if (ship && ship->design && ship->design->GetHull())
        m_icon.SetTexture(ship->design->GetHull()->GetSprite());
    m_icon.SetSize(40.0f, 40.0f);
    claimsMouse = false;
}

std::string GUI_CampaignCaptureStrip::IntegrityText(float integrity)
{
    std::string text = StrFormat("%s: %.0f%%", GetString("CAMPAIGN_CAPTURE_INTEGRITY"), integrity * 100.0f);
    if (text.size() > 127)
        text.resize(127);
    return text;
}

void GUI_CampaignCaptureStrip::Draw()
{
    const SIM_CampaignShip* ship = GetShip();
    if (!visible || !ship)
        return;
    const GRect inner{left + 2, top + 2, right - 2, bottom - 2};
    D3DEngine::GetInstance().FillRect(inner, 0x80FFFFFFu);
    const float iconX = static_cast<float>(inner.left + 25);
    m_icon.PlaceCentred(iconX, static_cast<float>(top + bottom) * 0.5f);
    m_icon.Draw();
    DrawButtons();
    LibText& text = LibText::GetInstance();
    const float x = iconX + 20.0f + 10.0f;
    text.SetText(TEXT_ALIGN_LEFT, ship->name, x, static_cast<float>(inner.top), 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_integrity, static_cast<float>(inner.right - 300), static_cast<float>(inner.top),
                 0xFFFFFFFFu, 290.0f);
    if (ship->design)
        text.SetText(TEXT_ALIGN_LEFT, ship->design->GetGuiName(), x, static_cast<float>(inner.top + 20),
                     0xFFFFFFFFu, 0.0f);
}

// The dialog

void GUI_CampaignCaptureManager::CloseKeepingPrizes()
{
    GUI_CampaignCaptureManager* open = GetOpen();
    if (!open)
        return;
    open->m_handedOver = true;
    SIM_CampaignCaptureManager::GetInstance().AddCapturedShipToFleet();
    CloseOpen();
}

GUI_CampaignCaptureManager* GUI_CampaignCaptureManager::Open()
{
    if (GUI_CampaignCaptureManager* open = GetOpen()) {
        // The one open already hands nothing over: the new one shows the same prizes.
        open->m_handedOver = true;
        CloseOpen();
    }
    return new GUI_CampaignCaptureManager();
}

GUI_CampaignCaptureManager::GUI_CampaignCaptureManager() : GUI_Dialog(false)
{
    SetOpen(this);
    bottomMargin = 50.0f;
    CentreDialog(*this, kWidth, kHeight);
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
    m_scroll = AddClientScrollBar();
    const int cx = (left + right) / 2;
    m_ok = new GUI_ButtonText("CAMPAIGN_CAPTURE_OK", OnCapture, 0);
    // 200 wide, or as wide as its label needs.
    const int half = (m_ok->WidthToFit(200) + 1) / 2;
    m_ok->SetRect(static_cast<float>(cx - half), static_cast<float>(bottom - 30), static_cast<float>(cx + half),
                  static_cast<float>(bottom - 10));
    m_ok->SetTooltip("CAMPAIGN_CAPTURE_OK_TOOLTIP");
    m_ok->SetOwner(this);
    m_ok->SetName("CampaignCaptureOK");
    AddChildElement(m_ok);
    AddButton(m_ok);
    BuildStrips();
    SetTitleKey("CAMPAIGN_CAPTURE_MANAGER_TITLE");
    GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_CAPTURE");
}

GUI_CampaignCaptureManager::~GUI_CampaignCaptureManager()
{
    for (GUI_CampaignCaptureStrip* strip : m_strips)
        delete strip;
    m_strips.clear();
    const bool handOver = !m_handedOver;
    ForgetIfOpen(this);
    // Closed without its button (Escape): the prizes are not thrown away.
    if (handOver)
        HandOver();
}

void GUI_CampaignCaptureManager::BuildStrips()
{
    for (const auto& ship : SIM_CampaignCaptureManager::GetInstance().GetWaiting())
        m_strips.push_back(new GUI_CampaignCaptureStrip(ship.get()));
    LayoutStrips();
}

void GUI_CampaignCaptureManager::LayoutStrips()
{
    m_shown = LayOutScrolledRows(*this, m_strips, *m_scroll, clientLeft, clientTop, clientRight - 25, clientBottom,
                                 GUI_CampaignCaptureStrip::kHeight);
}

void GUI_CampaignCaptureManager::HandOver()
{
    SIM_CampaignCaptureManager::GetInstance().AddCapturedShipToFleet();
    SIM_CampaignScreenHooks::Get().OpenEndTurnDialog();
}

void GUI_CampaignCaptureManager::OnCapture(std::intptr_t)
{
    GUI_CampaignCaptureManager* self = GetOpen();
    if (!self || self->m_handedOver)
        return;
    self->m_handedOver = true;
    SIM_CampaignCaptureManager::GetInstance().AddCapturedShipToFleet();
    GUI_Campaign::StartTransition();
    CloseOpen();
    SIM_CampaignScreenHooks::Get().OpenEndTurnDialog();
}

void GUI_CampaignCaptureManager::OnWheelUp()
{
    m_scroll->ScrollUp();
}

void GUI_CampaignCaptureManager::OnWheelDown()
{
    m_scroll->ScrollDown();
}

void GUI_CampaignCaptureManager::Draw()
{
    if (!visible)
        return;
    if (m_scroll->changed)
        LayoutStrips();
    // Nothing of the map shows behind the prizes.
    GUI_CampaignBackdrop::GetInstance().Draw();
    drawButtons = false;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    DrawButtons();
    text.Render();
}
