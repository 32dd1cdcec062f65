#pragma once
#include "sim/SIM_ScenarioScore.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class GIniFile;

// Per-scenario wins and honour (sc.dat) and the player's unlock points and
// unlocked items (unl.dat), both in the user folder.
class SIM_HighScores {
public:
    // What the scores need to know of a scenario; kind 0 battle, 1 survival,
    // 2 tutorial.
    struct ScenarioInfo {
        std::string name;
        int kind = 0;
        std::string unlockedAfter;
    };
    using ScenarioProvider = std::function<std::vector<ScenarioInfo>()>;

    // The shared scores, read from the user folder at the first call unless
    // StartShared read them first.
    static SIM_HighScores& GetInstance();
    // The game's start: the shared scores read once from folder, seeded from
    // the provider's scenarios.
    static SIM_HighScores& StartShared(const std::string& folder, ScenarioProvider provider);

    // Scores kept in folder/sc.dat and folder/unl.dat; loads them at once.
    explicit SIM_HighScores(const std::string& folder);
    virtual ~SIM_HighScores();
    SIM_HighScores(const SIM_HighScores&) = delete;
    SIM_HighScores& operator=(const SIM_HighScores&) = delete;

    void Reload(const std::string& folder);
    void Load();
    bool SaveHighScores() const;
    bool SaveUnlocks() const;

    // The record of a scenario, created (and sc.dat saved) when missing.
    // Characters that would break the file's section line ('[', ']', line
    // ends) are stored as '_'; lookups apply the same rule.
    SIM_ScenarioScore* GetScenarioRecord(const std::string& name);
    const std::vector<std::unique_ptr<SIM_ScenarioScore>>& GetRecords() const { return m_records; }

    bool IsUnlocked(const std::string& item) const;
    bool AnyScenarioBeaten() const;
    // By scenario name, through the provider; an unknown scenario is available.
    bool IsScenarioAvailable(const std::string& scenarioName) const;
    // By the name of the scenario it is unlocked after: needs a win on easy.
    bool IsAvailableAfter(const std::string& unlockedAfter) const;

    // False (and nothing spent) when the cost is not positive, exceeds the
    // points, the item is already unlocked or its name cannot be stored.
    bool SpendUnlockPoints(int cost, const std::string& item);

    // A win at a difficulty (0..2): its beaten flag, and when it earns, the
    // honour (the budget left) beyond the best one as points. unl.dat goes
    // first, holding the points and the win, then sc.dat: a stop between
    // them is finished at the next load from unl.dat, so a win and its
    // points are kept both or neither, and never paid twice. The points
    // earned; while unl.dat cannot take them they stay in memory, and sc.dat
    // keeps the earlier honour, so that a later win pays them again.
    int32_t RecordWin(const std::string& scenarioName, int difficulty, bool earns, int64_t honour);

    int GetPoints() const { return m_points; }
    // Adds (or with a negative amount removes, never below 0) points and
    // saves unl.dat.
    void AddPoints(int amount);
    const std::vector<std::string>& GetUnlockedItems() const { return m_unlocked; }

    // The scenario list used to seed a missing sc.dat.
    void SetScenarioProvider(ScenarioProvider provider) { m_provider = std::move(provider); }

    static std::string StorableScenarioName(const std::string& name);
    static bool IsStorableItemName(const std::string& item);

    std::string ScoresPath() const { return m_folder + "/sc.dat"; }
    std::string UnlocksPath() const { return m_folder + "/unl.dat"; }

private:
    SIM_HighScores() = default;
    const SIM_ScenarioScore* FindRecord(const std::string& storedName) const;
    void LoadScores(const std::string& text);
    // Fresh records for every scenario, written to sc.dat when save is set.
    void SeedScores(bool save);
    void LoadUnlocks();
    // Wins unl.dat holds that sc.dat lacks (a stop between the two saves).
    void FinishWins(const std::vector<GIniFile>& sections);
    int32_t SavedHonour(const SIM_ScenarioScore& record, int difficulty) const;

    std::vector<std::unique_ptr<SIM_ScenarioScore>> m_records;
    std::vector<std::string> m_unlocked;
    // Wins whose sc.dat save has not gone in yet, paid in unl.dat or not.
    struct Win {
        std::string scenario;
        int difficulty = 0;
        int32_t honour = 0;
        int32_t earlierHonour = 0; // what sc.dat keeps until unl.dat has the points
        bool paid = false;         // unl.dat holds the points and the win
    };
    mutable std::vector<Win> m_unsavedWins;
    int32_t m_points = 0;
    std::string m_folder;
    ScenarioProvider m_provider;
};
