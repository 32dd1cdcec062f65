#include "sim/SIM_FighterSquadron.h"

#include "engine/GDebugLog.h"
#include "engine/RandomTables.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipOrder.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/modules/SIM_TacticalModule.h"

namespace {
// Slot offsets in units of the formation spacing; positive y is behind.
const float kSlotUnits[SIM_FighterSquadron::kSlots][2] = {
    {0, 0},  {1, 1},  {-1, 1}, {1, 2},  {0, 2},  {-1, 2}, {0, 3},  {1, 3},
    {-1, 3}, {2, 3},  {-2, 3}, {0, 4},  {1, 4},  {-1, 4}, {2, 4},  {-2, 4},
};
const float kFarAway = 9.998e7f;
} // namespace

bool SIM_FighterSquadron::SetUpFormation()
{
    const SIM_ShipOrder* order = nullptr;
    if (m_leader && m_leader->GetOrders())
        order = m_leader->GetOrders()->GetOrder("STICKTOGETHER");
    QLM_ASSERT(order);
    if (!order)
        return false;
    const float s = order->float1;
    for (int i = 0; i < kSlots; ++i) {
        m_slots[i].x = kSlotUnits[i][0] * s;
        m_slots[i].y = kSlotUnits[i][1] * s;
    }
    m_hasFormation = true;
    return true;
}

bool SIM_FighterSquadron::IsEligible(const SIM_Ship* ship)
{
    if (!ship || ship->IsDead())
        return false;
    if (ship->drag > 0.0f || ship->carriedLimpetWeight > 0.0f)
        return false;
    if (ship->healthFraction < 1.0f)
        return false;
    return !ship->tacticalModule || ship->tacticalModule->GetMode() == SIM_TacticalModule::ATTACK;
}

void SIM_FighterSquadron::AssignSlots()
{
    for (int i = 0; i < kSlots; ++i) {
        m_owners[i] = nullptr;
        m_memberOffsets[i] = Offset{};
    }
    if (!m_leader)
        return;
    m_owners[0] = m_leader;
    m_leader->formationOffsetX = 0.0f;
    m_leader->formationOffsetY = 0.0f;
    int nextSlot = 1;
    for (SIM_Ship* member : m_members) {
        if (member == m_leader || !IsEligible(member))
            continue;
        if (nextSlot >= kSlots)
            break;
        const float jx = RandomFloat() * 4.0f - 2.0f;
        const float jy = RandomFloat() * 4.0f - 2.0f;
        m_owners[nextSlot] = member;
        m_memberOffsets[nextSlot] = Offset{m_slots[nextSlot].x + jx, m_slots[nextSlot].y + jy};
        member->formationOffsetX = m_memberOffsets[nextSlot].x;
        member->formationOffsetY = m_memberOffsets[nextSlot].y;
        ++nextSlot;
    }
}

SIM_FighterSquadron::Offset SIM_FighterSquadron::GetMemberOffset(const SIM_Ship* ship) const
{
    for (int i = 0; i < kSlots; ++i) {
        if (ship && m_owners[i] == ship)
            return m_memberOffsets[i];
    }
    return Offset{};
}

void SIM_FighterSquadron::PlaceMembers()
{
    if (!m_leader)
        return;
    for (SIM_Ship* member : m_members) {
        if (member == m_leader)
            continue;
        float wx = 0.0f, wy = 0.0f;
        m_leader->LocalToWorld(member->formationOffsetX, member->formationOffsetY, m_leader->sine, m_leader->cosine,
                               wx, wy);
        member->x = wx;
        member->y = wy;
        SIM_ShipGrid::GetInstance().NoteMoved(member);
    }
}

void SIM_FighterSquadron::Reassess()
{
    if (IsEligible(m_leader)) {
        if (m_hasFormation)
            AssignSlots();
        return;
    }
    float cx = 0.0f, cy = 0.0f;
    int count = 0;
    for (const SIM_Ship* member : m_members) {
        if (IsEligible(member)) {
            cx += member->x;
            cy += member->y;
            ++count;
        }
    }
    m_leader = nullptr;
    if (count == 0)
        return;
    cx /= static_cast<float>(count);
    cy /= static_cast<float>(count);
    float best = kFarAway * kFarAway;
    for (SIM_Ship* member : m_members) {
        if (!IsEligible(member))
            continue;
        const float dx = member->x - cx, dy = member->y - cy;
        const float d2 = dx * dx + dy * dy;
        if (d2 < best) {
            best = d2;
            m_leader = member;
        }
    }
    if (m_leader && m_hasFormation)
        AssignSlots();
}

float SIM_FighterSquadron::GetMeanHealth() const
{
    if (m_members.empty())
        return 0.0f;
    float sum = 0.0f;
    for (const SIM_Ship* ship : m_members)
        sum += ship->healthFraction;
    return sum / static_cast<float>(m_members.size());
}
