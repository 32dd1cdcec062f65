#pragma once
#include "engine/GTimer.h"
#include "platform/ISoundSystem.h"

// The repair yard's sound while its dialog is open: a looping hum, and every
// two to four seconds one of six welding and workshop sounds at a random
// loudness.
class GUI_CampaignRepairSounds {
public:
    static constexpr int kSoundCount = 6;

    GUI_CampaignRepairSounds();
    ~GUI_CampaignRepairSounds();
    GUI_CampaignRepairSounds(const GUI_CampaignRepairSounds&) = delete;
    GUI_CampaignRepairSounds& operator=(const GUI_CampaignRepairSounds&) = delete;

    // Once a frame.
    void Update();
    // The torch of one repair.
    static void PlayWeld();

    static const char* SoundName(int index);

private:
    static float Volume();

    SoundChannelId m_ambience = kNoChannel;
    GTimer m_timer;
    double m_intervalMs = 0.0;
};
