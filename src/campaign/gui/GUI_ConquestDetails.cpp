#include "campaign/gui/GUI_ConquestDetails.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GRandom.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"

namespace {
constexpr float kDrawRange = 32768.0f;
} // namespace

int GUI_ConquestDetails::CasualtyCount(int firstDraw, int secondDraw)
{
    const float r1 = static_cast<float>(firstDraw) / kDrawRange;
    const float r2 = static_cast<float>(secondDraw) / kDrawRange;
    return (211 + static_cast<int>(684.0f * r2)) * 1000 + static_cast<int>(934.0f * r1);
}

GUI_ConquestDetails::GUI_ConquestDetails(SIM_CampaignEncounter* encounter) : GUI_Dialog(true), m_encounter(encounter)
{
    SetOpen(this);
    Follow(m_encounter);
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetClientRect();
    SetTitleKey("CONQUEST_TITLE");
    const int first = QlmRand();
    const int second = QlmRand();
    std::string text = GetString("CONQUEST_MESSAGE");
    ReplaceSubstring(text, "<PLANETNAME>", GetString(encounter->GetGuiName().c_str()));
    ReplaceSubstring(text, "<CASUALTIES>", FormatThousands(CasualtyCount(first, second)));
    m_message = text;
    m_picture.SetTexture(encounter->GetIcon());
    m_picture.SetSize(static_cast<float>(kPictureSize), static_cast<float>(kPictureSize));
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
}

GUI_ConquestDetails::~GUI_ConquestDetails()
{
    ForgetIfOpen(this);
}

GUI_ConquestDetails* GUI_ConquestDetails::Open(SIM_CampaignEncounter* encounter)
{
    QLM_ASSERT(encounter);
    CloseOpen();
    return encounter ? new GUI_ConquestDetails(encounter) : nullptr;
}

void GUI_ConquestDetails::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    const int half = kPictureSize / 2;
    m_picture.PlaceCentred(static_cast<float>(clientLeft + half), static_cast<float>(clientTop + half));
    m_picture.Draw();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int textLeft = clientLeft + kPictureSize + 10;
    const int wrap = clientRight - 10 - textLeft;
    text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_message, wrap), static_cast<float>(textLeft),
                 static_cast<float>(clientTop + 20), 0xFFFFFFFFu, static_cast<float>(wrap));
    text.Render();
}
