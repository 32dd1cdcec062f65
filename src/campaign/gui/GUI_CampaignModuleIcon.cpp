#include "campaign/gui/GUI_CampaignModuleIcon.h"

#include "app/GUI_Sounds.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_ModuleIconRCMenu.h"
#include "prep/GUI_ModulePopup.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

namespace {
const GUI_CampaignModuleIcon* g_lastHovered = nullptr;
}

GUI_CampaignModuleIcon::GUI_CampaignModuleIcon(const SIM_ShipModuleType* type, const SIM_ShipDesign* design,
                                               const SIM_CampaignModuleState* state)
    : m_design(design), m_state(state), m_type(type)
{
    if (m_type) {
        m_tooltip = std::make_unique<GUI_Tooltip>(GetString(m_type->GetGuiName().c_str()), 30);
        // Turrets are frames of the race's turret sheet, as in the designer.
        designer::SetModuleIcon(m_icon, m_type, m_design ? m_design->GetHull() : nullptr);
    }
    if (m_state) {
        const std::string line =
            StrFormat("%s %.0f%%", GetString("CAMPAIGN_MODULE_INTEGRITY"), m_state->integrity * 100.0f);
        if (m_tooltip)
            m_tooltip->AddLine(line);
        else
            m_tooltip = std::make_unique<GUI_Tooltip>(line, 30);
    }
}

GUI_CampaignModuleIcon::~GUI_CampaignModuleIcon()
{
    if (g_lastHovered == this)
        g_lastHovered = nullptr;
    GUI_ModulePopup::ForgetOpener(this);
}

bool GUI_CampaignModuleIcon::OnLeftClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    if (m_design && m_type)
        GUI_ModulePopup::Open(m_type, m_design, this);
    return true;
}

bool GUI_CampaignModuleIcon::OnRightClick(float x, float y)
{
    if (!visible || !m_type || !Contains(x, y))
        return false;
    GUI_ModuleIconRCMenu::Open(m_type);
    return true;
}

void GUI_CampaignModuleIcon::Update()
{
    GUI_WindowBase::Update();
    if (!IsMouseOver())
        return;
    GUI_Cursor::GetInstance().SetHand();
    if (g_lastHovered != this)
        GUI_Sounds::GetInstance().PlayGuiSound(2);
    g_lastHovered = this;
    if (m_tooltip) {
        const CInput& input = CInput::GetInstance();
        m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
        m_tooltip->CheckShowTime();
    }
}

bool GUI_CampaignModuleIcon::IsLit() const
{
    return m_design && m_type && (IsMouseOver() || GUI_ModulePopup::IsOpenFor(this));
}

void GUI_CampaignModuleIcon::Draw()
{
    if (!visible)
        return;
    const float cx = static_cast<float>(left + right) / 2.0f;
    const float cy = static_cast<float>(top + bottom) / 2.0f;
    if (m_type) {
        m_icon.SetSize(static_cast<float>(width - 2), static_cast<float>(height - 2));
        const bool lit = IsLit();
        if (lit)
            D3DEngine::GetInstance().FillRect(GRect{left + 1, top + 1, right - 1, bottom - 1}, 0x80FFFFFFu);
        m_icon.SetColour(lit ? 0xFFFFFFFFu : 0x80FFFFFFu);
        m_icon.PlaceCentred(cx, cy);
        m_icon.Draw();
    }
    if (m_tooltip)
        m_tooltip->Draw();
}
