#include "campaign/gui/GUI_CampaignControlPanelBttm.h"

#include "app/GUI_Sounds.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignControlPanelTop.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_IncomeManager.h"
#include "campaign/gui/GUI_RecruitmentManager.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_IconHoldButton.h"
#include "gui/GUI_ToggleButton.h"
#include "gui/GUI_Transition.h"

namespace {
// "campaign_controls.dds" is a sheet of 8 x 4 cells: icons, their lit
// versions, the toggles on and the toggles off.
constexpr float kCellU = 1.0f / 8.0f;
constexpr float kCellV = 1.0f / 4.0f;
// The managers' icons follow the zoom icons on the sheet.
constexpr int kFirstManagerCell = 2;

void Cell(CTexturedSprite& sprite, int column, int row)
{
    sprite.SetUV(column * kCellU, row * kCellV, (column + 1) * kCellU, (row + 1) * kCellV);
}

GUI_IconHoldButton* MakeHold(int column, GUI_Callback callback, const char* tooltip)
{
    auto* b = new GUI_IconHoldButton(callback, 0, "campaign_controls.dds", "campaign_controls.dds");
    Cell(b->GetNormalSprite(), column, 0);
    Cell(b->GetHoverSprite(), column, 1);
    b->SetTooltip(tooltip);
    return b;
}
} // namespace

GUI_CampaignControlPanelBttm::GUI_CampaignControlPanelBttm()
{
    SetName("CampaignControlBottom");
}

GUI_CampaignControlPanelBttm::~GUI_CampaignControlPanelBttm() = default;

void GUI_CampaignControlPanelBttm::CreateButtons()
{
    const float y = static_cast<float>(top + 5);
    float x = static_cast<float>(left + 10);
    m_zoomIn = MakeHold(0, OnZoomInButton, "CAMPAIGN_CPL_ZOOMIN");
    m_zoomIn->SetRect(x, y, x + 40, y + 40);
    AddButton(m_zoomIn);
    x += 45;
    m_zoomOut = MakeHold(1, OnZoomOutButton, "CAMPAIGN_CPL_ZOOMOUT");
    m_zoomOut->SetRect(x, y, x + 40, y + 40);
    AddButton(m_zoomOut);
    x += 50;
    GUI_ToggleButton::SetToggleHandler(ToggleMapLayer);
    const char* const tips[4] = {"CAMPAIGN_CPL_FLEETS", "CAMPAIGN_CPL_FAC", "CAMPAIGN_CPL_NAMES", "CAMPAIGN_CPL_TERR"};
    for (int i = 0; i < 4; ++i) {
        auto* t = new GUI_ToggleButton(i);
        t->state = true;
        Cell(t->GetOnSprite(), i, 2);
        Cell(t->GetOffSprite(), i, 3);
        t->SetTooltip(tips[i]);
        t->SetRect(x, y, x + 40, y + 40);
        AddButton(t);
        m_toggles[i] = t;
        x += 40;
    }
    x += 20;
    const float ty = static_cast<float>(top + 15);
    m_nextTurn = new GUI_ButtonText("CAMPAIGN_NEXTTURN", OnNextTurnButton, 0);
    m_nextTurn->SetTooltip("CAMPAIGN_NEXTTURN_TOOLTIP");
    m_nextTurn->SetRect(x, ty, x + 100, ty + 20);
    AddButton(m_nextTurn);
    x += 110;
    m_quit = new GUI_ButtonText("CAMPAIGN_QUIT", OnQuitButton, 0);
    m_quit->SetTooltip("CAMPAIGN_QUIT_TOOLTIP");
    m_quit->SetRect(x, ty, x + 100, ty + 20);
    AddButton(m_quit);
    x += 110;
    const GUI_Callback openers[3] = {GUI_CampaignFleetManager::Open, GUI_IncomeManager::Open,
                                     GUI_RecruitmentManager::Open};
    const char* const managerTips[3] = {"CAMPAIGN_SHIP_MANAGER_BUTTON_TOOLTIP", "CAMPAIGN_INCOME_MANAGER_BUTTON_TOOLTIP",
                                        "CAMPAIGN_RECRUIT_MANAGER_BUTTON_TOOLTIP"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new GUI_IconButton(openers[i], 0, "campaign_controls.dds", "campaign_controls.dds");
        Cell(b->GetNormalSprite(), kFirstManagerCell + i, 0);
        Cell(b->GetHoverSprite(), kFirstManagerCell + i, 1);
        b->SetTooltip(managerTips[i], 60);
        b->SetRect(x, y, x + 40, y + 40);
        AddButton(b);
        m_managers[i] = b;
        x += 45;
    }
}

void GUI_CampaignControlPanelBttm::Update()
{
    GUI_WindowBase::Update();
    for (const GUI_ButtonBase* b : m_buttons) {
        if (b->visible && b->hover && b != m_lastHovered) {
            GUI_Sounds::GetInstance().PlayGuiSound(2);
            m_lastHovered = b;
        }
    }
}

void GUI_CampaignControlPanelBttm::Draw()
{
    m_background.Draw(*this);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    DrawButtons();
    DrawChildren();
    LibText::GetInstance().Render();
}

void GUI_CampaignControlPanelBttm::OnZoomInButton(std::intptr_t)
{
    if (GUI_CampaignMap* map = GUI_CampaignMap::Get())
        map->HoldZoom(true);
}

void GUI_CampaignControlPanelBttm::OnZoomOutButton(std::intptr_t)
{
    if (GUI_CampaignMap* map = GUI_CampaignMap::Get())
        map->HoldZoom(false);
}

void GUI_CampaignControlPanelBttm::ToggleMapLayer(std::intptr_t index)
{
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    if (map && index >= 0 && index < GUI_CampaignMap::LAYER_COUNT)
        map->show[index] = !map->show[index];
}

void GUI_CampaignControlPanelBttm::OnQuitButton(std::intptr_t)
{
    GUI_Campaign::AskQuit();
}

void GUI_CampaignControlPanelBttm::OnNextTurnButton(std::intptr_t)
{
    GUI_Campaign::StartTransition();
    SIM_CampaignProgress::GetInstance().NextTurn();
    if (GUI_CampaignControlPanelTop* top = GUI_CampaignControlPanelTop::GetOpen()) {
        top->Get(GUI_CampaignCounter::TURN)->UpdateText();
        top->Get(GUI_CampaignCounter::INCOME)->UpdateText();
        top->Get(GUI_CampaignCounter::RECRUITMENT)->UpdateText();
    }
}
