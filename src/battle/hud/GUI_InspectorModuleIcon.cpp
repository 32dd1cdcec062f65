#include "battle/hud/GUI_InspectorModuleIcon.h"

#include <cstdio>

#include "app/APP_UsageMetrics.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_BattleModuleStats.h"
#include "battle/hud/GUI_RangeMarker.h"
#include "battle/hud/ModulePicture.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_CarrierModule.h"
#include "sim/modules/SIM_RepairModule.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_ShieldSupportBeam.h"
#include "sim/modules/SIM_TargetedModule.h"

namespace {
constexpr uint32_t kGaugeBack = 0xFF000000u;
constexpr uint32_t kGaugeFill = 0xFFFFFFFFu;
constexpr uint32_t kTargetMark = 0xFFFFFFFFu;
} // namespace

GUI_InspectorModuleIcon::GUI_InspectorModuleIcon(SIM_ShipModule* module, float l, float t, float r, float b)
    : m_module(module)
{
    SetRect(l, t, r, b);
    m_inner = GRect{left + 2, top + 2, right - 2, bottom - 2};
    m_sprite.SetSize(r - l - 4.0f, b - t - 4.0f);
    m_sprite.PlaceCentred((l + r) / 2.0f, (t + b) / 2.0f);
    const SIM_ShipModuleType* type = module ? module->GetType() : nullptr;
    if (!module || !type)
        return;
    const SIM_Ship* ship = module->GetShip();
    ModulePicture::Find(*type, ship ? ship->GetHull() : nullptr).ApplyTo(m_sprite);
    m_tooltip = new GUI_Tooltip(GetString(type->GetGuiName().c_str()), 30);
    m_kind = KindOf(*module);
    // The class name says what the module is meant to be; the cast says
    // whether it was built as one.
    switch (m_kind) {
    case REPAIR:
        m_repair = dynamic_cast<SIM_RepairModule*>(module);
        break;
    case SHIELD:
        m_shield = dynamic_cast<SIM_ShieldModule*>(module);
        break;
    case CARRIER:
        m_carrier = dynamic_cast<SIM_CarrierModule*>(module);
        break;
    default:
        break;
    }
    if (module->IsTargeted())
        m_targeted = dynamic_cast<SIM_TargetedModule*>(module);
}

GUI_InspectorModuleIcon::~GUI_InspectorModuleIcon()
{
    delete m_tooltip;
}

int GUI_InspectorModuleIcon::KindOf(const SIM_ShipModule& module)
{
    const SIM_ShipModuleType* type = module.GetType();
    if (type) {
        const std::string& name = type->GetClassName();
        if (name == "SIM_RepairModule")
            return REPAIR;
        if (name == "SIM_CarrierModule")
            return CARRIER;
        if (name == "SIM_ShieldModule")
            return SHIELD;
        if (name == "SIM_ShieldSupportBeam")
            return SUPPORT_BEAM;
    }
    return module.IsTargeted() ? WEAPON : OTHER;
}

float GUI_InspectorModuleIcon::GaugeValue() const
{
    switch (m_kind) {
    case WEAPON:
        return m_targeted && m_module->GetHealth() > 0.0f ? m_targeted->ChargeFraction() : -1.0f;
    case REPAIR:
        return m_repair ? m_repair->GetSuppliesFraction() : -1.0f;
    case SHIELD:
        return m_shield ? m_shield->GetShieldFraction() : -1.0f;
    case CARRIER:
        return m_carrier ? m_carrier->GetSuppliesFraction() : -1.0f;
    case SUPPORT_BEAM:
        return m_targeted ? m_targeted->ChargeFraction() : -1.0f;
    default:
        return -1.0f;
    }
}

int GUI_InspectorModuleIcon::DockedFighters() const
{
    return m_carrier ? static_cast<int>(m_carrier->GetDocked().size()) : 0;
}

bool GUI_InspectorModuleIcon::OnLeftClick(float x, float y)
{
    if (!visible || !m_module || !Contains(x, y))
        return false;
    if (m_targeted) {
        APP_UsageMetrics::GetInstance().SetEventFlag("rangeoverlay");
        GetRangeMarker().Toggle(m_targeted);
        if (GUI_Sounds* sounds = GUI_BattleGUI::GetInstance().GetSounds())
            sounds->PlayGuiSound(0);
        GUI_BattleModuleStats::Open(m_module);
    } else {
        GUI_BattleModuleStats::Close();
    }
    return true;
}

void GUI_InspectorModuleIcon::Update()
{
    if (m_module && IsMouseOver())
        GUI_Cursor::GetInstance().SetHand();
    GUI_WindowBase::Update();
}

void GUI_InspectorModuleIcon::Draw()
{
    if (!m_module)
        return;
    if (m_targeted && GetRangeMarker().GetModule() == m_targeted)
        D3DEngine::GetInstance().FillRect(m_inner, kMarkerFill);
    m_sprite.Draw();
    if (IsMouseOver())
        m_tooltip->visibility = 1.0f;
    m_tooltip->Draw();
}

void GUI_InspectorModuleIcon::DrawDamageOverlay()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (m_module) {
        const float h = static_cast<float>(width - 4);
        const float f = m_module->GetHealth();
        if (f < 1.0f) {
            const int lost = static_cast<int>(h * (1.0f - f));
            if (m_module->IsRepairActive()) {
                const int back = static_cast<int>(h * f);
                engine.FillRect(GRect{m_inner.left, m_inner.top, m_inner.right, m_inner.top + back}, kRepaired);
            }
            engine.FillRect(GRect{m_inner.left, m_inner.bottom - lost, m_inner.right, m_inner.bottom}, kDamage);
        }
        const float gauge = GaugeValue();
        if (gauge >= 0.0f) {
            const GRect back{m_inner.left + 2, m_inner.bottom - 6, m_inner.right - 2, m_inner.bottom - 2};
            engine.FillRect(back, kGaugeBack);
            const float share = gauge > 1.0f ? 1.0f : gauge;
            const int filled = back.left + static_cast<int>(static_cast<float>(back.right - back.left) * share);
            if (filled > back.left)
                engine.FillRect(GRect{back.left, back.top, filled, back.bottom}, kGaugeFill);
        }
        if (m_kind == WEAPON && m_targeted && m_targeted->GetTarget())
            engine.FillRect(GRect{m_inner.left, m_inner.top, m_inner.left + 4, m_inner.top + 4}, kTargetMark);
        const int docked = DockedFighters();
        if (docked > 0) {
            if (docked != m_shownFighters) {
                std::snprintf(m_fighterText, sizeof(m_fighterText), "%d", docked);
                m_shownFighters = docked;
            }
            LibText& text = LibText::GetInstance();
            text.SetFont("zekton16.dds", 16.0f);
            text.SetText(TEXT_ALIGN_LEFT, m_fighterText, static_cast<float>(left), static_cast<float>(top - 3),
                         0xFFFFFFFFu, 0.0f);
        }
        // The ship's view lights the module the mouse rests on.
        m_module->selected = IsMouseOver() ? 1 : 0;
    }
    engine.DrawRectFrame(m_inner, kFrame);
}
