#include "campaign/gui/GUI_CampaignShipSummary.h"

#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

GUI_CampaignShipSummary::GUI_CampaignShipSummary()
{
    static const char* const keys[6] = {"CAMP_SUM_COST",  "CAMP_SUM_SPEED",   "CAMP_SUM_HULL",
                                        "CAMP_SUM_ARMOR", "CAMP_SUM_SHIELDS", "CAMP_SUM_CREW"};
    for (int i = 0; i < 6; ++i)
        m_labels[i] = GetString(keys[i]);
    m_blinkTimer.Start();
}

std::string GUI_CampaignShipSummary::CostText(float designCost, int quantity, bool squadronOffer)
{
    const long long unit = static_cast<long long>(designCost);
    if (!squadronOffer)
        return FormatThousands(unit) + " CR";
    return StrFormat("%s CR ( X %d = %s)", FormatThousands(unit).c_str(), quantity,
                     FormatThousands(unit * quantity).c_str());
}

void GUI_CampaignShipSummary::SetShip(SIM_CampaignShip* ship)
{
    m_ship = ship;
    m_design = ship ? ship->design : nullptr;
    m_shipyardMode = false;
    m_title = ship ? ship->name : std::string();
    RefreshValues();
}

void GUI_CampaignShipSummary::SetDesign(SIM_ShipDesign* design)
{
    m_ship = nullptr;
    m_design = design;
    m_shipyardMode = true;
    // Named as every other screen names a design, not by its file.
    m_title = design ? design->GetGuiName() : std::string();
    RefreshValues();
}

void GUI_CampaignShipSummary::RefreshValues()
{
    if (!m_design)
        return;
    const SIM_ShipDesign& d = *m_design;
    const bool squadron = m_shipyardMode && d.GetHull() && d.GetHull()->GetClass() == 2;
    const int q = squadron ? GUI_Shipyard::GetBuildQuantity() : 1;
    const std::string values[6] = {CostText(d.GetCost(), q, squadron),
                                   StrFormat("%.2f", d.GetSpeed()),
                                   StrFormat("%.2f", d.GetTotalHitpoints()),
                                   StrFormat("%.2f", d.GetTotalArmour()),
                                   StrFormat("%.2f", d.GetTotalShieldPoints()),
                                   StrFormat("%d", squadron ? q : d.GetCrewRequired())};
    // The details refresh every frame: values are fitted again only when they change.
    if (std::equal(values, values + 6, m_values) && m_fittedWidth == width)
        return;
    std::copy(values, values + 6, m_values);
    FitValues();
}

void GUI_CampaignShipSummary::FitValues()
{
    m_fittedWidth = width;
    LibText& text = LibText::GetInstance();
    if (!text.FindFont("zekton16.dds"))
        return;
    for (int i = 0; i < 6; ++i) {
        text.SetFont("zekton16.dds", kFontSize);
        // A value keeps clear of its label: a long one (a squadron's sum)
        // is drawn smaller rather than over it.
        const int room = width - 20 - text.GetTextWidth(m_labels[i]) - kLabelGap;
        m_shownValues[i] = m_values[i];
        m_valueSizes[i] = text.FitLine(m_shownValues[i], std::max(1, room), kFontSize, kMinFontSize);
    }
}

void GUI_CampaignShipSummary::FitTitle()
{
    m_fittedTitle = m_title;
    m_titleWidth = width;
    m_shownTitle = m_title;
    m_titleSize = kFontSize;
    LibText& text = LibText::GetInstance();
    if (!text.FindFont("zekton16.dds"))
        return;
    text.SetFont("zekton16.dds", kFontSize);
    // A long design name ("Federation Support Frigate") keeps inside the table.
    m_titleSize = text.FitLine(m_shownTitle, std::max(1, width - 20), kFontSize, kMinFontSize);
}

void GUI_CampaignShipSummary::Draw()
{
    if (!visible)
        return;
    for (int row = 0; row < kRows; ++row) {
        const float y = static_cast<float>(top + row * kRowHeight);
        DrawPreloadedFrame(row % 2 == 0 ? GUI_PreloadedTextures::kHighlightBlack : GUI_PreloadedTextures::kHighlight,
                           8.0f, 0.2f, static_cast<float>(left + 5), y, static_cast<float>(right - 5),
                           y + kRowHeight);
    }
    // The row the player cannot pay for blinks while that holds.
    const int state = linkedShipyard ? linkedShipyard->GetBuildState() : 0;
    const int warnedRow = state == GUI_Shipyard::NO_CASH ? 0 : (state == GUI_Shipyard::NO_CREW ? 5 : -1);
    if (warnedRow >= 0) {
        m_blinkTimer.Update();
        if (m_blinkTimer.GetTotalMs() > kBlinkMs) {
            m_blinkOn = !m_blinkOn;
            m_blinkTimer.Start();
        }
    } else {
        m_blinkOn = true;
    }
    if (width != m_fittedWidth)
        FitValues();
    if (width != m_titleWidth || m_title != m_fittedTitle)
        FitTitle();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", m_titleSize);
    text.SetText(0, m_shownTitle, static_cast<float>(left + 10), static_cast<float>(top) + (kFontSize - m_titleSize) * 0.75f,
                 0xFFFFFFFFu, 0.0f);
    for (int i = 0; i < 6; ++i) {
        const float y = static_cast<float>(top + (i + 1) * kRowHeight);
        const bool warned = i == warnedRow;
        if (warned && !m_blinkOn)
            continue;
        const uint32_t colour = warned ? kWarningColour : 0xFFFFFFFFu;
        text.SetFont("zekton16.dds", kFontSize);
        text.SetText(0, m_labels[i], static_cast<float>(left + 10), y, colour, 0.0f);
        // Smaller text sits on the row's baseline.
        text.SetFont("zekton16.dds", m_valueSizes[i]);
        text.SetText(1, m_shownValues[i], static_cast<float>(right - 200), y + (kFontSize - m_valueSizes[i]) * 0.75f,
                     colour, 190.0f);
    }
    text.Render();
}
