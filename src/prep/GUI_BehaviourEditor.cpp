#include "prep/GUI_BehaviourEditor.h"

#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_OrdersSlider.h"
#include "prep/GUI_RangeBehaviorEditor.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_ShipOrder.h"

namespace {
bool OnDeploymentScreen()
{
    return Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId;
}
} // namespace

bool GUI_BehaviourEditor::IsRangeType(const std::string& name)
{
    return name == "ATTACK_FIGHTERS" || name == "ATTACK_FRIGATES" || name == "ATTACK_CRUISERS";
}

void GUI_BehaviourEditor::Open(const SIM_BehaviourType* type)
{
    QLM_ASSERT(type);
    if (!type)
        return;
    CloseOpen();
    GUI_DeploymentTools::GetInstance().fleetChanged = true;
    if (OnDeploymentScreen())
        GUI_DeploymentGUI::GetInstance().RefreshAfterFleetChange();
    if (IsRangeType(type->name)) {
        GUI_RangeBehaviorEditor::OpenRange(type);
    } else {
        auto* editor = new GUI_BehaviourEditor(type);
        editor->BuildControls();
    }
    GUI_Tutorial::GetInstance().LaunchTutorial("BEHAVIOR_EDITOR");
}

GUI_BehaviourEditor::GUI_BehaviourEditor(const SIM_BehaviourType* type) : GUI_Dialog(true), m_type(type)
{
    SetOpen(this);
    // The client area is the dialog, below its title strip.
    sideMargin = 0.0f;
    bottomMargin = 0.0f;
    CentreDialog(*this, kWidth, kHeight);
    SetTitle(GetString(type->displayText.c_str()));
    m_description = GetString(type->secondText.c_str());
    SetName("BEHAVIOR_EDITOR");
    drawButtons = false;
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    windows.BringToFront(this);
    windows.AddModal(this);
}

GUI_BehaviourEditor::~GUI_BehaviourEditor()
{
    ForgetIfOpen(this);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("CLOSEORDERDETAILS")) {
        tutorial.SetWaitFor("");
        tutorial.LaunchTutorial("ADDORDER");
    }
}

void GUI_BehaviourEditor::BuildControls()
{
    DeleteChildren();
    for (GUI_ButtonText* button : {m_ok, m_delete, m_setTarget})
        if (button)
            DeleteButton(button);
    m_ok = new GUI_ButtonText("BEHAVIOUR_OK", OnOK, 0);
    m_ok->SetTooltip(GetString("BEHAVIOUR_OK_TOOLTIP"));
    AddButton(m_ok);
    m_delete = new GUI_ButtonText("BEHAVIOUR_DELETE", OnDelete, 0);
    m_delete->SetTooltip(GetString("BEHAVIOUR_DELETE_TOOLTIP"));
    AddButton(m_delete);
    m_slider1 = m_slider2 = nullptr;
    m_setTarget = nullptr;
    SIM_DeployedShip* ship = GUI_DeploymentDetails::GetShown();
    const SIM_ShipOrder* order = ship ? ship->orders.GetOrder(m_type->name) : nullptr;
    m_ship = GWatch<SIM_DeployedShip>(ship);
    m_order = GWatch<SIM_ShipOrder>(ship ? ship->orders.GetOrder(m_type->name) : nullptr);
    StopFollowing();
    FollowPlacedShip(*this, ship);
    if (order)
        Follow(m_order);
    if (m_type->usesFloat1) {
        m_slider1 = new GUI_OrdersSlider(m_type->thirdText, m_type->min1, m_type->max1, m_type->kind1);
        m_slider1->SetValue(order ? order->float1 : 0.0f);
        AddChild(m_slider1);
    }
    if (m_type->usesFloat2) {
        m_slider2 = new GUI_OrdersSlider(m_type->fourthText, m_type->min2, m_type->max2, m_type->kind2);
        m_slider2->SetValue(order ? order->float2 : 0.0f);
        AddChild(m_slider2);
    }
    if (m_type->shipLinked) {
        m_setTarget = new GUI_ButtonText("BEHAVIOR_SETTARGET", OnSetTarget, 0);
        m_setTarget->SetTooltip(GetString("BEHAVIOR_SETTARGET_TOOLTIP"));
        AddButton(m_setTarget);
    }
    m_targetName.clear();
    Layout();
}

