#include "campaign/gui/GUI_EncounterDetails.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "engine/CInput.h"
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
#include "sim/SIM_Anomaly.h"

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

namespace {
constexpr int kAnomalyGap = 10;

// Each anomaly's line width: the client area less the margins.
int AnomalyWidth(int clientWidth)
{
    return clientWidth - 20;
}

// The height the anomalies take when written one under the other (none
// without text support: tools and tests that measure no text).
int AnomaliesHeight(const std::vector<std::string>& texts, int width)
{
    LibText& text = LibText::GetInstance();
    if (texts.empty() || !text.IsInitialised())
        return 0;
    text.SetFont("zekton16.dds", 16.0f);
    int h = kAnomalyGap;
    for (const std::string& t : texts)
        h += text.GetWrappedTextHeight(t, width);
    return h;
}
} // namespace

GUI_EncounterDetails::GUI_EncounterDetails(SIM_CampaignEncounter* encounter)
    : GUI_Dialog(true), m_encounter(encounter)
{
    SetOpen(this);
    Follow(m_encounter);
    D3DEngine& engine = D3DEngine::GetInstance();
    for (const SIM_Anomaly& a : encounter->GetAnomalies())
        m_anomalies.push_back(GetAnomalyDescription(a));
    const int count = static_cast<int>(encounter->facilities.size());
    const int frame = static_cast<int>(topMargin + bottomMargin);
    // The anomalies go below the facilities, where they cover nothing.
    const int anomalies = AnomaliesHeight(m_anomalies, AnomalyWidth(kWidth - static_cast<int>(2 * sideMargin)));
    const int h = frame + 20 + kRowHeight * count + 60 + anomalies;
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
    m_anomalyTop = static_cast<int>(rowTop);
    m_tooltip = std::make_unique<GUI_Tooltip>(GetString("ENCOUNTER_SUMMARY_TOOLTIP"), 30);
    GUI_WindowManager::GetInstance().RemoveWindow(this);
    GUI_WindowManager::GetInstance().AddWindow(this);
    SetName("CampaignEncounterDetails");
}

GUI_EncounterDetails::~GUI_EncounterDetails()
{
    ForgetIfOpen(this);
}

GRect GUI_EncounterDetails::GetSummaryRect() const
{
    return GRect{clientLeft + 10, clientTop + 10, clientRight - 10, clientTop + 60};
}

void GUI_EncounterDetails::Update()
{
    const CInput& input = CInput::GetInstance();
    const GRect summary = GetSummaryRect();
    const float mx = input.GetMouseX(), my = input.GetMouseY();
    if (visible && mx >= static_cast<float>(summary.left) && mx < static_cast<float>(summary.right) &&
        my >= static_cast<float>(summary.top) && my < static_cast<float>(summary.bottom))
        m_tooltip->CheckShowTime();
    GUI_Dialog::Update();
}

void GUI_EncounterDetails::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const GRect summary = GetSummaryRect();
    const float l = static_cast<float>(summary.left);
    const float r = static_cast<float>(summary.right);
    const float t = static_cast<float>(summary.top);
    DrawNamedFrame("textbox_darken.dds", 16.0f, 0.5f, l, t, r, static_cast<float>(summary.bottom));
    text.SetText(0, m_loyaltyLabel, l + 10.0f, t + 5.0f, 0xFFFFFFFFu, 0.0f);
    text.SetText(1, m_loyalty, r - 300.0f, t + 5.0f, 0xFFFFFFFFu, 290.0f);
    text.SetText(0, m_threatLabel, l + 10.0f, t + 25.0f, 0xFFFFFFFFu, 0.0f);
    text.SetText(1, m_threat, r - 300.0f, t + 25.0f, 0xFFFFFFFFu, 290.0f);
    const int width = AnomalyWidth(clientRight - clientLeft);
    float y = static_cast<float>(m_anomalyTop + kAnomalyGap);
    for (const std::string& a : m_anomalies) {
        text.SetText(0, text.GetWrappedText(a, width), l, y, 0xFFFFFFFFu, static_cast<float>(width));
        y += static_cast<float>(text.GetWrappedTextHeight(a, width));
    }
    text.Render();
    DrawChildren();
    m_tooltip->Draw();
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
