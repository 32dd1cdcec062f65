#include "campaign/gui/GUI_CampaignSquadronSize.h"

#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>
#include <cmath>

GUI_CampaignSquadronSize* GUI_CampaignSquadronSize::Open(SIM_CampaignShip* ship)
{
    CloseOpen();
    QLM_ASSERT(ship);
    return ship ? new GUI_CampaignSquadronSize(ship) : nullptr;
}

int GUI_CampaignSquadronSize::QuantityFromSlider(float value, int cap)
{
    cap = std::max(1, cap);
    return std::clamp(1 + static_cast<int>(std::lround(std::clamp(value, 0.0f, 1.0f) * static_cast<float>(cap - 1))),
                      1, cap);
}

GUI_CampaignSquadronSize::GUI_CampaignSquadronSize(SIM_CampaignShip* ship) : GUI_Dialog(true), m_ship(ship)
{
    SetOpen(this);
    Follow(m_ship);
    m_cap = std::max(1, ship->quantity);
    CentreDialog(*this, kWidth, kHeight);
    SetTitleKey("GUI_SQUADRON_SIZE_TITLE");
    // The deployment's squadron dialog: the count stands under the slider.
    m_slider = PlaceChild(new GUI_OptionsSlider("GUI_SQUADRON_SLIDER", 1.0f, OnSliderMoved, 0), clientLeft + 10,
                          clientTop + 10, clientRight - 10, clientTop + 50);
    m_text = StrFormat("%d", ship->quantity);
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
}

GUI_CampaignSquadronSize::~GUI_CampaignSquadronSize()
{
    ForgetIfOpen(this);
}

void GUI_CampaignSquadronSize::SetSliderValue(float value)
{
    m_slider->value = value;
    OnSliderMoved(0);
}

void GUI_CampaignSquadronSize::OnSliderMoved(std::intptr_t)
{
    GUI_CampaignSquadronSize* self = GetOpen();
    SIM_CampaignShip* ship = self ? self->m_ship.Get() : nullptr;
    if (!ship)
        return;
    ship->quantity = QuantityFromSlider(self->m_slider->value, self->m_cap);
    if (ship->fleet)
        ship->fleet->RecalculateTotals();
    self->m_text = StrFormat("%d", ship->quantity);
    GUI_CampaignFleetDetails::RefreshAll();
}

void GUI_CampaignSquadronSize::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawClientPanel(*this);
    m_interlace.Draw(GRect{clientLeft, clientTop, clientRight, clientBottom});
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_text, static_cast<float>(left), static_cast<float>(m_slider->bottom),
                 0xFFFFFFFFu, static_cast<float>(width));
    text.Render();
}
