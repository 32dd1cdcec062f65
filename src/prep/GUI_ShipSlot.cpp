#include "prep/GUI_ShipSlot.h"

#include "app/APP_UsageMetrics.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_DesignStats.h"
#include "prep/GUI_ModuleDetails.h"
#include "prep/GUI_ModulePickerIcon.h"
#include "prep/GUI_ShipBlueprint.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipModuleType.h"

#include <cmath>

GUI_ShipSlot::GUI_ShipSlot(GUI_ShipBlueprint* blueprint, const SIM_ShipHull::Slot& slot, ScreenPoint centre,
                           std::vector<ScreenPoint> turretPoints)
    : m_blueprint(blueprint), m_slot(slot), m_centre(centre), m_turretPoints(std::move(turretPoints))
{
    const bool turret = IsTurretSlot();
    m_box.SetTexture(turret ? "hex_box.dds" : "square_box.dds");
    const float side = turret ? kTurretBox : kStandardBox;
    m_box.SetSize(side, side);
    m_icon.SetSize(kIconSize, kIconSize);
    m_icon.SetColour(225, 255, 255, 255);
    m_line.SetTexture("ship_slot_line.dds");
    m_spot.SetTexture("ship_slot_spot.dds");
    m_spot.SetSize(8.0f, 8.0f);
    const int cx = static_cast<int>(centre.x);
    const int cy = static_cast<int>(centre.y);
    SetRect(static_cast<float>(cx - kHalfSize), static_cast<float>(cy - kHalfSize),
            static_cast<float>(cx + kHalfSize), static_cast<float>(cy + kHalfSize));
    swallowsClicks = false;
    raisesOnClick = false;
}

GUI_ShipSlot::~GUI_ShipSlot()
{
    DeleteTooltip();
}

bool GUI_ShipSlot::Accepts(const SIM_ShipModuleType* type) const
{
    return type != nullptr && (type->GetSlotType() != SIM_ShipModuleType::TURRET || IsTurretSlot());
}

void GUI_ShipSlot::DeleteTooltip()
{
    delete m_tooltip;
    m_tooltip = nullptr;
}

void GUI_ShipSlot::SetTooltipText(const std::string& text)
{
    DeleteTooltip();
    m_tooltip = new GUI_Tooltip(text, 30);
}

void GUI_ShipSlot::SetModule(SIM_ShipModuleType* type, const SIM_ShipHull* hull, float pictureScale)
{
    m_module = type;
    m_hasTurretSprite = false;
    if (type == nullptr || hull == nullptr)
        return;
    designer::SetModuleIcon(m_icon, type, hull);
    if (hull->GetClass() == SIM_ShipHull::FIGHTER)
        return;
    const std::string turretName = type->GetConfigString("turret_sprite");
    if (turretName.empty())
        return;
    const SIM_Race* race = SIM_Race::Find(hull->GetRaceName());
    QLM_ASSERT(race != nullptr);
    const SIM_Race::Turret* turret = race ? race->FindTurret(turretName) : nullptr;
    if (turret == nullptr)
        return;
    m_hasTurretSprite = true;
    m_turret.SetTexture(turret->texture);
    m_turret.SetFrame(turret->frame, 64);
    const float side = type->GetConfigFloat("turretsize", 10.0f) * (pictureScale / std::max(1.0f, hull->GetWidth()));
    m_turret.SetSize(side, side);
}

bool GUI_ShipSlot::OnLeftClick(float x, float y)
{
    if (!m_blueprint || m_blueprint->GetViewMode() == GUI_ShipBlueprint::HULL_VIEW || !Contains(x, y))
        return false;
    if (m_module) {
        if (GUI_ModuleDetails* details = GUI_ModuleDetails::GetOpen())
            details->SetModule(m_module);
        if (GUI_ModulePickerIcon::GetDragged() == nullptr) {
            GUI_ModulePickerIcon::StartDragging(m_module, m_slot.index, left, top, right, bottom);
            GUI_ShipDesignGUI::GetInstance().SetModified(true);
            m_blueprint->FitModuleToSlot(this, nullptr);
            m_blueprint->RefreshHighlights();
        }
    }
    return true;
}

bool GUI_ShipSlot::OnRightClick(float x, float y)
{
    if (!m_blueprint || m_blueprint->GetViewMode() == GUI_ShipBlueprint::HULL_VIEW || !Contains(x, y))
        return false;
    if (m_module) {
        designer::PlaySound(designer::kSoundButton);
        GUI_ShipDesignGUI::GetInstance().SetModified(true);
    }
    m_blueprint->FitModuleToSlot(this, nullptr);
    m_blueprint->RefreshTooltips();
    return true;
}

void GUI_ShipSlot::Update()
{
    if (m_blueprint && m_blueprint->GetViewAlpha() < 1.0f && m_module && m_tooltip && IsMouseOver() &&
        GUI_Cursor::GetInstance().GetDraggedWindow() == nullptr) {
        m_tooltip->CheckShowTime();
        GUI_Cursor::GetInstance().SetHand();
    }
    GUI_WindowBase::Update();
}

void GUI_ShipSlot::Draw()
{
    if (!m_blueprint || m_blueprint->GetViewAlpha() >= 1.0f)
        return;
    const uint8_t alpha = incompatible ? 128 : 255;
    for (const ScreenPoint& p : m_turretPoints) {
        const float dx = p.x - m_centre.x;
        const float dy = p.y - m_centre.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        if (length > 0.5f) {
            m_line.SetSize(3.0f, length);
            m_line.SetAngle(std::atan2(dx, -dy) * 57.29578f);
            m_line.PlaceCentred((p.x + m_centre.x) * 0.5f, (p.y + m_centre.y) * 0.5f);
            m_line.Draw();
        }
        m_spot.PlaceCentred(p.x, p.y);
        m_spot.Draw();
    }
    const float cx = designer::RectCentreX(left, right);
    const float cy = designer::RectCentreY(top, bottom);
    m_box.SetColour(alpha, 255, 255, 255);
    m_box.PlaceCentred(cx, cy);
    m_box.Draw();
    if (m_module) {
        m_icon.SetColour(incompatible ? 128 : 225, 255, 255, 255);
        m_icon.PlaceCentred(cx, cy);
        m_icon.Draw();
        if (m_tooltip)
            m_tooltip->Draw();
    }
}

void GUI_ShipSlot::DrawTurrets(unsigned char alpha)
{
    if (!m_module || !m_hasTurretSprite)
        return;
    m_turret.SetColour(alpha, 255, 255, 255);
    if (m_turretPoints.empty()) {
        m_turret.PlaceCentred(m_centre.x, m_centre.y);
        m_turret.Draw();
        return;
    }
    for (const ScreenPoint& p : m_turretPoints) {
        m_turret.PlaceCentred(p.x, p.y);
        m_turret.Draw();
    }
}
