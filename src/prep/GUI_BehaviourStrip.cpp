#include "prep/GUI_BehaviourStrip.h"

#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tutorial.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_BehaviourMiniSlider.h"
#include "prep/GUI_BehaviourPicker.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_ShipOrder.h"

namespace {
GUI_BehaviourStrip* g_hovered = nullptr;
} // namespace

GUI_BehaviourStrip* GUI_BehaviourStrip::GetHovered()
{
    return g_hovered;
}

GUI_BehaviourStrip::GUI_BehaviourStrip(SIM_ShipOrder* order, SIM_ShipOrders* orders)
    : m_order(order), m_orders(orders), m_addsOrder(order == nullptr)
{
    if (order) {
        SetName("BEHAVIOR_STRIP");
        m_text = order->GetType() ? GetString(order->GetType()->displayText.c_str()) : order->behaviour;
    } else {
        m_text = GetString("BEHAVIOUR_ADDNEW");
    }
    BuildMiniSliders();
}

GUI_BehaviourStrip::~GUI_BehaviourStrip()
{
    if (g_hovered == this)
        g_hovered = nullptr;
}

void GUI_BehaviourStrip::BuildMiniSliders()
{
    for (GUI_BehaviourMiniSlider*& mini : m_mini) {
        if (mini) {
            RemoveChild(mini);
            delete mini;
            mini = nullptr;
        }
    }
    const SIM_ShipOrder* order = m_order.Get();
    const SIM_BehaviourType* type = order ? order->GetType() : nullptr;
    if (!type)
        return;
    if (type->usesFloat1) {
        m_mini[0] = new GUI_BehaviourMiniSlider(order->GetNormalisedFloat1());
        AddChild(m_mini[0]);
    }
    if (type->usesFloat2) {
        m_mini[1] = new GUI_BehaviourMiniSlider(order->GetNormalisedFloat2());
        AddChild(m_mini[1]);
    }
    SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
}

void GUI_BehaviourStrip::SetRect(float l, float t, float r, float b)
{
    GUI_WindowBase::SetRect(l, t, r, b);
    const float centre = (l + r) / 2.0f;
    if (m_mini[0])
        m_mini[0]->SetRect(l + 10.0f, t + 18.0f, centre - 10.0f, b);
    if (m_mini[1])
        m_mini[1]->SetRect(centre + 10.0f, t + 18.0f, r - 10.0f, b);
}

bool GUI_BehaviourStrip::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y))
        return false;
    GUI_Sounds::GetInstance().PlayGuiSound(0);
    if (m_addsOrder) {
        GUI_BehaviourPicker::Open(m_orders);
        return true;
    }
    const SIM_ShipOrder* order = m_order.Get();
    if (!order)
        return true;
    GUI_BehaviourEditor::Open(order->GetType());
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("ORDERDETAILS")) {
        tutorial.SetWaitFor("");
        tutorial.LaunchTutorial("ORDERDETAILS");
    }
    return true;
}

bool GUI_BehaviourStrip::OnRightClick(float x, float y)
{
    const SIM_ShipOrder* order = m_order.Get();
    if (!visible || !order || !Contains(x, y))
        return false;
    // The row goes with the order: keep the name, not the order.
    const std::string behaviour = order->behaviour;
    GUI_Sounds::GetInstance().PlayGuiSound(4);
    GUI_DeploymentGUI::GetInstance().RemoveOrderFromSelected(behaviour);
    return true;
}

void GUI_BehaviourStrip::Draw()
{
    if (!visible)
        return;
    TrackHover(this, g_hovered);
    DrawPreloadedFrame(GUI_PreloadedTextures::kHighlight, 8.0f, 0.2f, static_cast<float>(left),
                       static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_text, static_cast<float>(left) + 5.0f, static_cast<float>(top), 0xFFFFFFFFu,
                 static_cast<float>(width));
}
