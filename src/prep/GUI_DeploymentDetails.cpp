#include "prep/GUI_DeploymentDetails.h"

#include "app/Game.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_BehaviourStrip.h"
#include "prep/GUI_DeploymentControlPanel.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentShipDetails.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipOrder.h"

#include <algorithm>

namespace {
float RowHeight(const SIM_ShipOrder& order)
{
    const SIM_BehaviourType* type = order.GetType();
    return type && (type->usesFloat1 || type->usesFloat2) ? GUI_DeploymentDetails::kParameterRow
                                                          : GUI_DeploymentDetails::kPlainRow;
}

float RowAdvance(const SIM_ShipOrder& order)
{
    return RowHeight(order) == GUI_DeploymentDetails::kPlainRow ? GUI_DeploymentDetails::kPlainAdvance
                                                                : GUI_DeploymentDetails::kParameterRow;
}
} // namespace

namespace {
int g_outerLeft = 0;
int g_outerTop = 0;
int g_outerBottom = 0;
int g_boxLeft = 0;
int g_boxBottom = 0;
} // namespace

void GUI_DeploymentDetails::SetOuterArea(int left, int top, int bottom)
{
    g_outerLeft = left;
    g_outerTop = top;
    g_outerBottom = bottom;
}

void GUI_DeploymentDetails::Open(SIM_DeployedShip* ship)
{
    if (const GUI_DeploymentDetails* open = GetOpen(); open && open->m_ship.Is(ship)) {
        Refresh();
        return;
    }
    Close();
    if (ship)
        new GUI_DeploymentDetails(ship);
}

void GUI_DeploymentDetails::Close()
{
    CloseOpen();
}

bool GUI_DeploymentDetails::IsOpen()
{
    return GetOpen() != nullptr;
}

SIM_DeployedShip* GUI_DeploymentDetails::GetShown()
{
    const GUI_DeploymentDetails* open = GetOpen();
    return open ? open->GetShip() : nullptr;
}

void GUI_DeploymentDetails::Refresh()
{
    if (GUI_DeploymentDetails* open = GetOpen())
        open->m_dirty = true;
}

GUI_DeploymentDetails::GUI_DeploymentDetails(SIM_DeployedShip* ship) : m_ship(ship)
{
    SetOpen(this);
    QLM_ASSERT(ship);
    // The record's going (a reload, the fleet cleared) closes the column; an
    // icon's removal moves it to another ship (ProcessPendingIconDeletions).
    Follow(m_ship);
    m_design = ship ? SIM_ShipDesign::Find(ship->design) : nullptr;
    QLM_ASSERT(m_design);
    const int screenHeight = D3DEngine::GetInstance().GetScreenHeight();
    if (Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId) {
        const int x = GUI_DeploymentGUI::GetInstance().GetScreenArea().left;
        const int y = GUI_DeploymentControlPanel::kHeight;
        const int h = static_cast<int>(static_cast<float>(screenHeight) -
                                       static_cast<float>(GUI_DeploymentControlPanel::kHeight + 45));
        SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kWidth),
                static_cast<float>(y + h));
    } else if (g_outerBottom > g_outerTop) {
        SetRect(static_cast<float>(g_outerLeft), static_cast<float>(g_outerTop),
                static_cast<float>(g_outerLeft + kWidth), static_cast<float>(g_outerBottom));
    } else {
        LOG_DEBUG("Deployment details orphaned");
    }
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    // Tutorial scripts point at the order area by this name.
    m_behaviourPanel = new GUI_WindowBase();
    m_behaviourPanel->SetName("BEHAVIORS");
    m_behaviourPanel->visible = false;
    m_behaviourPanel->claimsMouse = false;
    windows.AddWindow(m_behaviourPanel);
    m_content = {left + 16, top + 46, right - 16, bottom - 16};
    Rebuild();
    SetName("DEPLOYMENT_DETAILS");
    windows.AddWindow(this);
    windows.BringToFront(this);
    if (GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen())
        windows.BringToFront(box);
}

