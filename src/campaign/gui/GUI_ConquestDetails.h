#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GLifetime.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>

class SIM_CampaignEncounter;

// The enemy has taken one of the player's planets: its picture and what it
// cost the people there. Closed with its close button.
class GUI_ConquestDetails : public GUI_Dialog, public GUI_OneOpen<GUI_ConquestDetails> {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 270;
    static constexpr int kPictureSize = 200;

    ~GUI_ConquestDetails() override;
    void Draw() override;

    // Replaces an open one; a new casualty count each time.
    static GUI_ConquestDetails* Open(SIM_CampaignEncounter* encounter);
    // From two draws of 0..32767, the first one giving the last three digits:
    // 211,000 to 894,933.
    static int CasualtyCount(int firstDraw, int secondDraw);

    SIM_CampaignEncounter* GetEncounter() const { return m_encounter.Get(); }
    const std::string& GetMessage() const { return m_message; }

private:
    explicit GUI_ConquestDetails(SIM_CampaignEncounter* encounter);

    GWatch<SIM_CampaignEncounter> m_encounter;
    CTexturedSprite m_picture;
    std::string m_message;
    GUI_Interlace m_interlace;
};
