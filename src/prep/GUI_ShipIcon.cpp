#include "prep/GUI_ShipIcon.h"

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "frontend/GUI_RaceScreen.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_Tooltip.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_ShipIconRCMenu.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

namespace {
const char* const kReasonKeys[5] = {"", "SHIPICON_TOOEXPENSIVE", "SHIPICON_TOOMANYPILOTS",
                                    "SHIPICON_LIMITEDBYSUPPLIES", "SHIPICON_SCENARIOPREVENTS"};
} // namespace

GUI_ShipIcon::GUI_ShipIcon(int kind, const SIM_ShipDesign* design) : m_kind(kind), m_design(design)
{
    if (m_kind == DESIGN && m_design) {
        SetName("shipicon_" + m_design->GetName());
        if (m_design->GetHull())
            m_picture.SetTexture(m_design->GetHull()->GetSprite());
        m_picture.SetAngle(90.0f);
        BuildSpeedAndCostTooltip();
        RefreshAvailability();
        return;
    }
    SetName("shipicon");
    const bool race = m_kind == CHANGE_RACE;
    m_picture.SetTexture(race ? "changeracebutton.dds" : "newshipbutton.dds");
    m_tooltip = new GUI_Tooltip(GetString(race ? "CHANGERACE_TOOLTIP" : "NEWSHIPDESIGN_TOOLTIP"), 10);
}

GUI_ShipIcon::~GUI_ShipIcon()
{
    delete m_tooltip;
}

void GUI_ShipIcon::BuildSpeedAndCostTooltip()
{
    delete m_tooltip;
    m_tooltip = new GUI_Tooltip(m_design->GetGuiName(), 10);
    m_tooltip->AddLine(StrFormat("%s: %.2f", GetString("SHIPICON_SPEED"), m_design->GetSpeed()));
    m_tooltip->AddLine(StrFormat("%s: %s", GetString("SHIPICON_COST"),
                                 FormatThousands(static_cast<long long>(m_design->GetCost())).c_str()));
}

void GUI_ShipIcon::RefreshAvailability()
{
    if (m_kind != DESIGN || !m_design)
        return;
    const int code = GUI_DeploymentGUI::GetInstance().GetAvailability(m_design);
    m_available = code == 0;
    if (code == m_shownCode)
        return;
    m_shownCode = code;
    if (code == 0) {
        BuildSpeedAndCostTooltip();
        return;
    }
    delete m_tooltip;
    m_tooltip = new GUI_Tooltip(
        StrFormat("%s (%s)", m_design->GetGuiName().c_str(), GetString(kReasonKeys[code >= 1 && code <= 4 ? code : 4])),
        10);
}

bool GUI_ShipIcon::OnLeftClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    GUI_Sounds& sounds = GUI_Sounds::GetInstance();
    switch (m_kind) {
    case CHANGE_RACE:
        screen.ClearPlacingGhost();
        Game::GetInstance().SetMode(11);
        GUI_RaceScreen::GetInstance().SetReturnMode(2);
        return true;
    case NEW_DESIGN:
        APP_UsageMetrics::GetInstance().SetEventFlag("deploynewdesbutton");
        screen.WriteDeploymentFile(screen.GetTempDeploymentPath());
        sounds.PlayGuiSound(0);
        GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_DEPLOYMENT, screen.GetTempDeploymentPath());
        return true;
    default: break;
    }
    if (!m_design || GUI_Cursor::GetInstance().GetDraggedWindow())
        return true;
    sounds.PlayGuiSound(0);
    if (screen.GetAvailability(m_design) == 0)
        screen.PlaceShip(m_design, static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    else
        GUI_DeploymentDetails::OpenShipDetails(m_design);
    return true;
}

bool GUI_ShipIcon::OnRightClick(float x, float y)
{
    if (m_kind != DESIGN || !Contains(x, y))
        return false;
    GUI_Sounds::GetInstance().PlayGuiSound(0);
    OpenShipIconMenu(this);
    return true;
}

void GUI_ShipIcon::Update()
{
    const CInput& input = CInput::GetInstance();
    const bool over = Contains(input.GetMouseX(), input.GetMouseY());
    if (over && !m_hovered)
        GUI_Sounds::GetInstance().PlayGuiSound(2);
    m_hovered = over;
    if (over) {
        GUI_Cursor::GetInstance().SetHand();
        if (m_tooltip) {
            m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
            m_tooltip->CheckShowTime();
        }
    }
}

void GUI_ShipIcon::Draw()
{
    const float cx = static_cast<float>(left + right) / 2.0f, cy = static_cast<float>(top + bottom) / 2.0f;
    // Nothing while its own new ship is being dragged out of it.
    const GUI_DeploymentIcon* dragged = GetCurrentDeploymentIcon();
    if (m_design && dragged && dragged->newlyPlaced && dragged->GetDesign() == m_design)
        return;
    m_frame.SetTexture(!m_available ? "square_box_brown.dds" : (m_hovered ? "square_box_h.dds" : "square_box.dds"));
    m_frame.SetSize(static_cast<float>(width + 8), static_cast<float>(height + 8));
    m_frame.PlaceCentred(cx, cy);
    m_frame.Draw();
    m_picture.SetSize(static_cast<float>(width - 4), static_cast<float>(height - 4));
    m_picture.SetColour(m_available ? 0xFFFFFFFFu : 0x80FFFFFFu);
    m_picture.PlaceCentred(cx, cy);
    // A design shows as its hull's white silhouette, as its ships do on the map.
    D3DEngine& engine = D3DEngine::GetInstance();
    const bool silhouette = m_kind == DESIGN;
    if (silhouette)
        engine.SetFlatColour(true);
    m_picture.Draw();
    if (silhouette)
        engine.SetFlatColour(false);
    if (m_tooltip && !GUI_RCMenuBase::GetOpen())
        m_tooltip->Draw();
}
