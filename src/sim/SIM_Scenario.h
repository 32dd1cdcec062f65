#pragma once
#include <string>
#include <vector>

#include "sim/SIM_Anomaly.h"
#include "sim/SIM_ScenarioBase.h"

class SIM_ShipDesign;
class SIM_ShipModuleType;

// One battle setting from "data/scenarios/*.txt": map, deployment zones,
// limits, enemy race and fleets, battle type and anomalies. Scenarios live in
// a global list sorted by "gui_id".
class SIM_Scenario : public SIM_ScenarioBase {
public:
    enum Type { SKIRMISH = 0, SURVIVAL = 1, TUTORIAL = 2 };
    enum Difficulty { EASY = 0, MEDIUM = 1, HARD = 2 };

    struct Zone {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    struct SupplyLimit {
        std::string moduleType;
        int limit = 0;
    };
    struct Entry {
        std::string key;
        std::string value;
    };

    SIM_Scenario();
    // A scenario owned by someone else (a campaign planet, a challenge being
    // read) stays out of the global list, which deletes what it holds.
    struct Unlisted {};
    explicit SIM_Scenario(Unlisted) {}
    ~SIM_Scenario() override;
    SIM_Scenario(const SIM_Scenario&) = delete;
    SIM_Scenario& operator=(const SIM_Scenario&) = delete;

    // False when the file cannot be read (the scenario stays empty).
    virtual bool Load(const std::string& filePath);
    virtual void OnLoaded() {}

    void ParseVariables();
    void FormatVariables();
    void FormatVariablesForEditor();
    // Writes the scenario file, keeping every key and section it was read
    // with. False when the file cannot be written.
    bool Save(const std::string& filePath) const;

    int GetSupplyLimit(const std::string& moduleTypeName) const;
    void ClearSupplyLimits() { m_supplyLimits.clear(); }
    void SetSupplyLimit(const std::string& moduleTypeName, int limit);

    // The enemy's deployed-fleet file for the coming battle. Survival
    // scenarios name the current wave's file, which the caller passes.
    std::string GetEnemyFleetPath(const std::string& survivalWaveName = std::string()) const;
    // Where a survival scenario keeps its list of waves.
    std::string GetSurvivalWavesPath() const;

    bool IsHullClassAllowed(int hullClass) const;
    bool IsDesignAllowed(const SIM_ShipDesign* design) const;
    bool IsModuleTypeDisabled(const SIM_ShipModuleType* type) const;
    bool HasDisabledModule(const SIM_ShipDesign* design) const;

    static void LoadAll();
    static void FreeAll();
    static SIM_Scenario* FindByName(const std::string& name);
    static SIM_Scenario* GetFirst();
    static const std::vector<SIM_Scenario*>& GetList();
    static bool IsLoaded();

    // Getters
    std::string GetName() const { return name; }
    std::string GetGuiName() const { return guiname; }
    // Falls back to the default race: every battle needs an enemy race.
    std::string GetEnemyRace() const;
    std::string GetUnlockedAfter() const { return m_unlockedAfter; }
    std::string GetChallengeId() const { return m_challengeFile; }
    std::string GetStringMember() const { return m_stringMember; }
    std::string GetBackdrop() const { return m_backdrop; }
    std::string GetIcon() const { return m_icon; }
    std::string GetShader() const { return m_shader; }
    std::string GetSize() const { return m_size; }
    std::string GetTypeText() const { return m_typeText; }
    const std::string& GetFilePath() const { return m_filePath; }
    float GetMapSizeX() const { return m_mapsizex; }
    float GetMapSizeY() const { return m_mapsizey; }
    bool HasPlayableMap() const { return m_mapsizex > 0.0f && m_mapsizey > 0.0f; }
    Zone GetPlayerDeployment() const { return m_playerDeployment; }
    Zone GetAIDeployment() const { return m_aiDeployment; }
    int GetGuiId() const { return m_guiId; }
    bool HasStarfield() const { return m_starfield; }
    int GetFleetCostLimit() const { return m_fleetCostLimit; }
    int GetPilotLimit() const { return m_pilotLimit; }
    int GetType() const { return m_type; }
    int GetAsteroidCount() const { return m_asteroidCount; }
    float GetAsteroidTopX() const { return m_asteroidTopX; }
    float GetAsteroidBottomX() const { return m_asteroidBottomX; }
    bool HasAsteroids() const { return m_hasAsteroids; }
    float GetLightningIntensity() const { return m_lightningIntensity; }
    float GetLightningInterval() const { return m_lightningInterval; }
    bool HasLightning() const { return m_hasLightning; }
    int GetDifficulty() const { return m_difficulty; }
    // Whether the player chooses this battle's difficulty (a skirmish of the
    // game's own fleets: not a survival, a tutorial or a challenge).
    bool TakesChosenDifficulty() const;
    // The player's choice, for every battle that takes it.
    static void ApplyChosenDifficulty(int difficulty);
    bool IsChallengeFleet() const { return m_challengeFleet; }
    bool GetSecondFlag() const { return m_secondFlag; }
    float GetShieldStrengthMultiplier() const { return m_shieldMultiplier; }
    float GetEngineSpeedMultiplier() const { return m_engineMultiplier; }
    float GetWeaponRangeMultiplier() const { return m_weaponRangeMultiplier; }
    // Index: SIM_Anomaly::ENGINES_REQUIRED .. REPAIR_INOPERABLE.
    bool GetAnomalyFlag(int keyword) const;
    bool HasAnomalies() const { return m_anomaliesPresent; }
    const std::vector<SIM_Anomaly>& GetAnomalies() const { return m_anomalies; }
    const std::vector<SupplyLimit>& GetSupplyLimits() const { return m_supplyLimits; }
    const std::vector<std::string>& GetVariableLines() const { return m_variableLines; }
    std::vector<std::string> GetTerrainLines() const;

