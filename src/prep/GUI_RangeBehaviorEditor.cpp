#include "prep/GUI_RangeBehaviorEditor.h"

#include "app/Game.h"
#include "engine/LibText.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_OrdersSlider.h"
#include "prep/GUI_WeaponRangeStrip.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

namespace {
GUI_RangeBehaviorEditor* g_openRange = nullptr;
} // namespace

GUI_RangeBehaviorEditor* GUI_RangeBehaviorEditor::GetOpenRange()
{
    return g_openRange;
}

void GUI_RangeBehaviorEditor::OpenRange(const SIM_BehaviourType* type)
{
    CloseOpen();
    auto* editor = new GUI_RangeBehaviorEditor(type);
    editor->Setup();
}

GUI_RangeBehaviorEditor::GUI_RangeBehaviorEditor(const SIM_BehaviourType* type) : GUI_BehaviourEditor(type)
{
    g_openRange = this;
}

GUI_RangeBehaviorEditor::~GUI_RangeBehaviorEditor()
{
    if (g_openRange == this)
        g_openRange = nullptr;
}

void GUI_RangeBehaviorEditor::DrawRangePreview()
{
    GUI_RangeBehaviorEditor* editor = g_openRange;
    if (!editor || !editor->visible)
        return;
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    const float side = 2.0f * editor->m_currentRange * map.GetScale();
    editor->m_preview.SetTexture("deployment_range.dds");
    editor->m_preview.SetSize(side, side);
    editor->m_preview.SetColour(kPreviewColour);
    for (const GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons()) {
        editor->m_preview.PlaceCentred(icon->screenX, icon->screenY);
        editor->m_preview.DrawClipped(map.GetRect());
    }
}

void GUI_RangeBehaviorEditor::Setup()
{
    const SIM_DeployedShip* ship = GUI_DeploymentDetails::GetShown();
    m_design = ship ? SIM_ShipDesign::Find(ship->design) : nullptr;
    const bool onScreen = Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId;
    // Elsewhere the map shows the campaign deployment's encounter, which
    // serves as its scenario.
    const SIM_Scenario* scenario = onScreen ? GUI_DeploymentGUI::GetInstance().GetScenario()
                                            : GUI_DeploymentMap::GetInstance().GetScenario();
    const float multiplier = scenario ? scenario->GetWeaponRangeMultiplier() : 1.0f;
    std::vector<GUI_WeaponRangeStrip*> strips;
    if (m_design) {
        for (const SIM_ShipDesign::FittedModule& m : m_design->GetModules()) {
            if (!m.moduleType || m.moduleType->GetConfigFloat("max_range") <= 0.0f)
                continue;
            GUI_WeaponRangeStrip* same = nullptr;
            for (GUI_WeaponRangeStrip* s : strips)
                if (s->GetModuleType() == m.moduleType)
                    same = s;
            if (same)
                same->AddOne();
            else
                strips.push_back(new GUI_WeaponRangeStrip(m.moduleType, m_design, multiplier, this));
        }
    }
    const int h = static_cast<int>(strips.size()) * 44 + 280;
    CentreDialog(*this, kWidth, h);
    BuildControls();
    m_strips = strips;
    for (GUI_WeaponRangeStrip* s : m_strips)
        AddChild(s);
    UpdateCurrentRange();
}

void GUI_RangeBehaviorEditor::UpdateCurrentRange()
{
    if (m_slider2)
        m_currentRange = m_slider2->GetParameterValue();
}

void GUI_RangeBehaviorEditor::SetRange(float range)
{
    m_currentRange = range;
    if (m_slider2) {
        m_slider2->SetValue(range);
        UpdateCurrentRange();
    }
}

void GUI_RangeBehaviorEditor::Draw()
{
    if (!visible)
        return;
    SetClientRect();
    int y = top + 220;
    for (GUI_WeaponRangeStrip* s : m_strips) {
        s->SetRect(static_cast<float>(clientLeft + 5), static_cast<float>(y), static_cast<float>(clientRight - 5),
                   static_cast<float>(y + 42));
        y += 44;
    }
    UpdateCurrentRange();
    GUI_BehaviourEditor::Draw();
}
