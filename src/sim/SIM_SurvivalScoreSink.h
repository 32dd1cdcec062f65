#pragma once
#include <string>

// Where a survival battle's score goes to the online survival table. The
// online layer installs it; without one (headless runner, tests, tools, a
// game without a server) there is nowhere to post.
class SIM_SurvivalScoreSink {
public:
    virtual ~SIM_SurvivalScoreSink() = default;
    // Starts sending beside the frame; false when sending cannot even start.
    virtual bool SubmitSurvivalScore(const std::string& scenario, const std::string& race, int score) = 0;

    static void Install(SIM_SurvivalScoreSink* sink) { s_sink = sink; }
    static SIM_SurvivalScoreSink* Get() { return s_sink; }

private:
    static inline SIM_SurvivalScoreSink* s_sink = nullptr;
};