    // Setters for the deployment screen, campaign, challenges and editors
    void SetDifficulty(int difficulty) { m_difficulty = difficulty; }
    void SetChallengeFleet(bool on) { m_challengeFleet = on; }
    // Replaces the value of a terrain line; an index past the end does nothing.
    void SetTerrainLine(size_t index, const std::string& line);
    void SetChallengeFile(std::string file) { m_challengeFile = std::move(file); }
    void SetStringMember(std::string text) { m_stringMember = std::move(text); }
    void SetSecondFlag(bool on) { m_secondFlag = on; }
    void SetVariableLines(std::vector<std::string> lines) { m_variableLines = std::move(lines); }
    void AddAnomaly(const SIM_Anomaly& anomaly);
    void ClearAnomalies();
    void SetName(const std::string& text) { name = text; }
    void SetGuiName(const std::string& text) { guiname = text; }
    void SetMapSize(float x, float y) { m_mapsizex = x; m_mapsizey = y; }
    void SetPlayerDeployment(const Zone& z) { m_playerDeployment = z; }
    void SetAIDeployment(const Zone& z) { m_aiDeployment = z; }
    void SetGuiId(int id) { m_guiId = id; }
    void SetFleetCostLimit(int limit) { m_fleetCostLimit = limit; }
    void SetPilotLimit(int limit) { m_pilotLimit = limit; }
    void SetEnemyRace(const std::string& race) { m_enemyRace = race; }
    void SetUnlockedAfter(const std::string& text) { m_unlockedAfter = text; }
    void SetType(int type);
    void SetBackdrop(const std::string& text) { m_backdrop = text; }
    void SetIcon(const std::string& text) { m_icon = text; }
    void SetStarfield(bool on) { m_starfield = on; }
    void SetAsteroids(int count, float topX, float bottomX);
    void SetLightning(float intensity, float interval);
    void SetShader(const std::string& text) { m_shader = text; }
    // The free-text size shown in the scenario details.
    void SetSizeText(const std::string& text) { m_size = text; }
    void SetFilePath(const std::string& path) { m_filePath = path; }
    // A scenario of the player's own, made with the scenario editor.
    void SetCustom(bool on) { m_custom = on; }
    bool IsCustom() const { return m_custom; }
    // Set up to be posted as a challenge: deployed, but not fought here.
    void SetCustomChallenge(bool on) { m_customChallenge = on; }
    bool IsCustomChallenge() const { return m_customChallenge; }
    // Takes one anomaly out of the list; false when the index is outside it.
    bool RemoveAnomaly(size_t index);

private:
    void ReadConfig(const std::string& filePath);
    void ReadVariables(const std::string& filePath);
    void ReadTerrain(const std::string& filePath);
    void ResetAnomalyValues();
    void ApplyAnomaly(const SIM_Anomaly& anomaly);
    void FormatVariablesAs(bool flagsWithAmount);
    std::string ConfigText() const;
    std::string DeploymentFolderPrefix() const;
    std::string FileStem() const;

    std::vector<std::string> m_variableLines;
    std::vector<SupplyLimit> m_supplyLimits;
    std::vector<Entry> m_terrain;
    std::vector<SIM_Anomaly> m_anomalies;
    std::string m_filePath;
    float m_mapsizex = 0.0f;
    float m_mapsizey = 0.0f;
    Zone m_playerDeployment;
    int m_guiId = 0;
    std::string m_backdrop;
    std::string m_shader;
    std::string m_icon;
    std::string m_enemyRace;
    std::string m_size;
    std::string m_stringMember;
    bool m_starfield = false;
    int m_fleetCostLimit = 0;
    int m_pilotLimit = 0;
    std::string m_typeText;
    int m_asteroidCount = 0;
    float m_asteroidTopX = 0.0f;
    float m_asteroidBottomX = 0.0f;
    bool m_hasAsteroids = false;
    int m_difficulty = EASY;
    bool m_challengeFleet = false;
    bool m_secondFlag = false;
    std::string m_challengeFile;
    Zone m_aiDeployment;
    std::string m_unlockedAfter;
    int m_type = SKIRMISH;
    float m_shieldMultiplier = 1.0f;
    float m_engineMultiplier = 1.0f;
    float m_weaponRangeMultiplier = 1.0f;
    bool m_flags[SIM_Anomaly::KEYWORD_COUNT - SIM_Anomaly::kFirstFlag] = {};
    bool m_anomaliesPresent = false;
    float m_lightningIntensity = 0.0f;
    float m_lightningInterval = 0.0f;
    bool m_hasLightning = false;
    bool m_custom = false;
    bool m_customChallenge = false;
    // Keys of [config] this version does not know, kept for the writer.
    std::vector<Entry> m_extraConfig;
};
