#include "campaign/gui/GUI_CampaignRepairBlueprint.h"

#include "campaign/gui/GUI_CampaignRepairIcon.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GRect.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

namespace {
GUI_CampaignRepairBlueprint* g_blueprint = nullptr;
}

GUI_CampaignRepairBlueprint::GUI_CampaignRepairBlueprint()
{
    g_blueprint = this;
    m_hull.SetSize(kHullSize, kHullSize);
    // Without shaders the hull is drawn plain; don't ask for the effect.
    if (D3DEngine::GetInstance().HasShaders())
        m_effect.Load("data/shaders/blueprint");
}

GUI_CampaignRepairBlueprint::~GUI_CampaignRepairBlueprint()
{
    DeleteIcons();
    m_effect.Release();
    if (g_blueprint == this)
        g_blueprint = nullptr;
}

GUI_CampaignRepairBlueprint* GUI_CampaignRepairBlueprint::GetOpen()
{
    return g_blueprint;
}

void GUI_CampaignRepairBlueprint::DeleteIcons()
{
    for (GUI_CampaignRepairIcon* icon : m_icons)
        delete icon;
    m_icons.clear();
}

void GUI_CampaignRepairBlueprint::ShowShip(SIM_CampaignShip* ship)
{
    QLM_ASSERT(ship);
    m_ship = ship;
    DeleteIcons();
    const SIM_ShipHull* hull = ship && ship->design ? ship->design->GetHull() : nullptr;
    if (!hull)
        return;
    m_hull.SetTexture(hull->GetSprite());
    const float cx = static_cast<float>(left + right) * 0.5f;
    const float cy = static_cast<float>(top + bottom) * 0.5f;
    const float size = std::max(1.0f, hull->GetWidth());
    for (const auto& module : ship->modules) {
        float x = cx, y = cy;
        for (const SIM_ShipHull::Slot& slot : hull->GetSlots())
            if (slot.index == module->slot) {
                x = cx + slot.x / size * static_cast<float>(width);
                y = cy + slot.y / size * static_cast<float>(height);
                break;
            }
        auto* icon = new GUI_CampaignRepairIcon(module.get());
        const float half = GUI_CampaignRepairIcon::kSize * 0.5f;
        icon->SetRect(x - half, y - half, x + half, y + half);
        m_icons.push_back(icon);
        AddChild(icon);
        AddChildElement(icon);
    }
}

void GUI_CampaignRepairBlueprint::Draw()
{
    if (!visible)
        return;
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(left),
                       static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
    m_hull.PlaceCentred(static_cast<float>(left + right) * 0.5f, static_cast<float>(top + bottom) * 0.5f);
    m_hull.SetColour(0xFFFFFFFFu);
    const bool shaded = m_effect.Begin();
    m_hull.Draw();
    if (shaded)
        m_effect.End();
    m_interlace.DrawOver(GRect{left, top, right, bottom});
    DrawChildren();
}