void GUI_BehaviourEditor::Layout()
{
    SetClientRect();
    const int centre = (clientLeft + clientRight) / 2;
    const auto place = [](GUI_BaseElement* e, int l, int t, int r, int b) {
        if (e)
            e->SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
    };
    place(m_ok, centre + 10, clientBottom - 24, clientRight - 10, clientBottom - 4);
    place(m_delete, clientLeft + 10, clientBottom - 24, centre - 10, clientBottom - 4);
    place(m_setTarget, clientLeft + 10, clientBottom - 50, centre - 10, clientBottom - 30);
    int y = clientTop + 70;
    if (m_slider1) {
        place(m_slider1, clientLeft + 10, y, clientRight - 10, y + 40);
        y += 50;
    }
    place(m_slider2, clientLeft + 10, y, clientRight - 10, y + 40);
    m_targetBox = {centre, clientBottom - 50, clientRight - 10, clientBottom - 30};
    if (!m_type->shipLinked || !m_ok)
        return;
    // A target that has left the fleet counts as none: OK waits for a new one.
    m_targetName.clear();
    const SIM_DeployedShip* target = nullptr;
    const SIM_ShipOrder* order = m_order.Get();
    if (order && order->shipId != -1 && OnDeploymentScreen())
        if (const SIM_DeployedFleet* fleet = GUI_DeploymentGUI::GetInstance().GetPlayerFleet())
            target = fleet->FindShip(order->shipId);
    if (target) {
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        m_targetName = text.FitText(target->name.substr(0, 255), m_targetBox.Width() - 10, 1);
    }
    m_ok->enabled = target != nullptr;
}

void GUI_BehaviourEditor::Draw()
{
    if (!visible)
        return;
    Layout();
    GUI_Dialog::Draw();
    // The panel covers the title strip too: the title goes on top again.
    DrawPanelWithScanLines(m_interlace, GRect{left, top, right, bottom});
    DrawTitleBar();
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    if (m_type->shipLinked) {
        D3DEngine::GetInstance().DrawRectFrame(m_targetBox, 0xFF808080u);
        if (!m_targetName.empty())
            text.SetText(TEXT_ALIGN_LEFT, m_targetName, static_cast<float>(m_targetBox.left + 5),
                         static_cast<float>(m_targetBox.top), 0xFFFFFFFFu,
                         static_cast<float>(m_targetBox.Width() - 10));
    }
    const int w = clientRight - clientLeft - 20;
    text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_description, w), static_cast<float>(clientLeft + 10),
                 static_cast<float>(clientTop + 10), 0xFFFFFFFFu, static_cast<float>(w));
    text.Render(-1);
}

void GUI_BehaviourEditor::OK()
{
    Layout();
    if (m_ok && !m_ok->enabled)
        return;
    const float value1 = m_slider1 ? m_slider1->GetParameterValue() : 0.0f;
    const float value2 = m_slider2 ? m_slider2->GetParameterValue() : 0.0f;
    for (GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons()) {
        SIM_ShipOrder* order = icon->GetShip() ? icon->GetShip()->orders.GetOrder(m_type->name) : nullptr;
        if (!order)
            continue;
        order->float1 = value1;
        order->float2 = value2;
    }
    GUI_DeploymentTools::GetInstance().fleetChanged = true;
    GUI_DeploymentDetails::Refresh();
    if (GetOpen() == this)
        CloseOpen();
}

void GUI_BehaviourEditor::Delete()
{
    GUI_DeploymentGUI::GetInstance().RemoveOrderFromSelected(m_type->name);
    if (GetOpen() == this)
        CloseOpen();
}

void GUI_BehaviourEditor::SetTarget()
{
    GUI_DeploymentTools::GetInstance().StartPick(m_type);
    const D3DEngine& engine = D3DEngine::GetInstance();
    const int x = GUI_DeploymentGUI::GetInstance().IsEditingAIFleet() ? 0 : engine.GetScreenWidth() - width;
    // Runs inside the set-target button's click: the controls stay as they
    // are (Layout follows the move and the target each frame).
    MoveTo(static_cast<float>(x), static_cast<float>(engine.GetScreenHeight() / 2 - height / 2));
    Layout();
}

void GUI_BehaviourEditor::OnOK(std::intptr_t)
{
    if (GUI_BehaviourEditor* open = GetOpen())
        open->OK();
}

void GUI_BehaviourEditor::OnDelete(std::intptr_t)
{
    if (GUI_BehaviourEditor* open = GetOpen())
        open->Delete();
}

void GUI_BehaviourEditor::OnSetTarget(std::intptr_t)
{
    if (GUI_BehaviourEditor* open = GetOpen())
        open->SetTarget();
}
