#include "campaign/gui/GUI_EncounterDetails.h"

#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>

std::string GUI_EncounterDetails::LoyaltyText(float loyalty, float garrison)
{
    if (garrison > 0.0f)
        return StrFormat("%.0f%%(+%.0f%%)", loyalty * 100.0f, garrison * 100.0f);
    return StrFormat("%.0f%%", loyalty * 100.0f);
}

int GUI_EncounterDetails::LeftFor(int screenWidth)
{
    return std::min(screenWidth / 2 + kPlanetClearance, screenWidth - kWidth);
}

GUI_EncounterDetails::GUI_EncounterDetails(SIM_CampaignEncounter* encounter)
    : GUI_Dialog(true), m_encounter(encounter)
{
    SetOpen(this);
    D3DEngine& engine = D3DEngine::GetInstance();
    const int count = static_cast<int>(encounter->facilities.size());
    const int h = static_cast<int>(topMargin + bottomMargin) + 20 + kRowHeight * count + 60;
    const int x = LeftFor(engine.GetScreenWidth());
    const int y = engine.GetScreenHeight() / 2 - h / 2;
    SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kWidth), static_cast<float>(y + h));
    SetClientRect();
    SetTitle(GetString(encounter->guiname.c_str()));
    m_loyaltyLabel = GetString("ENCOUNTER_LOYALTY");
    m_threatLabel = GetString("ENCOUNTER_THREAT");
    m_loyalty = LoyaltyText(encounter->loyalty.value, encounter->garrisonLoyalty);
    m_threat = StrFormat("%.0f%%", (encounter->ai ? encounter->ai->threat.value : 0.0f) * 100.0f);
    float rowTop = static_cast<float>(clientTop + 60);
    for (const auto& f : encounter->facilities) {
        if (!f || !f->GetType())
            continue;
        auto* panel = new GUI_CampaignFacility(f.get());
        panel->SetRect(static_cast<float>(clientLeft + 10), rowTop, static_cast<float>(clientRight - 10),
                       rowTop + kRowHeight - 5.0f);
        AddChild(panel);
        AddChildElement(panel);
        m_facilities.push_back(panel);
        rowTop += kRowHeight;
    }
    m_tooltip = std::make_unique<GUI_Tooltip>(GetString("ENCOUNTER_SUMMARY_TOOLTIP"), 30);
    GUI_WindowManager::GetInstance().RemoveWindow(this);
    GUI_WindowManager::GetInstance().AddWindow(this);
    SetName("CampaignEncounterDetails");
}

GUI_EncounterDetails::~GUI_EncounterDetails()
{
    ForgetIfOpen(this);
}

void GUI_EncounterDetails::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    const GRect client{clientLeft, clientTop, clientRight, clientBottom};
    m_interlace.Draw(client);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float l = static_cast<float>(clientLeft + 10);
    const float r = static_cast<float>(clientRight - 10);
    const float t = static_cast<float>(clientTop + 10);
    DrawNamedFrame("textbox_darken.dds", 16.0f, 0.5f, l, t, r, t + 50.0f);
    text.SetText(0, m_loyaltyLabel, l + 10.0f, t + 5.0f, 0xFFFFFFFFu, 0.0f);
    text.SetText(1, m_loyalty, r - 300.0f, t + 5.0f, 0xFFFFFFFFu, 290.0f);
    text.SetText(0, m_threatLabel, l + 10.0f, t + 25.0f, 0xFFFFFFFFu, 0.0f);
    text.SetText(1, m_threat, r - 300.0f, t + 25.0f, 0xFFFFFFFFu, 290.0f);
    text.Render();
    DrawChildren();
}

void ShowEncounterDetails(SIM_CampaignEncounter* encounter)
{
    QLM_ASSERT(encounter);
    CloseEncounterDetails();
    if (encounter)
        new GUI_EncounterDetails(encounter);
}

void CloseEncounterDetails()
{
    GUI_EncounterDetails::CloseOpen();
}
