#pragma once
#include <string>
#include <vector>

class SIM_ShipHull;

// Ship-name lists from "data/shipnames/*.txt". A name handed out, or used by
// a loaded fleet, leaves its lists so that names don't repeat until the lists
// are read again.
class SIM_ShipNameGenerator {
public:
    struct NameList {
        std::string name; // the file stem
        std::vector<std::string> names;
    };

    static SIM_ShipNameGenerator& GetInstance();

    void LoadAll();
    void LoadFile(const std::string& fileName);
    void Clear() { m_lists.clear(); }

    std::string PickName(const std::string& listName);
    std::string PickRandom(NameList& list, bool remove);
    std::string GenerateName(const SIM_ShipHull* hull);
    void RemoveName(NameList& list, const std::string& name);
    void RemoveNameFromAll(const std::string& name);

    NameList* FindList(const std::string& listName);
    const std::vector<NameList>& GetLists() const { return m_lists; }

    // "abc.def.txt" in any folder is the list "abc".
    static std::string ListNameFromFile(const std::string& fileName);

private:
    SIM_ShipNameGenerator() = default;
    std::vector<NameList> m_lists;
};
