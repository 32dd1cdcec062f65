#include "prep/GUI_ShipBlueprint.h"

#include "app/APP_UsageMetrics.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_DesignStats.h"
#include "prep/GUI_ModulePickerIcon.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "prep/GUI_ShipSlot.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>
#include <cmath>

namespace {
GUI_ShipBlueprint* g_blueprint = nullptr;
const char* const kEffectFile = "data/shaders/blueprint";
} // namespace

GUI_ShipBlueprint* GUI_ShipBlueprint::GetOpen()
{
    return g_blueprint;
}

GUI_ShipBlueprint* GUI_ShipBlueprint::Create(SIM_ShipDesign* design)
{
    delete g_blueprint;
    auto* blueprint = new GUI_ShipBlueprint();
    blueprint->Rebuild(design);
    return blueprint;
}

GUI_ShipBlueprint::GUI_ShipBlueprint() : GUI_Dialog(false)
{
    g_blueprint = this;
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    const float screenH = designer.GetScreenHeight();
    float l = designer.GetOriginX() + 440.0f;
    float r = l + static_cast<float>(GUI_ShipDesignSummary::kWidth);
    float t = designer.GetOriginY() + static_cast<float>(GUI_ShipDesignSummary::kHeight);
    if (const GUI_ShipDesignSummary* summary = GUI_ShipDesignSummary::GetOpen()) {
        l = static_cast<float>(summary->left);
        r = static_cast<float>(summary->right);
        t = static_cast<float>(summary->bottom);
    }
    const float b = std::min(t + 768.0f - static_cast<float>(GUI_ShipDesignSummary::kHeight), screenH - 45.0f);
    SetRect(l, t, r, b);
    SetFrameTexture("border_depth.dds");
    GUI_WindowManager::GetInstance().BringToFront(this);
    m_inner = GRect{left + 8, top + 8, right - 8, bottom - 8};
    m_scale = static_cast<float>(std::min(width, height)) - 15.0f;
    m_background.SetTexture("blueprint_background.dds");
    m_background.SetSize(static_cast<float>(width - 12), static_cast<float>(height - 12));
    m_background.PlaceCentred(designer::RectCentreX(left, right), designer::RectCentreY(top, bottom));
    m_picture.SetSize(m_scale, m_scale);
    m_picture.PlaceCentred(designer::RectCentreX(left, right), designer::RectCentreY(top, bottom));

    m_modeButton = new GUI_IconButton(OnToggleView, 0, "modebutton.dds", "modebutton_h.dds");
    m_modeButton->SetTooltip(GetString("BLUEPRINT_MODE_TOOLTIP"));
    m_modeButton->SetRect(static_cast<float>(right - 44), static_cast<float>(top + 12), static_cast<float>(right - 12),
                          static_cast<float>(top + 44));
    AddButton(m_modeButton);
    if (screenH < static_cast<float>(GUI_ShipDesignGUI::kTallScreen)) {
        m_statsButton = new GUI_IconButton(OnToggleStats, 0, "statsbutton.dds", "statsbutton_h.dds");
        m_statsButton->SetTooltip(GetString("BLUEPRINT_STATS_TOOLTIP"));
        m_statsButton->SetRect(static_cast<float>(right - 76), static_cast<float>(top + 12),
                               static_cast<float>(right - 44), static_cast<float>(top + 44));
        AddButton(m_statsButton);
    }
    // Without shaders the picture is drawn plain; don't ask for the effect.
    if (D3DEngine::GetInstance().HasShaders())
        m_effect.Load(kEffectFile);
    SetName("SHIPDESIGN_BLUEPRINT");
    m_clock.Start();
}

GUI_ShipBlueprint::~GUI_ShipBlueprint()
{
    if (g_blueprint == this)
        g_blueprint = nullptr;
    m_effect.Release();
}

void GUI_ShipBlueprint::OnToggleView(std::intptr_t)
{
    if (g_blueprint)
        g_blueprint->ToggleView();
}

void GUI_ShipBlueprint::OnToggleStats(std::intptr_t)
{
    GUI_DesignStats::Toggle();
}

void GUI_ShipBlueprint::ToggleView()
{
    m_viewMode = m_viewMode == SLOT_VIEW ? FADING_TO_HULL : FADING_TO_SLOTS;
    m_clock.Start();
}

void GUI_ShipBlueprint::Rebuild(SIM_ShipDesign* design)
{
    m_design = design;
    if (design && design->GetHull())
        m_picture.SetTexture(design->GetHull()->GetSprite());
    BuildSlots();
}

