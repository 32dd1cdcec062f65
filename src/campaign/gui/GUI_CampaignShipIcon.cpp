#include "campaign/gui/GUI_CampaignShipIcon.h"

#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignSquadronSize.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
GUI_CampaignShipIcon* g_selected = nullptr;
std::vector<GUI_CampaignShipIcon*> g_batch;
} // namespace

int GUI_CampaignHealthBar::SplitX(int left, int right, float value)
{
    return left + static_cast<int>(static_cast<float>(right - left) * value);
}

void GUI_CampaignHealthBar::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetTexture(0);
    const int split = SplitX(left, right, m_value);
    engine.FillRect(GRect{left, top, split, bottom}, kIntactColour);
    engine.FillRect(GRect{split, top, right, bottom}, kDamagedColour);
    engine.DrawRectFrame(GRect{left, top, right, bottom}, kOutlineColour);
}

GUI_CampaignShipIcon::ClickHandler GUI_CampaignShipIcon::s_clickHandler = nullptr;

GUI_CampaignShipIcon* GUI_CampaignShipIcon::GetSelected()
{
    return g_selected;
}

void GUI_CampaignShipIcon::SetSelected(GUI_CampaignShipIcon* icon)
{
    g_selected = icon;
}

GUI_CampaignShipIcon::GUI_CampaignShipIcon(SIM_CampaignShip* ship) : m_ship(ship)
{
    QLM_ASSERT(ship);
    m_frame.SetTexture("square_box.dds");
    m_frameLit.SetTexture("square_box_h.dds");
    m_health = new GUI_CampaignHealthBar(ship ? ship->integrity : 0.0f);
    m_health->visible = false; // drawn with the overlays
    AddChild(m_health);
    if (!ship)
        return;
    const SIM_ShipDesign* design = ship->design;
    m_tooltip = std::make_unique<GUI_Tooltip>(ship->name, 20);
    if (design) {
        m_tooltip->AddLine(design->GetGuiName());
        if (design->GetHull())
            m_hull.SetTexture(design->GetHull()->GetSprite());
        m_hasEngines = design->CountModulesOfClass("SIM_EngineModule") >= 1;
    }
    m_tooltip->AddLine(StrFormat("%s: %.0f%%", GetString("CAMPAIGN_ICON_INTEGRITY"), ship->integrity * 100.0f));
    if (!m_hasEngines) {
        m_tooltip->AddLine(GetString("CAMPAIGN_ICON_NOENGINES"));
        m_noEngines.SetTexture("noenginesicon.dds");
        m_noEngines.SetSize(12.0f, 12.0f);
    }
    m_quantityText = StrFormat("%d", ship->quantity);
}

GUI_CampaignShipIcon::~GUI_CampaignShipIcon()
{
    if (g_selected == this)
        g_selected = nullptr;
    g_batch.erase(std::remove(g_batch.begin(), g_batch.end(), this), g_batch.end());
}

bool GUI_CampaignShipIcon::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    if (!draggable && s_clickHandler) {
        g_selected = this;
        s_clickHandler(this);
    }
    return true;
}

bool GUI_CampaignShipIcon::OnRightClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    GUI_CampaignShipRCMenu::Open(this);
    return true;
}

void GUI_CampaignShipIcon::Update()
{
    if (m_tooltip && !GUI_WindowManager::GetInstance().IsMouseOverWindow() && !GUI_RCMenuBase::GetOpen() &&
        IsMouseOver() && !m_dragging) {
        const CInput& input = CInput::GetInstance();
        m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
        m_tooltip->CheckShowTime();
    }
    GUI_WindowBase::Update();
}

void GUI_CampaignShipIcon::StartDrag()
{
    GUI_WindowBase::StartDrag();
    // The tile follows the mouse, not its window.
    if (GetParent())
        GetParent()->RemoveChildElement(this);
}

void GUI_CampaignShipIcon::OnDragEnd()
{
    GUI_CampaignFleetDetails::OnShipIconDropped(this);
}

void GUI_CampaignShipIcon::StopDragging()
{
    m_dragging = false;
    if (GUI_Cursor::GetInstance().GetDraggedWindow() == this)
        GUI_Cursor::GetInstance().ClearDraggedWindow();
}

void GUI_CampaignShipIcon::Draw()
{
    if (!visible)
        return;
    if (m_tooltip && IsMouseOver() && !m_dragging)
        m_tooltip->Draw();
    m_highlighted = IsMouseOver() || g_selected == this;
    if (m_dragging) {
        DrawFrame();
        D3DEngine::GetInstance().SetFlatColour(true);
        DrawHull();
        D3DEngine::GetInstance().SetFlatColour(false);
        DrawOverlays();
        return;
    }
    g_batch.push_back(this);
}

