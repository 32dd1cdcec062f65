#include "prep/GUI_SquadronSize.h"

#include "app/APP_UsageMetrics.h"
#include "app/Game.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentTools.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"

#include <algorithm>
#include <cmath>

int GUI_SquadronSize::QuantityFromSlider(float value)
{
    return 1 + static_cast<int>(std::floor(std::clamp(value, 0.0f, 1.0f) * 15.0f));
}

float GUI_SquadronSize::SliderFromQuantity(int quantity)
{
    return std::clamp(static_cast<float>(quantity) * 0.0625f, 0.0f, 1.0f);
}

GUI_SquadronSize::GUI_SquadronSize(GUI_DeploymentIcon* icon) : GUI_Dialog(true), m_icon(icon)
{
    SetOpen(this);
    Follow(m_icon);
    CentreDialog(*this, kWidth, kHeight);
    SetTitleKey("GUI_SQUADRON_SIZE_TITLE");
    SetClientRect();
    APP_UsageMetrics::GetInstance().SetEventFlag("squadsize");
    const int quantity = icon && icon->GetShip() ? icon->GetShip()->quantity : 1;
    // The slider shows no figure of its own: the count below it is the value.
    m_slider = PlaceChild(new GUI_OptionsSlider("GUI_SQUADRON_SLIDER", SliderFromQuantity(quantity), OnSliderMoved),
                          clientLeft + 10, clientTop + 10, clientRight - 10, clientTop + 50);
    m_valueText = StrFormat("%d", quantity);
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    windows.BringToFront(this);
    windows.AddModal(this);
}

GUI_SquadronSize::~GUI_SquadronSize()
{
    ForgetIfOpen(this);
}

void GUI_SquadronSize::OnSliderMoved(std::intptr_t)
{
    if (GUI_SquadronSize* open = GetOpen())
        open->SetSliderValue(open->m_slider->value);
}

void GUI_SquadronSize::SetSliderValue(float value)
{
    m_slider->value = std::clamp(value, 0.0f, 1.0f);
    const int quantity = QuantityFromSlider(value);
    m_valueText = StrFormat("%d", quantity);
    GUI_DeploymentIcon* icon = GetIcon();
    if (!icon || !icon->GetShip())
        return;
    icon->GetShip()->quantity = quantity;
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    if (SIM_DeployedFleet* fleet = screen.GetPlayerFleet())
        fleet->RecalculateTotals();
    GUI_DeploymentTools::GetInstance().fleetChanged = true;
    if (Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId)
        screen.RefreshAfterFleetChange();
}

void GUI_SquadronSize::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawClientPanel(*this, m_interlace);
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_valueText, static_cast<float>(left), static_cast<float>(m_slider->bottom),
                 0xFFFFFFFFu, static_cast<float>(width));
    text.Render(-1);
}

void OpenSquadronSizeForIcon(GUI_DeploymentIcon* icon)
{
    GUI_SquadronSize::CloseOpen();
    new GUI_SquadronSize(icon);
}
