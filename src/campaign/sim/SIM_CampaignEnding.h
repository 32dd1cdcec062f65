#pragma once

class SIM_CampaignProgress;

// How a campaign stands once a turn is over: won when the player holds every
// planet, lost when they hold none, else it goes on.
class SIM_CampaignEnding {
public:
    enum Result { GOES_ON, VICTORY, DEFEAT };

    static Result Judge(float conquestRatio);
    // A progress bound to no campaign (or one without planets) has not ended.
    static Result Judge(const SIM_CampaignProgress& progress);
};
