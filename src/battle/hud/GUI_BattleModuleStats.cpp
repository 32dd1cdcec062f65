#include "battle/hud/GUI_BattleModuleStats.h"

#include "battle/hud/HudWindow.h"
#include "app/APP_UsageMetrics.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ModuleStatsSink.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_ShipModule.h"

namespace {
constexpr float kFrameCorner = 32.0f;
constexpr float kFontSize = 16.0f;
const char* const kLabelKeys[GUI_BattleModuleStats::kRows] = {
    "MODSTATS_SHOTSFIRED", "MODSTATS_SHOTSHIT", "MODSTATS_SHLDDMG", "MODSTATS_ARMORDMG", "MODSTATS_HULLDMG",
};
const int kRowOffsets[GUI_BattleModuleStats::kRows] = {19, 36, 53, 70, 87};
} // namespace

void GUI_BattleModuleStats::Open(SIM_ShipModule* module)
{
    Close();
    QLM_ASSERT(module != nullptr);
    if (!module)
        return;
    if (!GUI_ShipInspector::GetOpen())
        GUI_ShipInspector::Open(module->GetShip());
    if (!GUI_ShipInspector::GetOpen())
        return;
    APP_UsageMetrics::GetInstance().SetEventFlag("battlemodulestats");
    new GUI_BattleModuleStats(module);
}

GUI_BattleModuleStats::GUI_BattleModuleStats(SIM_ShipModule* module)
    : m_module(module), m_ship(module ? module->GetShip() : nullptr)
{
    raisesOnClick = false;
    Follow(m_ship);
    const GUI_ShipInspector* inspector = GUI_ShipInspector::GetOpen();
    if (inspector)
        SetRect(static_cast<float>(inspector->left - kWidth), static_cast<float>(inspector->top),
                static_cast<float>(inspector->left), static_cast<float>(inspector->bottom));
    m_inner = GRect{left + 5, top + 5, right - 5, bottom - 5};
    GUI_WindowManager::GetInstance().AddWindow(this);
    // Installed by the first window; it only ever talks to the open one.
    SIM_ModuleStatsSink::Set(&GUI_BattleModuleStats::OnModuleChanged);

    LibText& text = LibText::GetInstance();
    const SIM_ShipModuleType* type = module ? module->GetType() : nullptr;
    m_title = type ? GetString(type->GetGuiName().c_str()) : "";
    if (text.IsInitialised()) {
        text.SetFont("zekton16.dds", kFontSize);
        m_title = text.FitText(m_title, m_inner.right - m_inner.left - 10, 1);
    }
    for (int i = 0; i < kRows; ++i)
        m_labels[i] = GetString(kLabelKeys[i]);
    PlaceBoxBackground(m_background, *this);
    UpdateTexts();
}

GUI_BattleModuleStats::~GUI_BattleModuleStats() = default;

void GUI_BattleModuleStats::OnModuleChanged(const SIM_ShipModule* module)
{
    GUI_BattleModuleStats* open = GetOpen();
    if (open && module && open->GetModule() == module)
        open->UpdateTexts();
}

void GUI_BattleModuleStats::FormatValues(const SIM_ModuleStatistics& stats, std::string (&values)[kRows])
{
    values[0] = StrFormat("%d", stats.shotsFired);
    if (stats.shotsFired > 0)
        values[1] = StrFormat("%d (%.0f%%)", stats.shotsHit,
                              static_cast<double>(stats.shotsHit) / static_cast<double>(stats.shotsFired) * 100.0);
    else
        values[1] = "0";
    values[2] = StrFormat("%d", static_cast<int>(stats.damage[SIM_ModuleStatistics::DAMAGE_SHIELD]));
    values[3] = StrFormat("%d", static_cast<int>(stats.damage[SIM_ModuleStatistics::DAMAGE_ARMOUR]));
    values[4] = StrFormat("%d", static_cast<int>(stats.damage[SIM_ModuleStatistics::DAMAGE_HULL]));
}

void GUI_BattleModuleStats::UpdateTexts()
{
    ++m_updates;
    const SIM_ShipModule* module = GetModule();
    if (!module || !module->statistics) {
        for (std::string& value : m_values)
            value = "0";
        return;
    }
    FormatValues(*module->statistics, m_values);
}

void GUI_BattleModuleStats::Draw()
{
    if (!visible)
        return;
    DrawHudPanel(*this, m_background, kFrameCorner, m_inner, kFrameCorner, m_lines);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    const auto il = static_cast<float>(m_inner.left), it = static_cast<float>(m_inner.top);
    text.SetText(TEXT_ALIGN_LEFT, m_title, il + 5.0f, it, 0xFFFFFFFFu, 0.0f);
    for (int i = 0; i < kRows; ++i) {
        const float y = it + static_cast<float>(kRowOffsets[i]);
        text.SetText(TEXT_ALIGN_LEFT, m_labels[i], il + 5.0f, y, 0xFFFFFFFFu, 0.0f);
        text.SetText(TEXT_ALIGN_RIGHT, m_values[i], static_cast<float>(m_inner.right - 300), y, 0xFFFFFFFFu, 295.0f);
    }
    text.Render(-1);
}
