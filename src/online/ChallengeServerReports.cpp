#include "online/ChallengeServerReports.h"

#include "online/OnlineJob.h"
#include "online/SIM_Server.h"

ChallengeServerReports& ChallengeServerReports::GetInstance()
{
    static ChallengeServerReports instance;
    return instance;
}

void ChallengeServerReports::ReportAttempt(const std::string& challengeId)
{
    // Nobody waits for the answer: the job keeps itself until its worker ends.
    OnlineJob::Start([challengeId](SIM_Server& server, std::string&) {
        return server.ReportChallengeAttempt(challengeId);
    });
}

void ChallengeServerReports::ReportVictory(const std::string& challengeId)
{
    OnlineJob::Start([challengeId](SIM_Server& server, std::string&) {
        return server.ReportChallengeVictory(challengeId);
    });
}
