#pragma once
#include <list>
#include <string>
#include <vector>

class SIM_Ship;
class SIM_Race;

// Radio lines from the player's ships: keeps only the messages worth showing
// and hands the comms window one line at a time.
class SIM_CommsManager {
public:
    enum MessageId {
        COM_TARGETSELECTED = 0,
        COM_TARGETDESTROYED,
        COM_TAKINGHULLDAMAGE_NONFIGHTER,
        COM_TAKINGHULLDAMAGE_FIGHTER,
        COM_ECMSHOCKED,
        COM_CAUGHTINTRACTOR,
        COM_REPAIRSUPPLIESOUT,
        COM_HITBYSHIPDETONATION,
        COM_RETREATWEAPONSDESTROYED,
        COM_SHIELDSTABILITYLOST,
        COM_SHIELDSDOWN,
        COM_STARTCAMOFLAGE,
        COM_ARMORTOOSTRONG,
        COM_OURMISSILESCRAMBLED,
        COM_SHIELDSBELOW25PC,
        COM_SHIELDSBELOW50PC,
        COM_ABOUTTOEXPLODE,
        COM_TRACTORATTACHED,
        COM_REPAIRINITIATED,
        COM_WINGMANKILLED,
        COM_SHOCKEDBYFORCE,
        COM_DOCKINGFORREPAIRS,
        COM_HEADINGFORCARRIER,
        COM_LIMPETATTACHED,
        COM_RETREATING,
        COM_COUNT
    };

    struct Message {
        int id = 0;
        std::string text;
        SIM_Ship* sender = nullptr;
        float priority = 0.0f;
        float time = 0.0f;
    };

    static constexpr float kMaxAge = 1000.0f;     // ms of battle time a line waits
    static constexpr float kPruneInterval = 200.0f;
    static constexpr const char* kGenericSection = "COM_GENERIC";
    static constexpr const char* kFallbackLine = "<CREWNAME>: Standing by.";

    // Built and loaded from "data/comms.ini" on first use.
    static SIM_CommsManager& GetInstance();

    SIM_CommsManager();
    explicit SIM_CommsManager(const std::string& commsFile);
    virtual ~SIM_CommsManager() = default;
    SIM_CommsManager(const SIM_CommsManager&) = delete;
    SIM_CommsManager& operator=(const SIM_CommsManager&) = delete;

    // Refills the text pools; a missing file leaves them empty (reported).
    bool Load(const std::string& commsFile);

    void AddMessage(int id, float priority, SIM_Ship* sender);
    void Update();
    // The next line with the crew name filled in; empty when nothing waits.
    // A kind without texts of its own takes a line of the file's
    // "COM_GENERIC" section, or kFallbackLine when that has none either.
    std::string PopMessageText();
    // The same with its speaking ship (null sender and empty text when
    // nothing waits).
    Message PopMessage();
    void SetInspectedShip(SIM_Ship* ship);
    void Reset();
    // A ship is going away: its queued lines go with it.
    void ForgetShip(const SIM_Ship* ship);

    static const char* GetIdName(int id);
    static int FindId(const std::string& name);

    const std::list<Message>& GetQueue() const { return m_queue; }
    const std::vector<std::string>& GetPool(int id) const;
    const std::vector<std::string>& GetGenericPool() const { return m_generic.texts; }
    float GetThreshold() const { return m_threshold; }
    SIM_Ship* GetInspectedShip() const { return m_inspected; }

private:
    struct Pool {
        std::vector<std::string> texts;
        size_t cursor = 0;
    };

    void RefreshThreshold();
    std::string NextText(int id);
    static void ReplaceCrewName(std::string& text, SIM_Race* race);

    Pool m_pools[COM_COUNT];
    Pool m_generic;
    std::list<Message> m_queue;
    SIM_Ship* m_inspected = nullptr;
    float m_displayTimer = 0.0f;
    float m_threshold = 0.0f;
};
