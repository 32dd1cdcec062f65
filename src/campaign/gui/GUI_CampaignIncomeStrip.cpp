#include "campaign/gui/GUI_CampaignIncomeStrip.h"

#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "sim/SIM_ContentFiles.h"

#include <algorithm>

namespace {
// "encounter_icons.dds" holds the facility pictures, 16 in a row.
constexpr int kIconFrames = 16;
} // namespace

GUI_CampaignIncomeStrip::GUI_CampaignIncomeStrip(SIM_CampaignFacility* facility, bool recruits)
    : GUI_CampaignManagerStrip(facility->GetEncounter()), m_facility(facility)
{
    const SIM_CampaignFacilityType* type = facility->GetType();
    m_icon.SetTexture("encounter_icons.dds");
    m_icon.SetFrame(std::clamp(type ? type->iconId : 0, 0, kIconFrames - 1), kIconFrames);
    m_first = type ? GetString(type->guiName.c_str()) : std::string();
    float amount = 0.0f;
    if (recruits) {
        facility->UpdateCurrentCrew();
        amount = facility->GetCurrentCrew();
    } else {
        facility->UpdateCurrentCash();
        amount = facility->GetCurrentCash();
    }
    m_second = GetString(recruits ? "RECRUIT_STRIP_RECRUITS" : "INCOME_STRIP_INCOME");
    const SIM_CampaignEncounter* planet = facility->GetEncounter();
    const float loyalty = planet ? planet->loyalty.value * 100.0f : 0.0f;
    // The yield times the planet's loyalty, cut to whole credits as it is paid.
    const std::string figure = FormatThousands(TruncateToInt(amount));
    m_figure = recruits ? StrFormat("%s (%.0f%%)", figure.c_str(), loyalty)
                        : StrFormat("%s CR (%.0f%%)", figure.c_str(), loyalty);
}
