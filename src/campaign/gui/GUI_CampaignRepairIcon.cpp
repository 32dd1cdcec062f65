#include "campaign/gui/GUI_CampaignRepairIcon.h"

#include "battle/hud/ModulePicture.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

namespace {
std::vector<GUI_CampaignRepairIcon*> g_icons;
GUI_CampaignRepairIcon* g_hovered = nullptr;
GUI_RepairIconRCMenu* g_menu = nullptr;
} // namespace

GUI_CampaignRepairIcon::GUI_CampaignRepairIcon(SIM_CampaignModuleState* module)
    : m_module(module), m_type(module ? SIM_ShipModuleType::Find(module->moduleTypeName) : nullptr)
{
    QLM_ASSERT(m_module && m_type);
    g_icons.push_back(this);
    m_box.SetTexture("square_box.dds");
    m_box.SetSize(42.0f, 42.0f);
    m_box.SetColour(0xE1FFFFFFu);
    m_icon.SetSize(52.8f, 52.8f);
    if (!m_type)
        return;
    const SIM_ShipDesign* design = m_module->ship ? m_module->ship->design : nullptr;
    ModulePicture::Find(*m_type, design ? design->GetHull() : nullptr).ApplyTo(m_icon);
    m_tooltip = std::make_unique<GUI_Tooltip>(
        StrFormat("%s (%.2f%%)", GetString(m_type->GetGuiName().c_str()), m_module->integrity * 100.0f), 30);
    if (m_module->integrity < 1.0f && m_module->ship)
        m_tooltip->SetText(StrFormat("%s: %d CR", GetString("CAMPAIGN_REPAIR_ICON_COST"),
                                     m_module->ship->GetModuleRepairCost(*m_module)));
}

GUI_CampaignRepairIcon::~GUI_CampaignRepairIcon()
{
    g_icons.erase(std::remove(g_icons.begin(), g_icons.end(), this), g_icons.end());
    if (g_hovered == this)
        g_hovered = nullptr;
}

GUI_CampaignRepairIcon* GUI_CampaignRepairIcon::FindForModule(const SIM_CampaignModuleState* module)
{
    QLM_ASSERT(module);
    for (GUI_CampaignRepairIcon* icon : g_icons)
        if (icon->m_module == module)
            return icon;
    return nullptr;
}

GUI_CampaignRepairIcon* GUI_CampaignRepairIcon::GetHovered()
{
    return g_hovered;
}

void GUI_CampaignRepairIcon::ClearHovered()
{
    g_hovered = nullptr;
}

void GUI_CampaignRepairIcon::Update()
{
    GUI_WindowBase::Update();
    if (!IsMouseOver() || GUI_RCMenuBase::GetOpen())
        return;
    g_hovered = this;
    if (m_tooltip) {
        const CInput& input = CInput::GetInstance();
        m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
        m_tooltip->CheckShowTime();
    }
}

void GUI_CampaignRepairIcon::Draw()
{
    if (!visible)
        return;
    const float cx = static_cast<float>(left + right) * 0.5f;
    const float cy = static_cast<float>(top + bottom) * 0.5f;
    m_icon.SetColour(g_hovered == this ? 0xFFFFFFFFu : 0xFFC8C8C8u);
    m_icon.PlaceCentred(cx, cy);
    m_icon.Draw();
    m_box.PlaceCentred(cx, cy);
    m_box.Draw();
    if (m_module && m_module->integrity < 1.0f) {
        // The lost share of the module darkens the box from its top down.
        const int boxTop = static_cast<int>(cy - 21.0f);
        const int lost = static_cast<int>(42.0f * (1.0f - std::max(0.0f, m_module->integrity)));
        D3DEngine::GetInstance().FillRect(
            GRect{static_cast<int>(cx - 21.0f), boxTop, static_cast<int>(cx + 21.0f), boxTop + lost}, 0x80B01010u);
    }
    if (m_tooltip && g_hovered == this)
        m_tooltip->Draw();
}

bool GUI_CampaignRepairIcon::OnRightClick(float x, float y)
{
    if (!Contains(x, y))
        return false;
    GUI_RepairIconRCMenu::Open(this);
    return true;
}

// The menu

GUI_RepairIconRCMenu::GUI_RepairIconRCMenu(GUI_CampaignRepairIcon* icon)
{
    g_menu = this;
    const CInput& input = CInput::GetInstance();
    const int screenHeight = D3DEngine::GetInstance().GetScreenHeight();
    const float x = input.GetMouseX() + 16.0f;
    const float y = std::clamp(input.GetMouseY() - 29.0f, 0.0f, static_cast<float>(std::max(0, screenHeight - 29)));
    SetRect(x, y, x + kWidth, y + kHeight);
    nextRowY = top + 28;
    SIM_CampaignModuleState* module = icon->GetModule();
    SetCaption(icon->GetModuleType() ? GetString(icon->GetModuleType()->GetGuiName().c_str()) : std::string());
    m_repair = new GUI_ButtonText("REPAIRICON_RC_REPAIR", OnRepair, reinterpret_cast<std::intptr_t>(module));
    const int cost = module->ship ? module->ship->GetModuleRepairCost(*module) : 0;
    m_repair->SetTextString(StrFormat("%s: %d CR", GetString("REPAIRICON_RC_REPAIR"), cost));
    m_repair->SetTooltip("REPAIRICON_RC_REPAIR_TOOLTIP");
    m_repair->enabled = module->ship && !module->damage.empty() && cost <= SIM_CampaignProgress::GetInstance().cash;
    AddItem(m_repair);
    GUI_WindowManager::GetInstance().BringToFront(this);
    // Over the modal yard it must hold the input itself to get its clicks.
    GUI_WindowManager::GetInstance().AddModal(this);
}

GUI_RepairIconRCMenu::~GUI_RepairIconRCMenu()
{
    if (g_menu == this)
        g_menu = nullptr;
}

GUI_RepairIconRCMenu* GUI_RepairIconRCMenu::GetOpen()
{
    return g_menu;
}

void GUI_RepairIconRCMenu::Open(GUI_CampaignRepairIcon* icon)
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen()) {
        menu->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    }
    QLM_ASSERT(icon && icon->GetModule());
    if (icon && icon->GetModule())
        new GUI_RepairIconRCMenu(icon);
}

void GUI_RepairIconRCMenu::Close()
{
    if (!g_menu)
        return;
    GUI_RepairIconRCMenu* menu = g_menu;
    g_menu = nullptr;
    menu->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(menu);
}

void GUI_RepairIconRCMenu::OnRepair(std::intptr_t module)
{
    auto* state = reinterpret_cast<SIM_CampaignModuleState*>(module);
    // The menu goes first: the repair shows the ship again with new icons.
    Close();
    if (GUI_CampaignRepairs* repairs = GUI_CampaignRepairs::GetOpen())
        if (state)
            repairs->RepairModule(*state);
}
