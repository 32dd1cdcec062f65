#pragma once
#include <string>

// Where a battle of an online challenge tells the game's server that the
// challenge was tried and that it was won. The online layer installs it;
// without one (headless runner, tests, tools) nothing is sent.
class SIM_ChallengeReportSink {
public:
    virtual ~SIM_ChallengeReportSink() = default;
    virtual void ReportAttempt(const std::string& challengeId) = 0;
    virtual void ReportVictory(const std::string& challengeId) = 0;

    static void Install(SIM_ChallengeReportSink* sink) { s_sink = sink; }
    static SIM_ChallengeReportSink* Get() { return s_sink; }

private:
    static inline SIM_ChallengeReportSink* s_sink = nullptr;
};
