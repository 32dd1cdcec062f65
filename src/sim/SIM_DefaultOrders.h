#pragma once
#include <string>
#include <vector>

class SIM_ShipOrders;

// The orders a player saved for one design, one file per design in the
// user's orders folder. All of them live in a global list loaded once.
class SIM_DefaultOrders {
public:
    struct Entry {
        std::string behaviour;
        float float1 = 0.0f;
        float float2 = 0.0f;
    };

    SIM_DefaultOrders();
    virtual ~SIM_DefaultOrders();
    SIM_DefaultOrders(const SIM_DefaultOrders&) = delete;
    SIM_DefaultOrders& operator=(const SIM_DefaultOrders&) = delete;

    static void LoadAll();
    static void FreeAll();
    static SIM_DefaultOrders* FindForDesign(const std::string& designName);
    // Saves the orders (minus ship-linked ones) as the design's defaults;
    // false when the file could not be written.
    static bool SetFromShipOrders(const std::string& designName, const SIM_ShipOrders* orders);

    // The orders folder (the user folder's "orders"); "" before it exists.
    static std::string GetFolder();
    // The design's file: its name made safe for a file name, plus ".txt".
    static std::string FilePathFor(const std::string& folder, const std::string& designName);

    void Read(const std::string& filePath);
    bool Write() const;
    std::string ToText() const;
    void Clear() { m_entries.clear(); }

    const std::vector<Entry>& GetEntries() const { return m_entries; }
    void AddEntry(const Entry& e) { m_entries.push_back(e); }
    const std::string& GetDesignName() const { return m_designName; }
    void SetDesignName(const std::string& name) { m_designName = name; }

private:
    std::vector<Entry> m_entries;
    std::string m_designName;
};