GUI_ShipSlot* GUI_ShipBlueprint::FindSlot(int hullSlotIndex) const
{
    for (GUI_ShipSlot* slot : m_slots) {
        if (slot->GetIndex() == hullSlotIndex)
            return slot;
    }
    return nullptr;
}

void GUI_ShipBlueprint::BuildSlots()
{
    for (GUI_ShipSlot* slot : m_slots)
        delete slot;
    m_slots.clear();
    QLM_ASSERT(m_design != nullptr && m_design->GetHull() != nullptr);
    if (!m_design || !m_design->GetHull())
        return;
    const SIM_ShipHull& hull = *m_design->GetHull();
    m_bonusTexts.clear();
    for (const SIM_ShipHull::Bonus& bonus : hull.GetBonuses())
        m_bonusTexts.push_back(hull.GetBonusDescription(bonus));

    const float w = std::max(1.0f, hull.GetWidth());
    const float cx = designer::RectCentreX(left, right);
    const float cy = designer::RectCentreY(top, bottom);
    auto toScreen = [&](float x, float y) { return GUI_ShipSlot::ScreenPoint{cx + x / w * m_scale, cy + y / w * m_scale}; };
    for (const SIM_ShipHull::Slot& hullSlot : hull.GetSlots()) {
        std::vector<GUI_ShipSlot::ScreenPoint> points;
        for (const SIM_ShipHull::Point& p : hullSlot.turretPoints)
            points.push_back(toScreen(p.x, p.y));
        auto* slot = new GUI_ShipSlot(this, hullSlot, toScreen(hullSlot.x, hullSlot.y), std::move(points));
        m_slots.push_back(slot);
        AddChild(slot);
    }
    for (const SIM_ShipDesign::FittedModule& fitted : m_design->GetModules()) {
        GUI_ShipSlot* slot = FindSlot(fitted.slotIndex);
        QLM_ASSERT(slot != nullptr);
        if (slot && fitted.moduleType)
            FitModuleToSlot(slot, fitted.moduleType);
    }
}

void GUI_ShipBlueprint::FitModuleToSlot(GUI_ShipSlot* slot, SIM_ShipModuleType* type)
{
    if (!slot)
        return;
    slot->SetModule(type, m_design ? m_design->GetHull() : nullptr, m_scale);
    if (type == nullptr) {
        slot->DeleteTooltip();
        GUI_ShipDesignSummary::RecalculateDesign();
        GUI_DesignStats::RefreshOpen();
    }
    RefreshTooltips();
}

float GUI_ShipBlueprint::StackedEffectiveness(const SIM_ShipModuleType* type) const
{
    if (type == nullptr)
        return 1.0f;
    const float s = type->GetStackEffectiveness();
    if (s >= 1.0f)
        return 1.0f;
    int n = 0;
    for (const GUI_ShipSlot* slot : m_slots) {
        if (slot->GetModule() && slot->GetModule()->GetClassName() == type->GetClassName())
            ++n;
    }
    return n <= 1 ? 1.0f : std::pow(s, static_cast<float>(n - 1));
}

std::string GUI_ShipBlueprint::EffectivenessText(const SIM_ShipModuleType* type) const
{
    return StrFormat("%s [%.2f%% %s]", GetString(type->GetGuiName().c_str()),
                     static_cast<double>(StackedEffectiveness(type) * 100.0f),
                     GetString("BLUEPRINT_TOOLTIP_EFFECTIVENESS"));
}

void GUI_ShipBlueprint::RefreshTooltips()
{
    for (GUI_ShipSlot* slot : m_slots) {
        if (slot->GetModule())
            slot->SetTooltipText(EffectivenessText(slot->GetModule()));
        else
            slot->DeleteTooltip();
    }
}

bool GUI_ShipBlueprint::HasEmptySlot() const
{
    return std::any_of(m_slots.begin(), m_slots.end(), [](const GUI_ShipSlot* s) { return s->GetModule() == nullptr; });
}

void GUI_ShipBlueprint::RefreshHighlights()
{
    const GUI_ModulePickerIcon* dragged = GUI_ModulePickerIcon::GetDragged();
    for (GUI_ShipSlot* slot : m_slots)
        slot->incompatible = (dragged && dragged->IsTurret() && !slot->IsTurretSlot()) ? 1 : 0;
}

