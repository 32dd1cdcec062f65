#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/GIniFile.h"
#include "sim/SIM_CostedItem.h"

class SIM_ShipHull;
class SIM_Unlockable;

// One kind of ship module, read from one "data/modules/*.txt" file. The whole
// [config] section is kept so each module class can read its own keys.
//
// Lifetime rule: types live in one static list from LoadAll until FreeAll or
// the next LoadAll. Destroying a type unbinds it from every design (the fitted
// record keeps the type name), and LoadAll re-binds designs by name
// afterwards, so designs never point at a freed type. Module objects of a
// running battle still hold plain pointers: don't reload during a battle.
class SIM_ShipModuleType : public SIM_CostedItem {
public:
    enum SlotType { STANDARD = 0, TURRET = 1 };
    enum Category { WEAPONS = 0, DEFENSES = 1, ENGINES = 2, OTHER = 3 };
    enum Size { CRUISER = 0, FRIGATE = 1, FIGHTER = 2 };
    enum DataKind { INTEGER = 0, STRING = 1, DECIMAL = 2, BOOL = 3, DECIMAL_MULT = 4 };

    struct DataItem {
        std::string statName;
        int kind = INTEGER;
        float multiplier = 1.0f;
    };

    static constexpr int kUnknownStat = 999;

    // Reads the file (a missing file leaves every field at its default) and
    // appends the type to the static list.
    explicit SIM_ShipModuleType(const std::string& fileName);
    ~SIM_ShipModuleType() override;
    SIM_ShipModuleType(const SIM_ShipModuleType&) = delete;
    SIM_ShipModuleType& operator=(const SIM_ShipModuleType&) = delete;

    virtual bool IsVisible() const { return m_visible != 0; }

    static void LoadAll();
    static void FreeAll();
    // Loads all types first when none are loaded.
    static SIM_ShipModuleType* Find(const std::string& name, bool report = true);
    static int StatIndex(const std::string& statName);
    static const std::vector<SIM_ShipModuleType*>& GetList();

    // The sprite for this type on the given hull: turret types map through
    // the hull's race.
    std::string GetIconForHull(const SIM_ShipHull* hull) const;
    std::string GetIcon() const;

    // The numeric value of a [config] key (the class-specific stats).
    float GetConfigFloat(const char* key, float defaultValue = 0.0f) const { return m_config.GetFloat(key, defaultValue); }
    const char* GetConfigString(const char* key) const { return m_config.GetString(key); }

    const GIniFile& GetConfig() const { return m_config; }
    const std::vector<DataItem>& GetDataItems() const { return m_dataItems; }
    int GetSlotType() const { return m_slotType; }
    const std::string& GetClassName() const { return m_className; }
    const std::string& GetName() const { return m_name; }
    const std::string& GetGuiName() const { return m_guiName; }
    const std::string& GetIconName() const { return m_icon; }
    const std::string& GetDescription() const { return m_description; }
    const std::string& GetRestricted() const { return m_restricted; }
    const std::string& GetFileName() const { return m_fileName; }
    float GetWeight() const { return m_weight; }
    float GetHitpoints() const { return m_hitpoints; }
    float GetPowerConsumed() const { return m_powerConsumed; }
    int GetCrewRequired() const { return m_crewRequired; }
    int GetCategory() const { return m_category; }
    int GetSize() const { return m_size; }
    float GetStackEffectiveness() const { return m_stackEffectiveness; }
    int GetUiSortPos() const { return m_uiSortPos; }
    SIM_Unlockable* GetUnlockable() const { return m_unlockable.get(); }

private:
    void Read(const std::string& fileName);
    void ReadDataItems(const std::string& fileName);
    static void FillStatTable();

    GIniFile m_config;
    std::vector<DataItem> m_dataItems;
    int m_slotType = STANDARD;
    std::string m_className;
    std::string m_name;
    std::string m_guiName;
    std::string m_icon;
    std::string m_description;
    std::string m_restricted;
    std::string m_fileName;
    float m_weight = 0.0f;
    float m_hitpoints = 0.0f;
    float m_powerConsumed = 0.0f;
    int m_crewRequired = 0;
    int m_category = OTHER;
    int m_size = FIGHTER;
    unsigned char m_visible = 1;
    float m_stackEffectiveness = 1.0f;
    int m_uiSortPos = 99999;
    std::unique_ptr<SIM_Unlockable> m_unlockable;
};
