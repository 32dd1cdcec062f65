#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sim/SIM_CostedItem.h"

class SIM_ShipHull;
class SIM_ShipModuleType;

// A hull with module types fitted to some of its slots, one design per text
// file. The design keeps the totals the designer shows and validity uses.
//
// Pointer rules:
// - A fitted record keeps the module type's name beside the pointer. When a
//   type or hull is destroyed the pointers to it are cleared in every design,
//   and SIM_ShipModuleType::LoadAll re-binds fitted records by name.
// - Anything that holds a design across frames (deployed fleets, ships,
//   screens) calls AddUser/RemoveUser. Delete refuses a design in use and
//   FreeLoaded keeps designs in use alive (they are not read twice).
class SIM_ShipDesign : public SIM_CostedItem {
public:
    struct Point {
        float x = 0.0f;
        float y = 0.0f;
    };

    struct FittedModule {
        SIM_ShipModuleType* moduleType = nullptr;
        std::string typeName;
        float x = 0.0f;
        float y = 0.0f;
        int slotIndex = 0;
        std::vector<Point> turretPoints;
    };

    SIM_ShipDesign();
    ~SIM_ShipDesign() override;

    // Working copies (the designer's) stay out of the global list, so no
    // lookup by name ever hands out a design its owner is about to destroy.
    static std::unique_ptr<SIM_ShipDesign> MakeWorkingCopy(const SIM_ShipDesign& source);
    static std::unique_ptr<SIM_ShipDesign> ReadWorkingCopy(const std::string& fileName);
    static std::unique_ptr<SIM_ShipDesign> MakeEmptyWorkingCopy();
    // A typed design name made safe: letters, digits, blanks, '-' and '_'
    // only, trimmed, no leading '_', at most kMaxDesignNameLength characters,
    // never empty.
    static constexpr size_t kMaxDesignNameLength = 64;
    static std::string SanitiseDesignName(const std::string& typed);
    // The file a design name is saved to: folder/<lower-cased name>.txt.
    static std::string PlayerDesignFilePath(const std::string& folder, const std::string& designName);
    // Appends a fitted module at a hull slot without the slot-type check the
    // battle-side FitModule makes (the designer lets standard modules sit in
    // turret slots).
    void AddModule(SIM_ShipModuleType* type, int slotIndex);
    SIM_ShipDesign(const SIM_ShipDesign&) = delete;
    SIM_ShipDesign& operator=(const SIM_ShipDesign&) = delete;

    // False when the file is missing or refused or names no known hull (one
    // line naming the file, and the hull): the design is then of no use.
    bool Read(const std::string& fileName);
    // Writes the design file through the safe writer; false (reported) when it
    // can't be written.
    bool Write(const std::string& fileName) const;
    void CalculateTotals();
    bool IsValid() const;

    // Fits a type to a hull slot (replacing what was there) or empties it
    // (null type); false when the slot doesn't exist or the slot types differ.
    bool FitModule(int slotIndex, SIM_ShipModuleType* type);
    void ClearModules() { m_modules.clear(); }
    void SetHull(SIM_ShipHull* hull) { m_hull = hull; }

