#pragma once
#include <functional>
#include <string>
#include <vector>

// The player's settings: named floats plus the chosen race, kept in
// config.txt in the user folder. Every subsystem reads its settings by name.
class SIM_Options {
public:
    struct Record {
        std::string name;
        float value = 0.0f;
    };

    static constexpr int kToggleCount = 17;
    static constexpr const char* kDefaultRace = "federation";

    // The process-wide options, stored in <user folder>/config.txt.
    static SIM_Options& GetInstance();

    // An options object of its own file (tests, tools); loads it at once.
    explicit SIM_Options(const std::string& filePath);
    SIM_Options(const SIM_Options&) = delete;
    SIM_Options& operator=(const SIM_Options&) = delete;

    // Points the object at another file and loads it.
    void Reload(const std::string& filePath);

    float GetValue(const std::string& name);
    void SetValue(const std::string& name, float value);
    // Appends without looking for the name.
    void AddValue(const std::string& name, float value);
    // First record of exactly this name, or null; loads first when empty.
    Record* Find(const std::string& name);

    void Load();
    bool Save() const;
    void WriteDefaults();
    void AddDefault(const char* name, float value);

    // The check-box names the options screen and battle screen index.
    static const char* GetToggleName(int index);
    bool GetToggle(int index);

    // The battle difficulty the player chose last (0 easy, 1 medium, 2 hard),
    // kept across runs; easy until one is chosen. Setting it saves.
    static constexpr const char* kDifficultyName = "DIFFICULTY";
    int GetDifficulty();
    void SetDifficulty(int level);

    const std::string& GetRaceName() const { return m_raceName; }
    // Names with line breaks are refused: they would break config.txt.
    void SetRaceName(const std::string& race);

    // Tells Load whether a stored race still exists. Without one every
    // name is accepted.
    using RaceValidator = std::function<bool(const std::string&)>;
    void SetRaceValidator(RaceValidator validator) { m_raceValidator = std::move(validator); }

    const std::vector<Record>& GetRecords() const { return m_options; }
    const std::string& GetFilePath() const { return m_filePath; }

private:
    SIM_Options() = default;
    Record* FindLoaded(const std::string& name);
    void FillDefaults();
    void SetDefaults();
    // A known option's value held to its range, with a line when it was not.
    float Bounded(const std::string& name, float value) const;
    std::string ChooseRace(const std::string& stored) const;

    std::vector<Record> m_options;
    std::string m_raceName = kDefaultRace;
    std::string m_filePath;
    RaceValidator m_raceValidator;
    bool m_loading = false;
};
