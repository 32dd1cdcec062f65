#pragma once
#include <vector>

class SIM_Ship;

// Fighters built from one deployed record; with STICKTOGETHER they fly in a
// formation around a leader.
class SIM_FighterSquadron {
public:
    static constexpr int kSlots = 16;

    struct Offset {
        float x = 0.0f;
        float y = 0.0f; // positive y lies behind the leader
    };

    SIM_FighterSquadron() = default;
    virtual ~SIM_FighterSquadron() = default;

    void AddMember(SIM_Ship* ship) { m_members.push_back(ship); }
    // Slots scaled by the leader's STICKTOGETHER distance; false without it.
    bool SetUpFormation();
    void AssignSlots();
    void PlaceMembers();
    // A member died, was caught or let go, or picked up a limpet.
    void Reassess();
    // The members' mean health fraction; 0 for a squadron with no fighters
    // left (never a division by zero).
    float GetMeanHealth() const;
    // Whether a member may keep or take a formation slot.
    static bool IsEligible(const SIM_Ship* ship);

    const std::vector<SIM_Ship*>& GetMembers() const { return m_members; }
    SIM_Ship* GetLeader() const { return m_leader; }
    void SetLeader(SIM_Ship* leader) { m_leader = leader; }
    bool HasFormation() const { return m_hasFormation; }
    const Offset& GetSlot(int i) const { return m_slots[i < 0 || i >= kSlots ? 0 : i]; }
    SIM_Ship* GetSlotOwner(int i) const { return (i < 0 || i >= kSlots) ? nullptr : m_owners[i]; }
    // The member's offset from the leader, or (0, 0) when it has no slot.
    Offset GetMemberOffset(const SIM_Ship* ship) const;

private:
    std::vector<SIM_Ship*> m_members;
    SIM_Ship* m_leader = nullptr;
    Offset m_slots[kSlots];
    SIM_Ship* m_owners[kSlots] = {};
    Offset m_memberOffsets[kSlots];
    bool m_hasFormation = false;
};
