#include "online/SurvivalScorePoster.h"

#include <string>

#include "online/OnlineJob.h"
#include "online/SIM_Server.h"

SurvivalScorePoster& SurvivalScorePoster::GetInstance()
{
    static SurvivalScorePoster instance;
    return instance;
}

bool SurvivalScorePoster::SubmitSurvivalScore(const std::string& scenario, const std::string& race, int score)
{
    // A finished post nobody collected (its report was closed) is over.
    if (m_job && !m_job->IsDone())
        return false;
    m_job = OnlineJob::Start([scenario, race, score](SIM_Server& server, std::string&) {
        return server.AddSurvivalScore(score, scenario, race);
    });
    return m_job != nullptr;
}

bool SurvivalScorePoster::Collect(bool& succeeded)
{
    std::string text;
    return OnlineJob::Collect(m_job, succeeded, text);
}