void GUI_CampaignShipIcon::DrawFrame()
{
    CTexturedSprite& frame = m_highlighted ? m_frameLit : m_frame;
    frame.SetSize(static_cast<float>(width), static_cast<float>(height));
    frame.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    frame.Draw();
}

void GUI_CampaignShipIcon::DrawHull()
{
    const float side = static_cast<float>(width - 24);
    m_hull.SetSize(side, side);
    m_hull.SetColour(0xFFFFFFFFu);
    m_hull.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    m_hull.Draw();
}

void GUI_CampaignShipIcon::DrawOverlays()
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(1, m_quantityText, static_cast<float>(right - 100), static_cast<float>(top + 4), 0xFFFFFFFFu, 90.0f);
    m_health->SetRect(static_cast<float>(left + 12), static_cast<float>(bottom - 10), static_cast<float>(right - 12),
                      static_cast<float>(bottom - 3));
    m_health->Draw();
    if (!m_hasEngines) {
        m_noEngines.PlaceCentred(static_cast<float>(left + 16), static_cast<float>(top + 16));
        m_noEngines.Draw();
    }
}

void GUI_CampaignShipIcon::DrawShipIconBatch()
{
    for (GUI_CampaignShipIcon* icon : g_batch)
        icon->DrawFrame();
    // The hulls as white silhouettes, in one state change for all of them.
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetFlatColour(true);
    for (GUI_CampaignShipIcon* icon : g_batch)
        icon->DrawHull();
    engine.SetFlatColour(false);
    for (GUI_CampaignShipIcon* icon : g_batch)
        icon->DrawOverlays();
    g_batch.clear();
    LibText::GetInstance().Render();
}

void GUI_CampaignShipRCMenu::PlaceFor(float mouseX, float mouseY, int screenWidth, int screenHeight, float& x,
                                      float& y)
{
    // Both rows stay on the screen.
    PlaceBesidePointer(mouseX, mouseY, screenWidth, screenHeight, kWidth, kHeight, x, y);
}

GUI_CampaignShipRCMenu::GUI_CampaignShipRCMenu(GUI_CampaignShipIcon* icon)
{
    const CInput& input = CInput::GetInstance();
    const D3DEngine& engine = D3DEngine::GetInstance();
    float x = 0.0f, y = 0.0f;
    PlaceFor(input.GetMouseX(), input.GetMouseY(), engine.GetScreenWidth(), engine.GetScreenHeight(), x, y);
    SetRect(x, y, x + kWidth, y + kHeight);
    nextRowY = top + 28;
    SIM_CampaignShip* ship = icon ? icon->GetShip() : nullptr;
    if (ship)
        Follow(ship->lifetime);
    SetCaption(ship ? ship->name : std::string());
    const auto arg = static_cast<std::intptr_t>(ship ? ship->id : -1);
    auto* details = new GUI_ButtonText("CAMP_RC_SHOWDETAILS", OnShowDetails, arg);
    details->SetTooltip("CAMP_RC_SHOWDETAILS_TOOLTIP");
    AddItem(details);
    m_details = details;
    auto* quantity = new GUI_ButtonText("CAMP_RC_QUANTITY", OnQuantity, arg);
    quantity->SetTooltip("CAMP_RC_QUANTITY_TOOLTIP");
    quantity->enabled = ship && ship->design && ship->design->GetHull() && ship->design->GetHull()->GetClass() == 2;
    AddItem(quantity);
    m_quantity = quantity;
    GUI_WindowManager::GetInstance().BringToFront(this);
}

void GUI_CampaignShipRCMenu::Open(GUI_CampaignShipIcon* icon)
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen())
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    QLM_ASSERT(icon);
    if (icon)
        new GUI_CampaignShipRCMenu(icon);
}

namespace {
void CloseMenu()
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen()) {
        menu->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    }
}
} // namespace

void GUI_CampaignShipRCMenu::OnShowDetails(std::intptr_t shipId)
{
    CloseMenu();
    if (SIM_CampaignShip* ship = SIM_CampaignShip::FindByID(static_cast<int>(shipId)))
        GUI_CampaignShipDetails::Open(ship);
}

void GUI_CampaignShipRCMenu::OnQuantity(std::intptr_t shipId)
{
    CloseMenu();
    if (SIM_CampaignShip* ship = SIM_CampaignShip::FindByID(static_cast<int>(shipId)))
        GUI_CampaignSquadronSize::Open(ship);
}
