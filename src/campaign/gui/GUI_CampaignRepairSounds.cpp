#include "campaign/gui/GUI_CampaignRepairSounds.h"

#include "app/GUI_Sounds.h"
#include "engine/RandomTables.h"

#include <algorithm>

namespace {
const char* const kSounds[GUI_CampaignRepairSounds::kSoundCount] = {
    "campaign/data/sounds/campaign_repair_snd1.ogg", "campaign/data/sounds/campaign_repair_snd2.ogg",
    "campaign/data/sounds/campaign_repair_snd3.ogg", "campaign/data/sounds/campaign_repair_snd4.ogg",
    "campaign/data/sounds/campaign_repair_snd5.ogg", "campaign/data/sounds/campaign_repair_snd6.ogg",
};
} // namespace

GUI_CampaignRepairSounds::GUI_CampaignRepairSounds()
{
    m_ambience =
        GUI_Sounds::GetInstance().PlaySound("campaign/data/sounds/campaign_repair_ambience.ogg", nullptr, Volume(), true);
    m_timer.Start();
}

GUI_CampaignRepairSounds::~GUI_CampaignRepairSounds()
{
    if (m_ambience != kNoChannel)
        GUI_Sounds::GetInstance().StopChannel(m_ambience);
}

const char* GUI_CampaignRepairSounds::SoundName(int index)
{
    return index >= 0 && index < kSoundCount ? kSounds[index] : "";
}

float GUI_CampaignRepairSounds::Volume()
{
    const GUI_Sounds& sounds = GUI_Sounds::GetInstance();
    return sounds.GetInterfaceVolume() * sounds.GetMasterVolume();
}

void GUI_CampaignRepairSounds::Update()
{
    m_timer.Update();
    if (m_timer.GetTotalMs() <= m_intervalMs)
        return;
    m_intervalMs = RandomRangeAlt(2000.0f, 4000.0f);
    const int index = std::min(kSoundCount - 1, static_cast<int>(RandomRange(0.0f, static_cast<float>(kSoundCount))));
    GUI_Sounds::GetInstance().PlaySound(SoundName(index), nullptr, Volume() * RandomRange(0.25f, 0.95f), false);
    m_timer.Start();
}

void GUI_CampaignRepairSounds::PlayWeld()
{
    GUI_Sounds::GetInstance().PlaySound("campaign/data/sounds/campaign_weld.ogg", nullptr, Volume(), false);
}