    static void LoadAll();
    // Constructs, reads, sets the player flag and drops the design when it is
    // not valid; the surviving design or null.
    static SIM_ShipDesign* LoadFile(const std::string& fileName, bool playerFlag);
    // Destroys an invalid design; true when it was removed.
    static bool RemoveIfInvalid(SIM_ShipDesign* design);
    // Deletes the design's file and the design. Refused (false, reported) for
    // a design not in the list or still in use.
    static bool Delete(SIM_ShipDesign* design);
    // The same with the ships folder given (tests); a design whose file lies
    // anywhere else (a sample, an install folder) is refused.
    static bool Delete(SIM_ShipDesign* design, const std::string& shipsFolder);
    // What a delete came to, so that a refusal can be told with its reason.
    enum class DeleteResult { DELETED, NOT_FOUND, IN_USE, NOT_PLAYERS, NOT_REMOVED };
    static DeleteResult TryDelete(SIM_ShipDesign* design, const std::string& shipsFolder);
    static bool IsInsideFolder(const std::string& fileName, const std::string& folder);
    static void FreeLoaded();
    // Destroys every design (shutdown and tests).
    static void FreeAll();
    // Null, with a line unless the caller tells the miss itself, when no
    // design has the name.
    static SIM_ShipDesign* Find(const std::string& name, bool reportMissing = true);
    static SIM_ShipDesign* FindByFileName(const std::string& fileName);
    static const std::vector<SIM_ShipDesign*>& GetList();
    static void GetPlayerDesignsForRace(const std::string& raceName, std::vector<SIM_ShipDesign*>& out);
    static void GetPlayerDesignsWithFiles(std::vector<SIM_ShipDesign*>& out);
    // Writes into folder/<sanitised name>.txt unless that file exists.
    static bool SaveCapturedDesign(const SIM_ShipDesign* design, const std::string& folder);
    // A one-armour design on the first hull of the options' race, written to
    // the user's ships folder; null (reported) when the race has no hull.
    static SIM_ShipDesign* CreateStarterDesign();
    static SIM_ShipDesign* CreateStarterDesign(const std::string& raceName, const std::string& shipsFolder);
    // folder + "/" + the design name made safe as a file name + ".txt".
    static std::string DesignFilePath(const std::string& folder, const std::string& designName);

    // Called when a module type or hull is destroyed / types are reloaded.
    static void UnbindModuleType(const SIM_ShipModuleType* type);
    static void UnbindHull(const SIM_ShipHull* hull);
    static void RebindModuleTypes();

    int CountModulesOfClass(const std::string& className) const;
    int CountModulesByTypeName(const std::string& typeName) const;
    float GetTotalArmour() const;
    float GetTotalShieldPoints() const;
    float GetShieldResistance() const;
    float GetTotalHitpoints() const;
    bool IsFighter() const;
    // The type fitted to a slot, or null.
    SIM_ShipModuleType* GetModuleInSlot(int slotIndex) const;

    void AddUser() { ++m_users; }
    void RemoveUser() { if (m_users > 0) --m_users; }
    bool IsInUse() const { return m_users > 0; }

    void SetName(const std::string& name) { m_name = name; }
    void SetGuiName(const std::string& guiName) { m_guiName = guiName; }
    void SetFileName(const std::string& fileName) { m_fileName = fileName; }
    void SetRetain(bool retain) { m_retain = retain ? 1 : 0; }
    void SetPlayerFlag(bool player) { m_player = player ? 1 : 0; }

    const std::vector<FittedModule>& GetModules() const { return m_modules; }
    const std::string& GetName() const { return m_name; }
    const std::string& GetGuiName() const { return m_guiName; }
    const std::string& GetFileName() const { return m_fileName; }
    SIM_ShipHull* GetHull() const { return m_hull; }
    float GetSpeed() const { return m_speed; }
    float GetHitpoints() const { return m_totalHitpoints; }
    float GetWeight() const { return m_totalWeight; }
    float GetPowerProduced() const { return m_powerProduced; }
    float GetPowerConsumed() const { return m_powerConsumed; }
    int GetCrewRequired() const { return m_crewRequired; }
    int GetCrewSupply() const { return m_crewSupply; }
    bool GetRetain() const { return m_retain != 0; }
    bool IsPlayerDesign() const { return m_player != 0; }

private:
    struct UnlistedTag {};
    explicit SIM_ShipDesign(UnlistedTag) {}

    float SumStackedStat(const char* className, const char* stat, int bonusKind) const;

    std::vector<FittedModule> m_modules;
    std::string m_name;
    std::string m_guiName;
    std::string m_fileName;
    SIM_ShipHull* m_hull = nullptr;
    float m_speed = 0.0f;
    float m_totalHitpoints = 0.0f;
    float m_totalWeight = 0.0f;
    float m_powerProduced = 0.0f;
    float m_powerConsumed = 0.0f;
    int m_crewRequired = 0;
    int m_crewSupply = 0;
    unsigned char m_retain = 0;
    unsigned char m_player = 1;
    int m_users = 0;
};