GUI_DeploymentDetails::~GUI_DeploymentDetails()
{
    ForgetIfOpen(this);
    if (m_behaviourPanel)
        GUI_WindowManager::GetInstance().CloseWindow(m_behaviourPanel);
}

void GUI_DeploymentDetails::SetScrollPosition(int position)
{
    m_scrollPosition = std::max(0, position);
    Rebuild();
}

void GUI_DeploymentDetails::Rebuild()
{
    m_dirty = false;
    DeleteChildren();
    m_strips.clear();
    m_addStrip = nullptr;
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
    SIM_DeployedShip* ship = GetShip();
    m_title = ship ? ship->name : std::string();
    m_titleBar.SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                       static_cast<float>(top) + GUI_TitleBar::kBarHeight);
    m_titleBar.SetText(m_title);

    const bool onScreen = Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId;
    // In the campaign deployment a placed ship is its campaign ship by id.
    const SIM_CampaignShip* campaignShip =
        !onScreen && g_boxBottom > 0 && ship ? SIM_CampaignShip::FindByID(ship->shipId) : nullptr;
    const GUI_DeploymentShipDetails* shown = GUI_DeploymentShipDetails::GetOpen();
    if (onScreen && m_design && shown == nullptr)
        OpenShipDetails(m_design);
    else if (campaignShip && campaignShip->design && (!shown || shown->GetCampaignShip() != campaignShip))
        OpenShipDetails(campaignShip);
    else if (m_design && GUI_DeploymentShipDetails::GetOpen() &&
             GUI_DeploymentShipDetails::GetOpen()->GetDesign() != m_design)
        GUI_DeploymentShipDetails::GetOpen()->SetDesign(m_design);

    const float contentLeft = static_cast<float>(m_content.left);
    const float contentRight = static_cast<float>(m_content.right);
    float y = static_cast<float>(m_content.top) + 5.0f;
    m_addStrip = new GUI_BehaviourStrip(nullptr, ship ? &ship->orders : nullptr);
    m_addStrip->SetName("ADDORDER");
    m_addStrip->SetRect(contentLeft + 5.0f, y, contentRight - 15.0f, y + kPlainRow);
    AddChild(m_addStrip);

    const float listTop = y + kPlainAdvance;
    // The list stops above the box when the box stands under it.
    const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
    const bool boxBelow = box && box->left < right && box->right > left;
    const float listBottom = boxBelow ? static_cast<float>(box->top) - 5.0f : static_cast<float>(m_content.bottom);
    static const std::vector<std::unique_ptr<SIM_ShipOrder>> kNoOrders;
    const auto& orders = ship ? ship->orders.GetOrders() : kNoOrders;
    const int count = static_cast<int>(orders.size());

    // How many rows fit from a starting row: decides the bar and the rows.
    auto fitFrom = [&](int first) {
        int fit = 0;
        float rowY = listTop;
        for (int i = first; i < count; ++i) {
            if (rowY + RowHeight(*orders[static_cast<size_t>(i)]) > listBottom)
                break;
            rowY += RowAdvance(*orders[static_cast<size_t>(i)]) + kRowGap;
            ++fit;
        }
        return fit;
    };
    const bool scrolling = fitFrom(0) < count;
    int lastStart = 0;
    while (lastStart < count && fitFrom(lastStart) < count - lastStart)
        ++lastStart;
    m_scrollPosition = scrolling ? std::clamp(m_scrollPosition, 0, lastStart) : 0;
    const float rowRight = scrolling ? contentRight - 15.0f : contentRight - 5.0f;

    float rowY = listTop;
    for (int i = m_scrollPosition; i < count; ++i) {
        SIM_ShipOrder* order = orders[static_cast<size_t>(i)].get();
        const float h = RowHeight(*order);
        if (rowY + h > listBottom)
            break;
        auto* strip = new GUI_BehaviourStrip(order, &ship->orders);
        strip->SetRect(contentLeft + 5.0f, rowY, rowRight, rowY + h);
        AddChild(strip);
        m_strips.push_back(strip);
        rowY += RowAdvance(*order) + kRowGap;
    }
    m_scroll->SetRect(contentRight - 15.0f, listTop, contentRight, std::max(listTop, listBottom));
    m_scroll->maximum = scrolling ? lastStart : 0;
    m_scroll->position = m_scrollPosition;
    m_scroll->contentSize = static_cast<float>(count + 1);
    m_scroll->visibleSize = static_cast<float>(m_strips.size() + 1);
    m_scroll->visible = scrolling;
    m_scroll->changed = false;
}

