#pragma once
#include <memory>

#include "sim/SIM_SurvivalScoreSink.h"

class OnlineJob;

// Posts a survival score to the game's server beside the frame. One post at a
// time: the survival report waits for it and asks here how it went. Without a
// server the post fails at once, so the player hears of it the next frame.
class SurvivalScorePoster : public SIM_SurvivalScoreSink {
public:
    static SurvivalScorePoster& GetInstance();
    // False while an earlier post still runs.
    bool SubmitSurvivalScore(const std::string& scenario, const std::string& race, int score) override;
    // Once the post is done: true with its outcome, and the post is over.
    bool Collect(bool& succeeded);

private:
    std::shared_ptr<OnlineJob> m_job;
};
