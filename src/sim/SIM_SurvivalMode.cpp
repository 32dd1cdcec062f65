#include "sim/SIM_SurvivalMode.h"

#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GTokenizer.h"
#include "engine/SaturatingMath.h"
#include "engine/StrFormat.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_SurvivalScoreSink.h"

#include <algorithm>

SIM_SurvivalMode& SIM_SurvivalMode::GetInstance()
{
    static SIM_SurvivalMode instance;
    return instance;
}

bool SIM_SurvivalMode::LoadWaves(const std::string& fileName)
{
    m_score = 0;
    m_waves.clear();
    m_wavesSent = 0;
    GIniFile ini;
    if (!ini.Load("waves", fileName.c_str())) {
        // Said once: an unreadable (or empty) file is the one thing wrong.
        LOG_ERROR("Cannot read the survival waves: " + fileName);
        m_nextWaveThreshold = 0.0f;
        m_difficultyRamp = 0.0f;
        m_currentWave = 0;
        return false;
    }
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        GTokenizer tok(ini.GetValueAt(i), ',');
        tok.source = fileName + " [waves] " + ini.GetKeyAt(i);
        Wave wave;
        wave.index = static_cast<uint32_t>(m_waves.size());
        wave.name = tok.NextString();
        wave.threshold = tok.NextFloat();
        // A wave without a file could only ever fail to arrive.
        if (wave.name.empty()) {
            LOG_ERROR(StrFormat("%s: wave %s names no fleet file, skipped", fileName.c_str(), ini.GetKeyAt(i).c_str()));
            continue;
        }
        m_waves.push_back(std::move(wave));
    }
    m_nextWaveThreshold = m_waves.empty() ? 0.0f : m_waves.front().threshold;
    m_difficultyRamp = 0.0f;
    m_currentWave = 0;
    if (m_waves.empty())
        LOG_ERROR("No survival waves in " + fileName);
    return !m_waves.empty();
}

void SIM_SurvivalMode::Update()
{
    SIM_Battle& battle = SIM_Battle::GetInstance();
    SIM_Fleet* enemy = battle.GetEnemyFleet();
    SIM_Fleet* player = battle.GetPlayerFleet();
    if (!enemy || !player)
        return;
    if (m_nextWaveThreshold > enemy->GetCurrentStrength())
        NextWave();
    if (battle.GetTimeSinceLastKill() > kStallTime) {
        NextWave();
        battle.ResetTimeSinceLastKill();
    }
    if (player->IsBeaten())
        battle.Defeat();
}

void SIM_SurvivalMode::RaiseDifficulty()
{
    m_currentWave = 0;
    m_difficultyRamp = std::clamp(m_difficultyRamp + kRampStep, 0.0f, 1.0f);
}

void SIM_SurvivalMode::NextWave()
{
    if (m_waves.empty()) {
        GetCurrentWave(); // says why no wave comes
        return;
    }
    if (++m_currentWave >= m_waves.size())
        RaiseDifficulty();
    const Wave* wave = GetCurrentWave();
    if (!wave)
        return;
    m_nextWaveThreshold = wave->threshold + 4.0f * wave->threshold * m_difficultyRamp;

    SIM_Battle& battle = SIM_Battle::GetInstance();
    SIM_Fleet* enemy = battle.GetEnemyFleet();
    if (!enemy || !battle.GetScenario())
        return;
    const std::string path = battle.GetScenario()->GetEnemyFleetPath();
    SIM_DeployedFleet arrivals;
    if (!arrivals.Load(path, battle.GetScenario(), false)) {
        LOG_ERROR_ONCE("Cannot read the survival wave " + path);
        return;
    }
    enemy->BuildFromDeployment(arrivals, true);
    enemy->UpdateClassPresence();
    ++m_wavesSent;
    if (m_waveObserver)
        m_waveObserver->WaveArrived();
}

void SIM_SurvivalMode::AddScore(float amount)
{
    if (SIM_Battle::GetInstance().IsEnded())
        return;
    m_score = SaturatingAdd(m_score, TruncateToInt(amount));
}

bool SIM_SurvivalMode::SubmitScore() const
{
    const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    QLM_ASSERT(scenario != nullptr);
    SIM_SurvivalScoreSink* sink = SIM_SurvivalScoreSink::Get();
    if (!scenario || !sink)
        return false;
    return sink->SubmitSurvivalScore(scenario->GetName(), SIM_Options::GetInstance().GetRaceName(), m_score);
}

const SIM_SurvivalMode::Wave* SIM_SurvivalMode::GetCurrentWave() const
{
    for (const Wave& wave : m_waves)
        if (wave.index == m_currentWave)
            return &wave;
    LOG_ERROR_ONCE("Failed to find current wave");
    return nullptr;
}

std::string SIM_SurvivalMode::GetCurrentWaveName() const
{
    const Wave* wave = GetCurrentWave();
    return wave ? wave->name : std::string();
}
