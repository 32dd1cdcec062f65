#include "campaign/gui/GUI_CampaignCounter.h"

#include "campaign/gui/GUI_Campaign.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tooltip.h"

namespace {
const char* const kKeys[GUI_CampaignCounter::KIND_COUNT] = {"CAMPAIGN_CASH", "CAMPAIGN_CREW", "CAMPAIGN_INCOME",
                                                            "CAMPAIGN_RECRUITMENT", "CAMPAIGN_TURN"};
}

const char* GUI_CampaignCounter::LabelKey(Kind kind)
{
    return kKeys[kind];
}

std::string GUI_CampaignCounter::ValueText(Kind kind)
{
    const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    switch (kind) {
    case CASH: return FormatThousands(progress.cash);
    case CREW: return StrFormat("%d", progress.crew);
    case INCOME: return FormatThousands(static_cast<long long>(GetCampaignIncomePerTurn()));
    case RECRUITMENT: return FormatThousands(GetCampaignCrewPerTurn());
    case TURN: return StrFormat("%d", progress.turn);
    default: return std::string();
    }
}

GUI_CampaignCounter::GUI_CampaignCounter(Kind kind) : m_kind(kind)
{
    m_label = GetString(LabelKey(kind));
    UpdateText();
    const std::string tooltipKey = std::string(LabelKey(kind)) + "_TOOLTIP";
    m_tooltip = std::make_unique<GUI_Tooltip>(GetString(tooltipKey.c_str()), 30);
    swallowsClicks = false;
    raisesOnClick = false;
}

GUI_CampaignCounter::~GUI_CampaignCounter() = default;

void GUI_CampaignCounter::UpdateText()
{
    m_value = ValueText(m_kind);
}

void GUI_CampaignCounter::Update()
{
    if (m_tooltip && IsMouseOver())
        m_tooltip->CheckShowTime();
    GUI_WindowBase::Update();
}

void GUI_CampaignCounter::Draw()
{
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 16.0f, 1.0f, static_cast<float>(left),
                       static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
    LibText& text = LibText::GetInstance();
    text.SetText(0, m_label, static_cast<float>(left + 10), static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    text.SetText(1, m_value, static_cast<float>(right - 200), static_cast<float>(top), 0xFFFFFFFFu, 190.0f);
    if (m_tooltip)
        m_tooltip->Draw();
}
