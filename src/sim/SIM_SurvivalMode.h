#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Survival battles: wave after wave of enemies from the scenario's waves file.
// The next wave comes when the enemy fleet's strength falls below the current
// wave's threshold or when nobody has been killed for kStallTime; every pass
// through the list makes the thresholds higher. There is no victory.
class SIM_SurvivalMode {
public:
    struct Wave {
        uint32_t index = 0;
        float threshold = 0.0f;
        std::string name; // the wave's enemy fleet file, beside the waves file
    };

    static constexpr float kStallTime = 180000.0f; // ms of battle time without a kill
    static constexpr float kRampStep = 0.2f;

    // The battle screen's score window, told of every wave that arrives.
    class WaveObserver {
    public:
        virtual ~WaveObserver() = default;
        virtual void WaveArrived() = 0;
    };

    static SIM_SurvivalMode& GetInstance();

    // Reads the "waves" section: each value is "file name,threshold" (the
    // keys do not matter). Resets the score, wave and ramp. False (logged)
    // when the file holds no wave.
    bool LoadWaves(const std::string& fileName);
    // One battle frame of a survival battle, in place of the ordinary end check.
    void Update();
    void NextWave();
    void AddScore(float amount);
    // Sends the battle's scenario, the player's race and the score to the
    // online survival table; false when there is nowhere to send them.
    bool SubmitScore() const;
    // Null: nobody is told (the window is closed, or there is no screen).
    void SetWaveObserver(WaveObserver* observer) { m_waveObserver = observer; }

    // Null (logged) when there are no waves.
    const Wave* GetCurrentWave() const;
    std::string GetCurrentWaveName() const;
    uint32_t GetCurrentWaveIndex() const { return m_currentWave; }
    float GetNextWaveThreshold() const { return m_nextWaveThreshold; }
    float GetDifficultyRamp() const { return m_difficultyRamp; }
    int32_t GetScore() const { return m_score; }
    const std::vector<Wave>& GetWaves() const { return m_waves; }
    // How many waves arrived during the battle (the first one not counted).
    int GetWavesSent() const { return m_wavesSent; }

private:
    SIM_SurvivalMode() = default;
    void RaiseDifficulty();

    uint32_t m_currentWave = 0;
    float m_nextWaveThreshold = 0.0f;
    std::vector<Wave> m_waves;
    int32_t m_score = 0;
    float m_difficultyRamp = 0.0f;
    int m_wavesSent = 0;
    WaveObserver* m_waveObserver = nullptr;
};
