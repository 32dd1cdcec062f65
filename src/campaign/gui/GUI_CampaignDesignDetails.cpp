#include "campaign/gui/GUI_CampaignDesignDetails.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignModuleIcon.h"
#include "campaign/gui/GUI_CampaignShipSummary.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GRect.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

GUI_CampaignDesignDetails::GUI_CampaignDesignDetails()
{
    m_summary = new GUI_CampaignShipSummary();
    AddChild(m_summary);
}

GUI_CampaignDesignDetails::~GUI_CampaignDesignDetails() = default;

int GUI_CampaignDesignDetails::CellCount(int moduleCount, bool forShip)
{
    if (!forShip)
        return kDesignCells;
    return kColumns * ((moduleCount + kColumns - 1) / kColumns);
}

void GUI_CampaignDesignDetails::LayOut()
{
    const int pictureBottom = top + kPictureSize;
    m_summary->SetRect(static_cast<float>(left), static_cast<float>(pictureBottom + 5), static_cast<float>(right),
                       static_cast<float>(pictureBottom + 145));
    RemoveChildElement(m_summary);
    AddChildElement(m_summary);
    RebuildModuleGrid();
}

void GUI_CampaignDesignDetails::SetDesign(SIM_ShipDesign* design, SIM_CampaignShip* ship)
{
    m_design = design;
    m_ship = ship;
    if (design && design->GetHull())
        m_picture.SetTexture(design->GetHull()->GetSprite());
    if (ship)
        m_summary->SetShip(ship);
    else
        m_summary->SetDesign(design);
    RebuildModuleGrid();
}

void GUI_CampaignDesignDetails::RebuildModuleGrid()
{
    for (GUI_CampaignModuleIcon* icon : m_icons) {
        RemoveChild(icon);
        RemoveChildElement(icon);
        delete icon;
    }
    m_icons.clear();
    if (!m_design)
        return;
    if (m_ship) {
        for (const auto& state : m_ship->modules) {
            const SIM_ShipModuleType* type = SIM_ShipModuleType::Find(state->moduleTypeName);
            QLM_ASSERT(type);
            m_icons.push_back(new GUI_CampaignModuleIcon(type, m_design, state.get()));
        }
    } else {
        for (const auto& fitted : m_design->GetModules())
            m_icons.push_back(new GUI_CampaignModuleIcon(fitted.moduleType, m_design, nullptr));
    }
    const int entries = m_ship ? static_cast<int>(m_ship->modules.size()) : static_cast<int>(m_design->GetModules().size());
    const int cells = CellCount(entries, m_ship != nullptr);
    while (static_cast<int>(m_icons.size()) < cells)
        m_icons.push_back(new GUI_CampaignModuleIcon(nullptr, nullptr, nullptr));
    const int cell = (width - 10) / kColumns;
    const int x0 = left + 5;
    const int y0 = m_summary->bottom + 10;
    for (size_t i = 0; i < m_icons.size(); ++i) {
        const int x = x0 + static_cast<int>(i % kColumns) * cell;
        const int y = y0 + static_cast<int>(i / kColumns) * cell;
        m_icons[i]->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + cell),
                            static_cast<float>(y + cell));
        AddChild(m_icons[i]);
        AddChildElement(m_icons[i]);
    }
}

void GUI_CampaignDesignDetails::Draw()
{
    if (!visible)
        return;
    DrawCampaignClientArea(m_interlace, left, top, right, bottom);
    if (!m_design)
        return;
    m_picture.SetSize(static_cast<float>(kPictureSize), static_cast<float>(kPictureSize));
    m_picture.SetColour(0xFFFFFFFFu);
    m_picture.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + kPictureSize / 2));
    m_picture.Draw();
    m_summary->RefreshValues();
    DrawChildren();
    D3DEngine& engine = D3DEngine::GetInstance();
    for (const GUI_CampaignModuleIcon* icon : m_icons) {
        if (icon->GetState() && icon->GetModuleType()) {
            const float integrity = icon->GetState()->integrity;
            const int h = icon->height;
            engine.FillRect(GRect{icon->left, icon->bottom - static_cast<int>(integrity * h), icon->right, icon->bottom},
                            kIntactColour);
            if (integrity < 1.0f)
                engine.FillRect(
                    GRect{icon->left, icon->top, icon->right, icon->top + static_cast<int>((1.0f - integrity) * h)},
                    kDamagedColour);
        }
        engine.DrawRectFrame(GRect{icon->left, icon->top, icon->right, icon->bottom}, 0x40FFFFFFu);
    }
}
