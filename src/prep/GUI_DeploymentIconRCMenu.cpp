#include "prep/GUI_DeploymentIconRCMenu.h"

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_RandomShipName.h"
#include "prep/GUI_SquadronSize.h"
#include "sim/SIM_DefaultOrders.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_ShipDesign.h"

#include <algorithm>

namespace {
constexpr int kCampaignMode = 14;
} // namespace

float GUI_DeploymentIconRCMenu::MenuHeight(bool fighter, bool campaign, int extraCaptionHeight)
{
    float height = campaign ? 86.0f : 106.0f;
    if (fighter && !campaign)
        height += 20.0f;
    const int rows = (campaign ? 2 : 3) + (fighter && !campaign ? 1 : 0);
    // The caption's height plus every row and a margin under the last.
    const float needed = static_cast<float>(kFirstRow + rows * kRowStep + 6);
    return std::max(height, needed) + static_cast<float>(std::max(0, extraCaptionHeight));
}

int GUI_DeploymentIconRCMenu::ExtraCaptionHeight(const std::string& caption)
{
    // A name too long for one line wraps; the rows move down by its extra lines.
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int width = kWidth - 16;
    return std::max(0, text.GetWrappedTextHeight(caption, width) - text.GetWrappedTextHeight("A", width));
}

GUI_DeploymentIconRCMenu::GUI_DeploymentIconRCMenu(GUI_DeploymentIcon* icon, float mouseX, float mouseY,
                                                   int screenWidth, int screenHeight, bool campaign)
    : m_icon(icon)
{
    const SIM_ShipDesign* design = icon ? icon->GetDesign() : nullptr;
    const bool fighter = design && design->IsFighter();
    const std::string caption = icon && icon->GetShip() ? icon->GetShip()->name : std::string();
    // Laid out for a caption of one line: SetCaption grows the menu and
    // moves its rows down for each line a long name wraps onto.
    const float h = MenuHeight(fighter, campaign, 0);
    const float l = std::min(mouseX + 16.0f, static_cast<float>(screenWidth - kWidth));
    const float t = std::clamp(mouseY - h / 2.0f, 0.0f, std::max(0.0f, static_cast<float>(screenHeight) - h));
    SetRect(l, t, l + static_cast<float>(kWidth), t + h);
    Follow(m_icon);
    nextRowY = top + kFirstRow;
    SetCaption(caption);
    const auto arg = reinterpret_cast<std::intptr_t>(this);
    auto add = [this, arg](const char* key, const char* tooltip, GUI_Callback callback) {
        auto* button = new GUI_ButtonText(key, callback, arg);
        button->SetTooltipString(GetString(tooltip), 60);
        AddItem(button);
        return button;
    };
    if (!campaign)
        m_rename = add("DEPICON_RC_RENAME", "DEPICON_RC_RENAME_TOOLTIP", OnRename);
    m_delete = add("DEPICON_RC_DELETE", "DEPICON_RC_DELETE_TOOLTIP", OnDelete);
    m_saveOrders = add("DEPICON_RC_SAVEORDERS", "DEPICON_RC_SAVEORDERS_TOOLTIP", OnSaveOrders);
    if (fighter && !campaign)
        m_squadron = add("DEPICON_RC_CHANGESQUADRONSIZE", "DEPICON_RC_CHANGESQUADRONSIZE_TOOLTIP", OnSquadronSize);
    SetName("deprcmenu");
    APP_UsageMetrics::GetInstance().SetEventFlag("deprcmenu");
    GUI_WindowManager::GetInstance().BringToFront(this);
}

void GUI_DeploymentIconRCMenu::CloseOpen()
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen()) {
        menu->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    }
}

void GUI_DeploymentIconRCMenu::MarkChanged()
{
    GUI_DeploymentTools::GetInstance().fleetChanged = true;
    if (Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId)
        GUI_DeploymentGUI::GetInstance().RefreshAfterFleetChange();
}

GUI_DeploymentIcon* GUI_DeploymentIconRCMenu::TakeIcon(std::intptr_t menu)
{
    // The menu is deleted after its own click, so it can still be read here.
    GUI_DeploymentIcon* icon = reinterpret_cast<const GUI_DeploymentIconRCMenu*>(menu)->GetIcon();
    CloseOpen();
    return icon;
}

void GUI_DeploymentIconRCMenu::OnRename(std::intptr_t menu)
{
    if (GUI_DeploymentIcon* icon = TakeIcon(menu)) {
        OpenShipNameDialog(icon);
        MarkChanged();
    }
}

void GUI_DeploymentIconRCMenu::OnDelete(std::intptr_t menu)
{
    if (GUI_DeploymentIcon* icon = TakeIcon(menu))
        QueueDeploymentIconDeletion(icon);
}

void GUI_DeploymentIconRCMenu::OnSaveOrders(std::intptr_t menu)
{
    GUI_DeploymentIcon* icon = TakeIcon(menu);
    QLM_ASSERT(icon && icon->GetShip());
    if (!icon || !icon->GetShip())
        return;
    SIM_DefaultOrders::SetFromShipOrders(icon->GetShip()->design, &icon->GetShip()->orders);
    GUI_Sounds::GetInstance().PlayGuiSound(4);
}

void GUI_DeploymentIconRCMenu::OnSquadronSize(std::intptr_t menu)
{
    if (GUI_DeploymentIcon* icon = TakeIcon(menu)) {
        OpenSquadronSizeForIcon(icon);
        MarkChanged();
    }
}

void OpenDeploymentIconMenu(GUI_DeploymentIcon* icon)
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen())
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    QLM_ASSERT(icon);
    if (!icon)
        return;
    const CInput& input = CInput::GetInstance();
    const D3DEngine& engine = D3DEngine::GetInstance();
    new GUI_DeploymentIconRCMenu(icon, input.GetMouseX(), input.GetMouseY(), engine.GetScreenWidth(),
                                 engine.GetScreenHeight(), Game::GetInstance().GetModeId() == kCampaignMode);
}
