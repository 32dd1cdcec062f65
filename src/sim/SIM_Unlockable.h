#pragma once
#include <functional>
#include <string>
#include <vector>

// The shop side of a race, hull or module type that must be bought before use.
// The owner's file reader sets lockable and cost, then calls Init and
// RefreshLocked.
class SIM_Unlockable {
public:
    enum Kind { MODULE_TYPE = 0, HULL = 1, RACE = 3, UNSET = 4 };

    SIM_Unlockable();
    virtual ~SIM_Unlockable();
    SIM_Unlockable(const SIM_Unlockable&) = delete;
    SIM_Unlockable& operator=(const SIM_Unlockable&) = delete;

    void Init(const std::string& name, int kind, const void* owner);
    void SetTexture(const std::string& name) { m_texture = name; }
    void SetLockable(bool lockable) { m_lockable = lockable; }
    void SetUnlockCost(int cost) { m_unlockCost = cost; }

    // Follows the player's unlocked list; items that can't be locked stay open.
    void RefreshLocked();

    const std::string& GetName() const { return m_name; }
    const std::string& GetIconTexture() const { return m_texture; }
    bool IsLocked() const { return m_locked; }
    bool IsLockable() const { return m_lockable; }
    int GetUnlockCost() const { return m_unlockCost; }
    int GetKind() const { return m_kind; }
    const void* GetOwner() const { return m_owner; }

    // Every unlockable alive, in construction order.
    static const std::vector<SIM_Unlockable*>& GetList();
    static void RefreshAll();

    // Answers "has the player unlocked this name?". Without a query of its own
    // the player's high-score store answers once the user folder exists;
    // before that nothing is unlocked.
    using UnlockedQuery = std::function<bool(const std::string&)>;
    static void SetUnlockedQuery(UnlockedQuery query);

private:
    bool m_locked = false;
    bool m_lockable = false;
    int m_unlockCost = 0;
    std::string m_name;
    int m_kind = UNSET;
    const void* m_owner = nullptr;
    std::string m_texture;
};
