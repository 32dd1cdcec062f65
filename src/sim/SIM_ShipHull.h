#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sim/SIM_CostedItem.h"

class GIniFile;
class SIM_Unlockable;

// The body of a ship, read from "data/hulls/<folder>/*.txt": sprite, class,
// race, module slots, aim points, effect anchors and percentage bonuses.
// Hull files place things on a 0..256 grid across the sprite, 128 = centre.
//
// Hulls live in one global list from the first load until FreeAll (shutdown
// or tests). Destroying a hull unbinds it from every design, which then
// counts as invalid rather than pointing at freed memory.
class SIM_ShipHull : public SIM_CostedItem {
public:
    enum HullClass { CRUISER = 0, FRIGATE = 1, FIGHTER = 2, UNKNOWN_CLASS = -1 };
    enum SlotType { STANDARD = 0, TURRET = 1 };
    enum BonusKind {
        ARMOURBOOST = 0,
        SHIELDBOOST = 1,
        SPEEDBOOST = 2,
        INTEGRITYBOOST = 3,
        POWERBOOST = 4,
        COSTBOOST = 5,
        BONUS_KIND_COUNT = 6
    };

    // A turret module draws at most this many turrets (the weapons keep
    // per-turret arrays of this size); extra turret points are dropped.
    static constexpr size_t kMaxTurretPoints = 4;

    struct Point {
        float x = 0.0f;
        float y = 0.0f;
    };

    struct Slot {
        float x = 0.0f;
        float y = 0.0f;
        int index = 0;
        std::vector<Point> turretPoints;
        int slotType = STANDARD;
    };

    struct Target {
        float x = 0.0f;
        float y = 0.0f;
        unsigned char hasRect = 0;
        unsigned char named = 0;
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f; // texture fractions
        float rectCentreX = 0.0f, rectCentreY = 0.0f, rectWidth = 0.0f, rectHeight = 0.0f;
        std::vector<Point> extraPoints;
        std::string name;
    };

    struct Bonus {
        int kind = BONUS_KIND_COUNT;
        float amount = 0.0f;
    };

    // A structural band of the [tractorbeams] section, "x1,y1,x2,y2,width,
    // angle" with points and width on a 0..512 grid across the sprite (twice
    // the others'); here as fractions of the hull, the points centred on 0.
    struct Band {
        float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;
        float width = 0.0f;
        float angle = 0.0f; // degrees, added to the ship's
    };

    // Empty hull, appended to the global list.
    SIM_ShipHull();
    ~SIM_ShipHull() override;
    SIM_ShipHull(const SIM_ShipHull&) = delete;
    SIM_ShipHull& operator=(const SIM_ShipHull&) = delete;

    // Reads one hull file. False when the hull is unusable (its class is not
    // cruiser, frigate or fighter); the caller discards such a hull.
    bool Read(const std::string& fileName);

    // Loads every hull once; does nothing while the list holds a hull.
    static void LoadAll();
    static void FreeAll();
    // Null when no hull has the name, with a line unless report is false.
    static SIM_ShipHull* Find(const std::string& name, bool report = true);
    static SIM_ShipHull* FindFirstForRace(const std::string& raceName);
    static const std::vector<SIM_ShipHull*>& GetList();
    // A damage emitter of the [targets] section, "(config-x-y)" on the 0..256
    // grid. Read from the right: each number is preceded by one hyphen that
    // separates it, and a second hyphen before that one is its minus sign,
    // so "(-80.00-150.00)" (no config) is x 80 and "(s--8.00--9.00)" is
    // x -8, y -9. The parentheses may be left out.
    static bool ParseEmitterField(const std::string& field, std::string& config, float& x, float& y);
    // A point "(x-y)" (a turret point): a leading hyphen is x's minus sign.
    static bool ParsePointField(const std::string& field, float& x, float& y);

    static Band ParseBand(const std::string& line);

    // BONUS_KIND_COUNT (6) for an unknown key, after an error report.
    static int BonusKindFromName(const std::string& key);

    int CountSlotsOfType(int slotType) const;
    std::string GetBonusDescription(const Bonus& bonus) const;
    void RecalculateBonuses();
    // The sum of the amounts of one bonus kind; 0 outside 0..5.
    float GetBonusTotal(int kind) const;
    // v * b + v: how a hull bonus scales a module value.
    float ApplyBonus(int kind, float value) const { return value * GetBonusTotal(kind) + value; }

    std::string GetName() const { return m_name; }
    std::string GetGuiName() const { return m_guiName; }
    std::string GetRaceName() const { return m_raceName; }
    std::string GetSprite() const { return m_sprite; }
    std::string GetDamageTexture() const { return m_damageTexture; }
    std::string GetHulkTexture() const { return m_hulkTexture; }
    const std::string& GetClassName() const { return m_className; }
    const std::string& GetFileName() const { return m_fileName; }
    int GetClass() const { return m_class; }
    int GetHulkUVStart() const { return m_hulkUVStart; }
    int GetHulkUVEnd() const { return m_hulkUVEnd; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    float GetPowerProduced() const { return m_powerProduced; }

    const std::vector<std::string>& GetEngineGlows() const { return m_engineGlows; }
    const std::vector<std::string>& GetTractorBeams() const { return m_tractorBeams; }
    std::vector<Band> GetBands() const;
    const std::vector<std::string>& GetPulseGlows() const { return m_pulseGlows; }
    const std::vector<std::string>& GetContrails() const { return m_contrails; }
    const std::vector<std::string>& GetRunningLights() const { return m_runningLights; }
    const std::vector<std::string>& GetExplosions() const { return m_explosions; }
    const std::vector<std::string>& GetHulks() const { return m_hulks; }
    const std::vector<Target>& GetTargets() const { return m_targets; }
    const std::vector<Slot>& GetSlots() const { return m_slots; }
    const Slot* GetSlot(int index) const;
    int GetSlotCount() const { return static_cast<int>(m_slots.size()); }
    const std::vector<Bonus>& GetBonuses() const { return m_bonuses; }
    SIM_Unlockable* GetUnlockable() const { return m_unlockable.get(); }

private:
    void ReadConfig(const GIniFile& ini);
    void ReadTargets(const GIniFile& ini);
    void ReadSlots(const GIniFile& ini);
    void ReadBonuses(const GIniFile& ini);
    float ToHullX(float fileValue) const;
    float ToHullY(float fileValue) const;

    std::string m_fileName;
    std::string m_name;
    std::string m_guiName;
    std::string m_className;
    int m_class = UNKNOWN_CLASS;
    std::string m_raceName;
    std::string m_sprite = "ship.dds";
    std::string m_damageTexture;
    std::string m_hulkTexture;
    int m_hulkUVStart = 0;
    int m_hulkUVEnd = 0;
    float m_width = 0.0f;
    float m_height = 0.0f;
    float m_powerProduced = 0.0f;
    std::vector<std::string> m_engineGlows;
    std::vector<std::string> m_tractorBeams;
    std::vector<std::string> m_pulseGlows;
    std::vector<std::string> m_contrails;
    std::vector<std::string> m_runningLights;
    std::vector<Target> m_targets;
    std::vector<Slot> m_slots;
    std::vector<std::string> m_explosions;
    std::vector<std::string> m_hulks;
    std::vector<Bonus> m_bonuses;
    float m_bonusTotals[BONUS_KIND_COUNT] = {};
    std::unique_ptr<SIM_Unlockable> m_unlockable;
};
