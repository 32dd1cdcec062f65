#include "campaign/gui/GUI_CampaignManagerWindow.h"

#include "campaign/gui/GUI_CampaignManagerStrip.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_ScrollingWindow.h"

#include <algorithm>

namespace {
constexpr int kFirstLeft = 20;
constexpr int kFirstTop = 60;
constexpr int kScrollInset = 4;
constexpr int kScrollWidth = 16;
} // namespace

int GUI_CampaignManagerWindow::RowsThatFit(int screenHeight)
{
    return std::max(0, (screenHeight - kScreenReserve) / kRowHeight);
}

GUI_CampaignManagerWindow::GUI_CampaignManagerWindow(const char* titleKey, int cascade)
    : GUI_Dialog(false), m_titleKey(titleKey)
{
    SetRect(static_cast<float>(kFirstLeft + cascade), static_cast<float>(kFirstTop + cascade),
            static_cast<float>(kFirstLeft + cascade + kWidth), static_cast<float>(kFirstTop + cascade + kHeight));
    SetClientRect();
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
    SetTitleKey(titleKey);
}

GUI_CampaignManagerWindow::~GUI_CampaignManagerWindow()
{
    // The rows are ours, not the window's children.
    ClearStrips();
}

void GUI_CampaignManagerWindow::ClearStrips()
{
    for (const auto& strip : m_strips)
        RemoveChild(strip.get());
    m_strips.clear();
    m_attached = 0;
}

void GUI_CampaignManagerWindow::Refresh()
{
    ClearStrips();
    AddStrips(m_strips);
    // The player keeps his place through a move, rename or capture; the
    // layout pulls it back when rows went.
    UpdateLayout();
    LayoutStrips();
    SetTitleKey(m_titleKey);
}

void GUI_CampaignManagerWindow::UpdateLayout()
{
    // Never taller than the rows shown: the rest are a scroll away.
    const int fit = RowsThatFit(D3DEngine::GetInstance().GetScreenHeight());
    const int rows = std::max(1, std::min(static_cast<int>(m_strips.size()), fit));
    const int h = rows * kRowHeight + static_cast<int>(topMargin + bottomMargin);
    const int y = std::max(0, std::min(top, D3DEngine::GetInstance().GetScreenHeight() - h));
    SetRect(static_cast<float>(left), static_cast<float>(y), static_cast<float>(left + kWidth),
            static_cast<float>(y + h));
    SetClientRect();
    m_scroll->SetRect(static_cast<float>(clientRight - 20), static_cast<float>(clientTop + kScrollInset),
                      static_cast<float>(clientRight - 20 + kScrollWidth),
                      static_cast<float>(clientBottom - kScrollInset));
}

void GUI_CampaignManagerWindow::LayoutStrips()
{
    for (const auto& strip : m_strips)
        RemoveChild(strip.get());
    const int count = static_cast<int>(m_strips.size());
    const int fit = RowsThatFit(D3DEngine::GetInstance().GetScreenHeight());
    m_scroll->maximum = std::max(0, count - fit);
    m_scroll->position = std::clamp(m_scroll->position, 0, m_scroll->maximum);
    m_attached = 0;
    int y = clientTop;
    for (int i = m_scroll->position; i < count && m_attached < fit; ++i) {
        GUI_CampaignManagerStrip* strip = m_strips[static_cast<size_t>(i)].get();
        strip->SetRect(static_cast<float>(clientLeft), static_cast<float>(y), static_cast<float>(clientRight - 24),
                       static_cast<float>(y + kRowHeight));
        AddChild(strip);
        ++m_attached;
        y += kRowHeight;
    }
    m_scroll->contentSize = static_cast<float>(count);
    m_scroll->visibleSize = static_cast<float>(m_attached);
    m_scroll->visible = count > fit;
}

void GUI_CampaignManagerWindow::Draw()
{
    if (!visible)
        return;
    if (m_scroll->changed) {
        m_scroll->changed = false;
        LayoutStrips();
    }
    GUI_Dialog::Draw();
    LibText::GetInstance().SetFont(GUI_CampaignManagerStrip::kFont, GUI_CampaignManagerStrip::kFontSize);
    DrawChildren();
    LibText::GetInstance().Render();
}

void GUI_CampaignManagerWindow::OnWheelUp()
{
    m_scroll->ScrollUp();
}

void GUI_CampaignManagerWindow::OnWheelDown()
{
    m_scroll->ScrollDown();
}

std::vector<SIM_CampaignFacility*> GUI_CampaignManagerWindow::PlayerFacilitiesOfClass(int facilityClass)
{
    std::vector<SIM_CampaignFacility*> found;
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll()) {
        if (e->territory != SIM_CampaignEncounter::PLAYER)
            continue;
        for (const auto& f : e->facilities)
            if (f && f->GetType() && f->GetType()->facilityClass == facilityClass)
                found.push_back(f.get());
    }
    return found;
}