void GUI_ShipBlueprint::DropModule(GUI_ModulePickerIcon* icon)
{
    if (!icon || !icon->GetModuleType()) {
        RefreshHighlights();
        return;
    }
    SIM_ShipModuleType* type = icon->GetModuleType();
    const CInput& input = CInput::GetInstance();
    GUI_ShipSlot* target = nullptr;
    GUI_ShipSlot* nearest = nullptr;
    float best = 9999.0f;
    for (GUI_ShipSlot* slot : m_slots) {
        if (slot->Contains(input.GetMouseX(), input.GetMouseY())) {
            target = slot;
            break;
        }
        if (slot->Accepts(type)) {
            const float dx = icon->CentreX() - slot->GetCentreX();
            const float dy = icon->CentreY() - slot->GetCentreY();
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d < best) {
                best = d;
                nearest = slot;
            }
        }
    }
    APP_UsageMetrics& metrics = APP_UsageMetrics::GetInstance();
    if (target) {
        if (!target->Accepts(type)) {
            designer::PlaySound(designer::kSoundError);
            if (GUI_ShipSlot* source = FindSlot(icon->GetSourceSlot())) {
                FitModuleToSlot(source, type);
                GUI_ShipDesignSummary::RecalculateDesign();
                GUI_DesignStats::RefreshOpen();
            }
            metrics.AddEventCount("modulebaddrop", 1);
        } else {
            PlaceModule(icon, target);
            metrics.AddEventCount("modulegooddrop", 1);
        }
    } else if (nearest && nearest->GetModule() == nullptr && best < kSnapDistance) {
        PlaceModule(icon, nearest);
    }
    RefreshHighlights();
}

void GUI_ShipBlueprint::PlaceModule(GUI_ModulePickerIcon* icon, GUI_ShipSlot* target)
{
    SIM_ShipModuleType* type = icon->GetModuleType();
    GUI_ShipSlot* source = FindSlot(icon->GetSourceSlot());
    if (source && source != target && target->GetModule()) {
        SIM_ShipModuleType* displaced = target->GetModule();
        if (source->Accepts(displaced))
            FitModuleToSlot(source, displaced);
    }
    FitModuleToSlot(target, type);
    designer::PlaySound(designer::kSoundAccepted);
    GUI_ShipDesignSummary::RecalculateDesign();
    GUI_DesignStats::RefreshOpen();
    GUI_ShipDesignGUI::GetInstance().SetModified(true);
    if (type->GetStackEffectiveness() < 1.0f)
        GUI_Tutorial::GetInstance().LaunchTutorial("MODULEEFFECTIVENESS");
}

void GUI_ShipBlueprint::DrawSlotView()
{
    m_background.SetSize(static_cast<float>(m_inner.Width()), static_cast<float>(m_inner.Height()));
    m_background.PlaceCentred(designer::RectCentreX(m_inner.left, m_inner.right),
                              designer::RectCentreY(m_inner.top, m_inner.bottom));
    m_background.Draw();
    m_picture.SetColour(0xFFFFFFFFu);
    const bool shaded = m_effect.Begin();
    m_picture.Draw();
    if (shaded)
        m_effect.End();
    float y = static_cast<float>(m_inner.top + 5);
    for (const std::string& text : m_bonusTexts) {
        designer::DrawText(text, static_cast<float>(m_inner.left + 5), y, 0x80FFFFFFu);
        y += 18.0f;
    }
}

void GUI_ShipBlueprint::Draw()
{
    if (!visible)
        return;
    DrawNamedFrame("border_depth.dds", kCornerSize, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    m_clock.Update();
    const float t = std::clamp(static_cast<float>(m_clock.GetTotalMs() / kFadeMs), 0.0f, 1.0f);
    switch (m_viewMode) {
    case SLOT_VIEW:
        m_viewAlpha = 0.0f;
        DrawSlotView();
        break;
    case FADING_TO_HULL:
        DrawSlotView();
        m_viewAlpha = t;
        if (t >= 1.0f)
            m_viewMode = HULL_VIEW;
        break;
    case HULL_VIEW:
        m_viewAlpha = 1.0f;
        break;
    default:
        DrawSlotView();
        m_viewAlpha = 1.0f - t;
        if (t >= 1.0f)
            m_viewMode = SLOT_VIEW;
        break;
    }
    DrawChildren();
    if (m_viewAlpha > 0.0f) {
        const auto a = static_cast<uint8_t>(std::lround(m_viewAlpha * 255.0f));
        D3DEngine::GetInstance().FillRect(m_inner, static_cast<uint32_t>(a) << 24);
        m_picture.SetColour(a, 255, 255, 255);
        m_picture.Draw();
        for (GUI_ShipSlot* slot : m_slots)
            slot->DrawTurrets(a);
    }
    DrawButtons();
}