void GUI_DeploymentDetails::Update()
{
    if (m_scroll && m_scroll->changed) {
        m_scrollPosition = m_scroll->position;
        m_dirty = true;
    }
    if (m_dirty)
        Rebuild();
    GUI_WindowBase::Update();
}

void GUI_DeploymentDetails::OnWheelUp()
{
    if (m_scroll && m_scroll->visible && IsMouseOver())
        SetScrollPosition(m_scrollPosition - 1);
}

void GUI_DeploymentDetails::OnWheelDown()
{
    if (m_scroll && m_scroll->visible && IsMouseOver())
        SetScrollPosition(m_scrollPosition + 1);
}

void GUI_DeploymentDetails::Draw()
{
    if (!visible)
        return;
    if (m_dirty || (m_scroll && m_scroll->changed)) {
        if (m_scroll && m_scroll->changed)
            m_scrollPosition = m_scroll->position;
        Rebuild();
    }
    if (!m_title.empty())
        m_titleBar.Draw();
    DrawButtons();
    const GRect& c = m_content;
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(c.left),
                       static_cast<float>(c.top), static_cast<float>(c.right), static_cast<float>(c.bottom));
    m_interlace.Draw(c);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render(-1);
}

namespace {
// The box's top-left corner: under the order column on the deployment
// screen, else in the corner the campaign deployment gave.
void ShipDetailsPlace(int& x, int& y)
{
    x = g_boxLeft;
    y = g_boxBottom - GUI_DeploymentShipDetails::kHeight;
    if (Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId) {
        x = GUI_DeploymentGUI::GetInstance().GetScreenArea().left + 16;
        y = D3DEngine::GetInstance().GetScreenHeight() - 45 - GUI_DeploymentShipDetails::kHeight;
    }
}
} // namespace

void GUI_DeploymentDetails::OpenShipDetails(const SIM_ShipDesign* design)
{
    GUI_DeploymentShipDetails::CloseOpen();
    int x = 0, y = 0;
    ShipDetailsPlace(x, y);
    auto* box = new GUI_DeploymentShipDetails(x, y);
    QLM_ASSERT(design);
    box->SetDesign(design);
}

void GUI_DeploymentDetails::SetShipDetailsCorner(int left, int bottom)
{
    g_boxLeft = left;
    g_boxBottom = bottom;
}

void GUI_DeploymentDetails::OpenShipDetails(const SIM_CampaignShip* campaignShip)
{
    GUI_DeploymentShipDetails::CloseOpen();
    QLM_ASSERT(campaignShip && campaignShip->design);
    if (!campaignShip || !campaignShip->design)
        return;
    int x = 0, y = 0;
    ShipDetailsPlace(x, y);
    auto* box = new GUI_DeploymentShipDetails(x, y, campaignShip);
    box->SetDesign(campaignShip->design);
}

const SIM_ShipDesign* GUI_DeploymentDetails::GetShownDesign()
{
    const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
    return box ? box->GetDesign() : nullptr;
}

void GUI_DeploymentDetails::CloseShipDetails()
{
    GUI_DeploymentShipDetails::CloseOpen();
}
