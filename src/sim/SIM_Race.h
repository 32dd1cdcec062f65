#pragma once
#include <memory>
#include <string>
#include <vector>

class CTexturedSprite;
class SIM_Unlockable;

// A playable or enemy faction read from one "data/races/*.txt" file. Races
// live in one global list, sorted by "guiid", from LoadAll until exit.
class SIM_Race {
public:
    static constexpr const char* kDefaultRace = "federation";
    static constexpr int kDefaultGuiId = 99;

    struct Turret {
        std::string name;    // generic turret name used by module types
        std::string sprite;  // the race's own sprite for it
        std::string texture; // 64-frame sheet the sprite lives on
        int frame = 0;
    };

    // Reads the file and appends the race to the global list.
    explicit SIM_Race(const std::string& fileName);
    virtual ~SIM_Race();
    SIM_Race(const SIM_Race&) = delete;
    SIM_Race& operator=(const SIM_Race&) = delete;

    static void LoadAll();
    static void FreeAll();
    static SIM_Race* Find(const std::string& name, bool log = true);
    // The named race, else the default race: battles always get a race.
    static SIM_Race* FindOrDefault(const std::string& name);
    static const std::vector<SIM_Race*>& GetList();
    static int CountSelectableRaces();
    // What the player reads for a race's name ("Federation" for
    // "federation"); a name no race has is shown as it is.
    static std::string DisplayName(const std::string& name);

    std::string GetTurretMapping(const std::string& turretName) const;
    const Turret* FindTurret(const std::string& turretName) const;
    // Both sprites show the named turret's sheet: the working picture at its
    // frame, the wrecked one 32 frames on (of 64). No such turret: untouched.
    void CreateTurretSprite(const std::string& turretName, CTexturedSprite& working, CTexturedSprite& wrecked) const;
    static constexpr int kTurretFrames = 64;
    static constexpr int kWreckedTurretFrame = 32;
    const std::string& GetNextCrewName();
    std::string GetVictoryMessages() const;
    std::string GetDefeatMessages() const;

    std::string GetName() const { return m_name; }
    std::string GetGuiName() const { return m_guiname; }
    std::string GetDescription() const { return m_description; }
    std::string GetMusic() const { return m_music; }
    std::string GetLogo() const { return m_logo; }
    std::string GetDefaultNames() const { return m_defaultnames; }
    std::string GetShield() const { return m_shield; }
    const std::string& GetFileName() const { return m_fileName; }
    int GetGuiId() const { return m_guiid; }
    int GetDebrisStartUV() const { return m_debrisstartuv; }
    int GetDebrisEndUV() const { return m_debrisenduv; }
    int GetEscapePodId() const { return m_escapepodid; }
    int GetRepairBotId() const { return m_repairbotid; }
    int GetContrailId() const { return m_contrailid; }
    int GetShieldCollapseUV() const { return m_shieldcollapseuv; }
    const std::vector<Turret>& GetTurrets() const { return m_turrets; }
    const std::vector<std::string>& GetCrew() const { return m_crew; }
    SIM_Unlockable* GetUnlockable() const { return m_unlockable.get(); }
    bool IsLocked() const;

private:
    void ReadConfig();
    void ReadTurrets();
    void ReadCrew();
    std::string PickMessage(const char* section) const;

    std::string m_shield;
    std::string m_guiname;
    std::string m_description;
    std::string m_defaultnames;
    std::string m_music;
    std::string m_logo;
    std::string m_name;
    std::vector<Turret> m_turrets;
    int m_debrisstartuv = 0;
    int m_debrisenduv = 0;
    int m_escapepodid = 0;
    int m_repairbotid = 0;
    int m_contrailid = 0;
    int m_shieldcollapseuv = 0;
    std::string m_fileName;
    std::vector<std::string> m_crew;
    size_t m_crewCursor = 0;
    int m_guiid = kDefaultGuiId;
    std::unique_ptr<SIM_Unlockable> m_unlockable;
};
