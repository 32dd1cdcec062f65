#pragma once
#include "sim/SIM_ChallengeReportSink.h"

// Sends a challenge battle's attempt and victory to the game's server beside
// the frame: a battle never waits for the network, and without a server
// nothing is tried.
class ChallengeServerReports : public SIM_ChallengeReportSink {
public:
    static ChallengeServerReports& GetInstance();
    void ReportAttempt(const std::string& challengeId) override;
    void ReportVictory(const std::string& challengeId) override;
};
